// The whole install procedure over the demo distribution against the same extractor
// commands run bare, side by side, in a sandbox folder; and the program's own work
// between two extractions (log lines, repaint, archive checks, bookkeeping), offscreen.
// Usage: install_bench DIST_FOLDER [ROUNDS] [tahoma-present]
// By default every round installs Tahoma, as on a machine without it; with tahoma-present the
// font counts as installed and its step does nothing.

#include <fontconfig/fontconfig.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <type_traits>
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

// Debian's fonts-wine, which the demo distribution takes its Tahoma from.
constexpr const char* kTahomaFile = "/usr/share/wine/fonts/tahoma.ttf";

double ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// When each extraction starts and ends, and how long the other calls the install makes of
// the machine take.
struct Timings {
    template <typename Call>
    std::invoke_result_t<Call> timed(const char* kind, Call call) {
        const auto start = Clock::now();
        auto result = call();
        spent[kind] += ms(Clock::now() - start);
        return result;
    }

    std::vector<Clock::time_point> starts, ends;
    std::map<std::string, double> spent;  // milliseconds by kind of call
};

// Each concern of the real machine, timing its calls.
class TimedRegistry : public engine::LinuxRegistryStore {
public:
    explicit TimedRegistry(Timings& timings) : m_timings(timings) {}
    bool keyExists(engine::RootKey root, std::string_view key, bool fullAccess) override {
        return m_timings.timed(
            "registry", [&] { return LinuxRegistryStore::keyExists(root, key, fullAccess); });
    }
    std::optional<std::string> readString(engine::RootKey root, std::string_view key,
                                          std::string_view name) override {
        return m_timings.timed("registry",
                               [&] { return LinuxRegistryStore::readString(root, key, name); });
    }
    void writeString(engine::RootKey root, std::string_view key, std::string_view name,
                     std::string_view data) override {
        m_timings.timed("registry", [&] {
            LinuxRegistryStore::writeString(root, key, name, data);
            return 0;
        });
    }

private:
    Timings& m_timings;
};

class TimedPrograms : public engine::LinuxPrograms {
public:
    explicit TimedPrograms(Timings& timings) : m_timings(timings) {}
    platform::ProcessOutcome runAndWait(const std::vector<std::string>& arguments,
                                        const std::function<void()>& whileWaiting,
                                        const std::vector<int>& inherited) override {
        m_timings.starts.push_back(Clock::now());
        auto outcome = engine::LinuxPrograms::runAndWait(arguments, whileWaiting, inherited);
        m_timings.ends.push_back(Clock::now());
        return outcome;
    }

private:
    Timings& m_timings;
};

class TimedFiles : public engine::LinuxFiles {
public:
    explicit TimedFiles(Timings& timings) : m_timings(timings) {}
    void writeProfileStrings(const std::string& file, const std::string& section,
                             const std::vector<platform::ProfileEntry>& entries) override {
        m_timings.timed("settings file", [&] {
            LinuxFiles::writeProfileStrings(file, section, entries);
            return 0;
        });
    }

private:
    Timings& m_timings;
};

class TimedArchives : public engine::LinuxArchives {
public:
    explicit TimedArchives(Timings& timings) : m_timings(timings) {}
    std::vector<platform::ZipEntry> listArchive(const std::string& archive) override {
        return m_timings.timed("archive checks",
                               [&] { return LinuxArchives::listArchive(archive); });
    }
    platform::FileDescriptor openArchive(const std::string& archive) override {
        return m_timings.timed("archive checks",
                               [&] { return LinuxArchives::openArchive(archive); });
    }
    std::vector<platform::StrayFile> findStrayFiles(const std::string& folder,
                                                    bool removeLinks) override {
        return m_timings.timed("archive checks",
                               [&] { return LinuxArchives::findStrayFiles(folder, removeLinks); });
    }

private:
    Timings& m_timings;
};

class TimedDesktop : public engine::LinuxDesktop {
public:
    explicit TimedDesktop(Timings& timings) : m_timings(timings) {}
    std::vector<std::string> fontFamilies() override {
        return m_timings.timed("fonts", [&] { return LinuxDesktop::fontFamilies(); });
    }
    bool registerFont(const std::string& file) override {
        return m_timings.timed("fonts", [&] { return LinuxDesktop::registerFont(file); });
    }
    bool writeShortcut(const std::string& file, const platform::DesktopEntry& entry) override {
        return m_timings.timed("shortcuts",
                               [&] { return LinuxDesktop::writeShortcut(file, entry); });
    }
    std::unique_ptr<engine::PendingWork> refreshFontFolder(const std::string& folder) override {
        auto work =
            m_timings.timed("fonts", [&] { return LinuxDesktop::refreshFontFolder(folder); });
        if (!work) return work;
        return std::make_unique<TimedWork>(m_timings, std::move(work));
    }

private:
    // The wait for the font cache refresh at the end of the install.
    class TimedWork : public engine::PendingWork {
    public:
        TimedWork(Timings& timings, std::unique_ptr<engine::PendingWork> work)
            : m_timings(timings), m_work(std::move(work)) {}
        void finish(const std::function<void()>& whileWaiting) override {
            m_timings.timed("font cache wait", [&] {
                m_work->finish(whileWaiting);
                return 0;
            });
        }

    private:
        Timings& m_timings;
        std::unique_ptr<engine::PendingWork> m_work;
    };

    Timings& m_timings;
};

// The real machine with its calls timed.
class TimedMachine : public engine::Machine {
public:
    engine::RegistryStore& registry() override { return m_registry; }
    engine::Programs& programs() override { return m_programs; }
    engine::Files& files() override { return m_files; }
    engine::Archives& archives() override { return m_archives; }
    engine::Desktop& desktop() override { return m_desktop; }

    Timings timings;

private:
    TimedRegistry m_registry{timings};
    TimedPrograms m_programs{timings};
    TimedFiles m_files{timings};
    TimedArchives m_archives{timings};
    TimedDesktop m_desktop{timings};
};

class SilentMessages : public framework::MessageBoxes {
public:
    void showMessage(const std::string& text) override {
        std::fprintf(stderr, "message: %s\n", text.c_str());
    }
    bool askYesNo(const std::string&) override { return true; }
    void showError(const std::string& text) override {
        std::fprintf(stderr, "error: %s\n", text.c_str());
    }
};

// The last round's removals and writes reach the disc before a timing starts, so that
// neither side pays for the other's write-back.
void settleDisc() { ::sync(); }

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
    double extracting;         // the extractions' own wall time inside the install
    double before, after;      // the program's work before the first and after the last
    std::vector<double> gaps;  // the program's own work between two extractions
    std::map<std::string, double> spent;
};

InstallTimes installOnce(const std::string& dist, const fs::path& home, bool tahomaPresent) {
    setSandbox(home);
    // The last round's copy, gone with its sandbox, must not count as installed.
    FcConfigAppFontClear(nullptr);
    if (tahomaPresent)
        FcConfigAppFontAddFile(nullptr, reinterpret_cast<const FcChar8*>(kTahomaFile));
    auto owned = std::make_unique<TimedMachine>();
    TimedMachine* machine = owned.get();
    setup::Wizard wizard(std::move(owned), dist);
    wizard.createPages();
    wizard.isForm1->Show();
    wizard.isForm1->Button3->Click();
    wizard.isForm3->Edit1->setText((home / "Quindor").string() + "/");
    wizard.isForm3->Button3->Click();
    for (int row = 0; row < 15; ++row) wizard.isform4->CheckListBox1->setChecked(row, true);
    wizard.isform4->Button3->Click();
    settleDisc();
    const auto start = Clock::now();
    wizard.isForm5->Button3->Click();
    const auto end = Clock::now();
    const Timings& timed = machine->timings;
    InstallTimes times{ms(end - start), 0, 0, 0, {}, timed.spent};
    if (timed.starts.empty()) return times;
    times.before = ms(timed.starts.front() - start);
    times.after = ms(end - timed.ends.back());
    for (std::size_t i = 0; i < timed.starts.size(); ++i) {
        times.extracting += ms(timed.ends[i] - timed.starts[i]);
        if (i > 0) times.gaps.push_back(ms(timed.starts[i] - timed.ends[i - 1]));
    }
    return times;
}

double bareOnce(const std::string& dist, const fs::path& home) {
    setSandbox(home);
    const std::string folder = (home / "Quindor").string();
    std::vector<engine::CommandLine> commands{
        engine::extractorCommand(dist, folder, "QUINDOR.ZIP")};
    for (const std::string& code : kCodes) {
        commands.push_back(engine::extractorCommand(dist, folder + "/QUINDOR", code + ".ZIP"));
    }
    commands.push_back(engine::extractorCommand(dist, folder, "HTMLhelp.ZIP"));
    settleDisc();
    const auto start = Clock::now();
    for (const engine::CommandLine& command : commands)
        platform::runAndWait(command.arguments, [] {});
    return ms(Clock::now() - start);
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: install_bench DIST_FOLDER [ROUNDS] [tahoma-present]\n");
        return 2;
    }
    const std::string dist = fs::absolute(argv[1]).string() + "/";
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 5;
    const bool tahomaPresent = argc > 3 && std::string(argv[3]) == "tahoma-present";
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    const fs::path sandbox =
        fs::temp_directory_path() / ("quindor-install-bench-" + std::to_string(getpid()));
    framework::Application app(argc, argv);
    SilentMessages messages;
    app.setMessages(&messages);

    std::vector<double> installs, bares, gaps, extracting, befores, afters;
    std::map<std::string, std::vector<double>> spent;
    for (int round = 0; round < rounds; ++round) {
        // Which side goes first alternates, so that neither always runs on a warmer machine.
        if (round % 2 == 1) bares.push_back(bareOnce(dist, sandbox / "bare"));
        const InstallTimes times = installOnce(dist, sandbox / "install", tahomaPresent);
        installs.push_back(times.total);
        extracting.push_back(times.extracting);
        befores.push_back(times.before);
        afters.push_back(times.after);
        for (const auto& [kind, time] : times.spent) spent[kind].push_back(time);
        gaps.insert(gaps.end(), times.gaps.begin(), times.gaps.end());
        if (round % 2 == 0) bares.push_back(bareOnce(dist, sandbox / "bare"));
    }
    fs::remove_all(sandbox);
    std::printf("install procedure   median %8.1f ms\n", median(installs));
    std::printf("bare extractions    median %8.1f ms\n", median(bares));
    std::printf("ratio (median)      %8.3fx over %d rounds\n", median(installs) / median(bares),
                rounds);
    // Each install against the bare run next to it in time, so that a slow spell of the
    // machine weighs on both sides of a pair.
    std::vector<double> paired;
    for (std::size_t i = 0; i < installs.size(); ++i) paired.push_back(installs[i] / bares[i]);
    std::printf("paired ratio        %8.3fx (median of %zu pairs)\n", median(paired),
                paired.size());
    // The install's own time, whatever the extractions took: the machine's speed drifts by
    // several per cent between runs, this much less.
    std::vector<double> own;
    for (std::size_t i = 0; i < installs.size(); ++i) own.push_back(installs[i] - extracting[i]);
    std::printf(
        "own work in all     median %8.1f ms, ratio as if the extractions took the same: %.3fx\n",
        median(own), (median(bares) + median(own)) / median(bares));
    std::printf(
        "inside the install: extractions median %.1f ms, before the first %.1f ms, after the last "
        "%.1f ms\n",
        median(extracting), median(befores), median(afters));
    for (const auto& [kind, times] : spent) {
        std::printf("  of which %-16s median %6.2f ms an install\n", kind.c_str(), median(times));
    }
    std::printf("own work between extractions: median %.3f ms, max %.3f ms (%zu gaps)\n",
                median(gaps), *std::max_element(gaps.begin(), gaps.end()), gaps.size());
    return 0;
}
