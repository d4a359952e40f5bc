// The progress page's repaint after each install step, with the log grown past its visible
// rows, offscreen. Usage: log_repaint_bench [REPAINTS]

#include <stdlib.h>

#include <chrono>
#include <cstdio>

#include "engine/linux_machine.h"
#include "framework/application.h"
#include "setup/pages.h"
#include "setup/wizard.h"

int main(int argc, char** argv) {
    const int repaints = argc > 1 ? std::atoi(argv[1]) : 500;
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    framework::Application app(argc, argv);
    setup::Wizard wizard(std::make_unique<engine::LinuxMachine>(), "/nonexistent/");
    wizard.createPages();
    wizard.isForm7->Show();
    for (int i = 0; i < 5; ++i) app.processMessages();
    const char* lines[] = {"", "Extracting language UK", "======================", ""};
    for (int i = 0; i < 80; ++i) wizard.isForm7->appendLine(lines[i % 4]);
    for (int i = 0; i < 50; ++i) wizard.isForm7->repaintNow();  // warm caches
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < repaints; ++i) wizard.isForm7->repaintNow();
    const std::chrono::duration<double, std::milli> spent =
        std::chrono::steady_clock::now() - start;
    std::printf("progress page repaint: %.3f ms each over %d\n", spent.count() / repaints,
                repaints);
    return 0;
}
