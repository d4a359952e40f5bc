#include "platform/atomic_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

#include "file_test_support.h"

namespace fs = std::filesystem;
using file_test_support::readText;
using file_test_support::writeText;

namespace {

class AtomicFileTest : public testing::Test {
protected:
    void SetUp() override { m_folder = file_test_support::testFolder("atomic_file"); }
    void TearDown() override {
        std::error_code ignored;
        fs::permissions(m_folder, fs::perms::owner_all, fs::perm_options::add, ignored);
    }

    std::string path(const std::string& name) const { return (m_folder / name).string(); }
    std::vector<std::string> folderEntries() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(m_folder)) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    fs::path m_folder;
};

mode_t modeOf(const std::string& path) {
    struct stat status {};
    EXPECT_EQ(::lstat(path.c_str(), &status), 0);
    return status.st_mode & 07777;
}

// The message of the runtime_error that action throws; empty when it throws none.
template <typename Action>
std::string failureOf(Action action) {
    try {
        action();
    } catch (const std::runtime_error& error) {
        return error.what();
    }
    return {};
}

TEST_F(AtomicFileTest, ReadWholeFileGivesEveryByte) {
    const std::string bytes("first\r\nsecond\0third\xff", 20);
    writeText(m_folder / "data", bytes);
    EXPECT_EQ(platform::readRegularFile(path("data"), 1 << 24), bytes);
    writeText(m_folder / "empty", "");
    EXPECT_EQ(platform::readRegularFile(path("empty"), 1 << 24), std::string());
    const std::string big(300000, 'q');
    writeText(m_folder / "big", big);
    EXPECT_EQ(platform::readRegularFile(path("big"), 1 << 24), big);
}

TEST_F(AtomicFileTest, ReadWholeFileOfAMissingFileIsNothing) {
    EXPECT_EQ(platform::readRegularFile(path("missing"), 1 << 24), std::nullopt);
    EXPECT_EQ(platform::readRegularFile(path("missing-folder/file"), 1 << 24), std::nullopt);
}

TEST_F(AtomicFileTest, ReadWholeFileOfAFolderThrowsNamingIt) {
    fs::create_directory(m_folder / "folder");
    EXPECT_NE(
        failureOf([&] { platform::readRegularFile(path("folder"), 1 << 24); }).find(path("folder")),
        std::string::npos);
}

TEST_F(AtomicFileTest, ReplaceCreatesANewFileWithTheUmaskMode) {
    const mode_t mask = ::umask(022);
    platform::replaceFileAtomically(path("new"), "contents");
    ::umask(mask);
    EXPECT_EQ(readText(m_folder / "new"), "contents");
    EXPECT_EQ(modeOf(path("new")), 0644u);
    EXPECT_EQ(folderEntries(), std::vector<std::string>{"new"});  // no temporary file left
}

TEST_F(AtomicFileTest, ReplaceKeepsTheOldMode) {
    writeText(m_folder / "file", "old");
    fs::permissions(m_folder / "file", fs::perms(0640));
    platform::replaceFileAtomically(path("file"), "new and longer");
    EXPECT_EQ(readText(m_folder / "file"), "new and longer");
    EXPECT_EQ(modeOf(path("file")), 0640u);
    platform::replaceFileAtomically(path("file"), "");
    EXPECT_EQ(readText(m_folder / "file"), "");
    EXPECT_EQ(folderEntries(), std::vector<std::string>{"file"});
}

TEST_F(AtomicFileTest, ReplaceWritesLargeContentsWhole) {
    std::string contents;
    for (int i = 0; i < 200000; ++i) contents += static_cast<char>(i * 7);
    platform::replaceFileAtomically(path("large"), contents);
    EXPECT_EQ(readText(m_folder / "large"), contents);
}

TEST_F(AtomicFileTest, ReplaceReplacesASymbolicLinkNotItsTarget) {
    writeText(m_folder / "target", "target");
    fs::create_symlink(m_folder / "target", m_folder / "link");
    platform::replaceFileAtomically(path("link"), "replaced");
    EXPECT_FALSE(fs::is_symlink(m_folder / "link"));
    EXPECT_EQ(readText(m_folder / "link"), "replaced");
    EXPECT_EQ(readText(m_folder / "target"), "target");
}

TEST_F(AtomicFileTest, ReplaceInAMissingFolderThrowsNamingThePath) {
    const std::string file = path("missing/file");
    EXPECT_NE(failureOf([&] { platform::replaceFileAtomically(file, "x"); }).find(file),
              std::string::npos);
    EXPECT_FALSE(fs::exists(m_folder / "missing"));
}

TEST_F(AtomicFileTest, ReplaceOfAFolderFailsAndLeavesNoTemporaryFile) {
    fs::create_directory(m_folder / "folder");
    writeText(m_folder / "folder/inside", "kept");
    EXPECT_NE(failureOf([&] { platform::replaceFileAtomically(path("folder"), "x"); }), "");
    EXPECT_EQ(readText(m_folder / "folder/inside"), "kept");
    EXPECT_EQ(folderEntries(), std::vector<std::string>{"folder"});
}

TEST_F(AtomicFileTest, ReplaceOfAFileWhoseParentIsAFileFails) {
    writeText(m_folder / "plain", "plain");
    EXPECT_NE(failureOf([&] { platform::replaceFileAtomically(path("plain/file"), "x"); }), "");
    EXPECT_EQ(readText(m_folder / "plain"), "plain");
}

TEST_F(AtomicFileTest, StaleTemporariesOfTheFileAreRemovedAndNothingElse) {
    for (const char* name : {"hive", ".hive.tmp-123-0", ".hive.tmp-9-77", ".hive.tmpX",
                             "hive.tmp-1", ".hive2.tmp-1-1", ".other.tmp-1-1"}) {
        writeText(m_folder / name, "x");
    }
    platform::removeStaleTemporaries(path("hive"));
    EXPECT_EQ(folderEntries(), (std::vector<std::string>{".hive.tmpX", ".hive2.tmp-1-1",
                                                         ".other.tmp-1-1", "hive", "hive.tmp-1"}));
    platform::removeStaleTemporaries(path("missing-folder/hive"));  // no failure
}

TEST_F(AtomicFileTest, MayWriteFollowsTheWriteBitsAlsoForTheSuperuser) {
    writeText(m_folder / "file", "x");
    EXPECT_TRUE(platform::mayWrite(path("file")));
    EXPECT_TRUE(platform::mayWrite(m_folder.string()));
    fs::permissions(m_folder / "file", fs::perms(0444));
    EXPECT_FALSE(platform::mayWrite(path("file")));
    fs::permissions(m_folder / "file", fs::perms(0200));
    EXPECT_TRUE(platform::mayWrite(path("file")));
    fs::create_directory(m_folder / "sub");
    fs::permissions(m_folder / "sub", fs::perms(0555));
    EXPECT_FALSE(platform::mayWrite(path("sub")));
    EXPECT_FALSE(platform::mayWrite(path("missing")));
}

TEST_F(AtomicFileTest, LockIsExclusiveBetweenProcessesAndItsFileGoesAway) {
    const std::string lockPath = path("store.lock");
    {
        const platform::FileLock lock(lockPath);
        ASSERT_TRUE(fs::exists(lockPath));
        const pid_t child = file_test_support::startChild([&] {
            const int fd = ::open(lockPath.c_str(), O_RDWR);
            if (fd == -1) return 2;
            return (::flock(fd, LOCK_EX | LOCK_NB) == -1 && errno == EWOULDBLOCK) ? 0 : 3;
        });
        EXPECT_EQ(file_test_support::waitForChild(child), 0);
    }
    EXPECT_FALSE(fs::exists(lockPath));
}

TEST_F(AtomicFileTest, LockReusesAStaleLockFile) {
    // As a process killed while holding the lock leaves it: present, but locked by nobody.
    writeText(m_folder / "store.lock", "");
    { const platform::FileLock lock(path("store.lock")); }
    EXPECT_FALSE(fs::exists(m_folder / "store.lock"));
}

TEST_F(AtomicFileTest, LockInAMissingFolderThrowsNamingThePath) {
    const std::string lockPath = path("missing/store.lock");
    EXPECT_NE(failureOf([&] { platform::FileLock lock(lockPath); }).find(lockPath),
              std::string::npos);
}

// Several processes increment one counter in a plain (non-atomic) file under the lock; a lost
// update, as two holders at once would cause, shows in the final count. Lock files are made
// and removed all the time, so waiters on removed files must start over.
TEST_F(AtomicFileTest, LockSerialisesReadModifyWriteAcrossProcesses) {
    const std::string counter = path("counter");
    writeText(counter, "0");
    constexpr int kProcesses = 3;
    constexpr int kRounds = 150;
    std::vector<pid_t> children;
    children.reserve(kProcesses);
    for (int p = 0; p < kProcesses; ++p) {
        children.push_back(file_test_support::startChild([&] {
            for (int round = 0; round < kRounds; ++round) {
                const platform::FileLock lock(path("counter.lock"));
                const int value = std::stoi(*platform::readRegularFile(counter, 1 << 24));
                ::usleep(50);  // widen the window in which an unlocked writer would interfere
                writeText(counter, std::to_string(value + 1));
            }
            return 0;
        }));
    }
    for (const pid_t child : children) EXPECT_EQ(file_test_support::waitForChild(child), 0);
    EXPECT_EQ(readText(counter), std::to_string(kProcesses * kRounds));
    EXPECT_FALSE(fs::exists(path("counter.lock")));
}

// Whatever is planted at a lock's name, the lock never reaches through it: no file is made
// where a link points, and the planted thing stays as it was.
TEST_F(AtomicFileTest, PlantedLockFilesAreRefusedAndLeftAlone) {
    const fs::path elsewhere = m_folder / "elsewhere";
    fs::create_directory(elsewhere);
    writeText(elsewhere / "precious", "keep");
    fs::create_symlink(elsewhere / "created-through-link", m_folder / "dangling.lock");
    fs::create_symlink(elsewhere / "precious", m_folder / "existing.lock");
    ASSERT_EQ(::mkfifo(path("fifo.lock").c_str(), 0600), 0);
    fs::create_hard_link(elsewhere / "precious", m_folder / "hard.lock");
    for (const std::string name : {"dangling.lock", "existing.lock", "fifo.lock", "hard.lock"}) {
        const std::string failure = failureOf([&] { platform::FileLock lock(path(name)); });
        EXPECT_NE(failure.find(path(name)), std::string::npos) << name << ": " << failure;
    }
    EXPECT_FALSE(fs::exists(elsewhere / "created-through-link"));
    EXPECT_TRUE(fs::is_symlink(m_folder / "dangling.lock"));
    EXPECT_TRUE(fs::is_fifo(m_folder / "fifo.lock"));
    EXPECT_EQ(readText(elsewhere / "precious"), "keep");
    EXPECT_EQ(fs::hard_link_count(elsewhere / "precious"), 2u);
}

TEST_F(AtomicFileTest, LockFileOfAnotherUserIsRefused) {
    if (!file_test_support::runningAsRoot()) GTEST_SKIP() << "needs root to give a file away";
    writeText(m_folder / "store.lock", "");
    ASSERT_EQ(::chown(path("store.lock").c_str(), 65534, 65534), 0);
    EXPECT_NE(failureOf([&] { platform::FileLock lock(path("store.lock")); }).find("another user"),
              std::string::npos);
    EXPECT_TRUE(fs::exists(m_folder / "store.lock"));
}

TEST_F(AtomicFileTest, ReplacementCanSetTheModeOfTheNewFile) {
    writeText(m_folder / "entry", "old");
    fs::permissions(m_folder / "entry", fs::perms(0600));
    platform::replaceFileAtomically(path("entry"), "new", 0755);
    EXPECT_EQ(modeOf(path("entry")), 0755u);
    EXPECT_EQ(readText(m_folder / "entry"), "new");
}

}  // namespace
