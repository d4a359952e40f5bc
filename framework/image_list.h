#pragma once
// A list of equally sized images, addressed by index, some of which are also registered
// as overlays: small pictures (a link arrow, a shared hand) drawn over another image.

#include <QIcon>
#include <QPixmap>
#include <array>
#include <map>
#include <utility>
#include <vector>

#include "component.h"

namespace framework {

// Told when the images of a list change or the list goes away.
class ImageListObserver {
public:
    virtual ~ImageListObserver() = default;
    virtual void imagesChanged() = 0;
    virtual void imagesDestroyed() = 0;
};

class TImageList : public Component {
    FRAMEWORK_CLASS(Component)

    static constexpr int kMaxOverlays = 15;

    explicit TImageList(Component* owner);
    ~TImageList() override;

    int width() const { return m_width; }
    int height() const { return m_height; }
    // Changing the size empties the list.
    void setWidth(int value);
    void setHeight(int value);

    int count() const { return static_cast<int>(m_images.size()); }
    // Adds an image scaled to the list's size (keeping its proportions, centred); returns
    // its index.
    int add(const QPixmap& image);
    // Adds the icon as drawn at the list's size.
    int addIcon(const QIcon& icon);
    void clear();

    // Makes image imageIndex overlay number overlay (0..kMaxOverlays-1). Returns false,
    // changing nothing, when either is out of range.
    bool setOverlay(int imageIndex, int overlay);
    // The image index registered as that overlay, -1 when none.
    int overlayImage(int overlay) const;

    // The image with the overlay drawn over it (overlay -1 or unassigned: the image alone);
    // a null icon for an index out of range. Composed images are kept for reuse.
    QIcon icon(int index, int overlay = -1) const;
    QPixmap pixmap(int index, int overlay = -1) const;

    void addObserver(ImageListObserver* observer);
    void removeObserver(ImageListObserver* observer);

private:
    void changed();
    QPixmap compose(int index, int overlay) const;

    int m_width = 16;
    int m_height = 16;
    std::vector<QPixmap> m_images;
    std::array<int, kMaxOverlays> m_overlays;
    mutable std::map<std::pair<int, int>, QIcon> m_icons;
    std::vector<ImageListObserver*> m_observers;
};

}  // namespace framework
