// The whole install procedure over the demo distribution against the same extractor
// commands run bare, side by side, in a sandbox folder; and the program's own work
// between two extractions (log lines, repaint, archive checks, bookkeeping), offscreen.
// Usage: install_bench DIST_FOLDER [ROUNDS]

#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/command_line.h"
#include "engine/linux_machine.h"
#include "framework/application.h"
#include "framework/message_boxes.h"
#include "platform/process.h"
#include "setup/pages.h"
#include "setup/wizard.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

const std::vector<std::string> kCodes = {"UK", "US", "DA", "NL", "DE", "FR", "PL", "RU",
                                         "CZ", "SK", "SI", "IT", "SP", "SE", "ZA"};

double ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// The real machine, noting when each extraction starts and ends.
class TimedMachine : public engine::LinuxMachine {
public:
    platform::ProcessOutcome runAndWait(const std::vector<std::string>& arguments,
                                        const std::function<void()>& whileWaiting,
                                        const std::vector<int>& inherited) override {
        starts.push_back(Clock::now());
        auto outcome = engine::LinuxMachine::runAndWait(arguments, whileWaiting, inherited);
        ends.push_back(Clock::now());
        return outcome;
    }
    std::vector<Clock::time_point> starts, ends;
};

class SilentMessages : public framework::MessageBoxes {
public:
    void showMessage(const std::string& text) override { std::fprintf(stderr, "message: %s\n", text.c_str()); }
    bool askYesNo(const std::string&) override { return true; }
    void showError(const std::string& text) override { std::fprintf(stderr, "error: %s\n", text.c_str()); }
};

void setSandbox(const fs::path& home) {
    fs::remove_all(home);
    fs::create_directories(home / ".config");
    setenv("HOME", home.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home / ".config").c_str(), 1);
    setenv("XDG_DATA_HOME", (home / ".local/share").c_str(), 1);
    setenv("XDG_CACHE_HOME", (home / ".cache").c_str(), 1);
    setenv("MARLO_REGISTRY_DIR", (home / "registry").c_str(), 1);
}

struct InstallTimes {
    double total;
    std::vector<double> gaps;  // the program's own work between two extractions
};

InstallTimes installOnce(const std::string& dist, const fs::path& home) {
    setSandbox(home);
    auto machine = std::make_unique<TimedMachine>();
    TimedMachine* timed = machine.get();
    setup::Wizard wizard(std::move(machine), dist);
    wizard.createPages();
    wizard.isForm1->Show();
    wizard.isForm1->Button3->Click();
    wizard.isForm3->Edit1->setText((home / "Quindor").string() + "/");
    wizard.isForm3->Button3->Click();
    for (int row = 0; row < 15; ++row) wizard.isform4->CheckListBox1->setChecked(row, true);
    wizard.isform4->Button3->Click();
    const auto start = Clock::now();
    wizard.isForm5->Button3->Click();
    InstallTimes times{ms(Clock::now() - start), {}};
    for (std::size_t i = 1; i < timed->starts.size(); ++i) {
        times.gaps.push_back(ms(timed->starts[i] - timed->ends[i - 1]));
    }
    return times;
}

double bareOnce(const std::string& dist, const fs::path& home) {
    setSandbox(home);
    const std::string folder = (home / "Quindor").string();
    std::vector<engine::CommandLine> commands{engine::extractorCommand(dist, folder, "QUINDOR.ZIP")};
    for (const std::string& code : kCodes) {
        commands.push_back(engine::extractorCommand(dist, folder + "/QUINDOR", code + ".ZIP"));
    }
    commands.push_back(engine::extractorCommand(dist, folder, "HTMLhelp.ZIP"));
    const auto start = Clock::now();
    for (const engine::CommandLine& command : commands) platform::runAndWait(command.arguments, [] {});
    return ms(Clock::now() - start);
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: install_bench DIST_FOLDER [ROUNDS]\n");
        return 2;
    }
    const std::string dist = fs::absolute(argv[1]).string() + "/";
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 5;
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    const fs::path sandbox = fs::temp_directory_path() / ("quindor-install-bench-" + std::to_string(getpid()));
    framework::Application app(argc, argv);
    SilentMessages messages;
    app.setMessages(&messages);

    std::vector<double> installs, bares, gaps;
    for (int round = 0; round < rounds; ++round) {
        const InstallTimes times = installOnce(dist, sandbox / "install");
        installs.push_back(times.total);
        gaps.insert(gaps.end(), times.gaps.begin(), times.gaps.end());
        bares.push_back(bareOnce(dist, sandbox / "bare"));
    }
    fs::remove_all(sandbox);
    std::printf("install procedure   median %8.1f ms\n", median(installs));
    std::printf("bare extractions    median %8.1f ms\n", median(bares));
    std::printf("ratio (median)      %8.3fx over %d rounds\n", median(installs) / median(bares), rounds);
    std::printf("own work between extractions: median %.3f ms, max %.3f ms (%zu gaps)\n", median(gaps),
                *std::max_element(gaps.begin(), gaps.end()), gaps.size());
    return 0;
}
