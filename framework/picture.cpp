#include "picture.h"

#include <QPainter>
#include <QWidget>

namespace framework {

namespace {

// Paints the picture at its own size from the top left, or stretched to the frame.
class PictureWidget : public QWidget {
public:
    explicit PictureWidget(const TImage& image) : m_image(image) {}

protected:
    void paintEvent(QPaintEvent*) override {
        if (m_image.picture().isNull()) return;
        QPainter painter(this);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        if (m_image.stretch()) {
            painter.drawImage(rect(), m_image.picture());
        } else {
            painter.drawImage(QPoint(0, 0), m_image.picture());
        }
    }

private:
    const TImage& m_image;
};

}  // namespace

QImage decodeBitmap(const Bytes& data) {
    QImage image;
    const bool isBitmap = data.size() > 2 && data[0] == 'B' && data[1] == 'M';
    if (!isBitmap || !image.loadFromData(data.data(), static_cast<int>(data.size()), "BMP")) {
        throw EPropertyError("Bitmap image is not valid");
    }
    return image;
}

TImage::TImage(Component* owner) : TControl(owner) {
    setWidget(new PictureWidget(*this));
    setTabStop(false);
}

const ClassInfo& TImage::staticClassInfo() {
    using C = TImage;
    static const ClassInfo info(
        "TImage", &TControl::staticClassInfo(),
        {
            valueProperty<C, Bytes>("Picture.Data", PropertyKind::Binary, &C::pictureData,
                                    &C::setPictureData),
            booleanProperty<C>("Stretch", &C::stretch, &C::setStretch),
        });
    return info;
}

void TImage::setPictureData(const Bytes& value) {
    m_picture = decodeBitmap(value);
    m_data = value;
    widget()->update();
}

void TImage::assignPicture(const TImage& source) {
    m_data = source.m_data;
    m_picture = source.m_picture;
    widget()->update();
}

void TImage::setStretch(bool value) {
    m_stretch = value;
    widget()->update();
}

}  // namespace framework
