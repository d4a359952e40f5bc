// The setup program of Quindor: installs the product from the folder this program lies
// in, or removes it again. Without arguments it is the wizard; with them, the unattended
// mode (unattended.h), which needs no display.

#include <cstdio>
#include <exception>
#include <string>

#include "engine/program_folders.h"
#include "framework/application.h"
#include "unattended.h"
#include "wizard.h"

namespace {

int runWizard(int argc, char** argv) {
    framework::Application::setStartFailureLead(
        "The Quindor setup program cannot open its display");
    setup::PageTrees pages;
    framework::Application app(argc, argv, setup::distributionFaces(),
                               [&pages] { pages.readAll(); });
    app.setTitle("Setup");
    setup::Wizard wizard;
    wizard.createPages(std::move(pages));
    return app.run();
}

}  // namespace

int main(int argc, char** argv) {
    // Before anything opens a file: an archive must never get the number of standard input.
    engine::ensureStandardDescriptors();
    if (argc > 1) return setup::runUnattended({argv + 1, argv + argc});
    engine::raiseDescriptorLimit();
    if (!framework::Application::displayAvailable()) {
        std::fputs(
            "The Quindor setup program needs a graphical display: "
            "neither DISPLAY nor WAYLAND_DISPLAY is set.\n",
            stderr);
        return 1;
    }
    // What stops the start (its own folder not found, as without /proc) is said in one line.
    try {
        return runWizard(argc, argv);
    } catch (const std::exception& error) {
        std::fputs(
            ("The Quindor setup program cannot start: " + std::string(error.what()) + "\n").c_str(),
            stderr);
        return 1;
    }
}
