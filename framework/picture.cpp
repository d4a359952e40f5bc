#include "picture.h"

#include <QPainter>
#include <QWidget>

namespace framework {

namespace {

// The toolkit paints a scaled picture of more than about a hundred rows on worker threads,
// which it starts on first use: milliseconds at the program's start, for a picture this
// small. Painted in bands of 64 rows it stays on this thread, pixel for pixel the same;
// the stored colours are turned into the painter's own format once, not for every band.
constexpr int kBandRows = 64;

void drawStretched(QPainter& painter, const QRect& frame, const QImage& stored) {
    const QImage picture = stored.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    for (int top = frame.top(); top <= frame.bottom(); top += kBandRows) {
        painter.setClipRect(QRect(frame.left(), top, frame.width(), kBandRows));
        painter.drawImage(frame, picture);
    }
}

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
            drawStretched(painter, rect(), m_image.picture());
        } else {
            painter.drawImage(QPoint(0, 0), m_image.picture());
        }
    }

private:
    const TImage& m_image;
};

}  // namespace

TImage::TImage(Component* owner) : TControl(owner) {
    m_picture.onChange = [this] { widget()->update(); };
    setWidget(new PictureWidget(*this));
    setTabStop(false);
}

const ClassInfo& TImage::staticClassInfo() {
    using C = TImage;
    return declareClass<C>("TImage", [] {
        return std::vector<PropertyInfo>{
            objectProperty("Picture", static_cast<TPicture& (C::*)()>(&C::Picture)),
            valueProperty("Stretch", &C::stretch, &C::setStretch),
        };
    });
}

void TImage::setStretch(bool value) {
    m_stretch = value;
    widget()->update();
}

}  // namespace framework
