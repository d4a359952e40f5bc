// The uninstall procedure: record, shortcuts, product key, confirmation and the folder,
// against a fake machine and real folders in the sandbox.

#include "engine/uninstall.h"

#include <gtest/gtest.h>

#include <fstream>

#include "engine/operations.h"
#include "fake_machine.h"
#include "test_environment.h"

namespace fs = std::filesystem;

namespace {

const char* const kRecord = "Software\\Quindor\\InstallTO";

class UninstallTest : public ::testing::Test {
protected:
    void SetUp() override {
        root = testing_support::testFolder("uninstall");
        installed = root / "Quindor";
        fs::create_directories(installed / "QUINDOR/deep");
        std::ofstream(installed / "QUINDOR.EXE") << "x";
        std::ofstream(installed / "MARLO.INI") << "x";
        std::ofstream(installed / "QUINDOR/UK.DIC") << "x";
        std::ofstream(installed / "QUINDOR/deep/a") << "x";
        for (const char* kind : {"Desktop", "Start Menu", "Programs"}) {
            const fs::path folder = root / kind;
            fs::create_directories(folder);
            std::ofstream(folder / "Quindor.desktop") << "[Desktop Entry]\n";
            machine.writeString(engine::RootKey::CurrentUser, engine::kShellFoldersKey, kind,
                                folder.string());
        }
        std::ofstream(root / "Desktop/Other.desktop") << "[Desktop Entry]\n";
        record(installed.string() + "/");
    }
    void record(const std::string& folder) {
        machine.writeString(engine::RootKey::LocalMachine, kRecord, "", folder);
        machine.writeString(engine::RootKey::LocalMachine, "Software\\Quindor\\Other", "v", "1");
    }
    void uninstall() { engine::UninstallProduct(machine, ui); }

    fs::path root, installed;
    FakeMachine machine;
    RecordingUi ui;
};

}  // namespace

TEST_F(UninstallTest, YesRemovesShortcutsRecordAndTheWholeFolder) {
    uninstall();
    ASSERT_EQ(ui.questions.size(), 1U);
    EXPECT_EQ(ui.questions[0],
              "Do you really want to delete all files and subdirs from\rthe directory " +
                  installed.string() + "/");
    EXPECT_FALSE(fs::exists(installed));
    EXPECT_TRUE(fs::exists(root));
    for (const char* kind : {"Desktop", "Start Menu", "Programs"}) {
        EXPECT_FALSE(fs::exists(root / kind / "Quindor.desktop")) << kind;
    }
    EXPECT_TRUE(fs::exists(root / "Desktop/Other.desktop"));
    EXPECT_FALSE(machine.keyExists(engine::RootKey::LocalMachine, "Software\\Quindor", false));
    EXPECT_EQ(ui.events,
              (std::vector<std::string>{"hourglass", "arrow",
                                        "finish page: You have succesfully removed Quindor"}));
    EXPECT_GE(ui.pendingEventRuns, 3);
}

TEST_F(UninstallTest, NoKeepsTheFolderButNotTheShortcutsAndKey) {
    ui.answerYes = false;
    uninstall();
    EXPECT_TRUE(fs::exists(installed / "QUINDOR/deep/a"));
    EXPECT_FALSE(fs::exists(root / "Desktop/Quindor.desktop"));
    EXPECT_FALSE(machine.keyExists(engine::RootKey::LocalMachine, kRecord, false));
    EXPECT_EQ(ui.events.back(), "finish page: You have succesfully removed Quindor");
}

// A front end that cannot ask learns the question first and ends the uninstall untouched.
TEST_F(UninstallTest, UnanswerableQuestionEndsTheProgramTouchingNothing) {
    ui.canAnswer = false;
    uninstall();
    EXPECT_EQ(ui.preparedQuestions,
              std::vector<std::string>{
                  "Do you really want to delete all files and subdirs from\rthe directory " +
                  installed.string() + "/"});
    EXPECT_TRUE(ui.questions.empty());
    EXPECT_EQ(ui.events, std::vector<std::string>{"end program"});
    EXPECT_TRUE(fs::exists(installed / "QUINDOR/deep/a"));
    EXPECT_TRUE(fs::exists(root / "Programs/Quindor.desktop"));
    EXPECT_TRUE(machine.keyExists(engine::RootKey::LocalMachine, kRecord, false));
}

TEST_F(UninstallTest, NeverInstalledEndsTheProgramTouchingNothing) {
    machine.deleteKeyTree(engine::RootKey::LocalMachine, "Software\\Quindor");
    machine.writeString(engine::RootKey::LocalMachine, "Software\\Quindor\\Other", "v", "1");
    uninstall();
    EXPECT_EQ(ui.messages,
              std::vector<std::string>{
                  "You have never installed Quindor!\rSo we do not have to UnInstall it."});
    EXPECT_EQ(ui.events, std::vector<std::string>{"end program"});
    EXPECT_TRUE(ui.questions.empty());
    EXPECT_TRUE(fs::exists(root / "Desktop/Quindor.desktop"));
    EXPECT_TRUE(
        machine.keyExists(engine::RootKey::LocalMachine, "Software\\Quindor\\Other", false));
}

TEST_F(UninstallTest, RecordThatCannotBeOpenedCountsAsNeverInstalled) {
    machine.markReadOnly(engine::RootKey::LocalMachine, kRecord);
    uninstall();
    EXPECT_EQ(ui.events, std::vector<std::string>{"end program"});
    EXPECT_TRUE(fs::exists(installed));
}

TEST_F(UninstallTest, RefusedFolderChangesNothing) {
    for (const std::string& folder : {std::string("/"), std::string("relative/Quindor/"),
                                      testing_support::sandboxFolder().string() + "/home/"}) {
        SCOPED_TRACE(folder);
        RecordingUi refused;
        record(folder);
        engine::UninstallProduct(machine, refused);
        ASSERT_EQ(refused.messages.size(), 1U);
        EXPECT_EQ(refused.events, std::vector<std::string>{"end program"});
        EXPECT_TRUE(refused.questions.empty());
        EXPECT_TRUE(fs::exists(root / "Desktop/Quindor.desktop"));
        EXPECT_TRUE(machine.keyExists(engine::RootKey::LocalMachine, kRecord, false));
    }
}

TEST_F(UninstallTest, FolderRecordedWithoutFinalSeparatorLeavesItsSiblings) {
    fs::create_directories(root / "Quindor2");
    std::ofstream(root / "Quindor2/keep") << "x";
    std::ofstream(root / "Quindor.txt") << "x";
    record(installed.string());
    uninstall();
    EXPECT_FALSE(fs::exists(installed));
    EXPECT_TRUE(fs::exists(root / "Quindor2/keep"));
    EXPECT_TRUE(fs::exists(root / "Quindor.txt"));
}

TEST_F(UninstallTest, MissingShortcutsAndFolderStillEndOnTheFinishPage) {
    fs::remove(root / "Start Menu/Quindor.desktop");
    fs::remove_all(installed);
    uninstall();
    EXPECT_FALSE(fs::exists(root / "Programs/Quindor.desktop"));
    EXPECT_EQ(ui.events.back(), "finish page: You have succesfully removed Quindor");
}

TEST_F(UninstallTest, TerminationDuringTheWalkStopsEnteringFolders) {
    ui.terminate = true;
    uninstall();
    EXPECT_TRUE(fs::exists(installed / "QUINDOR/UK.DIC"));
    EXPECT_FALSE(fs::exists(installed / "QUINDOR.EXE"));
    EXPECT_EQ(ui.events.back(), "finish page: You have succesfully removed Quindor");
}

// The failure rules of the uninstall's steps, one of each kind.

TEST_F(UninstallTest, UnreadableRecordIsPassedOverAsNeverInstalled) {
    machine.registryReadFails = true;
    uninstall();
    EXPECT_EQ(ui.messages,
              std::vector<std::string>{
                  "You have never installed Quindor!\rSo we do not have to UnInstall it."});
    EXPECT_EQ(ui.events, std::vector<std::string>{"end program"});
    EXPECT_TRUE(fs::exists(installed / "QUINDOR.EXE"));
    EXPECT_TRUE(fs::exists(root / "Desktop/Quindor.desktop"));
}

TEST_F(UninstallTest, ShortcutThatStaysIsShownAndTheOthersStillGo) {
    const std::string desktop = (root / "Desktop/Quindor.desktop").string();
    machine.unremovable.insert(desktop);
    uninstall();
    EXPECT_EQ(ui.messages,
              std::vector<std::string>{"Cannot remove " + desktop + ": Permission denied"});
    EXPECT_TRUE(fs::exists(desktop));
    EXPECT_FALSE(fs::exists(root / "Start Menu/Quindor.desktop"));
    EXPECT_FALSE(fs::exists(root / "Programs/Quindor.desktop"));
    EXPECT_FALSE(machine.keyExists(engine::RootKey::LocalMachine, kRecord, false));
    EXPECT_FALSE(fs::exists(installed));
    EXPECT_EQ(ui.events.back(), "finish page: You have succesfully removed Quindor");
}

TEST_F(UninstallTest, RecordThatStaysIsShownAndTheFilesStillGo) {
    machine.keyDeletionFails = true;
    uninstall();
    EXPECT_EQ(ui.messages,
              std::vector<std::string>{"The registry key Software\\Quindor could not be removed."});
    EXPECT_TRUE(machine.keyExists(engine::RootKey::LocalMachine, kRecord, false));
    EXPECT_EQ(ui.questions.size(), 1U);
    EXPECT_FALSE(fs::exists(installed));
    EXPECT_EQ(ui.events.back(), "finish page: You have succesfully removed Quindor");
}

TEST_F(UninstallTest, FailingWalkEndsTheUninstallWithoutTheFinishPage) {
    ui.pendingEventsFail = true;
    try {
        uninstall();
        FAIL() << "no error";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "the event loop failed");
    }
    EXPECT_EQ(ui.events, (std::vector<std::string>{"hourglass", "arrow"}))
        << "the hourglass goes however it ends";
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_TRUE(fs::exists(installed / "QUINDOR/UK.DIC")) << "what was not reached stays";
    EXPECT_FALSE(fs::exists(root / "Desktop/Quindor.desktop"));
    EXPECT_FALSE(machine.keyExists(engine::RootKey::LocalMachine, kRecord, false));
}
