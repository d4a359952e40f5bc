// While the pages are made the controls' face is the toolkit's default; after, windows that
// have no font of their own show the desktop's again, those made meanwhile too.

#include "framework/page_face_default.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDockWidget>
#include <memory>

#include "gui_test_environment.h"

TEST(PageFaceAsDefault, AfterThePagesWindowsShowTheDesktopFontsAgain) {
    const QFont desktop = QApplication::font();
    // As a desktop theme gives one class of windows a font of its own.
    QFont themeFont(QStringLiteral("Liberation Serif"));
    themeFont.setPixelSize(17);
    QApplication::setFont(themeFont, "QDockWidget");
    std::unique_ptr<QWidget> window;
    std::unique_ptr<QDockWidget> dock;
    {
        const framework::PageFaceAsDefault pageFace;
        window = std::make_unique<QWidget>();
        dock = std::make_unique<QDockWidget>();
    }
    EXPECT_EQ(QApplication::font(), desktop);
    EXPECT_EQ(window->font(), desktop);
    EXPECT_EQ(QApplication::font("QDockWidget"), themeFont);
    EXPECT_EQ(dock->font(), themeFont);
}
