#include "platform/desktop_entry.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "desktop_entry_reader.h"
#include "platform/process.h"
#include "read_file.h"
#include "test_environment.h"

namespace fs = std::filesystem;
using testing_support::readFile;

namespace {

using testing_support::readKeys;
using testing_support::splitExec;
using testing_support::unescapeValue;

constexpr const char* kValidator = "/usr/bin/desktop-file-validate";

class DesktopEntryTest : public testing::Test {
protected:
    void SetUp() override { m_folder = testing_support::testFolder("desktop"); }
    void TearDown() override { fs::remove_all(m_folder); }

    std::string path(const std::string& name) const { return (m_folder / name).string(); }

    // The validator's verdict on a file: nullopt when it passes, else what it said.
    std::optional<std::string> validationProblem(const std::string& file) const {
        const std::string report = path("validator-report");
        const auto outcome = platform::runAndWait(
            {"/bin/sh", "-c", "\"$0\" \"$1\" > \"$2\" 2>&1", kValidator, file, report}, {});
        std::ifstream in(report);
        std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        fs::remove(report);
        if (outcome.exitedNormally && outcome.exitStatus == 0) return std::nullopt;
        return text.empty() ? "exit status " + std::to_string(outcome.exitStatus) : text;
    }

    std::vector<std::string> folderNames() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(m_folder)) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    fs::path m_folder;
};

const std::vector<std::string> kAwkwardPaths = {
    "/home/u/Quindor/QUINDOR.EXE",
    "/home/u/program Files/Quindor/QUINDOR.EXE",
    "/home/u/say \"hi\"/QUINDOR.EXE",
    "/home/u/it's/QUINDOR.EXE",
    "/home/u/$HOME/QUINDOR.EXE",
    "/home/u/`id`/QUINDOR.EXE",
    "/home/u/back\\slash/QUINDOR.EXE",
    "/home/u/100%/QUINDOR.EXE",
    "/home/u/100% sure %f/QUINDOR.EXE",
    "/home/u/-dash/QUINDOR.EXE",
    "/home/u/[1]/QUINDOR.EXE",
    "/home/u/Ünïcödé Фолдер/QUINDOR.EXE",
    "/home/u/\U0001F642 \u20AC/QUINDOR.EXE",
    "/home/u/a;b|c&d>e<f*g?h#i(j)k~l/QUINDOR.EXE",
    "/home/u/ two  blanks /QUINDOR.EXE",
    "/home/u/tab\there/QUINDOR.EXE",
    "/home/u/line\nbreak/QUINDOR.EXE",
    "/home/u/\\\\double\\\\/QUINDOR.EXE",
};

}  // namespace

TEST(DesktopEntryFileName, ReplacesTheLinkExtension) {
    const struct {
        std::string link;
        std::string file;
    } rows[] = {
        {"Quindor.lnk", "Quindor.desktop"},     {"Quindor.LNK", "Quindor.desktop"},
        {"Quindor.Lnk", "Quindor.desktop"},     {"Quindor", "Quindor.desktop"},
        {"Quindor.txt", "Quindor.txt.desktop"}, {"a.lnk.lnk", "a.lnk.desktop"},
        {"Quindorlnk", "Quindorlnk.desktop"},   {"My Quindor.lnk", "My Quindor.desktop"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(platform::desktopEntryFileName(row.link), row.file);
    }
}

TEST(QuoteExecArgument, QuotesReservedCharactersEscapesWithinQuotesAndDoublesPercent) {
    const struct {
        std::string argument;
        std::string quoted;
    } rows[] = {
        {"/opt/Quindor/QUINDOR.EXE", "/opt/Quindor/QUINDOR.EXE"},
        {"/a b", "\"/a b\""},
        {"/a\"b", "\"/a\\\"b\""},
        {"/a'b", "\"/a'b\""},
        {"/a$b", "\"/a\\$b\""},
        {"/a`b", "\"/a\\`b\""},
        {"/a\\b", "\"/a\\\\b\""},
        {"/a%b", "/a%%b"},
        {"/a b%", "\"/a b%%\""},
        {"-x", "-x"},
        {"[1]", "[1]"},
        {"/Ünï", "/Ünï"},
        {"/a~b", "\"/a~b\""},
        {"a=b", "a=b"},
        {"", "\"\""},
        {"/a\tb", "\"/a\tb\""},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(platform::quoteExecArgument(row.argument), row.quoted) << row.argument;
    }
}

TEST(DesktopEntryText, HoldsTheKeysInOrder) {
    const platform::DesktopEntry entry{"Quindor", "/home/u/Quindor/QUINDOR.EXE", "",
                                       "/home/u/Quindor/"};
    EXPECT_EQ(platform::desktopEntryText(entry),
              "[Desktop Entry]\n"
              "Type=Application\n"
              "Name=Quindor\n"
              "Exec=/home/u/Quindor/QUINDOR.EXE\n"
              "Path=/home/u/Quindor/\n"
              "Terminal=false\n");
}

TEST(DesktopEntryText, ArgumentsFollowTheQuotedTargetAndAnEmptyPathIsLeftOut) {
    const platform::DesktopEntry entry{"Q", "/a b/Q.EXE", "--lang US", ""};
    EXPECT_EQ(platform::desktopEntryText(entry),
              "[Desktop Entry]\nType=Application\nName=Q\nExec=\"/a b/Q.EXE\" --lang US\n"
              "Terminal=false\n");
}

TEST(DesktopEntryText, ReadsBackAsTheOriginalValues) {
    for (const std::string& target : kAwkwardPaths) {
        const std::string folder = target.substr(0, target.rfind('/') + 1);
        const std::string name = " " + target.substr(9) + " ";
        const platform::DesktopEntry entry{name, target, "", folder};
        const std::string text = platform::desktopEntryText(entry);
        std::map<std::string, std::string> keys;
        ASSERT_NO_THROW(keys = readKeys(text)) << text;
        EXPECT_EQ(keys["Type"], "Application");
        EXPECT_EQ(keys["Name"], name) << text;
        EXPECT_EQ(keys["Path"], folder) << text;
        EXPECT_EQ(keys["Terminal"], "false");
        std::vector<std::string> arguments;
        ASSERT_NO_THROW(arguments = splitExec(keys["Exec"])) << text;
        EXPECT_EQ(arguments, std::vector<std::string>{target}) << text;
    }
}

TEST_F(DesktopEntryTest, WrittenFilesPassTheValidatorAndAreExecutable) {
    const bool canValidate = fs::exists(kValidator);
    for (const std::string& target : kAwkwardPaths) {
        const platform::DesktopEntry entry{"Quindor", target, "", fs::path(target).parent_path()};
        const std::string file = path("Quindor.desktop");
        ASSERT_TRUE(platform::writeDesktopEntry(file, entry)) << target;
        EXPECT_EQ(readFile(file), platform::desktopEntryText(entry));
        struct stat status {};
        ASSERT_EQ(::stat(file.c_str(), &status), 0);
        EXPECT_EQ(status.st_mode & 07777, 0755u) << target;
        if (canValidate) {
            EXPECT_EQ(validationProblem(file), std::nullopt) << target;
        }
    }
    EXPECT_EQ(folderNames(), std::vector<std::string>{"Quindor.desktop"}) << "no temporary files";
    if (canValidate) {
        // The validator is really consulted: an entry without a name fails.
        std::ofstream(path("broken.desktop")) << "[Desktop Entry]\nType=Application\nExec=/q\n";
        EXPECT_NE(validationProblem(path("broken.desktop")), std::nullopt);
    }
    if (!canValidate) GTEST_SKIP() << kValidator << " is not installed";
}

TEST_F(DesktopEntryTest, ReplacesAnExistingEntryAndItsLinkOnly) {
    const std::string file = path("Quindor.desktop");
    std::ofstream(file) << "old contents that are much longer than the new ones will be, surely";
    ::chmod(file.c_str(), 0600);
    const platform::DesktopEntry entry{"Quindor", "/q/QUINDOR.EXE", "", "/q/"};
    ASSERT_TRUE(platform::writeDesktopEntry(file, entry));
    EXPECT_EQ(readFile(file), platform::desktopEntryText(entry));

    // A link at the entry's place is replaced by the entry; what it pointed to stays.
    std::ofstream(path("elsewhere")) << "keep me";
    fs::create_symlink(path("elsewhere"), path("Linked.desktop"));
    ASSERT_TRUE(platform::writeDesktopEntry(path("Linked.desktop"), entry));
    EXPECT_FALSE(fs::is_symlink(path("Linked.desktop")));
    EXPECT_EQ(readFile(path("elsewhere")), "keep me");
}

TEST_F(DesktopEntryTest, FailuresLeaveNothingBehind) {
    const platform::DesktopEntry good{"Quindor", "/q/QUINDOR.EXE", "", "/q/"};
    fs::create_directory(path("Folder.desktop"));
    std::ofstream(path("Folder.desktop/inside")) << "x";
    const struct {
        std::string file;
        platform::DesktopEntry entry;
        std::string why;
    } rows[] = {
        {path("missing/Quindor.desktop"), good, "folder missing"},
        {path("Folder.desktop"), good, "a folder of that name"},
        {"", good, "no file name"},
        {path("a.desktop"), {"", "/q/QUINDOR.EXE", "", "/q/"}, "no name"},
        {path("b.desktop"), {"Quindor", "", "", "/q/"}, "no target"},
        {path("c.desktop"), {"Quindor", "/q/\x01/QUINDOR.EXE", "", "/q/"}, "control character"},
        {path("d.desktop"), {"Quin\x7f", "/q/QUINDOR.EXE", "", "/q/"}, "delete character"},
        // Desktops pass over an entry that is not UTF-8 text: the shortcut would be dead.
        {path("e.desktop"),
         {"Quindor", "/q/Programme \xe9t\xe9/QUINDOR.EXE", "", "/q/Programme \xe9t\xe9/"},
         "a Latin-1 folder name"},
        {path("f.desktop"), {"Quindor", "/q/\xc3/QUINDOR.EXE", "", "/q/"}, "a sequence cut short"},
        {path("g.desktop"), {"Quindor", "/q/\xc0\xaf/QUINDOR.EXE", "", "/q/"}, "an overlong slash"},
        {path("h.desktop"), {"Quindor", "/q/\xed\xa0\x80/QUINDOR.EXE", "", "/q/"}, "a surrogate"},
    };
    for (const auto& row : rows) {
        EXPECT_FALSE(platform::writeDesktopEntry(row.file, row.entry)) << row.why;
    }
    EXPECT_EQ(folderNames(), std::vector<std::string>{"Folder.desktop"});
    EXPECT_TRUE(fs::exists(path("Folder.desktop/inside")));
}

TEST_F(DesktopEntryTest, ASessionBusIsFoundByItsAddressOrItsSocketOnly) {
    using testing_support::ScopedVariable;
    const std::string runtime = path("runtime");
    fs::create_directory(runtime);
    {
        const ScopedVariable noAddress("DBUS_SESSION_BUS_ADDRESS", nullptr);
        const ScopedVariable emptyRuntime("XDG_RUNTIME_DIR", runtime.c_str());
        EXPECT_FALSE(platform::sessionBusAvailable()) << "no address, no socket";
        std::ofstream(runtime + "/bus") << "a file, not a socket";
        EXPECT_FALSE(platform::sessionBusAvailable());
        fs::remove(runtime + "/bus");
        const int bus = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        // The sandbox path may be longer than a socket address holds: bound through the
        // folder's descriptor.
        const int folder = ::open(runtime.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        const std::string socketPath = "/proc/self/fd/" + std::to_string(folder) + "/bus";
        std::copy(socketPath.begin(), socketPath.end(), address.sun_path);
        ASSERT_EQ(::bind(bus, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        EXPECT_TRUE(platform::sessionBusAvailable()) << "the runtime folder's bus socket";
        ::close(bus);
        ::close(folder);
        const ScopedVariable relativeRuntime("XDG_RUNTIME_DIR", "runtime");
        EXPECT_FALSE(platform::sessionBusAvailable()) << "a relative runtime folder is not used";
    }
    const ScopedVariable address("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nowhere");
    const ScopedVariable noRuntime("XDG_RUNTIME_DIR", nullptr);
    EXPECT_TRUE(platform::sessionBusAvailable());
}
