// The single operations against real files in the sandbox and the fake machine.

#include "engine/operations.h"

#include <gtest/gtest.h>

#include <fstream>

#include "fake_machine.h"
#include "test_environment.h"

namespace fs = std::filesystem;

namespace {

// The user's shell folders hold only the given folders (a new system's hive holds them all).
void setShellFolders(FakeMachine& machine,
                     const std::vector<std::pair<std::string, std::string>>& folders) {
    machine.deleteKeyTree(engine::RootKey::CurrentUser, engine::kShellFoldersKey);
    for (const auto& [name, folder] : folders) {
        machine.writeString(engine::RootKey::CurrentUser, engine::kShellFoldersKey, name, folder);
    }
}

}  // namespace

TEST(CreateFolderChain, MakesEveryMissingFolderFromTheTop) {
    FakeMachine machine;
    const fs::path root = testing_support::testFolder("operations");
    engine::CreateFolderChain(machine, (root / "A/B/C").string() + "/");
    EXPECT_TRUE(fs::is_directory(root / "A/B/C"));
    engine::CreateFolderChain(machine, "/");  // the root: nothing to do
    engine::CreateFolderChain(machine, (root / "A/B/C").string());
    try {
        engine::CreateFolderChain(machine, "");
        FAIL();
    } catch (const engine::EEngineError& e) {
        EXPECT_STREQ(e.what(), "Unable to create directory");
    }
    EXPECT_THROW(engine::CreateFolderChain(machine, "relative"), engine::EEngineError);
    EXPECT_EQ(machine.foldersMade,
              (std::vector<std::string>{(root / "A").string(), (root / "A/B").string(),
                                        (root / "A/B/C").string()}))
        << "top first, each through the machine";
}

class CopyFileChunked : public ::testing::Test {
protected:
    std::string path(const char* name) const { return (root / name).string(); }
    void writeSource(const std::string& data) const {
        std::ofstream(root / "source", std::ios::binary) << data;
    }
    std::string copied() const {
        std::ifstream in(root / "copy", std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }

    const fs::path root = testing_support::testFolder("operations");
    FakeMachine machine;
};

TEST_F(CopyFileChunked, CopiesEmptyAndChunkSizedFilesThroughTheMachine) {
    for (std::size_t size : {std::size_t{0}, std::size_t{1}, std::size_t{8192}, std::size_t{16384},
                             std::size_t{100000}}) {
        SCOPED_TRACE(size);
        std::string data(size, '\0');
        for (std::size_t i = 0; i < size; ++i) data[i] = static_cast<char>(i * 7 + 3);
        writeSource(data);
        engine::CopyFileChunked(machine, path("source"), path("copy"));
        EXPECT_EQ(copied(), data);
    }
    EXPECT_EQ(machine.filesRead.back(), path("source"));
    EXPECT_EQ(machine.filesCreated.back(), path("copy"));
}

TEST_F(CopyFileChunked, FailuresNameTheFile) {
    writeSource("x");
    try {
        engine::CopyFileChunked(machine, path("missing"), path("copy"));
        FAIL();
    } catch (const engine::EEngineError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot open file " + path("missing"));
    }
    try {
        engine::CopyFileChunked(machine, path("source"), path("no/such/copy"));
        FAIL();
    } catch (const engine::EEngineError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot create file " + path("no/such/copy"));
    }
}

TEST_F(CopyFileChunked, RelativeDestinationIsExpanded) {
    writeSource("x");
    const fs::path before = fs::current_path();
    fs::current_path(root);
    try {
        engine::CopyFileChunked(machine, "source", "nowhere/copy");
        ADD_FAILURE();
    } catch (const engine::EEngineError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot create file " + path("nowhere/copy"));
    }
    fs::current_path(before);
}

// A copy that fails after its first chunk was written leaves no truncated file behind, and
// the cause reaches the caller; a file that was there before stays as it was, and a device
// is never removed.
TEST_F(CopyFileChunked, ACopyThatCannotCompleteRaisesAndLeavesNoCopy) {
    writeSource(std::string(20000, 'x'));
    machine.readFailsAfter = 8192;
    try {
        engine::CopyFileChunked(machine, path("source"), path("copy"));
        FAIL();
    } catch (const platform::ESystemError& e) {
        EXPECT_EQ(e.error(), EIO);
        EXPECT_EQ(e.path(), path("source"));
    }
    EXPECT_FALSE(fs::exists(root / "copy"));

    machine.readFailsAfter.reset();
    machine.writeFailsAfter = 8192;
    std::ofstream(root / "copy") << "older";
    try {
        engine::CopyFileChunked(machine, path("source"), path("copy"));
        FAIL();
    } catch (const platform::ESystemError& e) {
        EXPECT_EQ(e.error(), ENOSPC);
        EXPECT_EQ(e.path(), path("copy"));
    }
    EXPECT_EQ(copied(), "older");
    EXPECT_EQ(std::distance(fs::directory_iterator(root), fs::directory_iterator()), 2)
        << "source and copy alone: no temporary file left";

    machine.writeFailsAfter.reset();
    EXPECT_THROW(engine::CopyFileChunked(machine, path("source"), "/dev/full"),
                 platform::ESystemError);
    EXPECT_TRUE(fs::exists("/dev/full"));
}

TEST(ShellFolderPath, ReadsTheUsersShellFolders) {
    FakeMachine machine;
    setShellFolders(machine, {{"Desktop", "/home/u/Desktop"},
                              {"Start Menu", "/home/u/.local/share/applications"}});
    EXPECT_EQ(engine::ShellFolderPath(machine, 1), "/home/u/Desktop");
    EXPECT_EQ(engine::ShellFolderPath(machine, 9), "/home/u/.local/share/applications");
    EXPECT_EQ(engine::ShellFolderPath(machine, 6), "");  // value missing
    EXPECT_EQ(engine::ShellFolderPath(machine, 12), "");
    EXPECT_EQ(engine::ShellFolderPath(machine, 255), "");
}

TEST(CreateShortcut, KindsChooseTheFolderAndMakeOneMissingLevel) {
    const fs::path root = testing_support::testFolder("operations");
    FakeMachine machine;
    setShellFolders(machine, {{"Desktop", (root / "Desktop").string()},
                              {"Programs", (root / "share/applications").string()}});
    EXPECT_TRUE(engine::CreateShortcut(machine, "/opt/Q/QUINDOR.EXE", "", "Quindor.lnk", 1));
    EXPECT_TRUE(fs::is_directory(root / "Desktop"));
    // Only one level is made: a Programs folder whose parent is missing stays missing.
    EXPECT_TRUE(engine::CreateShortcut(machine, "/opt/Q/QUINDOR.EXE", "", "Quindor.lnk", 6));
    EXPECT_FALSE(fs::exists(root / "share"));
    EXPECT_TRUE(engine::CreateShortcut(machine, "/opt/Q/QUINDOR.EXE", "-x",
                                       (root / "X/Y.lnk").string(), 0));
    EXPECT_TRUE(fs::is_directory(root / "X"));
    EXPECT_EQ(machine.shortcuts.at((root / "X/Y.desktop").string()).name, "Y");
    EXPECT_EQ(machine.shortcuts.at((root / "X/Y.desktop").string()).arguments, "-x");
    EXPECT_EQ(machine.shortcuts.at((root / "Desktop/Quindor.desktop").string()).workingFolder,
              "/opt/Q/");
    // Without a recorded folder nothing is written (it would land in the root).
    EXPECT_FALSE(engine::CreateShortcut(machine, "/opt/Q/QUINDOR.EXE", "", "Quindor.lnk", 9));
    EXPECT_EQ(machine.shortcuts.size(), 3U);
}

TEST(Registry, WritesAreSwallowedWithTheirCauseAndUnopenableKeysCountAsMissing) {
    FakeMachine machine;
    machine.registryFails = true;
    EXPECT_EQ(engine::WriteRegistryString(machine, engine::RootKey::LocalMachine,
                                          "Software\\Quindor", "", "x"),
              "hive not writable");
    machine.registryFails = false;
    EXPECT_EQ(engine::WriteRegistryString(machine, engine::RootKey::LocalMachine,
                                          "Software\\Quindor", "", "x"),
              std::nullopt);
    EXPECT_TRUE(
        engine::RegistryKeyExists(machine, engine::RootKey::LocalMachine, "SOFTWARE\\quindor"));
    machine.markReadOnly(engine::RootKey::LocalMachine, "Software\\Quindor");
    EXPECT_FALSE(
        engine::RegistryKeyExists(machine, engine::RootKey::LocalMachine, "Software\\Quindor"));
}

TEST(InstallFontFile, UnrecordableFontRaisesAfterTheCopy) {
    const fs::path root = testing_support::testFolder("operations");
    std::ofstream(root / "TAHOMA.TTF") << "font";
    FakeMachine machine;
    machine.deleteKeyTree(engine::RootKey::LocalMachine, engine::kFontsKey);  // no font key
    try {
        engine::InstallFontFile(machine, (root / "TAHOMA.TTF").string(),
                                (root / "fonts.ttf").string());
        FAIL();
    } catch (const engine::EEngineError& e) {
        EXPECT_STREQ(e.what(), "Failed to set data for 'TAHOMA (TrueType)'");
    }
    EXPECT_TRUE(fs::exists(root / "fonts.ttf"));
    EXPECT_TRUE(machine.registeredFonts.empty());
}

TEST(RunAndWait, MissingProgramIsReportedAndTheCallerGoesOn) {
    FakeMachine machine;
    RecordingUi ui;
    machine.onRun = [](const std::vector<std::string>&) { return platform::ProcessOutcome{}; };
    engine::RunAndWait(machine, ui, engine::extractorCommand("/d/", "/t", "A.ZIP"));
    EXPECT_EQ(ui.messages,
              std::vector<std::string>{"Executing \r/d/unzip -d \"/t\" -o /d/A.ZIP\r failed!"});
}

TEST(WindowsFolder, IsTheVariableCutTo255Characters) {
    FakeMachine machine;
    EXPECT_EQ(engine::WindowsFolder(machine), "");
    machine.env["windir"] = std::string(300, 'w');
    EXPECT_EQ(engine::WindowsFolder(machine).size(), 255U);
}

TEST(ExtractorCommand, TextAndArgumentsAgreeAndQuotesAddNoArgument) {
    const engine::CommandLine plain =
        engine::extractorCommand("/media/cd/", "/opt/Quindor", "QUINDOR.ZIP");
    EXPECT_EQ(plain.text, "/media/cd/unzip -d \"/opt/Quindor\" -o /media/cd/QUINDOR.ZIP");
    EXPECT_EQ(plain.arguments, (std::vector<std::string>{"/media/cd/unzip", "-d", "/opt/Quindor",
                                                         "-o", "/media/cd/QUINDOR.ZIP"}));
    const engine::CommandLine hostile =
        engine::extractorCommand("/media/cd/", "/opt/a\" -x \"b", "UK.ZIP");
    EXPECT_EQ(hostile.arguments.size(), 5U);
    EXPECT_EQ(hostile.arguments[2], "/opt/a\" -x \"b");
}
