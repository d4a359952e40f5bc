// The folder monitor on its own, without Qt (also run under ThreadSanitizer): the test's
// thread plays the user-interface thread and serves the monitors' reports from its own
// queue. Suspended start, reports on the owner while the monitor waits, bursts, folders
// that cannot be watched or go away, new values while running, and destruction at every
// moment of a report.

#include "shelltree/disc_monitor_thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "framework/thread/handler_failure.h"
#include "temp_tree.h"
#include "watchdog.h"

using framework::SyncQueue;
using shelltree::TDiscMonitorThread;
using testing_support::runProgram;
using testing_support::TempTree;
using testing_support::Watchdog;
namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

class DiscMonitor : public testing::Test {
protected:
    // Serves the reports until done() holds (false after a generous time-out).
    bool serveUntil(const std::function<bool()>& done) {
        return testing_support::waitUntil(done, [this] { queue.serve(); });
    }
    std::unique_ptr<TDiscMonitorThread> watching(const fs::path& folder, bool subTree = true) {
        auto monitor = std::make_unique<TDiscMonitorThread>(queue);
        monitor->setSubTree(subTree);
        monitor->setDirectory(folder);
        monitor->OnFolderChange = [this](TDiscMonitorThread&) {
            EXPECT_EQ(std::this_thread::get_id(), owner);
            ++changes;
        };
        monitor->OnFolderInvalid = [this](TDiscMonitorThread&) { ++invalid; };
        return monitor;
    }
    static void mkdir(const fs::path& folder) {
        ASSERT_EQ(runProgram({"mkdir", "-p", folder.string()}), 0);
    }
    // The thread opens its watch in its own time: makes a new folder in folder at every
    // turn until done() holds.
    bool pokeUntil(const fs::path& folder, const std::function<bool()>& done) {
        return testing_support::waitUntil(done, [&] {
            queue.serve();
            fs::create_directory(folder / ("poke" + std::to_string(++pokes)));
        });
    }

    void TearDown() override {
        queue.setWakeup({});
        framework::setHandlerFailureReport({});
    }
    // Outlives every test: a monitor destroyed inside its own report leaves its thread to be
    // joined by whoever comes next, and that thread still calls on its queue.
    static SyncQueue& lastingQueue() {
        static SyncQueue queue;  // owned by the tests' thread
        return queue;
    }

    Watchdog dog{120s};
    SyncQueue& queue = lastingQueue();
    std::thread::id owner = std::this_thread::get_id();
    TempTree tree;
    int changes = 0;
    int invalid = 0;
    int pokes = 0;
};

}  // namespace

TEST_F(DiscMonitor, CreatedSuspendedItWatchesWithTheLastValuesOnceResumed) {
    tree.mkdir("watched");
    auto monitor = watching(tree / "missing");
    monitor->setDirectory(tree / "watched");
    monitor->setFilters(platform::kChangeDirName);
    EXPECT_TRUE(monitor->suspended());
    mkdir(tree / "watched/before");  // nothing watches yet
    EXPECT_EQ(queue.serve(), 0u);
    monitor->Resume();
    ASSERT_TRUE(pokeUntil(tree / "watched", [&] { return changes >= 1; }));
    EXPECT_EQ(invalid, 0);  // the missing folder was never opened
    EXPECT_EQ(monitor->Directory(), (tree / "watched").string());
}

TEST_F(DiscMonitor, ABurstDuringAReportMakesOneMoreReport) {
    tree.mkdir("watched");
    auto monitor = watching(tree / "watched");
    int reportsUntilFinal = 0;
    monitor->OnFolderChange = [&](TDiscMonitorThread&) {
        ++changes;
        if (changes == 1) {
            // The monitor waits for this handler: everything made now is one more report.
            for (int i = 0; i < 50; ++i)
                fs::create_directory(tree / ("watched/burst" + std::to_string(i)));
        }
        if (changes == 2) fs::create_directory(tree / "watched/final");
        if (reportsUntilFinal == 0 && fs::exists(tree / "watched/final"))
            reportsUntilFinal = changes;
    };
    monitor->Resume();
    ASSERT_TRUE(pokeUntil(tree / "watched", [&] { return changes >= 1; }));
    // Events come in order: when "final" is reported, every report of the burst is in.
    ASSERT_TRUE(serveUntil([&] { return changes >= 3; }));
    EXPECT_EQ(changes, 3);
    EXPECT_LE(reportsUntilFinal, 3);
}

TEST_F(DiscMonitor, AFolderThatCannotBeWatchedIsReportedOnceThenNewValuesAreWaitedFor) {
    auto monitor = watching(tree / "missing");
    monitor->Resume();
    ASSERT_TRUE(serveUntil([&] { return invalid == 1; }));
    tree.mkdir("other");
    monitor->setDirectory(tree / "other");
    ASSERT_TRUE(pokeUntil(tree / "other", [&] { return changes >= 1; }));
    EXPECT_EQ(invalid, 1);
    monitor->setDirectory(tree / "missing2");
    ASSERT_TRUE(serveUntil([&] { return invalid == 2; }));
}

TEST_F(DiscMonitor, TheFolderItselfDeletedIsAChangeThenAFolderThatCannotBeWatched) {
    tree.mkdir("watched/sub");
    auto monitor = watching(tree / "watched");
    monitor->Resume();
    ASSERT_TRUE(pokeUntil(tree / "watched", [&] { return changes >= 1; }));  // the watch is open
    ASSERT_EQ(runProgram({"rm", "-rf", (tree / "watched").string()}), 0);
    ASSERT_TRUE(serveUntil([&] { return invalid == 1; }));
    EXPECT_GE(changes, 2);
    monitor->setDirectory(tree.root());  // new values: watching again
    const int before = changes;
    ASSERT_TRUE(pokeUntil(tree.root(), [&] { return changes > before; }));
}

// A handler's failure is shown as every handler's is, and the folder stays watched.
TEST_F(DiscMonitor, AFailingHandlerIsShownAndTheWatchGoesOn) {
    std::vector<std::string> shown;
    framework::setHandlerFailureReport([&](const std::string& text) { shown.push_back(text); });
    tree.mkdir("watched");
    auto monitor = watching(tree / "watched");
    monitor->OnFolderChange = [&](TDiscMonitorThread&) {
        if (++changes == 1) throw std::runtime_error("re-reading failed");
    };
    monitor->Resume();
    ASSERT_TRUE(pokeUntil(tree / "watched", [&] { return changes >= 1; }));
    ASSERT_TRUE(pokeUntil(tree / "watched", [&] { return changes >= 2; }));
    EXPECT_EQ(shown, std::vector<std::string>{"re-reading failed"});
}

TEST_F(DiscMonitor, NewValuesWhileRunningMoveTheWatch) {
    tree.mkdir("first");
    tree.mkdir("second");
    auto monitor = watching(tree / "first", false);
    monitor->Resume();
    monitor->setDirectory(tree / "second");
    monitor->setSubTree(true);
    tree.mkdir("second/sub");
    ASSERT_TRUE(pokeUntil(tree / "second", [&] { return changes >= 1; }));
    const int before = changes;
    mkdir(tree / "second/sub/inner");  // below: watched since SubTree is set
    ASSERT_TRUE(serveUntil([&] { return changes > before; }));
}

TEST_F(DiscMonitor, DestroyedWhileItsReportWaitsItNeitherBlocksNorReports) {
    tree.mkdir("watched");
    std::atomic<bool> queued{false};
    queue.setWakeup([&] { queued = true; });
    auto monitor = watching(tree / "watched");
    monitor->Resume();
    ASSERT_TRUE(testing_support::waitUntil(
        [&] { return queued.load(); },
        [&] { fs::create_directory(tree / ("watched/poke" + std::to_string(++pokes))); }));
    const auto start = std::chrono::steady_clock::now();
    monitor.reset();  // serves the waiting report, which finds no handler
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(queue.serve(), 0u);
}

TEST_F(DiscMonitor, DestroyedFromInsideItsOwnReportItEndsLater) {
    tree.mkdir("watched");
    auto monitor = watching(tree / "watched");
    monitor->OnFolderChange = [&](TDiscMonitorThread& sender) {
        EXPECT_EQ(&sender, monitor.get());
        ++changes;
        monitor.reset();  // the owner goes while the monitor waits for this very report
    };
    monitor->Resume();
    ASSERT_TRUE(pokeUntil(tree / "watched", [&] { return monitor == nullptr; }));
    // Its thread ends on its own and is joined by whoever comes next.
    auto next = watching(tree / "watched");
    next->Resume();
    ASSERT_TRUE(pokeUntil(tree / "watched", [&] { return changes >= 2; }));
    next.reset();
    TDiscMonitorThread::reapEnded();
    EXPECT_EQ(changes, 2);
}

TEST_F(DiscMonitor, AThousandMonitorsComeAndGoWhileFoldersChangeEachJoinWithinASecond) {
    constexpr int kFolders = 10;
    for (int i = 0; i < kFolders; ++i) tree.mkdir("f" + std::to_string(i));
    std::atomic<bool> stop{false};
    std::thread changer([&] {
        for (int n = 0; !stop; ++n) {
            const fs::path folder = tree / ("f" + std::to_string(n % kFolders)) / "churn";
            std::error_code ignored;
            fs::create_directory(folder, ignored);
            fs::remove(folder, ignored);
        }
    });
    auto slowest = std::chrono::steady_clock::duration::zero();
    for (int round = 0; round < 10; ++round) {
        std::vector<std::unique_ptr<TDiscMonitorThread>> monitors;
        for (int i = 0; i < 100; ++i) {
            monitors.push_back(watching(tree / ("f" + std::to_string(i % kFolders))));
            monitors.back()->Resume();
        }
        queue.serve();
        while (!monitors.empty()) {
            const auto start = std::chrono::steady_clock::now();
            monitors.pop_back();
            slowest = std::max(slowest, std::chrono::steady_clock::now() - start);
        }
    }
    stop = true;
    changer.join();
#ifdef __SANITIZE_THREAD__
    // ThreadSanitizer makes starting and joining threads many times slower; here the
    // test looks for races, and the second stands for the join's promptness elsewhere.
    EXPECT_LT(slowest, 10s);
#else
    EXPECT_LT(slowest, 1s);
#endif
}
