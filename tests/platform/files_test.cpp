#include "platform/files.h"

#include <errno.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "read_file.h"
#include "test_environment.h"

namespace fs = std::filesystem;
using testing_support::readFile;

namespace {

// A folder of its own for each test, inside the sandbox.
class FilesTest : public testing::Test {
protected:
    void SetUp() override { m_folder = testing_support::testFolder("files"); }
    void TearDown() override { fs::remove_all(m_folder); }

    std::string path(const std::string& name) const { return (m_folder / name).string(); }

    std::string makeFile(const std::string& name, const std::string& contents) const {
        std::ofstream(path(name), std::ios::binary) << contents;
        return path(name);
    }

    fs::path m_folder;
};

// Copies as the installation engine does: 8192-byte chunks until a short read. Returns the
// counts that the reads returned.
std::vector<std::size_t> copyInChunks(const std::string& source, const std::string& target) {
    auto input = platform::InputFile::open(source);
    auto output = platform::OutputFile::create(target);
    if (!input || !output) throw std::runtime_error("cannot open the copy's files");
    std::vector<std::size_t> counts;
    std::vector<char> buffer(8192);
    for (;;) {
        counts.push_back(input->read(buffer.data(), buffer.size()));
        if (counts.back() > 0) output->writeAll(buffer.data(), counts.back());
        if (counts.back() < buffer.size()) break;
    }
    output->close();
    return counts;
}

std::string patternOf(std::size_t size) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 7 + i / 251) & 0xff);
    return bytes;
}

}  // namespace

// ---- folders and paths ----

TEST_F(FilesTest, FolderExistsFollowsLinksAndRefusesEverythingElse) {
    makeFile("file", "x");
    fs::create_directory(path("folder"));
    fs::create_directory_symlink(path("folder"), path("link-to-folder"));
    fs::create_symlink(path("file"), path("link-to-file"));
    fs::create_symlink(path("nowhere"), path("dangling"));
    const struct {
        std::string name;
        bool folder;
    } rows[] = {{"file", false},         {"folder", true},    {"link-to-folder", true},
                {"link-to-file", false}, {"dangling", false}, {"missing", false},
                {"folder/", true},       {"file/", false}};
    for (const auto& row : rows) {
        EXPECT_EQ(platform::folderExists(path(row.name)), row.folder) << row.name;
    }
    EXPECT_FALSE(platform::folderExists(""));
}

TEST_F(FilesTest, CreateFolderMakesOneLevelOnly) {
    EXPECT_TRUE(platform::createFolder(path("new")));
    EXPECT_TRUE(fs::is_directory(path("new")));
    EXPECT_FALSE(platform::createFolder(path("new"))) << "exists already";
    EXPECT_FALSE(platform::createFolder(path("a/b"))) << "parent missing";
    EXPECT_FALSE(fs::exists(path("a")));
    makeFile("file", "x");
    EXPECT_FALSE(platform::createFolder(path("file")));
    EXPECT_FALSE(platform::createFolder(""));
}

TEST(AbsolutePath, ResolvesDotsLexicallyAndKeepsAFinalSeparator) {
    const std::string current = fs::current_path().string();
    const std::string parent = fs::current_path().parent_path().string();
    const struct {
        std::string path;
        std::string expected;
    } rows[] = {
        {"/a/b", "/a/b"},
        {"/a//b/./c", "/a/b/c"},
        {"/a/b/../c", "/a/c"},
        {"/../a", "/a"},
        {"/a/b/", "/a/b/"},
        {"/a/..", "/"},
        {"/", "/"},
        {"", current},
        {".", current},
        {"x/y", current + "/x/y"},
        {"x/", current + "/x/"},
        {"../z", (parent == "/" ? "" : parent) + "/z"},
        {"dir name/with $ and \"quotes\"", current + "/dir name/with $ and \"quotes\""},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(platform::absolutePath(row.path), row.expected) << row.path;
    }
}

TEST_F(FilesTest, RemoveFileRemovesFilesAndLinksButNoFolders) {
    makeFile("file", "x");
    EXPECT_TRUE(platform::removeFile(path("file")));
    EXPECT_FALSE(fs::exists(path("file")));
    EXPECT_FALSE(platform::removeFile(path("file"))) << "missing";

    fs::create_directory(path("folder"));
    EXPECT_FALSE(platform::removeFile(path("folder")));
    EXPECT_TRUE(fs::is_directory(path("folder")));

    makeFile("target", "kept");
    fs::create_symlink(path("target"), path("link"));
    EXPECT_TRUE(platform::removeFile(path("link")));
    EXPECT_FALSE(fs::is_symlink(path("link")));
    EXPECT_EQ(readFile(path("target")), "kept");
    EXPECT_FALSE(platform::removeFile(""));
}

TEST_F(FilesTest, RemoveFileIfPresentRaisesOnlyForAFileThatStays) {
    makeFile("file", "x");
    platform::removeFileIfPresent(path("file"));
    EXPECT_FALSE(fs::exists(path("file")));
    platform::removeFileIfPresent(path("file"));  // missing: no error
    platform::removeFileIfPresent(path("no/such/file"));

    makeFile("target", "kept");
    fs::create_symlink(path("target"), path("link"));
    platform::removeFileIfPresent(path("link"));
    EXPECT_FALSE(fs::is_symlink(path("link")));
    EXPECT_EQ(readFile(path("target")), "kept");

    fs::create_directory(path("folder"));
    try {
        platform::removeFileIfPresent(path("folder"));
        ADD_FAILURE() << "a folder was taken for a file";
    } catch (const platform::ESystemError& error) {
        EXPECT_EQ(error.operation(), "Cannot remove");
        EXPECT_EQ(error.path(), path("folder"));
        EXPECT_EQ(error.error(), EISDIR);
    }
    EXPECT_TRUE(fs::is_directory(path("folder")));
}

// ---- copying through InputFile and OutputFile ----

TEST_F(FilesTest, CopiesAnEmptyFileWithOneRead) {
    const std::string source = makeFile("empty", "");
    EXPECT_EQ(copyInChunks(source, path("copy")), (std::vector<std::size_t>{0}));
    ASSERT_TRUE(fs::exists(path("copy")));
    EXPECT_EQ(fs::file_size(path("copy")), 0u);
}

TEST_F(FilesTest, CopiesChunkSizedFilesWithAFinalEmptyRead) {
    const struct {
        std::size_t size;
        std::vector<std::size_t> reads;
    } rows[] = {{16384, {8192, 8192, 0}}, {8193, {8192, 1}}, {100, {100}}};
    for (const auto& row : rows) {
        const std::string contents = patternOf(row.size);
        const std::string source = makeFile("source", contents);
        EXPECT_EQ(copyInChunks(source, path("copy")), row.reads) << row.size;
        EXPECT_EQ(readFile(path("copy")), contents) << row.size;
    }
}

TEST_F(FilesTest, CreateReplacesContentsAndGivesMode0644LessUmask) {
    makeFile("old", "a much longer old content");
    auto output = platform::OutputFile::create(path("old"));
    ASSERT_TRUE(output);
    output->writeAll("new", 3);
    output->close();
    EXPECT_EQ(readFile(path("old")), "new");

    const mode_t mask = ::umask(022);
    ::umask(mask);
    auto fresh = platform::OutputFile::create(path("fresh"));
    ASSERT_TRUE(fresh);
    fresh->close();
    struct stat status {};
    ASSERT_EQ(::stat(path("fresh").c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0644u & ~mask);
}

TEST_F(FilesTest, OpenAndCreateReportFailureAsNothing) {
    EXPECT_FALSE(platform::OutputFile::create(path("missing/file")));
    EXPECT_EQ(errno, ENOENT);
    EXPECT_FALSE(platform::InputFile::open(path("missing")));
    EXPECT_EQ(errno, ENOENT);
    fs::create_directory(path("folder"));
    EXPECT_FALSE(platform::InputFile::open(path("folder")));
    EXPECT_EQ(errno, EISDIR);
    EXPECT_FALSE(platform::OutputFile::create(path("folder")));
}

TEST_F(FilesTest, NamedPipesWithoutAPartnerNeverBlock) {
    ASSERT_EQ(::mkfifo(path("fifo").c_str(), 0644), 0);
    auto input = platform::InputFile::open(path("fifo"));
    ASSERT_TRUE(input);
    char buffer[8];
    EXPECT_EQ(input->read(buffer, sizeof buffer), 0u) << "no writer: an empty file";
    input.reset();
    EXPECT_FALSE(platform::OutputFile::create(path("fifo")));
    EXPECT_EQ(errno, ENXIO) << "no reader";
}

TEST_F(FilesTest, ReadKeepsReadingPastShortReadsUntilTheEnd) {
    // A named pipe (a /dev/fd path is a link, which is never followed).
    ASSERT_EQ(::mkfifo(path("pipe").c_str(), 0600), 0);
    auto input = platform::InputFile::open(path("pipe"));
    ASSERT_TRUE(input);
    int ends[2] = {-1, ::open(path("pipe").c_str(), O_WRONLY)};
    ASSERT_GE(ends[1], 0);
    const std::string sent = patternOf(1000);
    // The writer delivers the bytes in small pieces with pauses, so each read(2) is short.
    std::thread writer([&sent, out = ends[1]] {
        for (std::size_t at = 0; at < sent.size(); at += 100) {
            EXPECT_EQ(::write(out, sent.data() + at, 100), 100);
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        ::close(out);
    });
    std::string received(700, '\0');
    const std::size_t first = input->read(received.data(), 700);
    std::string rest(700, '\0');
    const std::size_t second = input->read(rest.data(), 700);
    const std::size_t third = input->read(rest.data() + second, 700 - second);
    writer.join();
    EXPECT_EQ(first, 700u);
    EXPECT_EQ(second, 300u) << "only the end gives a short count";
    EXPECT_EQ(third, 0u);
    EXPECT_EQ(received + rest.substr(0, second), sent);
}

TEST(FileErrors, ReadErrorRaises) {
    // Reading a process's memory at address 0 fails with EIO.
    auto input = platform::InputFile::open("/proc/self/mem");
    if (!input) GTEST_SKIP() << "/proc/self/mem cannot be opened here";
    char buffer[16];
    EXPECT_THROW(input->read(buffer, sizeof buffer), platform::ESystemError);
}

TEST(FileErrors, WritingToAFullFileSystemRaises) {
    if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    auto output = platform::OutputFile::create("/dev/full");
    ASSERT_TRUE(output);
    const std::string bytes(100, 'x');
    try {
        output->writeAll(bytes.data(), bytes.size());
        ADD_FAILURE() << "no error on a full file system";
    } catch (const platform::ESystemError& error) {
        EXPECT_NE(std::string(error.what()).find("No space left on device"), std::string::npos)
            << error.what();
    }
}

TEST_F(FilesTest, ClosedOrMovedFromOutputFilesAreSafe) {
    auto output = platform::OutputFile::create(path("out"));
    ASSERT_TRUE(output);
    platform::OutputFile moved = std::move(*output);
    moved.writeAll("abc", 3);
    moved.close();
    moved.close();  // a second close does nothing
    EXPECT_THROW(moved.writeAll("d", 1), platform::ESystemError);
    EXPECT_EQ(readFile(path("out")), "abc");

    // Assigning over an open file drops it unfinished: nothing half written is left.
    auto first = platform::OutputFile::create(path("first"));
    auto second = platform::OutputFile::create(path("second"));
    ASSERT_TRUE(first && second);
    first->writeAll("1", 1);
    *first = std::move(*second);
    first->writeAll("2", 1);
    first->close();
    EXPECT_FALSE(fs::exists(path("first")));
    EXPECT_EQ(readFile(path("second")), "2");
    EXPECT_EQ(std::distance(fs::directory_iterator(m_folder), fs::directory_iterator()), 2)
        << "out and second alone, no temporary file";
}

// A discarded output removes the regular file it created, never a device, nor a file that
// took its name meanwhile.
TEST_F(FilesTest, DiscardRemovesOnlyTheRegularFileItWrote) {
    auto output = platform::OutputFile::create(path("copy"));
    ASSERT_TRUE(output);
    output->writeAll("part", 4);
    output->discard();
    EXPECT_FALSE(fs::exists(path("copy")));
    output->discard();  // a second time does nothing

    auto replaced = platform::OutputFile::create(path("copy"));
    ASSERT_TRUE(replaced);
    makeFile("copy", "someone else's");
    replaced->discard();
    EXPECT_EQ(readFile(path("copy")), "someone else's");

    auto closed = platform::OutputFile::create(path("done"));
    ASSERT_TRUE(closed);
    closed->close();
    closed->discard();
    EXPECT_TRUE(fs::exists(path("done")));

    if (fs::exists("/dev/null")) {
        auto device = platform::OutputFile::create("/dev/null");
        ASSERT_TRUE(device);
        device->discard();
        EXPECT_TRUE(fs::exists("/dev/null"));
    }
}

// The font copy opened its target with O_TRUNC and followed a link there: the link's target
// was overwritten. A file is now written under a new name and renamed into place.
TEST_F(FilesTest, WritingAtALinkReplacesTheLinkAndLeavesItsTargetAlone) {
    makeFile("private", "the user's own");
    fs::permissions(path("private"), fs::perms(0600));
    fs::create_symlink(path("private"), path("TAHOMA.TTF"));
    auto output = platform::OutputFile::create(path("TAHOMA.TTF"));
    ASSERT_TRUE(output);
    EXPECT_EQ(readFile(path("private")), "the user's own") << "nothing truncated on opening";
    output->writeAll("font", 4);
    output->close();
    EXPECT_EQ(readFile(path("private")), "the user's own");
    EXPECT_FALSE(fs::is_symlink(path("TAHOMA.TTF")));
    EXPECT_EQ(readFile(path("TAHOMA.TTF")), "font");
}

TEST_F(FilesTest, AReplacedFileKeepsItsModeAndANewOneIsMadeExclusively) {
    makeFile("kept", "old");
    fs::permissions(path("kept"), fs::perms(0600));
    auto output = platform::OutputFile::create(path("kept"));
    ASSERT_TRUE(output);
    EXPECT_EQ(readFile(path("kept")), "old") << "the old file stands until close";
    output->writeAll("new", 3);
    output->close();
    EXPECT_EQ(readFile(path("kept")), "new");
    EXPECT_EQ(fs::status(path("kept")).permissions(), fs::perms(0600));
    {
        auto dropped = platform::OutputFile::create(path("dropped"));
        ASSERT_TRUE(dropped);
        dropped->writeAll("part", 4);
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(m_folder), fs::directory_iterator()), 1)
        << "a file destroyed unfinished leaves nothing";
}

TEST_F(FilesTest, ReadingRefusesALinkInThePlaceOfTheFile) {
    makeFile("target", "x");
    fs::create_symlink(path("target"), path("link"));
    EXPECT_FALSE(platform::InputFile::open(path("link")));
    EXPECT_EQ(errno, ELOOP);
}
