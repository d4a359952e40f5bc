// The install procedure's steps, log and failure rules, against a fake machine and real
// files in the sandbox.

#include "engine/install.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <functional>

#include "engine/operations.h"
#include "fake_machine.h"
#include "install_log.h"
#include "platform/xdg_folders.h"
#include "read_file.h"
#include "test_environment.h"

namespace fs = std::filesystem;
using testing_support::readFile;

namespace {

void writeFile(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

// An archive with no entries: its end record alone.
const std::string kEmptyZip = std::string("PK\x05\x06", 4) + std::string(18, '\0');

class InstallTest : public ::testing::Test {
public:
    void SetUp() override {
        root = testing_support::testFolder("install");
        dist = (root / "dist").string() + "/";
        fs::create_directories(dist);
        for (const char* archive : {"QUINDOR.ZIP", "UK.ZIP", "HTMLhelp.ZIP"})
            writeFile(dist + archive, kEmptyZip);
        choices.folderText = (root / "Quindor").string() + "/";
        choices.screenLanguageCode = "US";
        choices.dictionaryCodes = {"UK"};
        // The extractor of the main archive brings the font files, as the real one does.
        machine.onRun = [this](const std::vector<std::string>& args) {
            if (machine.runs.size() == 1) {  // the main archive comes first
                writeFile(fs::path(args[2]) / "TAHOMA.TTF", "regular");
                writeFile(fs::path(args[2]) / "TAHOMABD.TTF", "bold");
            }
            platform::ProcessOutcome ok;
            ok.started = ok.exitedNormally = true;
            return ok;
        };
        // A new system's machine hive holds the font key already.
        machine.writeString(engine::RootKey::CurrentUser, engine::kShellFoldersKey, "Desktop",
                            (root / "Desktop").string());
        machine.writeString(engine::RootKey::CurrentUser, engine::kShellFoldersKey, "Programs",
                            (root / "applications").string());
        machine.writeString(engine::RootKey::CurrentUser, engine::kShellFoldersKey, "Start Menu",
                            (root / "applications").string());
    }

    void install() { engine::InstallProduct(machine, ui, choices, dist); }
    std::string folder() const { return (root / "Quindor").string(); }

    fs::path root;
    std::string dist;
    engine::InstallChoices choices;
    FakeMachine machine;
    RecordingUi ui;
};

}  // namespace

// What the install leaves and logs for each choice is in procedure_contract_test.cpp; here
// what it asks of the extractor.
TEST_F(InstallTest, OneDictionaryRunsTheExtractorOncePerArchiveWhilePainting) {
    install();
    ASSERT_EQ(machine.runs.size(), 3U);
    EXPECT_EQ(machine.runs[0][0], dist + "unzip");
    EXPECT_EQ(machine.runs[0][1], "-d");
    EXPECT_EQ(machine.runs[0][2], folder());
    EXPECT_EQ(machine.runs[1][2], folder() + "/QUINDOR");
    EXPECT_EQ(machine.runs[2][2], folder());
    EXPECT_EQ(machine.runs[0][3], "-o");
    // Each archive is handed over open, so its name is never read as a pattern.
    EXPECT_EQ(machine.inheritedCounts, (std::vector<std::size_t>{1, 1, 1}));
    EXPECT_EQ(machine.runs[0][4].rfind("/dev/fd/", 0), 0U);
    EXPECT_EQ(ui.repaints, 6);
    EXPECT_GE(ui.paintsWhileWaiting, 3);
}

TEST_F(InstallTest, AllFifteenDictionariesComeBeforeTheHelpFiles) {
    choices.dictionaryCodes = {"UK", "US", "DA", "NL", "DE", "FR", "PL", "RU",
                               "CZ", "SK", "SI", "IT", "SP", "SE", "ZA"};
    install();
    ASSERT_EQ(machine.runs.size(), 17U);
    EXPECT_EQ(machine.runs[16][2], folder());  // the help files come last
}

TEST_F(InstallTest, HelpClassPresentSkipsTheHelpFiles) {
    machine.writeString(engine::RootKey::LocalMachine, "Software\\Classes\\.chm", "", "chm");
    install();
    EXPECT_EQ(machine.runs.size(), 2U);
}

TEST_F(InstallTest, HelpClassThatCannotBeOpenedCountsAsMissing) {
    machine.writeString(engine::RootKey::LocalMachine, "Software\\Classes\\.chm", "", "chm");
    machine.markReadOnly(engine::RootKey::LocalMachine, "Software\\Classes\\.chm");
    install();
    EXPECT_EQ(ui.log, testing_support::logFor({"UK"}, true));
}

TEST_F(InstallTest, MissingTahomaIsRefreshedForTheOtherProgramsBeforeTheFinish) {
    machine.workEvents = &ui.events;
    install();
    const std::string fonts = platform::userFolders().dataHome + "/fonts";
    // The folder is refreshed for the other programs once, after both files, and the install
    // is done only when the refresh is.
    EXPECT_EQ(machine.fontRefreshes, (std::vector<std::string>{"font refresh started: " + fonts,
                                                               "font refresh finished: " + fonts}));
    ASSERT_GE(ui.events.size(), 2u);
    EXPECT_EQ(ui.events[ui.events.size() - 2], "font refresh finished: " + fonts);
    EXPECT_EQ(ui.events.back(), "finish page");
}

TEST_F(InstallTest, PresentTahomaLeavesTheFontFilesInPlace) {
    machine.families = {"DejaVu Sans", "Tahoma"};
    install();
    EXPECT_TRUE(machine.registeredFonts.empty());
    EXPECT_TRUE(machine.fontRefreshes.empty());
    // The comparison is exact: a lower-case family is no Tahoma.
    machine.families = {"tahoma"};
    EXPECT_FALSE(engine::FontInstalled(machine, "Tahoma"));
}

TEST_F(InstallTest, MissingFontFileEndsTheInstallAfterCleaningUp) {
    machine.onRun = [](const std::vector<std::string>&) {
        platform::ProcessOutcome ok;
        ok.started = ok.exitedNormally = true;
        return ok;
    };
    writeFile(folder() + "/TAHOMABD.TTF", "bold only");
    try {
        install();
        FAIL() << "no error";
    } catch (const engine::EEngineError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot open file " + folder() + "/TAHOMA.TTF");
    }
    EXPECT_FALSE(fs::exists(folder() + "/TAHOMABD.TTF"));
    EXPECT_TRUE(machine.shortcuts.empty());
    EXPECT_FALSE(
        machine.readString(engine::RootKey::LocalMachine, "Software\\Quindor\\InstallTO", ""));
    EXPECT_EQ(ui.events, std::vector<std::string>{"progress page"});  // no finish page
    EXPECT_TRUE(fs::exists(folder() + "/MARLO.INI"));                 // what was done stays
}

// The font folder comes from the machine's user folders; a copy into it that fails (a full
// disc) ends the install and leaves neither a truncated font nor the unpacked font files.
TEST_F(InstallTest, FontCopyThatFailsEndsTheInstallLeavingNoPartialFont) {
    platform::UserFolders folders;
    folders.dataHome = (root / "data").string();
    machine.folders = folders;
    machine.writeFailsAfter = 0;
    try {
        install();
        FAIL() << "no error";
    } catch (const platform::ESystemError& e) {
        EXPECT_EQ(e.error(), ENOSPC);
        EXPECT_EQ(e.path(), (root / "data/fonts/TAHOMA.TTF").string());
    }
    EXPECT_TRUE(fs::is_directory(root / "data/fonts")) << "the faked folder was used";
    EXPECT_FALSE(fs::exists(root / "data/fonts/TAHOMA.TTF"));
    EXPECT_FALSE(fs::exists(folder() + "/TAHOMA.TTF"));
    EXPECT_FALSE(fs::exists(folder() + "/TAHOMABD.TTF"));
    EXPECT_TRUE(machine.registeredFonts.empty());
    EXPECT_EQ(ui.events, std::vector<std::string>{"progress page"});
}

// The font copy opened ~/.local/share/fonts/TAHOMA.TTF with O_TRUNC and followed a link
// there, overwriting its target. The link is now replaced and its target left alone; a
// font file that was there keeps its mode.
TEST_F(InstallTest, TheFontCopyReplacesALinkAtItsPlaceAndLeavesItsTargetAlone) {
    platform::UserFolders folders;
    folders.dataHome = (root / "data").string();
    machine.folders = folders;
    writeFile(root / "private", "the user's own");
    fs::create_directories(root / "data/fonts");
    fs::create_symlink(root / "private", root / "data/fonts/TAHOMA.TTF");
    writeFile(root / "data/fonts/TAHOMABD.TTF", "old bold");
    fs::permissions(root / "data/fonts/TAHOMABD.TTF", fs::perms(0640));
    install();
    EXPECT_EQ(readFile(root / "private"), "the user's own");
    EXPECT_FALSE(fs::is_symlink(root / "data/fonts/TAHOMA.TTF"));
    EXPECT_EQ(readFile(root / "data/fonts/TAHOMA.TTF"), "regular");
    EXPECT_EQ(readFile(root / "data/fonts/TAHOMABD.TTF"), "bold");
    EXPECT_EQ(fs::status(root / "data/fonts/TAHOMABD.TTF").permissions(), fs::perms(0640));
    EXPECT_EQ(ui.events.back(), "finish page");
}

TEST_F(InstallTest, ShortcutsFollowTheBoxes) {
    choices.startMenuShortcut = true;
    install();
    const platform::DesktopEntry& desktop =
        machine.shortcuts.at((root / "Desktop/Quindor.desktop").string());
    EXPECT_EQ(desktop.name, "Quindor");
    EXPECT_EQ(desktop.target, folder() + "/QUINDOR.EXE");
    EXPECT_EQ(desktop.workingFolder, folder() + "/");
    EXPECT_EQ(desktop.arguments, "");
    EXPECT_EQ(machine.shortcuts.count((root / "applications/Quindor.desktop").string()), 1U);
    EXPECT_TRUE(fs::is_directory(root / "Desktop"));  // the one missing folder is made
}

TEST_F(InstallTest, DanishArchiveIsHandedOverOpen) {
    choices.screenLanguageCode = "DK";
    choices.dictionaryCodes = {"DA"};
    writeFile(dist + "DA.ZIP", kEmptyZip);
    install();
    EXPECT_EQ(machine.runs[1][4].rfind("/dev/fd/", 0), 0U);
}

TEST_F(InstallTest, ExtractorThatCannotStartIsReportedOncePerArchive) {
    machine.onRun = [](const std::vector<std::string>&) {
        platform::ProcessOutcome failed;
        failed.error = "No such file or directory";
        return failed;
    };
    machine.families = {"Tahoma"};
    install();
    ASSERT_EQ(ui.messages.size(), 3U);
    EXPECT_EQ(ui.messages[0], "Executing \r" + dist + "unzip -d \"" + folder() + "\" -o " + dist +
                                  "QUINDOR.ZIP\r failed!");
    EXPECT_EQ(ui.messages[1], "Executing \r" + dist + "unzip -d \"" + folder() + "/QUINDOR\" -o " +
                                  dist + "UK.ZIP\r failed!");
    EXPECT_TRUE(fs::exists(folder() + "/MARLO.INI"));
    EXPECT_EQ(ui.events.back(), "finish page");
}

TEST_F(InstallTest, ExtractorThatFailsIsReportedWithItsStatus) {
    machine.families = {"Tahoma"};
    machine.onRun = [](const std::vector<std::string>& args) {
        platform::ProcessOutcome outcome;
        outcome.started = outcome.exitedNormally = true;
        outcome.exitStatus = args[2].ends_with("/QUINDOR") ? 9 : 0;
        return outcome;
    };
    install();
    ASSERT_EQ(ui.messages.size(), 1U);
    EXPECT_EQ(ui.messages[0], dist + "unzip -d \"" + folder() + "/QUINDOR\" -o " + dist +
                                  "UK.ZIP\rended with exit status 9.");
}

TEST_F(InstallTest, MissingArchiveIsStillGivenToTheExtractorByName) {
    fs::remove(dist + "UK.ZIP");
    install();
    EXPECT_EQ(machine.runs[1][4], dist + "UK.ZIP");
    EXPECT_EQ(machine.inheritedCounts[1], 0U);
    EXPECT_EQ(
        machine.archivesOpened,
        (std::vector<std::string>{dist + "QUINDOR.ZIP", dist + "UK.ZIP", dist + "HTMLhelp.ZIP"}))
        << "each archive is opened through the machine";
    EXPECT_EQ(machine.runs[0][4].rfind("/dev/fd/", 0), 0U)
        << "an opened one is handed over by descriptor";
}

TEST_F(InstallTest, EmptyRelativeOrRootFolderIsRefusedWithNothingChanged) {
    for (const std::string& text :
         {std::string(""), std::string("Quindor/"), std::string("/"), std::string("//")}) {
        SCOPED_TRACE(text);
        RecordingUi refused;
        choices.folderText = text;
        engine::InstallProduct(machine, refused, choices, dist);
        ASSERT_EQ(refused.messages.size(), 1U);
        EXPECT_TRUE(refused.events.empty());
        EXPECT_TRUE(refused.log.empty());
    }
    EXPECT_TRUE(machine.runs.empty());
    EXPECT_FALSE(
        machine.readString(engine::RootKey::LocalMachine, "Software\\Quindor\\InstallTO", ""));
}

// Refused before anything is written: no extractor, no folder, no record, no page change.
void expectRefusedWithNothingWritten(FakeMachine& machine, const RecordingUi& ui,
                                     const std::string& says) {
    ASSERT_EQ(ui.messages.size(), 1U);
    EXPECT_NE(ui.messages.front().find(says), std::string::npos) << ui.messages.front();
    EXPECT_NE(ui.messages.front().find("Please choose another folder."), std::string::npos);
    EXPECT_TRUE(ui.events.empty());
    EXPECT_TRUE(ui.log.empty());
    EXPECT_TRUE(machine.runs.empty());
    EXPECT_TRUE(machine.shortcuts.empty());
    EXPECT_FALSE(
        machine.readString(engine::RootKey::LocalMachine, "Software\\Quindor\\InstallTO", ""));
}

TEST_F(InstallTest, TheRootIsRefusedHoweverSpelled) {
    const fs::path linkToRoot = root / "linkToRoot";
    fs::create_directory_symlink("/", linkToRoot);
    for (const std::string& text :
         {std::string("/./"), std::string("/tmp/.."), std::string("/tmp/quindor-not-there/../../"),
          linkToRoot.string() + "/", std::string("//./usr/../"),
          (root / "missing/../../../../../../../..").string()}) {
        SCOPED_TRACE(text);
        RecordingUi refused;
        choices.folderText = text;
        engine::InstallProduct(machine, refused, choices, dist);
        expectRefusedWithNothingWritten(machine, refused, "is the root of the file system.");
    }
    EXPECT_FALSE(fs::exists("/tmp/quindor-not-there"));
    EXPECT_FALSE(fs::exists(root / "missing"));
}

TEST_F(InstallTest, AnyFolderTheUninstallWouldRefuseIsRefused) {
    const std::string home = std::getenv("HOME");
    fs::create_directories(root / "links");
    fs::create_directory_symlink(home, root / "links/home");
    const std::pair<std::string, std::string> refused[] = {
        {"/usr/local/Quindor/", "lies in the system folder /usr."},
        {"/etc/Quindor-not-there/", "lies in the system folder /etc."},
        {home + "/", "is your home folder."},
        {(root / "links/home").string() + "/", "which is your home folder."},
        {home + "/.ssh/Quindor/", "lies in the hidden folder .ssh of your home folder."},
        {"/home/quindor-not-a-user/", "is a home folder in /home."},
        {std::string(std::getenv("MARLO_REGISTRY_DIR")) + "/Quindor/",
         "lies in the registry folder."},
        {std::string(std::getenv("XDG_DATA_HOME")) + "/applications/",
         "is your applications folder."},
        {std::string(std::getenv("XDG_DATA_HOME")) + "/fonts/Quindor/",
         "lies in your fonts folder."},
        {std::string(std::getenv("XDG_DATA_HOME")) + "/icons/hicolor/",
         "lies in your icons folder."},
    };
    for (const auto& [text, says] : refused) {
        SCOPED_TRACE(text);
        RecordingUi ui;
        choices.folderText = text;
        engine::InstallProduct(machine, ui, choices, dist);
        expectRefusedWithNothingWritten(machine, ui, says);
    }
    EXPECT_FALSE(fs::exists(home + "/.ssh/Quindor"));
    EXPECT_FALSE(fs::exists("/usr/local/Quindor"));
}

// A folder others could change, or one already holding what an archive could be unpacked
// through, is refused before anything is written.
TEST_F(InstallTest, FoldersOthersCouldChangeOrHoldingLinksAreRefused) {
    const std::pair<std::function<void(const fs::path&)>, std::string> rows[] = {
        {[](const fs::path& f) { fs::permissions(f, fs::perms(0777)); },
         "may be written by every user"},
        {[](const fs::path& f) { fs::permissions(f.parent_path(), fs::perms(0777)); },
         "may be written by every user"},
        {[](const fs::path& f) { fs::create_symlink("/etc", f / "QUINDOR"); },
         "holds a symbolic link (QUINDOR), which the archives could be unpacked through"},
        {[](const fs::path& f) { ASSERT_EQ(::mkfifo((f / "MARLO.INI").c_str(), 0600), 0); },
         "holds a named pipe (MARLO.INI)"},
    };
    for (const auto& [arrange, says] : rows) {
        SCOPED_TRACE(says);
        const fs::path parent = root / "parent";
        fs::create_directories(parent / "Quindor");
        arrange(parent / "Quindor");
        RecordingUi refused;
        choices.folderText = (parent / "Quindor").string() + "/";
        engine::InstallProduct(machine, refused, choices, dist);
        expectRefusedWithNothingWritten(machine, refused, says);
        fs::permissions(parent, fs::perms(0755));
        fs::remove_all(parent);
    }
}

TEST_F(InstallTest, EverythingGoesWhereTheCheckLooked) {
    fs::create_directories(root / "real");
    fs::create_directory_symlink(root / "real", root / "link");
    choices.folderText = (root / "link/./sub/../Q").string() + "/";
    install();
    const fs::path target = root / "real/Q";
    EXPECT_EQ(machine.runs[0][2], target.string());
    EXPECT_TRUE(fs::exists(target / "MARLO.INI"));
    EXPECT_FALSE(fs::exists(root / "link/sub"));
    EXPECT_EQ(machine.shortcuts.begin()->second.target, (target / "QUINDOR.EXE").string());
    // The record names the folder itself, so that a later change of the link cannot move
    // the uninstall elsewhere.
    EXPECT_EQ(machine.readString(engine::RootKey::LocalMachine, "Software\\Quindor\\InstallTO", ""),
              target.string() + "/");
}

TEST_F(InstallTest, FolderTextWithoutFinalSeparatorInstallsThere) {
    choices.folderText = (root / "Q").string();
    install();
    EXPECT_EQ(machine.runs[0][2], (root / "Q").string());
    EXPECT_TRUE(fs::exists(root / "Q/MARLO.INI"));
    EXPECT_EQ(machine.shortcuts.begin()->second.target, (root / "Q/QUINDOR.EXE").string());
    EXPECT_EQ(machine.readString(engine::RootKey::LocalMachine, "Software\\Quindor\\InstallTO", ""),
              (root / "Q").string());
}

TEST_F(InstallTest, RecordThatCannotBeWrittenIsShownThenTheFinishPage) {
    machine.families = {"Tahoma"};
    machine.registryFails = true;
    install();
    ASSERT_EQ(ui.messages.size(), 1U);
    EXPECT_EQ(ui.messages[0],
              "The installation could not be recorded (hive not writable). The setup program "
              "will not be able to remove Quindor.");
    // The files stay usable: the message comes before the finish page, not instead of it.
    EXPECT_EQ(ui.events.back(), "finish page");
    EXPECT_EQ(ui.messagesBeforeFinish, 1U);
    EXPECT_TRUE(fs::exists(folder() + "/MARLO.INI"));
}

// The failure rules of the steps, one row per rule: what ends the install (no finish page,
// no record, the error passed on), what is shown and what is passed over.
struct FailureRow {
    const char* name;
    std::function<void(InstallTest&)> arrange;
    std::string error;  // how the error that ends the install begins; empty: it finishes
    std::vector<std::string> messages;
};

class InstallFailureTest : public InstallTest, public testing::WithParamInterface<FailureRow> {};

TEST_P(InstallFailureTest, FollowsTheStepsRule) {
    const FailureRow& row = GetParam();
    machine.families = {"Tahoma"};
    row.arrange(*this);
    std::string error;
    try {
        install();
    } catch (const std::exception& raised) {
        error = raised.what();
    }
    if (row.error.empty()) {
        EXPECT_EQ(error, "");
    } else {
        EXPECT_TRUE(error.starts_with(row.error)) << error;
    }
    EXPECT_EQ(ui.messages, row.messages);
    const bool finished = !ui.events.empty() && ui.events.back() == "finish page";
    EXPECT_EQ(finished, row.error.empty());
    if (!row.error.empty()) {
        EXPECT_FALSE(machine.readString(engine::RootKey::LocalMachine, engine::kRecordKey, ""));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Steps, InstallFailureTest,
    testing::Values(
        FailureRow{"UnreadableArchiveListing",
                   [](InstallTest& t) { writeFile(t.dist + "UK.ZIP", "PK but no archive"); },
                   "UK.ZIP cannot be checked: it is not a ZIP archive (it has no end record). "
                   "Nothing of it was unpacked.",
                   {}},
        FailureRow{"ListedLink",
                   [](InstallTest& t) {
                       t.machine.listing = std::vector<platform::ZipEntry>{
                           {"QUINDOR.EXE", 0100755, false}, {"evil", 0120777, true}};
                   },
                   "QUINDOR.ZIP holds a symbolic link (evil) and was not unpacked.",
                   {}},
        FailureRow{"UnpackedLinkTheListingMissed",
                   [](InstallTest& t) {
                       t.machine.listing = std::vector<platform::ZipEntry>{{"sneaky", 0, false}};
                       t.machine.onRun = [&t](const std::vector<std::string>& args) {
                           fs::create_directories(args[2]);
                           fs::create_symlink(t.root, fs::path(args[2]) / "sneaky");
                           platform::ProcessOutcome ok;
                           ok.started = ok.exitedNormally = true;
                           return ok;
                       };
                   },
                   "QUINDOR.ZIP unpacked a symbolic link (sneaky); it was removed and the "
                   "installation was stopped.",
                   {}},
        FailureRow{"SettingsFile",
                   [](InstallTest& t) { t.machine.settingsFail = true; },
                   "Unable to write to /",
                   {}},
        FailureRow{"ShortcutFolderMissing",
                   [](InstallTest& t) {
                       // no shell folders: no shortcut can be made
                       t.machine.deleteKeyTree(engine::RootKey::CurrentUser,
                                               engine::kShellFoldersKey);
                   },
                   "",
                   {}},
        FailureRow{"Record",
                   [](InstallTest& t) { t.machine.registryFails = true; },
                   "",
                   {"The installation could not be recorded (hive not writable). The setup "
                    "program will not be able to remove Quindor."}}),
    [](const testing::TestParamInfo<FailureRow>& info) { return std::string(info.param.name); });

TEST_F(InstallTest, UnpackedLinkIsRemovedWithoutTouchingWhatItPointsTo) {
    machine.families = {"Tahoma"};
    machine.listing = std::vector<platform::ZipEntry>{{"sneaky", 0, false}};
    writeFile(root / "outside" / "keep", "keep");
    machine.onRun = [this](const std::vector<std::string>& args) {
        fs::create_directories(args[2]);
        fs::create_symlink(root / "outside", fs::path(args[2]) / "sneaky");
        platform::ProcessOutcome ok;
        ok.started = ok.exitedNormally = true;
        return ok;
    };
    EXPECT_THROW(install(), engine::EEngineError);
    EXPECT_FALSE(fs::exists(fs::symlink_status(folder() + "/sneaky")));
    EXPECT_EQ(readFile(root / "outside" / "keep"), "keep");
    EXPECT_EQ(machine.runs.size(), 1U) << "no archive after the one that unpacked a link";
}
