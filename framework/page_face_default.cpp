#include "page_face_default.h"

#include <QApplication>
#include <QFont>
#include <QWidget>

#include "graphics.h"

namespace framework {

namespace {

// The application-wide call that also tells the widgets, as QApplication::setFont does,
// without dropping the fonts the desktop's theme set for single widget classes.
void setDefaultFont(const QFont& font) {
    QGuiApplication::setFont(font);
    QEvent change(QEvent::ApplicationFontChange);
    for (QWidget* widget : QApplication::allWidgets()) QCoreApplication::sendEvent(widget, &change);
}

}  // namespace

PageFaceAsDefault::PageFaceAsDefault()
    : m_desktopFont(std::make_unique<QFont>(QGuiApplication::font())) {
    setDefaultFont(TFont().toQFont());
}

PageFaceAsDefault::~PageFaceAsDefault() { setDefaultFont(*m_desktopFont); }

}  // namespace framework
