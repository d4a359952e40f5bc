// The folder tree following the disc, offscreen:
// - latency from mkdir to the new node in an expanded folder of 100 sub-folders, against a
//   bare inotify reader that re-reads the folder (readdir + lstat) in the same process;
// - a burst of 5,000 folders made at once by another thread, a file in each: how many
//   reach the tree, and when;
// - the cost of the monitors of a tree with "/" and a home folder of 3,000 folders expanded:
//   watches held (against the user's limit), the user-interface thread's time to read and
//   start them, the time until every watch is set, and one node's watch of each alone;
// - voluntary context switches of the monitor threads while 50 expanded nodes sit idle.
// Usage: monitor_bench [ROUNDS] [IDLE_SECONDS]   (defaults 200 and 60)

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "framework/application.h"
#include "platform/folder_watch.h"
#include "platform/inotify_hub.h"
#include "shelltree/shell_tree.h"

namespace fs = std::filesystem;
using Steady = std::chrono::steady_clock;

namespace {

double ms(Steady::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

double percentile(std::vector<double> values, double p) {
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1,
                           static_cast<std::size_t>(p * static_cast<double>(values.size())))];
}

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "monitor_bench: %s\n", what);
    std::exit(1);
}

fs::path makeFolder() {
    std::string pattern = (fs::temp_directory_path() / "monitor-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) fail("cannot make a folder");
    return pattern;
}

shelltree::TShellNode* childNamed(const shelltree::TShellNode* node, const std::string& name) {
    for (int i = 0; i < node->count(); ++i) {
        if (node->child(i)->text() == name) return node->child(i);
    }
    return nullptr;
}

// Runs the event loop (sleeping while nothing comes) until done() or the limit.
bool processUntil(const std::function<bool()>& done,
                  std::chrono::seconds limit = std::chrono::seconds(60)) {
    const auto deadline = Steady::now() + limit;
    while (!done()) {
        if (Steady::now() > deadline) return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    return true;
}

std::unique_ptr<shelltree::TShellTree> treeAt(const fs::path& folder) {
    auto tree = std::make_unique<shelltree::TShellTree>(nullptr);
    tree->setRootUsePIDL(false);
    tree->SetRootDir(folder.string());
    tree->Loaded();
    return tree;
}

// What the tree does on a change, done by hand: one inotify watch, then the folder read.
std::vector<double> bareLatencies(const fs::path& folder, int rounds) {
    const int inotify = inotify_init1(IN_CLOEXEC);
    inotify_add_watch(inotify, folder.c_str(),
                      IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_ONLYDIR);
    alignas(inotify_event) char buffer[4096];
    std::vector<double> latencies;
    for (int i = 0; i < rounds; ++i) {
        const fs::path made = folder / ("new" + std::to_string(i));
        const auto start = Steady::now();
        ::mkdir(made.c_str(), 0755);
        (void)!::read(inotify, buffer, sizeof buffer);
        bool seen = false;
        DIR* listing = ::opendir(folder.c_str());
        while (const dirent* entry = ::readdir(listing)) {
            struct stat status {};
            ::fstatat(::dirfd(listing), entry->d_name, &status, AT_SYMLINK_NOFOLLOW);
            seen = seen || made.filename() == entry->d_name;
        }
        ::closedir(listing);
        if (!seen) fail("the bare reader missed a folder");
        latencies.push_back(ms(Steady::now() - start));
        ::rmdir(made.c_str());
        (void)!::read(inotify, buffer, sizeof buffer);
    }
    ::close(inotify);
    return latencies;
}

std::vector<double> treeLatencies(const fs::path& folder, int rounds) {
    auto tree = treeAt(folder);
    shelltree::TShellNode* top = tree->RootNode();
    processUntil([] { return false; }, std::chrono::seconds(1));  // the monitor's start report
    std::vector<double> latencies;
    for (int i = 0; i < rounds; ++i) {
        const std::string name = "new" + std::to_string(i);
        const auto start = Steady::now();
        ::mkdir((folder / name).c_str(), 0755);
        if (!processUntil([&] { return childNamed(top, name) != nullptr; }))
            fail("a folder never appeared");
        latencies.push_back(ms(Steady::now() - start));
        ::rmdir((folder / name).c_str());
        if (!processUntil([&] { return childNamed(top, name) == nullptr; }))
            fail("a folder never went");
    }
    return latencies;
}

void latency(int rounds) {
    const fs::path folder = makeFolder();
    for (int i = 0; i < 100; ++i) fs::create_directories(folder / ("f" + std::to_string(i)) / "x");
    const auto bare = bareLatencies(folder, rounds);
    const auto tree = treeLatencies(folder, rounds);
    fs::remove_all(folder);
    std::printf("mkdir -> seen, folder of 100 sub-folders (%d rounds)   median     p99\n", rounds);
    std::printf("  bare inotify reader + readdir/lstat re-read:        %7.3f ms %7.3f ms\n",
                percentile(bare, 0.5), percentile(bare, 0.99));
    std::printf("  tree: node appears                                  %7.3f ms %7.3f ms\n",
                percentile(tree, 0.5), percentile(tree, 0.99));
}

void burst() {
    constexpr int kFolders = 5000;
    const fs::path folder = makeFolder();
    fs::create_directories(folder / "seed/x");
    auto tree = treeAt(folder);
    shelltree::TShellNode* top = tree->RootNode();
    const auto start = Steady::now();
    double making = 0;
    std::thread maker([&] {
        for (int i = 0; i < kFolders; ++i) {
            const fs::path made = folder / ("b" + std::to_string(i));
            ::mkdir(made.c_str(), 0755);
            std::ofstream(made / "file") << "x";
        }
        making = ms(Steady::now() - start);
    });
    const bool all =
        processUntil([&] { return top->count() == kFolders + 1; }, std::chrono::seconds(120));
    const double took = ms(Steady::now() - start);
    maker.join();
    const int lost = kFolders + 1 - top->count();
    std::printf(
        "burst of %d folders with a file each (made in %.0f ms): %d lost, all shown %.0f ms after "
        "the first "
        "mkdir%s\n",
        kFolders, making, lost, took, all ? "" : " (gave up)");
    tree.reset();
    fs::remove_all(folder);
}

int countMonitors(const shelltree::TShellNode* node) {
    int count = node->Monitor ? 1 : 0;
    for (int i = 0; i < node->count(); ++i) count += countMonitors(node->child(i));
    return count;
}

// A home folder of 3,000 folders, each with one inside, stands for a large one.
void startCost() {
    const fs::path bigHome = makeFolder();
    for (int i = 0; i < 3000; ++i)
        fs::create_directories(bigHome / ("h" + std::to_string(i)) / "x");
    setenv("HOME", bigHome.c_str(), 1);
    const char* home = bigHome.c_str();
    auto& hub = platform::InotifyHub::instance();
    const std::size_t before = hub.watchCount();
    const auto start = Steady::now();
    auto tree = std::make_unique<shelltree::TShellTree>(nullptr);
    tree->setRootPIDL(shelltree::PIDL_DRIVES);
    tree->Loaded();
    tree->SetPath("/");
    tree->Selected()->expand(false);
    tree->SetPath(home);
    tree->Selected()->expand(false);
    const double uiTime = ms(Steady::now() - start);
    // Each monitor sets its watches on its own thread; done when the count stops growing.
    std::size_t watches = hub.watchCount();
    auto lastGrowth = Steady::now();
    processUntil([&] {
        if (hub.watchCount() != watches) {
            watches = hub.watchCount();
            lastGrowth = Steady::now();
        }
        return Steady::now() - lastGrowth > std::chrono::milliseconds(500);
    });
    const double settled = ms(lastGrowth - start);
    std::printf(
        "chooser with / and a home of 3,000 folders expanded: %d monitors, %zu watches (user limit "
        "%zu),\n"
        "  UI thread %.1f ms (reads included), all watches set after %.1f ms\n",
        countMonitors(tree->RootNode()), watches - before, platform::InotifyHub::userWatchLimit(),
        uiTime, settled);
    for (const char* folder : {"/", home}) {
        platform::FolderWatch watch;
        const auto opening = Steady::now();
        watch.open(folder, platform::kChangeFileName | platform::kChangeDirName, {1, 1024});
        std::printf("  one node's watch of %s: %zu folders, set in %.2f ms\n", folder,
                    watch.watchCount(), ms(Steady::now() - opening));
    }
    tree.reset();
    fs::remove_all(bigHome);
}

long voluntarySwitches(const std::vector<std::string>& tasks) {
    long total = 0;
    for (const std::string& task : tasks) {
        std::ifstream status("/proc/self/task/" + task + "/status");
        std::string line;
        while (std::getline(status, line)) {
            if (line.rfind("voluntary_ctxt_switches:", 0) == 0) total += std::stol(line.substr(24));
        }
    }
    return total;
}

std::vector<std::string> otherThreads() {
    std::vector<std::string> tasks;
    const std::string self = std::to_string(::getpid());
    for (const auto& entry : fs::directory_iterator("/proc/self/task")) {
        if (entry.path().filename() != self) tasks.push_back(entry.path().filename());
    }
    return tasks;
}

void idle(int seconds) {
    const fs::path folder = makeFolder();
    for (int i = 0; i < 50; ++i) fs::create_directories(folder / ("n" + std::to_string(i)) / "x");
    auto tree = treeAt(folder);
    for (int i = 0; i < 50; ++i)
        childNamed(tree->RootNode(), "n" + std::to_string(i))->expand(false);
    processUntil([] { return false; }, std::chrono::seconds(2));  // start reports served
    const auto tasks = otherThreads();
    const long before = voluntarySwitches(tasks);
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    const long after = voluntarySwitches(tasks);
    std::printf(
        "idle %d s, 51 monitors, %zu threads besides the UI thread: %ld voluntary context "
        "switches\n",
        seconds, tasks.size(), after - before);
    tree.reset();
    fs::remove_all(folder);
}

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    framework::Application app(argc, argv);
    const int rounds = argc > 1 ? std::max(10, std::atoi(argv[1])) : 200;
    const int idleSeconds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 60;
    latency(rounds);
    burst();
    startCost();
    idle(idleSeconds);
    return 0;
}
