#pragma once
// Pictures stored in pages (bitmap file bytes) and the image control that shows them.

#include "control.h"

namespace framework {

class TImage : public TControl {
    FRAMEWORK_CLASS(TControl)

    explicit TImage(Component* owner);

    TPicture& Picture() { return m_picture; }
    const TPicture& Picture() const { return m_picture; }
    const QImage& picture() const { return m_picture.image(); }

    bool stretch() const { return m_stretch; }
    void setStretch(bool value);

    // The pages' pictures decorate: their texts say all there is to say.
    bool shownToReaders() const override { return false; }

private:
    TPicture m_picture;
    bool m_stretch = false;
};

}  // namespace framework
