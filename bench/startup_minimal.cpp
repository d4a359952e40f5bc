// The baseline: a minimal Qt program that shows one empty window of the welcome page's size.

#include <QApplication>
#include <QWidget>

#include "first_paint.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.resize(365, 334);
    ExitAfterFirstPaint exitAfterPaint;
    window.installEventFilter(&exitAfterPaint);
    window.show();
    return QApplication::exec();
}
