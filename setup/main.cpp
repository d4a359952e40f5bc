// The setup program of Quindor: installs the product from the folder this program lies
// in, or removes it again. It takes no command-line arguments.

#include <cstdio>

#include "engine/program_folders.h"
#include "framework/application.h"
#include "wizard.h"

int main(int argc, char** argv) {
    // Before anything opens a file: an archive must never get the number of standard input.
    engine::ensureStandardDescriptors();
    engine::raiseDescriptorLimit();
    if (!framework::Application::displayAvailable()) {
        std::fputs("The Quindor setup program needs a graphical display: "
                   "neither DISPLAY nor WAYLAND_DISPLAY is set.\n",
                   stderr);
        return 1;
    }
    framework::Application app(argc, argv, setup::distributionFaces());
    app.setTitle("Setup");
    setup::Wizard wizard;
    wizard.createPages();
    return app.run();
}
