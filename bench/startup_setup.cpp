// The setup program's own start-up: the same entry as the real program, ending at the
// first painted welcome page. The distribution folder (with its final '/') may be given,
// as the benchmark runs from the build tree: its page faces are loaded as the program does.

#include <QWidget>

#include "first_paint.h"
#include "framework/application.h"
#include "setup/pages.h"
#include "setup/wizard.h"

int main(int argc, char** argv) {
    setup::PageTrees pages;
    framework::Application app(argc, argv,
                               argc > 1 ? setup::distributionFaces(std::string(argv[1]) + "/")
                                        : setup::distributionFaces(),
                               [&pages] { pages.readAll(); });
    setup::Wizard wizard;
    wizard.createPages(std::move(pages));
    ExitAfterFirstPaint exitAfterPaint;
    wizard.isForm1->widget()->installEventFilter(&exitAfterPaint);
    return app.run();
}
