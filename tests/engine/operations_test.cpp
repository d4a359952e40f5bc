// The single operations against real files in the sandbox and the fake machine.

#include "engine/operations.h"

#include <gtest/gtest.h>

#include <fstream>

#include "fake_machine.h"
#include "test_environment.h"

namespace fs = std::filesystem;

namespace {

std::string shellFoldersValue(const std::string& name) {
    return FakeMachine::keyOf(engine::RootKey::CurrentUser, engine::kShellFoldersKey) + "|" + name;
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
    } catch (const engine::EngineError& e) {
        EXPECT_STREQ(e.what(), "Unable to create directory");
    }
    EXPECT_THROW(engine::CreateFolderChain(machine, "relative"), engine::EngineError);
    EXPECT_EQ(machine.foldersMade, (std::vector<std::string>{(root / "A").string(), (root / "A/B").string(),
                                                           (root / "A/B/C").string()}))
        << "top first, each through the machine";
}

TEST(CopyFileChunked, CopiesEmptyAndChunkSizedFiles) {
    const fs::path root = testing_support::testFolder("operations");
    for (std::size_t size : {std::size_t{0}, std::size_t{1}, std::size_t{8192}, std::size_t{16384},
                             std::size_t{100000}}) {
        SCOPED_TRACE(size);
        std::string data(size, '\0');
        for (std::size_t i = 0; i < size; ++i) data[i] = static_cast<char>(i * 7 + 3);
        std::ofstream(root / "source", std::ios::binary) << data;
        engine::CopyFileChunked((root / "source").string(), (root / "copy").string());
        std::ifstream in(root / "copy", std::ios::binary);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), data);
    }
}

TEST(CopyFileChunked, FailuresNameTheFile) {
    const fs::path root = testing_support::testFolder("operations");
    std::ofstream(root / "source") << "x";
    try {
        engine::CopyFileChunked((root / "missing").string(), (root / "copy").string());
        FAIL();
    } catch (const engine::EngineError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot open file " + (root / "missing").string());
    }
    try {
        engine::CopyFileChunked((root / "source").string(), (root / "no/such/copy").string());
        FAIL();
    } catch (const engine::EngineError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot create file " + (root / "no/such/copy").string());
    }
}

TEST(CopyFileChunked, RelativeDestinationIsExpanded) {
    const fs::path root = testing_support::testFolder("operations");
    std::ofstream(root / "source") << "x";
    const fs::path before = fs::current_path();
    fs::current_path(root);
    try {
        engine::CopyFileChunked("source", "nowhere/copy");
        ADD_FAILURE();
    } catch (const engine::EngineError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot create file " + (root / "nowhere/copy").string());
    }
    fs::current_path(before);
}

TEST(CopyFileChunked, AWriteThatCannotCompleteRaises) {
    const fs::path root = testing_support::testFolder("operations");
    std::ofstream(root / "source") << std::string(20000, 'x');
    EXPECT_ANY_THROW(engine::CopyFileChunked((root / "source").string(), "/dev/full"));
    EXPECT_TRUE(fs::exists("/dev/full"));
}

TEST(ShellFolderPath, ReadsTheUsersShellFolders) {
    FakeMachine machine;
    machine.values[shellFoldersValue("Desktop")] = "/home/u/Desktop";
    machine.values[shellFoldersValue("Start Menu")] = "/home/u/.local/share/applications";
    EXPECT_EQ(engine::ShellFolderPath(machine, 1), "/home/u/Desktop");
    EXPECT_EQ(engine::ShellFolderPath(machine, 9), "/home/u/.local/share/applications");
    EXPECT_EQ(engine::ShellFolderPath(machine, 6), "");  // value missing
    EXPECT_EQ(engine::ShellFolderPath(machine, 12), "");
    EXPECT_EQ(engine::ShellFolderPath(machine, 255), "");
}

TEST(CreateShortcut, KindsChooseTheFolderAndMakeOneMissingLevel) {
    const fs::path root = testing_support::testFolder("operations");
    FakeMachine machine;
    machine.values[shellFoldersValue("Desktop")] = (root / "Desktop").string();
    machine.values[shellFoldersValue("Programs")] = (root / "share/applications").string();
    EXPECT_TRUE(engine::CreateShortcut(machine, "/opt/Q/QUINDOR.EXE", "", "Quindor.lnk", 1));
    EXPECT_TRUE(fs::is_directory(root / "Desktop"));
    // Only one level is made: a Programs folder whose parent is missing stays missing.
    EXPECT_TRUE(engine::CreateShortcut(machine, "/opt/Q/QUINDOR.EXE", "", "Quindor.lnk", 6));
    EXPECT_FALSE(fs::exists(root / "share"));
    EXPECT_TRUE(engine::CreateShortcut(machine, "/opt/Q/QUINDOR.EXE", "-x", (root / "X/Y.lnk").string(), 0));
    EXPECT_TRUE(fs::is_directory(root / "X"));
    EXPECT_EQ(machine.shortcuts.at((root / "X/Y.desktop").string()).name, "Y");
    EXPECT_EQ(machine.shortcuts.at((root / "X/Y.desktop").string()).arguments, "-x");
    EXPECT_EQ(machine.shortcuts.at((root / "Desktop/Quindor.desktop").string()).workingFolder, "/opt/Q/");
    // Without a recorded folder nothing is written (it would land in the root).
    EXPECT_FALSE(engine::CreateShortcut(machine, "/opt/Q/QUINDOR.EXE", "", "Quindor.lnk", 9));
    EXPECT_EQ(machine.shortcuts.size(), 3U);
}

TEST(Registry, WritesAreSwallowedAndUnopenableKeysCountAsMissing) {
    FakeMachine machine;
    machine.registryFails = true;
    engine::WriteRegistryString(machine, engine::RootKey::LocalMachine, "Software\\Quindor", "", "x");
    machine.registryFails = false;
    engine::WriteRegistryString(machine, engine::RootKey::LocalMachine, "Software\\Quindor", "", "x");
    EXPECT_TRUE(engine::RegistryKeyExists(machine, engine::RootKey::LocalMachine, "SOFTWARE\\quindor"));
    machine.readOnly.insert(FakeMachine::keyOf(engine::RootKey::LocalMachine, "Software\\Quindor"));
    EXPECT_FALSE(engine::RegistryKeyExists(machine, engine::RootKey::LocalMachine, "Software\\Quindor"));
}

TEST(InstallFontFile, UnrecordableFontRaisesAfterTheCopy) {
    const fs::path root = testing_support::testFolder("operations");
    std::ofstream(root / "TAHOMA.TTF") << "font";
    FakeMachine machine;  // no font key
    try {
        engine::InstallFontFile(machine, (root / "TAHOMA.TTF").string(), (root / "fonts.ttf").string());
        FAIL();
    } catch (const engine::EngineError& e) {
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
    EXPECT_EQ(ui.messages, std::vector<std::string>{"Executing \r/d/unzip -d \"/t\" -o /d/A.ZIP\r failed!"});
}

TEST(WindowsFolder, IsTheVariableCutTo255Characters) {
    FakeMachine machine;
    EXPECT_EQ(engine::WindowsFolder(machine), "");
    machine.env["windir"] = std::string(300, 'w');
    EXPECT_EQ(engine::WindowsFolder(machine).size(), 255U);
}

TEST(ExtractorCommand, TextAndArgumentsAgreeAndQuotesAddNoArgument) {
    const engine::CommandLine plain = engine::extractorCommand("/media/cd/", "/opt/Quindor", "QUINDOR.ZIP");
    EXPECT_EQ(plain.text, "/media/cd/unzip -d \"/opt/Quindor\" -o /media/cd/QUINDOR.ZIP");
    EXPECT_EQ(plain.arguments,
              (std::vector<std::string>{"/media/cd/unzip", "-d", "/opt/Quindor", "-o", "/media/cd/QUINDOR.ZIP"}));
    const engine::CommandLine hostile =
        engine::extractorCommand("/media/cd/", "/opt/a\" -x \"b", "UK.ZIP");
    EXPECT_EQ(hostile.arguments.size(), 5U);
    EXPECT_EQ(hostile.arguments[2], "/opt/a\" -x \"b");
}
