// The process's one inotify instance shared by folder watches (one watch per folder, the
// union of the holders' masks, events handed to those who asked), and the watch of a folder
// with the folders below it: depth and count bounds, file-system bounds, sub-folders that
// come and go, the folder itself going, lost events. Each test uses a hub of its own.

#include "platform/folder_watch.h"

#include <poll.h>
#include <sys/inotify.h>
#include <sys/stat.h>

#include <climits>
#include <condition_variable>
#include <filesystem>
#include <mutex>

#include "platform/inotify_hub.h"
#include "temp_tree.h"

using platform::FolderWatch;
using platform::FolderWatchLimits;
using platform::InotifyHub;
using platform::WatchEvent;
using testing_support::runProgram;
using testing_support::TempTree;
namespace fs = std::filesystem;

namespace {

// Records what the hub hands it; waits for an event with a generous time-out.
class Recorder : public platform::WatchSubscriber {
public:
    void deliver(const WatchEvent& event) override {
        std::lock_guard lock(m_mutex);
        m_events.push_back(event);
        m_arrived.notify_all();
    }
    bool waitFor(std::uint32_t mask, const std::string& name) {
        std::unique_lock lock(m_mutex);
        return m_arrived.wait_for(lock, std::chrono::seconds(30),
                                  [&] { return findLocked(mask, name); });
    }
    bool has(std::uint32_t mask, const std::string& name) {
        std::lock_guard lock(m_mutex);
        return findLocked(mask, name);
    }

private:
    bool findLocked(std::uint32_t mask, const std::string& name) const {
        for (const WatchEvent& event : m_events) {
            if ((event.mask & mask) && event.name == name) return true;
        }
        return false;
    }
    std::mutex m_mutex;
    std::condition_variable m_arrived;
    std::vector<WatchEvent> m_events;
};

// Takes the watch's events as they come until one of them means something.
FolderWatch::Outcome nextOutcome(FolderWatch& watch) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (std::chrono::steady_clock::now() < deadline) {
        pollfd wait{watch.descriptor(), POLLIN, 0};
        if (::poll(&wait, 1, 1000) <= 0) continue;
        const auto outcome = watch.takeEvents();
        if (outcome != FolderWatch::Outcome::Nothing) return outcome;
    }
    return FolderWatch::Outcome::Nothing;
}

// The events of one change may arrive in more than one batch (a rename's two halves):
// takes reports until the watch has settled as expected, each of them a change.
template <class Settled>
bool changedUntil(FolderWatch& watch, Settled settled) {
    for (int report = 0; report < 10; ++report) {
        if (nextOutcome(watch) != FolderWatch::Outcome::Changed) return false;
        if (settled()) return true;
    }
    return false;
}

constexpr std::uint32_t kNamesFilter = platform::kChangeFileName | platform::kChangeDirName;
constexpr FolderWatchLimits kOneLevel{1, 1024};

}  // namespace

TEST(InotifyHub, OneWatchPerFolderCarriesTheUnionOfItsHoldersMasks) {
    TempTree tree;
    InotifyHub hub;
    Recorder first, second;
    const int watch = hub.add(first, tree.root(), IN_CREATE, false);
    ASSERT_GE(watch, 0);
    EXPECT_EQ(hub.add(second, tree.root(), IN_ATTRIB, false), watch);
    EXPECT_EQ(hub.add(first, tree.root(), IN_CREATE, false), watch);  // held twice
    EXPECT_EQ(hub.watchCount(), 1u);
    EXPECT_EQ(hub.kernelMask(watch), std::uint32_t{IN_CREATE | IN_ATTRIB});

    hub.release(second, watch);  // the mask narrows for the holder left
    EXPECT_EQ(hub.kernelMask(watch), std::uint32_t{IN_CREATE});
    hub.release(first, watch);
    EXPECT_EQ(hub.watchCount(), 1u);  // one hold of two given up
    hub.release(first, watch);
    EXPECT_EQ(hub.watchCount(), 0u);
    EXPECT_EQ(hub.add(first, tree / "missing", IN_CREATE, false), -1);
    EXPECT_EQ(errno, ENOENT);
}

TEST(InotifyHub, EachEventReachesTheHoldersThatAskedForItAndAGoneFolderReachesAll) {
    TempTree tree;
    InotifyHub hub;
    Recorder names, stamps;
    const fs::path folder = tree.mkdir("watched");
    const int watch = hub.add(names, folder, IN_CREATE, false);
    hub.add(stamps, folder, IN_ATTRIB, false);
    tree.write("watched/file", "x");
    ASSERT_TRUE(names.waitFor(IN_CREATE, "file"));
    ASSERT_EQ(::chmod((folder / "file").c_str(), 0600), 0);
    ASSERT_TRUE(stamps.waitFor(IN_ATTRIB, "file"));
    EXPECT_FALSE(stamps.has(IN_CREATE, "file"));
    EXPECT_FALSE(names.has(IN_ATTRIB, "file"));

    fs::remove_all(folder);
    EXPECT_TRUE(names.waitFor(IN_IGNORED, ""));
    EXPECT_TRUE(stamps.waitFor(IN_IGNORED, ""));
    EXPECT_EQ(hub.kernelMask(watch), 0u);
    hub.releaseAll(names);  // the kernel dropped it already: nothing left to give up
    EXPECT_EQ(hub.watchCount(), 0u);
}

// All of the user's instances taken when the first watch came: that watch fails, the next
// one makes the instance and reports changes.
TEST(InotifyHub, AnInstanceThatCouldNotBeMadeIsMadeAtTheNextWatch) {
    TempTree tree;
    int opened = 0;
    InotifyHub hub([&opened] {
        if (++opened > 1) return ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        errno = EMFILE;
        return -1;
    });
    FolderWatch refused(hub);
    const bool watched = refused.open(tree.root(), kNamesFilter, kOneLevel);
    const int error = errno;
    EXPECT_FALSE(watched);
    EXPECT_EQ(error, EMFILE);
    FolderWatch watch(hub);
    ASSERT_TRUE(watch.open(tree.root(), kNamesFilter, kOneLevel));
    tree.write("file", "x");
    EXPECT_EQ(nextOutcome(watch), FolderWatch::Outcome::Changed);
    EXPECT_EQ(opened, 2);
}

struct FilterRow {
    const char* what;
    std::uint32_t filters;
    std::uint32_t event;
    bool reported;
};

class ChangeFilters : public testing::TestWithParam<FilterRow> {};

TEST_P(ChangeFilters, AskForTheirEventsOnlyAndReportThem) {
    const FilterRow& row = GetParam();
    EXPECT_EQ(platform::filtersReport(row.filters, row.event), row.reported);
    if (row.reported) {
        EXPECT_NE(platform::inotifyMaskOf(row.filters) & row.event & ~IN_ISDIR, 0u);
    }
}

INSTANTIATE_TEST_SUITE_P(
    FolderWatch, ChangeFilters,
    testing::Values(
        FilterRow{"file created, names", kNamesFilter, IN_CREATE, true},
        FilterRow{"folder moved in, names", kNamesFilter, IN_MOVED_TO | IN_ISDIR, true},
        FilterRow{"folder deleted, file names only", platform::kChangeFileName,
                  IN_DELETE | IN_ISDIR, false},
        FilterRow{"file renamed, folder names only", platform::kChangeDirName, IN_MOVED_FROM,
                  false},
        FilterRow{"contents written, names", kNamesFilter, IN_MODIFY, false},
        FilterRow{"time set, names", kNamesFilter, IN_ATTRIB, false},
        FilterRow{"file read, names", kNamesFilter, IN_ACCESS, false},
        FilterRow{"contents written, size", platform::kChangeSize, IN_MODIFY, true},
        FilterRow{"time set, last write", platform::kChangeLastWrite, IN_ATTRIB, true},
        FilterRow{"file read, last access", platform::kChangeLastAccess, IN_ACCESS, true},
        FilterRow{"mode changed, attributes", platform::kChangeAttributes, IN_ATTRIB, true},
        FilterRow{"owner changed, security", platform::kChangeSecurity, IN_ATTRIB, true},
        FilterRow{"time set, creation", platform::kChangeCreation, IN_ATTRIB, true},
        FilterRow{"file created, size", platform::kChangeSize, IN_CREATE, false}),
    [](const testing::TestParamInfo<FilterRow>& info) {
        std::string name = info.param.what;
        for (char& c : name) c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
        return name;
    });

TEST(FolderWatch, NamesOnlyAskTheKernelForNoContentOrTimeEvents) {
    TempTree tree;
    InotifyHub hub;
    FolderWatch watch(hub);
    ASSERT_TRUE(watch.open(tree.root(), kNamesFilter, kOneLevel));
    Recorder probe;  // the same folder gives the same watch
    const int root = hub.add(probe, tree.root(), IN_CREATE, false);
    EXPECT_EQ(hub.kernelMask(root) & (IN_MODIFY | IN_ATTRIB | IN_ACCESS), 0u);
    EXPECT_NE(hub.kernelMask(root) & (IN_DELETE_SELF | IN_MOVE_SELF | IN_MOVED_TO | IN_DELETE), 0u);
}

TEST(FolderWatch, HoldsTheFolderAndItsSubFoldersDownToTheDepthWithinTheCount) {
    TempTree tree;
    for (const char* folder : {"a/deep/deeper", "b", "c/deep"}) tree.mkdir(folder);
    tree.write("file", "x");
    InotifyHub hub;
    FolderWatch one(hub), all(hub), few(hub);
    ASSERT_TRUE(one.open(tree.root(), kNamesFilter, kOneLevel));
    ASSERT_TRUE(all.open(tree.root(), kNamesFilter, FolderWatchLimits{INT_MAX, 1024}));
    ASSERT_TRUE(few.open(tree.root(), kNamesFilter, FolderWatchLimits{INT_MAX, 3}));
    EXPECT_EQ(one.watchCount(), 4u);  // the folder, a, b, c
    EXPECT_EQ(all.watchCount(), 7u);
    EXPECT_EQ(few.watchCount(), 3u);
    EXPECT_EQ(hub.watchCount(), 7u);  // shared by the three

    FolderWatch alone(hub);
    ASSERT_TRUE(alone.open(tree.root(), kNamesFilter, FolderWatchLimits{0, 1024}));
    EXPECT_EQ(alone.watchCount(), 1u);
    EXPECT_FALSE(alone.open(tree / "file", kNamesFilter, kOneLevel));  // not a folder
    EXPECT_EQ(errno, ENOTDIR);
}

TEST(FolderWatch, NeverCrossesIntoAnotherFileSystem) {
    struct stat rootStatus {};
    ASSERT_EQ(::stat("/", &rootStatus), 0);
    std::size_t sameDevice = 1;
    for (const auto& entry : fs::directory_iterator("/")) {
        struct stat status {};
        if (::lstat(entry.path().c_str(), &status) == 0 && S_ISDIR(status.st_mode) &&
            status.st_dev == rootStatus.st_dev) {
            ++sameDevice;
        }
    }
    InotifyHub hub;
    FolderWatch watch(hub);
    ASSERT_TRUE(watch.open("/", kNamesFilter, kOneLevel));
    EXPECT_EQ(watch.watchCount(), sameDevice);
}

TEST(FolderWatch, FollowsSubFoldersThatComeAndGo) {
    TempTree tree;
    tree.mkdir("old");
    InotifyHub hub;
    FolderWatch watch(hub);
    ASSERT_TRUE(watch.open(tree.root(), kNamesFilter, kOneLevel));

    ASSERT_EQ(runProgram({"mkdir", (tree / "new").string()}), 0);
    EXPECT_TRUE(changedUntil(watch, [&] { return watch.watchCount() == 3u; }));
    tree.write("new/file", "x");  // inside a sub-folder watched since it came
    EXPECT_EQ(nextOutcome(watch), FolderWatch::Outcome::Changed);

    const TempTree elsewhere;
    fs::rename(tree / "old", elsewhere / "old");
    EXPECT_TRUE(changedUntil(watch, [&] { return watch.watchCount() == 2u; }));
    fs::rename(tree / "new", tree / "renamed");
    EXPECT_TRUE(changedUntil(watch, [&] { return watch.watchCount() == 2u; }));
    tree.write("renamed/file2", "x");
    EXPECT_EQ(nextOutcome(watch), FolderWatch::Outcome::Changed);
    fs::remove_all(tree / "renamed");
    EXPECT_TRUE(changedUntil(watch, [&] { return watch.watchCount() == 1u; }));
}

TEST(FolderWatch, AFolderMadeWithContentsBeforeItsWatchIsAChange) {
    TempTree tree;
    InotifyHub hub;
    FolderWatch watch(hub);
    ASSERT_TRUE(watch.open(tree.root(), platform::kChangeFileName, FolderWatchLimits{2, 1024}));
    const TempTree elsewhere;
    elsewhere.mkdir("made/inner");
    elsewhere.write("made/inner/file", "x");
    fs::rename(elsewhere / "made", tree / "made");  // a folder alone: not a file name
    EXPECT_EQ(nextOutcome(watch), FolderWatch::Outcome::Changed);
    EXPECT_EQ(watch.watchCount(), 3u);  // made and made/inner
}

TEST(FolderWatch, TheFolderItselfDeletedOrMovedAwayEndsTheWatch) {
    TempTree tree;
    tree.mkdir("deleted/sub");
    tree.mkdir("moved");
    InotifyHub hub;
    FolderWatch deleted(hub), moved(hub);
    ASSERT_TRUE(deleted.open(tree / "deleted", kNamesFilter, kOneLevel));
    ASSERT_TRUE(moved.open(tree / "moved", kNamesFilter, kOneLevel));
    fs::remove_all(tree / "deleted");
    auto outcome = nextOutcome(deleted);
    if (outcome == FolderWatch::Outcome::Changed) outcome = nextOutcome(deleted);  // sub went first
    EXPECT_EQ(outcome, FolderWatch::Outcome::FolderGone);
    EXPECT_EQ(deleted.watchCount(), 0u);
    fs::rename(tree / "moved", tree / "elsewhere");
    EXPECT_EQ(nextOutcome(moved), FolderWatch::Outcome::FolderGone);
    EXPECT_EQ(hub.watchCount(), 0u);
}

TEST(FolderWatch, EventsLostInTheQueueMakeItReadEverythingAgain) {
    TempTree tree;
    InotifyHub hub;
    FolderWatch watch(hub);
    ASSERT_TRUE(watch.open(tree.root(), kNamesFilter, kOneLevel));
    // More events than the watch queues, taken only afterwards.
    for (int i = 0; i < 4200; ++i) tree.write("f" + std::to_string(i), "");
    tree.mkdir("late");
    Recorder marker;
    hub.add(marker, tree.root(), IN_CREATE, false);
    tree.write("marker", "");
    ASSERT_TRUE(marker.waitFor(IN_CREATE, "marker"));
    EXPECT_EQ(watch.takeEvents(), FolderWatch::Outcome::Changed);
    EXPECT_EQ(watch.watchCount(), 2u);  // the rescan found "late"
}
