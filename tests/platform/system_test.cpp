#include "platform/system.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "file_test_support.h"

namespace fs = std::filesystem;
using file_test_support::writeText;

namespace {

class SystemTest : public testing::Test {
protected:
    void SetUp() override { m_folder = file_test_support::testFolder("system"); }
    std::string path(const std::string& name) const { return (m_folder / name).string(); }

    fs::path m_folder;
};

// The error that action throws; fails the test when it throws none.
template <typename Action>
platform::ESystemError errorOf(Action action) {
    try {
        action();
    } catch (const platform::ESystemError& error) {
        return error;
    }
    ADD_FAILURE() << "no ESystemError";
    return platform::ESystemError("none", "", 0);
}

TEST(ESystemError, CarriesOperationPathAndErrno) {
    const platform::ESystemError error("Cannot open", "/q/MARLO.INI", ENOENT);
    EXPECT_EQ(error.operation(), "Cannot open");
    EXPECT_EQ(error.path(), "/q/MARLO.INI");
    EXPECT_EQ(error.error(), ENOENT);
    EXPECT_STREQ(error.what(), "Cannot open /q/MARLO.INI: No such file or directory");
    EXPECT_STREQ(platform::ESystemError("Cannot read", "/x", EINVAL, "not a regular file").what(),
                 "Cannot read /x: not a regular file");
}

TEST_F(SystemTest, OwnedDescriptorClosesOnceAndMoves) {
    platform::FileDescriptor file = platform::openFile(path("."), O_RDONLY | O_DIRECTORY);
    ASSERT_TRUE(file);
    const int number = file.get();
    EXPECT_NE(::fcntl(number, F_GETFD) & FD_CLOEXEC, 0) << "always close-on-exec";
    platform::FileDescriptor moved = std::move(file);
    EXPECT_FALSE(file.valid());  // NOLINT(bugprone-use-after-move): what a move leaves behind
    EXPECT_EQ(moved.get(), number);
    moved = platform::FileDescriptor();
    EXPECT_EQ(::fcntl(number, F_GETFD), -1) << "closed when replaced";
    EXPECT_TRUE(moved.close()) << "closing nothing is no error";
}

TEST_F(SystemTest, FolderIsNeverOpenedThroughALink) {
    fs::create_directory(m_folder / "real");
    fs::create_directory_symlink(m_folder / "real", m_folder / "link");
    const platform::FileDescriptor base = platform::openFile(m_folder.string(), O_RDONLY);
    EXPECT_TRUE(platform::openFolderNoFollow(base.get(), "real"));
    EXPECT_FALSE(platform::openFolderNoFollow(base.get(), "link"));
    writeText(m_folder / "file", "x");
    EXPECT_FALSE(platform::openFolderNoFollow(base.get(), "file"));
}

TEST_F(SystemTest, IdentityTellsTheSameFileByDeviceAndInode) {
    writeText(m_folder / "file", "12345");
    fs::create_hard_link(m_folder / "file", m_folder / "other name");
    fs::create_symlink("file", m_folder / "link");
    const platform::FileDescriptor file = platform::openFile(path("file"), O_RDONLY);
    const auto opened = platform::identityOf(file.get());
    const auto viaHardLink = platform::identityAt(AT_FDCWD, path("other name"), false);
    const auto linkItself = platform::identityAt(AT_FDCWD, path("link"), false);
    const auto linkFollowed = platform::identityAt(AT_FDCWD, path("link"), true);
    ASSERT_TRUE(opened && viaHardLink && linkItself && linkFollowed);
    EXPECT_TRUE(opened->sameFile(*viaHardLink));
    EXPECT_TRUE(opened->sameFileAndMount(*linkFollowed));
    EXPECT_FALSE(opened->sameFile(*linkItself));
    EXPECT_TRUE(S_ISLNK(linkItself->mode));
    EXPECT_EQ(opened->size, 5u);
    EXPECT_EQ(opened->owner, ::geteuid());
    EXPECT_FALSE(platform::identityAt(AT_FDCWD, path("missing"), false));
}

TEST_F(SystemTest, WriteAllAndReadAllCarryEveryByte) {
    std::string bytes(300000, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 7);
    {
        const platform::FileDescriptor out =
            platform::openFile(path("data"), O_WRONLY | O_CREAT, 0600);
        platform::writeAll(out.get(), bytes, path("data"));
    }
    const platform::FileDescriptor in = platform::openFile(path("data"), O_RDONLY);
    EXPECT_EQ(platform::readAll(in.get(), path("data"), bytes.size()), bytes);
    const platform::FileDescriptor again = platform::openFile(path("data"), O_RDONLY);
    const auto error =
        errorOf([&] { platform::readAll(again.get(), path("data"), bytes.size() - 1); });
    EXPECT_EQ(error.error(), EFBIG);
    EXPECT_EQ(error.path(), path("data"));
}

TEST_F(SystemTest, WriteAllOnAClosedPipeRaisesInsteadOfLooping) {
    int ends[2];
    ASSERT_EQ(::pipe(ends), 0);
    ::close(ends[0]);
    const platform::FileDescriptor writer(ends[1]);
    ::signal(SIGPIPE, SIG_IGN);
    EXPECT_EQ(errorOf([&] { platform::writeAll(writer.get(), "x", "pipe"); }).error(), EPIPE);
    ::signal(SIGPIPE, SIG_DFL);
}

TEST_F(SystemTest, RegularFileIsReadUpToItsLimit) {
    writeText(m_folder / "small", "abc");
    fs::create_symlink("small", m_folder / "link");
    EXPECT_EQ(platform::readRegularFile(path("small"), 3), "abc");
    EXPECT_EQ(platform::readRegularFile(path("link"), 3), "abc") << "a link to a file is read";
    EXPECT_EQ(platform::readRegularFile(path("missing"), 3), std::nullopt);
    EXPECT_EQ(errorOf([&] { platform::readRegularFile(path("small"), 2); }).error(), EFBIG);
}

// Special files never block the reader and are never read without end.
TEST_F(SystemTest, SpecialFilesAreRefusedWithoutBlocking) {
    ASSERT_EQ(::mkfifo(path("fifo").c_str(), 0600), 0);
    fs::create_symlink("/dev/zero", m_folder / "zero");
    fs::create_directory(m_folder / "folder");
    for (const std::string name : {"fifo", "zero", "folder"}) {
        const auto error = errorOf([&] { platform::readRegularFile(path(name), 1 << 20); });
        EXPECT_STREQ(error.what(), ("Cannot read " + path(name) + ": not a regular file").c_str());
    }
}

}  // namespace
