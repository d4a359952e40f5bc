// A second baseline: the minimal window with one wrapped label in the page face, to tell
// what showing any text costs (the font configuration, a face, its first glyphs) from what
// the setup program adds to it.

#include <QApplication>
#include <QLabel>
#include <QWidget>

#include "first_paint.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.resize(365, 334);
    QLabel label(QStringLiteral("This program installs the Quindor spelling checker on your "
                                "computer. Choose Install to go on, or Uninstall to remove it."),
                 &window);
    label.setFont(QFont(QStringLiteral("Tahoma"), 8));
    label.setWordWrap(true);
    label.setGeometry(16, 16, 330, 60);
    ExitAfterFirstPaint exitAfterPaint;
    window.installEventFilter(&exitAfterPaint);
    window.show();
    return QApplication::exec();
}
