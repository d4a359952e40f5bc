// Expanding a folder of 10,000 sub-folders in the folder tree until it is sorted and shown,
// against a bare readdir + lstat loop over the same folder (hot cache); re-reading it
// unchanged (nodes, expansion and selection kept); and the longest stall of the UI thread
// while doing either, with the thread's own CPU time in it (on a busy machine the rest is
// the wait for a core). Offscreen; prints medians and ratios.
// Usage: shell_tree_bench [ROUNDS]

#include <dirent.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <time.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QTreeView>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "shelltree/shell_tree.h"

// CPU time of this thread: on a machine shared with other work, wall time mostly measures
// the wait for a core; the stall below is wall time, as the user sees it.
struct Clock {
    using duration = std::chrono::nanoseconds;
    using time_point = std::chrono::time_point<Clock, duration>;
    static time_point now() {
        timespec t{};
        ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return time_point(duration(static_cast<long long>(t.tv_sec) * 1000000000LL + t.tv_nsec));
    }
};
namespace fs = std::filesystem;

namespace {

constexpr int kFolders = 10000;

double ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "shell_tree_bench: %s\n", what);
    std::exit(1);
}

fs::path makeFolders() {
    std::string pattern = (fs::temp_directory_path() / "shell-tree-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) fail("cannot make a folder");
    const fs::path big = fs::path(pattern) / "big";
    fs::create_directory(big);
    std::mt19937 random(7);
    std::uniform_int_distribution<int> letter('a', 'z');
    for (int i = 0; i < kFolders; ++i) {
        std::string name = "folder-";
        for (int k = 0; k < 10; ++k) name += static_cast<char>(letter(random));
        fs::create_directory(big / name);
    }
    return pattern;
}

double bareLoop(const std::string& folder) {
    const auto start = Clock::now();
    DIR* stream = ::opendir(folder.c_str());
    int count = 0;
    while (const dirent* entry = ::readdir(stream)) {
        struct stat status {};
        if (::lstat((folder + "/" + entry->d_name).c_str(), &status) == 0) ++count;
    }
    ::closedir(stream);
    const double elapsed = ms(Clock::now() - start);
    if (count != kFolders + 2) fail("the bare loop missed entries");
    return elapsed;
}

// Lays out and paints what the tree shows.
void show(shelltree::TShellTree& tree) {
    auto* view = static_cast<QTreeView*>(tree.widget());
    view->doItemsLayout();
    view->viewport()->repaint();
}

std::unique_ptr<shelltree::TShellTree> treeAt(const fs::path& parent) {
    auto tree = std::make_unique<shelltree::TShellTree>(nullptr);
    tree->setBounds(0, 0, 300, 600);
    tree->setRootUsePIDL(false);
    tree->SetRootDir(parent.string());
    tree->Loaded();
    tree->widget()->show();
    QApplication::processEvents();
    return tree;
}

struct Round {
    double firstRead;
    double reRead;
};

Round treeRound(const fs::path& parent) {
    auto tree = treeAt(parent);
    shelltree::TShellNode* big = tree->RootNode()->child(0);
    auto start = Clock::now();
    big->expand(false);
    show(*tree);
    const double first = ms(Clock::now() - start);
    if (big->count() != kFolders || !big->expanded()) fail("the folder was not read");
    if (big->child(0)->text() > big->child(1)->text()) fail("the folder is not sorted");
    shelltree::TShellNode* chosen = big->child(kFolders / 2);
    tree->setSelected(chosen);
    shelltree::TShellNode* firstChild = big->child(0);
    start = Clock::now();
    tree->RefreshNode(big, false);
    show(*tree);
    const double again = ms(Clock::now() - start);
    if (big->count() != kFolders || big->child(0) != firstChild || !big->expanded() ||
        tree->Selected() != chosen) {
        fail("the re-read lost nodes, expansion or selection");
    }
    return {first, again};
}

struct Stall {
    double wall;  // as the user sees it
    double cpu;   // this thread's own work in that gap; the rest was waiting for a core
};

// The longest gap between two turns of the event loop while the folder is expanded and then
// re-read from queued calls, as a user's click would run them.
Stall longestStall(const fs::path& parent) {
    auto tree = treeAt(parent);
    shelltree::TShellNode* big = tree->RootNode()->child(0);
    QElapsedTimer clock;
    clock.start();
    qint64 last = 0;
    Clock::time_point lastCpu = Clock::now();
    Stall longest{0, 0};
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        const Clock::time_point cpu = Clock::now();
        const double wall = static_cast<double>(now - last) / 1e6;
        if (wall > longest.wall) longest = {wall, ms(cpu - lastCpu)};
        last = now;
        lastCpu = cpu;
    });
    ticker.start(0);
    QTimer::singleShot(20, [&] { big->expand(false); });
    QTimer::singleShot(60, [&] { tree->RefreshNode(big, false); });
    QTimer::singleShot(100, [&] { QApplication::exit(0); });
    last = clock.nsecsElapsed();
    lastCpu = Clock::now();
    QApplication::exec();
    return longest;
}

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    const fs::path parent = makeFolders();
    const std::string big = (parent / "big").string();
    bareLoop(big);
    treeRound(parent);  // hot cache for both
    std::vector<double> bare, first, again;
    for (int i = 0; i < rounds; ++i) {
        bare.push_back(bareLoop(big));
        const Round round = treeRound(parent);
        first.push_back(round.firstRead);
        again.push_back(round.reRead);
    }
    const Stall stall = longestStall(parent);
    fs::remove_all(parent);
    const double b = median(bare), f = median(first), a = median(again);
    std::printf("readdir + lstat over 10,000 folders:               %7.2f ms CPU (median of %d)\n",
                b, rounds);
    std::printf(
        "tree: expand 10,000 folders, sorted and shown:     %7.2f ms CPU = %.2fx the bare loop\n",
        f, f / b);
    std::printf(
        "tree: re-read unchanged (nodes, expansion kept):   %7.2f ms CPU = %.2fx the first read\n",
        a, a / f);
    std::printf(
        "longest stall of the UI thread (expand, re-read):  %7.2f ms wall, %.2f ms of it CPU\n",
        stall.wall, stall.cpu);
    return 0;
}
