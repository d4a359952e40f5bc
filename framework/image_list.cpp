#include "image_list.h"

#include <QPainter>
#include <algorithm>

namespace framework {

TImageList::TImageList(Component* owner) : Component(owner) { m_overlays.fill(-1); }

TImageList::~TImageList() {
    // Observers may remove themselves while being told.
    const std::vector<ImageListObserver*> observers = m_observers;
    for (ImageListObserver* observer : observers) observer->imagesDestroyed();
}

const ClassInfo& TImageList::staticClassInfo() {
    using C = TImageList;
    return declareClass<C>("TImageList", [] {
        return std::vector<PropertyInfo>{
            valueProperty("Width", &C::width, &C::setWidth),
            valueProperty("Height", &C::height, &C::setHeight),
        };
    });
}

void TImageList::setWidth(int value) {
    if (value < 1) throw EPropertyError("Image width must be positive");
    if (value == m_width) return;
    m_width = value;
    clear();
}

void TImageList::setHeight(int value) {
    if (value < 1) throw EPropertyError("Image height must be positive");
    if (value == m_height) return;
    m_height = value;
    clear();
}

int TImageList::add(const QPixmap& image) {
    QPixmap cell(m_width, m_height);
    cell.fill(Qt::transparent);
    if (!image.isNull()) {
        const QPixmap scaled =
            image.size() == cell.size()
                ? image
                : image.scaled(cell.size(), Qt::KeepAspectRatio, Qt::SmoothTransformation);
        QPainter painter(&cell);
        painter.drawPixmap((m_width - scaled.width()) / 2, (m_height - scaled.height()) / 2,
                           scaled);
    }
    m_images.push_back(cell);
    changed();
    return count() - 1;
}

int TImageList::addIcon(const QIcon& icon) { return add(icon.pixmap(m_width, m_height)); }

void TImageList::clear() {
    m_images.clear();
    m_overlays.fill(-1);
    changed();
}

bool TImageList::setOverlay(int imageIndex, int overlay) {
    if (imageIndex < 0 || imageIndex >= count() || overlay < 0 || overlay >= kMaxOverlays)
        return false;
    m_overlays[static_cast<std::size_t>(overlay)] = imageIndex;
    changed();
    return true;
}

int TImageList::overlayImage(int overlay) const {
    if (overlay < 0 || overlay >= kMaxOverlays) return -1;
    return m_overlays[static_cast<std::size_t>(overlay)];
}

QIcon TImageList::icon(int index, int overlay) const {
    if (index < 0 || index >= count()) return {};
    if (overlayImage(overlay) < 0) overlay = -1;
    const auto key = std::make_pair(index, overlay);
    auto it = m_icons.find(key);
    if (it == m_icons.end()) it = m_icons.emplace(key, QIcon(compose(index, overlay))).first;
    return it->second;
}

QPixmap TImageList::pixmap(int index, int overlay) const {
    if (index < 0 || index >= count()) return {};
    return compose(index, overlayImage(overlay) < 0 ? -1 : overlay);
}

QPixmap TImageList::compose(int index, int overlay) const {
    QPixmap result = m_images[static_cast<std::size_t>(index)];
    if (overlay < 0) return result;
    QPainter painter(&result);
    painter.drawPixmap(0, 0, m_images[static_cast<std::size_t>(overlayImage(overlay))]);
    return result;
}

void TImageList::addObserver(ImageListObserver* observer) {
    if (std::find(m_observers.begin(), m_observers.end(), observer) == m_observers.end()) {
        m_observers.push_back(observer);
    }
}

void TImageList::removeObserver(ImageListObserver* observer) { std::erase(m_observers, observer); }

void TImageList::changed() {
    m_icons.clear();
    for (ImageListObserver* observer : m_observers) observer->imagesChanged();
}

}  // namespace framework
