#pragma once
// Pictures stored in pages (bitmap file bytes) and the image control that shows them.

#include <QImage>

#include "control.h"

namespace framework {

// Decodes the bytes of a bitmap file; anything else is an EPropertyError.
QImage decodeBitmap(const Bytes& data);

class TImage : public TControl {
public:
    explicit TImage(Component* owner);
    static const ClassInfo& staticClassInfo();
    const ClassInfo& classInfo() const override { return staticClassInfo(); }

    Bytes pictureData() const { return m_data; }
    void setPictureData(const Bytes& value);
    const QImage& picture() const { return m_picture; }
    // Copies another image control's picture, as pages do with the setup picture.
    void assignPicture(const TImage& source);

    bool stretch() const { return m_stretch; }
    void setStretch(bool value);

private:
    Bytes m_data;
    QImage m_picture;
    bool m_stretch = false;
};

}  // namespace framework
