// The real pages against a generated distribution with real archives and the real
// extractor, registry store, fonts and shortcuts, all inside the sandbox.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QListWidget>
#include <QTest>
#include <QWidget>
#include <chrono>
#include <fstream>
#include <thread>

#include <unistd.h>

#include "desktop_entry_reader.h"
#include "engine/linux_machine.h"
#include "framework/application.h"
#include "gui_test_environment.h"
#include "install_log.h"
#include "platform/environment.h"
#include "platform/registry.h"
#include "platform/xdg_folders.h"
#include "read_file.h"
#include "setup/pages.h"
#include "setup/wizard.h"
#include "test_distribution.h"
#include "zip_builder.h"

namespace fs = std::filesystem;
using testing_support::readFile;

namespace {

class EndToEndTest : public ::testing::Test {
protected:
    void SetUp() override {
        app().resetTermination();
        app().setMessages(&messages);
        root = testing_support::testFolder("e2e");
        dist = testing_support::makeDistribution(root / "dist", withUnzip());
        wizard = std::make_unique<setup::Wizard>(std::make_unique<engine::LinuxMachine>(), dist);
        wizard->createPages();
        wizard->isForm1->Show();
    }
    void TearDown() override {
        wizard.reset();
        app().setMessages(nullptr);
    }
    virtual bool withUnzip() const { return true; }
    static framework::Application& app() { return framework::Application::instance(); }

    // Walks the install pages with these choices and presses Install.
    void install(const std::string& folderText, const std::vector<int>& rows, int language = 0,
                 bool desktop = true, bool startMenu = false, bool programs = true) {
        wizard->isForm1->Button3->Click();
        wizard->isForm3->ComboBox1->comboBox()->setCurrentIndex(language);
        wizard->isForm3->Edit1->setText(folderText);
        wizard->isForm3->Button3->Click();
        for (int row : rows) wizard->isform4->CheckListBox1->setChecked(row, true);
        wizard->isform4->Button3->Click();
        wizard->isForm5->CheckBox1->setChecked(desktop);
        wizard->isForm5->CheckBox2->setChecked(startMenu);
        wizard->isForm5->CheckBox3->setChecked(programs);
        wizard->isForm5->Button3->Click();
    }
    void uninstall() {
        wizard->isForm1->RadioButton2->Click();
        wizard->isForm1->Button3->Click();
    }
    std::vector<std::string> log() const { return wizard->isForm7->LB->Items().toList(); }
    std::string folder() const { return (root / "Quindor").string(); }
    fs::path desktop() const { return platform::userFolders().desktop; }
    fs::path applications() const { return platform::userFolders().dataHome + "/applications"; }
    std::optional<std::string> recorded() const {
        return platform::Registry().readString(platform::RootKey::LocalMachine,
                                               "Software\\Quindor\\InstallTO", "");
    }

    testing_support::ScriptedMessageBoxes messages;
    fs::path root;
    std::string dist;
    std::unique_ptr<setup::Wizard> wizard;
};

}  // namespace

// What the procedures leave on the machine for each choice is in
// tests/engine/procedure_contract_test.cpp, on the fake and on this real machine; here the
// pages that lead there and what they show.
TEST_F(EndToEndTest, InstallsOneDictionaryForReal) {
    install(folder() + "/", {0});
    EXPECT_TRUE(messages.shown.empty()) << messages.shown.front().text;
    EXPECT_EQ(log(), testing_support::logFor({"UK"}, true));
    EXPECT_TRUE(wizard->isform6->isShowing());
    EXPECT_TRUE(wizard->isForm7->isShowing());
    EXPECT_FALSE(wizard->isForm5->isShowing());
    EXPECT_EQ(wizard->isform6->Label2->caption(), "You have successfully installed Quindor.");
}

// A folder named with bytes that are not UTF-8, picked in the chooser's tree (shown as
// U+FFFD there and in the folder box): the install lands in the folder of those bytes.
TEST_F(EndToEndTest, AFolderNamedInBytesThatAreNotUtf8IsInstalledInto) {
    const std::string picked = (root / "pick").string() + "/caf\xe9";
    fs::create_directories(picked);
    wizard->isForm1->Button3->Click();
    wizard->isForm3->Edit1->setText((root / "pick").string());
    setup::TiForm10& chooser = *wizard->iForm10;
    testing_support::whenModal([&] {
        chooser.FormActivate(&chooser);
        QTest::keyClick(chooser.ShellTree1->widget(), Qt::Key_Down);  // onto the one sub-folder
        EXPECT_EQ(chooser.ShellTree1->GetPath(), picked);
        chooser.Button2->Click();
    });
    wizard->isForm3->BitBtn1->Click();
    EXPECT_EQ(wizard->isForm3->Edit1->text(), picked + "/Quindor/");
    wizard->isForm3->Button3->Click();
    wizard->isform4->CheckListBox1->setChecked(0, true);
    wizard->isform4->Button3->Click();
    wizard->isForm5->Button3->Click();
    EXPECT_TRUE(fs::exists(picked + "/Quindor/QUINDOR.EXE"));
    EXPECT_EQ(recorded(), picked + "/Quindor/");
}

TEST_F(EndToEndTest, InstallsAllFifteenDictionariesInRowOrder) {
    std::vector<int> rows(15);
    for (int i = 0; i < 15; ++i) rows[static_cast<std::size_t>(i)] = i;
    install(folder() + "/", rows);
    EXPECT_EQ(log(), testing_support::logFor({"UK", "US", "DA", "NL", "DE", "FR", "PL", "RU", "CZ",
                                              "SK", "SI", "IT", "SP", "SE", "ZA"},
                                             true));
}

TEST_F(EndToEndTest, DanskWithDanishWritesDKAndUnpacksDA) {
    install(folder() + "/", {2}, 2);
    EXPECT_EQ(readFile(folder() + "/MARLO.INI"),
              "[UserChoice]\r\nMarloLanguage=DK\r\nSpellLanguage=DK\r\n");
    EXPECT_TRUE(fs::exists(folder() + "/QUINDOR/DA.DIC"));
}

TEST_F(EndToEndTest, NoShortcutBoxCheckedMakesNoShortcut) {
    install(folder() + "/", {0}, 0, false, false, false);
    EXPECT_FALSE(fs::exists(desktop() / "Quindor.desktop"));
    EXPECT_FALSE(fs::exists(applications() / "Quindor.desktop"));
    EXPECT_TRUE(wizard->isform6->isShowing());
}

TEST_F(EndToEndTest, ShortcutsPassTheDesktopEntryValidator) {
    if (!fs::exists("/usr/bin/desktop-file-validate"))
        GTEST_SKIP() << "desktop-file-validate missing";
    install(folder() + "/", {0}, 0, true, true, true);
    for (const fs::path& entry :
         {desktop() / "Quindor.desktop", applications() / "Quindor.desktop"}) {
        const platform::ProcessOutcome outcome =
            platform::runAndWait({"/usr/bin/desktop-file-validate", entry.string()}, [] {});
        EXPECT_TRUE(outcome.exitedNormally && outcome.exitStatus == 0) << entry;
        EXPECT_TRUE((fs::status(entry).permissions() & fs::perms::owner_exec) != fs::perms::none);
    }
}

TEST_F(EndToEndTest, StartQuindorStartsTheInstalledProgram) {
    install(folder() + "/", {0});
    wizard->isform6->Button2->Click();
    EXPECT_TRUE(app().terminated());
    const fs::path marker = testing_support::sandboxFolder() / "home/quindor-started";
    // The program runs detached; give a loaded machine up to ten seconds to start it.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!fs::exists(marker) && std::chrono::steady_clock::now() < deadline) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_TRUE(fs::exists(marker));
    EXPECT_NE(readFile(marker).find(folder() + "/QUINDOR.EXE"), std::string::npos);
    EXPECT_TRUE(messages.shown.empty());
    fs::remove(marker);
}

TEST_F(EndToEndTest, StartFailureIsReportedAndTheSetupEnds) {
    install(folder() + "/", {0});
    fs::remove(folder() + "/QUINDOR.EXE");
    wizard->isform6->Button2->Click();
    ASSERT_EQ(messages.shown.size(), 1U);
    EXPECT_EQ(messages.shown[0].text, "Starting Quindor failed!");
    EXPECT_TRUE(app().terminated());
}

TEST_F(EndToEndTest, UninstallYesRemovesEverythingItMade) {
    install(folder() + "/", {0, 1}, 0, true, true, true);
    wizard = std::make_unique<setup::Wizard>(std::make_unique<engine::LinuxMachine>(), dist);
    wizard->createPages();
    wizard->isForm1->Show();
    messages.answerYes = true;
    uninstall();
    ASSERT_EQ(messages.shown.size(), 1U);
    EXPECT_EQ(messages.shown[0].kind, "question");
    EXPECT_EQ(
        messages.shown[0].text,
        "Do you really want to delete all files and subdirs from\rthe directory " + folder() + "/");
    EXPECT_TRUE(wizard->isform6->isShowing());
    EXPECT_EQ(wizard->isform6->Label2->caption(), "You have succesfully removed Quindor");
    wizard->isform6->FormActivate(wizard->isform6.get());
    EXPECT_FALSE(wizard->isform6->Button2->enabled());
}

TEST_F(EndToEndTest, UninstallNoStillEndsOnTheFinishPage) {
    install(folder() + "/", {0});
    messages.shown.clear();
    messages.answerYes = false;
    wizard->isForm1->Show();
    uninstall();
    EXPECT_TRUE(wizard->isform6->isShowing());
}

TEST_F(EndToEndTest, UninstallWhenNeverInstalledEndsTheProgram) {
    uninstall();
    ASSERT_EQ(messages.shown.size(), 1U);
    EXPECT_EQ(messages.shown[0].text,
              "You have never installed Quindor!\rSo we do not have to UnInstall it.");
    EXPECT_TRUE(app().terminated());
    EXPECT_FALSE(wizard->isform6->isShowing());
    EXPECT_FALSE(wizard->isForm1->isShowing());
}

TEST_F(EndToEndTest, UninstallLeavesReadOnlyFilesAndDotFoldersWithTheirFolders) {
    install(folder() + "/", {0});
    fs::permissions(folder() + "/QUINDOR/UK.DIC", fs::perms::owner_read | fs::perms::group_read);
    fs::create_directories(folder() + "/.config");
    std::ofstream(folder() + "/.config/keep") << "x";
    std::ofstream(folder() + "/.hidden-file") << "x";
    wizard->isForm1->Show();
    uninstall();
    EXPECT_TRUE(fs::exists(folder() + "/QUINDOR/UK.DIC"));
    EXPECT_TRUE(fs::exists(folder() + "/.config/keep"));
    EXPECT_FALSE(fs::exists(folder() + "/.hidden-file"));
    EXPECT_FALSE(fs::exists(folder() + "/QUINDOR.EXE"));
}

TEST_F(EndToEndTest, UninstallOfAVanishedFolderStillFinishes) {
    install(folder() + "/", {0});
    fs::remove_all(folder());
    wizard->isForm1->Show();
    uninstall();
    EXPECT_TRUE(wizard->isform6->isShowing());
    EXPECT_FALSE(recorded());
}

TEST_F(EndToEndTest, RefusedRecordsDeleteNothing) {
    const fs::path home = testing_support::sandboxFolder() / "home";
    std::ofstream(home / "precious") << "x";
    fs::create_directories(root / "links");
    fs::create_symlink(home, root / "links/to-home");
    // Behind a link: what a record through it would reach.
    fs::create_directories(root / "behind/sub");
    std::ofstream(root / "behind/precious") << "x";
    fs::create_symlink(root / "behind", root / "links/to-behind");
    const std::string data = platform::userFolders().dataHome;
    fs::create_directories(data + "/applications");
    fs::create_directories(data + "/fonts");
    std::ofstream(data + "/applications/other.desktop") << "[Desktop Entry]\n";
    std::ofstream(data + "/fonts/mine.ttf") << "x";
    const std::vector<std::string> records = {"/",
                                              "//",
                                              "/.",
                                              home.string() + "/",
                                              home.string(),
                                              (home / "..").string() + "/",
                                              platform::userFolders().desktop + "/",
                                              "/usr/",
                                              (root / "links/to-home").string() + "/",
                                              "Quindor/",
                                              home.string() + "/sub/../",
                                              (root / "links/to-behind/sub/..").string(),
                                              (root / "links/to-behind").string() + "/",
                                              data + "/applications/",
                                              data + "/fonts"};
    for (const std::string& record : records) {
        SCOPED_TRACE(record);
        platform::Registry().writeString(platform::RootKey::LocalMachine,
                                         "Software\\Quindor\\InstallTO", "", record);
        messages.shown.clear();
        app().resetTermination();
        wizard->isForm1->Show();
        uninstall();
        ASSERT_EQ(messages.shown.size(), 1U);
        EXPECT_EQ(messages.shown[0].kind, "message");
        EXPECT_TRUE(app().terminated());
        EXPECT_TRUE(fs::exists(home / "precious"));
        EXPECT_TRUE(fs::exists(root / "behind/precious"));
        EXPECT_TRUE(fs::exists(data + "/applications/other.desktop"));
        EXPECT_TRUE(fs::exists(data + "/fonts/mine.ttf"));
        EXPECT_EQ(recorded(), record);
    }
}

TEST_F(EndToEndTest, SpecialCharactersInFoldersInstallStartAndUninstall) {
    for (const std::string& name :
         {std::string("with space"), std::string("quote\"d"), std::string("it's"),
          std::string("$HOME"), std::string("back`tick`"), std::string("100%"),
          std::string("-dash"), std::string("[1]"), std::string("Übersetzung")}) {
        SCOPED_TRACE(name);
        const fs::path target = root / name / "Quindor";
        wizard = std::make_unique<setup::Wizard>(std::make_unique<engine::LinuxMachine>(), dist);
        wizard->createPages();
        wizard->isForm1->Show();
        messages.shown.clear();
        install(target.string() + "/", {0});
        EXPECT_TRUE(messages.shown.empty()) << messages.shown.front().text;
        EXPECT_TRUE(fs::exists(target / "QUINDOR.EXE"));
        EXPECT_TRUE(fs::exists(target / "QUINDOR/UK.DIC"));
        // The shortcut's Exec line reads back as the installed program and starts it.
        const auto keys = testing_support::readKeys(readFile(desktop() / "Quindor.desktop"));
        const std::vector<std::string> exec = testing_support::splitExec(keys.at("Exec"));
        ASSERT_EQ(exec, std::vector<std::string>{(target / "QUINDOR.EXE").string()});
        EXPECT_EQ(keys.at("Path"), target.string() + "/");
        const fs::path marker = testing_support::sandboxFolder() / "home/quindor-started";
        fs::remove(marker);
        EXPECT_EQ(platform::runAndWait(exec, [] {}).exitStatus, 0);
        EXPECT_EQ(readFile(marker).substr(0, exec[0].size()), exec[0]);
        wizard->isForm1->Show();
        uninstall();
        EXPECT_FALSE(fs::exists(target));
        EXPECT_TRUE(fs::exists(root / name));
    }
}

TEST_F(EndToEndTest, DistributionFolderWithPatternCharactersUnpacksTheRightArchives) {
    const fs::path odd = root / "-d[1]*?";
    fs::create_directories(root);
    const std::string oddDist = testing_support::makeDistribution(odd);
    // A decoy that a pattern would match instead.
    testing_support::makeDistribution(root / "-d1xy");
    wizard = std::make_unique<setup::Wizard>(std::make_unique<engine::LinuxMachine>(), oddDist);
    wizard->createPages();
    wizard->isForm1->Show();
    install(folder() + "/", {0});
    EXPECT_TRUE(messages.shown.empty()) << messages.shown.front().text;
    EXPECT_TRUE(fs::exists(folder() + "/QUINDOR/UK.DIC"));
}

class WithoutExtractorTest : public EndToEndTest {
protected:
    bool withUnzip() const override { return false; }
};

TEST_F(WithoutExtractorTest, EachArchiveStepReportsAndTheSettingsAreStillWritten) {
    install(folder() + "/", {0});
    ASSERT_GE(messages.shown.size(), 3U);
    EXPECT_EQ(messages.shown[0].text, "Executing \r" + dist + "unzip -d \"" + folder() + "\" -o " +
                                          dist + "QUINDOR.ZIP\r failed!");
    EXPECT_TRUE(fs::exists(folder() + "/MARLO.INI"));
}

namespace {

// Writes archives no honest packer makes: entries that climb out with "../" or start at
// the root, and a symbolic link followed by a file through it.
const char* const kHostileArchives = R"(
import sys, zipfile
main, dictionary, outside = sys.argv[1], sys.argv[2], sys.argv[3]
with zipfile.ZipFile(main, 'w') as z:
    z.writestr('QUINDOR.EXE', '#!/bin/sh\n')
    z.writestr('../../escaped-by-dots.txt', 'x')
    z.writestr(zipfile.ZipInfo(outside + '/escaped-by-root.txt'), 'x')
with zipfile.ZipFile(dictionary, 'w') as z:
    link = zipfile.ZipInfo('link')
    link.create_system = 3
    link.external_attr = 0o120777 << 16
    z.writestr(link, outside)
    z.writestr('link/escaped-through-link.txt', 'x')
)";

}  // namespace

TEST_F(EndToEndTest, HostileArchivesWriteNothingOutsideTheFolder) {
    const fs::path outside = root / "outside";
    fs::create_directories(outside);
    fs::remove(dist + "QUINDOR.ZIP");
    fs::remove(dist + "UK.ZIP");
    const platform::ProcessOutcome made =
        platform::runAndWait({"/usr/bin/python3", "-c", kHostileArchives, dist + "QUINDOR.ZIP",
                              dist + "UK.ZIP", outside.string()},
                             [] {});
    ASSERT_TRUE(made.exitedNormally && made.exitStatus == 0);
    install(folder() + "/", {0});
    EXPECT_TRUE(fs::is_empty(outside));
    EXPECT_FALSE(fs::exists(root / "escaped-by-dots.txt"));
    EXPECT_FALSE(fs::exists(root.parent_path() / "escaped-by-dots.txt"));
    EXPECT_TRUE(fs::exists(folder() + "/QUINDOR.EXE"));
    EXPECT_FALSE(fs::exists(folder() + "/QUINDOR/link"));
    bool linkRefused = false;
    for (const auto& shown : messages.shown) {
        linkRefused |= shown.text == "UK.ZIP holds a symbolic link (link) and was not unpacked.";
    }
    EXPECT_TRUE(linkRefused);
}

TEST_F(WithoutExtractorTest, AfterAnInstallEndedInAnErrorClosingTheLogEndsTheProgram) {
    // Nothing was unpacked, so the Tahoma files are missing and the procedure ends early.
    install(folder() + "/", {0});
    ASSERT_FALSE(messages.shown.empty());
    ASSERT_EQ(messages.shown.back().kind, "error");
    EXPECT_TRUE(wizard->isForm7->isShowing());
    EXPECT_FALSE(app().terminated());
    wizard->isForm7->widget()->close();
    EXPECT_TRUE(app().terminated());
}

// Archives the old check could not read and handed over unchecked: a ZIP64 archive and one
// with bytes in front, each holding a link to a folder outside. Each is refused before
// anything of it is unpacked; nothing lands outside, the install stops with the reason and
// the finish page never reports success.
TEST_F(EndToEndTest, Zip64AndPrefixedArchivesHoldingALinkAreRefused) {
    const fs::path outside = root / "outside";
    const fs::path work = root / "work";
    fs::create_directories(outside);
    fs::create_directories(work);
    fs::create_symlink(outside, work / "link");
    std::ofstream(work / "UK.DIC") << "word\n";
    const std::string script =
        "cd \"$0\" && zip -q -fz -y zip64.zip UK.DIC link && zip -q -y plain.zip UK.DIC link && "
        "{ head -c 5000 /bin/true; cat plain.zip; } > prefixed.zip";
    ASSERT_EQ(platform::runAndWait({"/bin/sh", "-c", script, work.string()}, [] {}).exitStatus, 0);
    for (const char* kind : {"zip64", "prefixed"}) {
        SCOPED_TRACE(kind);
        fs::copy_file(work / (std::string(kind) + ".zip"), dist + "UK.ZIP",
                      fs::copy_options::overwrite_existing);
        fs::remove_all(folder());
        messages.shown.clear();
        wizard = std::make_unique<setup::Wizard>(std::make_unique<engine::LinuxMachine>(), dist);
        wizard->createPages();
        wizard->isForm1->Show();
        install(folder() + "/", {0});
        EXPECT_TRUE(fs::is_empty(outside));
        EXPECT_FALSE(fs::exists(fs::symlink_status(folder() + "/QUINDOR/link")));
        EXPECT_FALSE(fs::exists(folder() + "/QUINDOR/UK.DIC")) << "nothing of it unpacked";
        ASSERT_EQ(messages.shown.size(), 1U);
        EXPECT_EQ(messages.shown[0].text,
                  "UK.ZIP holds a symbolic link (link) and was not unpacked.");
        EXPECT_FALSE(wizard->isform6->widget()->isVisible())
            << "the finish page must not report success";
        EXPECT_FALSE(recorded());
    }
}

namespace {

using testing_support::ZipMember;

ZipMember plainMember(const std::string& name, const std::string& data) {
    return {name, data, 0100644, "", "", "", 3 << 8};
}

void writeArchive(const std::string& file, const std::vector<ZipMember>& members) {
    std::ofstream(file, std::ios::binary) << testing_support::zipArchive(members);
}

}  // namespace

// A link typed only by its ASi field passed the listing, and the next archive wrote through
// it into the home; an entry named by a Unicode Path field replaced ~/.bashrc.
TEST_F(EndToEndTest, ALinkTypedByItsAsiFieldOrANameFromAUnicodePathWritesNothingOutside) {
    const fs::path home = platform::homeFolder();
    std::ofstream(home / ".bashrc") << "mine";
    ZipMember link = plainMember("QUINDOR", home.string());
    link.mode = 0;
    link.centralExtra = testing_support::asiExtra(0120777, home.string());
    writeArchive(dist + "QUINDOR.ZIP", {plainMember("QUINDOR.EXE", "#!/bin/sh\n"), link});
    ZipMember renamed = plainMember("UK.DIC", "replaced");
    renamed.centralExtra = testing_support::unicodePathExtra("UK.DIC", "../../.bashrc");
    writeArchive(dist + "UK.ZIP", {renamed});
    install(folder() + "/", {0});
    EXPECT_EQ(readFile(home / ".bashrc"), "mine");
    EXPECT_FALSE(fs::exists(home / "UK.DIC"));
    EXPECT_FALSE(fs::is_symlink(folder() + "/QUINDOR"));
    ASSERT_EQ(messages.shown.size(), 1U);
    EXPECT_EQ(messages.shown[0].text,
              "QUINDOR.ZIP holds a symbolic link (QUINDOR) and was not unpacked.");
    EXPECT_FALSE(wizard->isform6->widget()->isVisible())
        << "the finish page must not report success";

    writeArchive(dist + "QUINDOR.ZIP", {plainMember("QUINDOR.EXE", "#!/bin/sh\n")});
    messages.shown.clear();
    wizard = std::make_unique<setup::Wizard>(std::make_unique<engine::LinuxMachine>(), dist);
    wizard->createPages();
    wizard->isForm1->Show();
    install(folder() + "/", {0});
    EXPECT_EQ(readFile(home / ".bashrc"), "mine");
    ASSERT_FALSE(messages.shown.empty());
    EXPECT_NE(
        messages.shown[0].text.find("UK.ZIP cannot be checked: its entry \"UK.DIC\" is also named"),
        std::string::npos)
        << messages.shown[0].text;
}

// UNZIP holds the extractor's own options; "-:" let it write above the folder.
TEST_F(EndToEndTest, TheUsersExtractorOptionsDoNotReachTheExtractor) {
    const testing_support::ScopedVariable options("UNZIP", "-:");
    writeArchive(dist + "QUINDOR.ZIP", {plainMember("QUINDOR.EXE", "#!/bin/sh\n"),
                                        plainMember("../escaped-by-options.txt", "x")});
    install(folder() + "/", {0});
    EXPECT_FALSE(fs::exists(root / "escaped-by-options.txt"));
    EXPECT_TRUE(fs::exists(folder() + "/escaped-by-options.txt"))
        << "unpacked inside, as without UNZIP";
}

TEST_F(EndToEndTest, AnExistingFolderHoldingALinkIsRefusedBeforeAnythingIsWritten) {
    const fs::path home = platform::homeFolder();
    fs::create_directories(folder());
    fs::create_symlink(home, folder() + "/QUINDOR");
    install(folder() + "/", {0});
    ASSERT_EQ(messages.shown.size(), 1U);
    EXPECT_EQ(messages.shown[0].text,
              "The folder " + folder() +
                  " holds a symbolic link (QUINDOR), which the archives could be "
                  "unpacked through. Please choose another folder.");
    EXPECT_FALSE(fs::exists(home / "UK.DIC"));
    EXPECT_FALSE(fs::exists(folder() + "/QUINDOR.EXE"));
    EXPECT_FALSE(wizard->isForm7->isShowing()) << "refused before the progress page";
    EXPECT_FALSE(recorded());
}

// The old check looked only at the names the listing gave; a link made anywhere else in the
// folder stood, and the next archive was unpacked through it.
TEST_F(EndToEndTest, ALinkAnywhereInTheFolderAfterAnExtractionEndsTheInstall) {
    const fs::path home = platform::homeFolder();
    fs::remove(dist + "unzip");
    std::ofstream(dist + "unzip")
        << "#!/bin/sh\n/usr/bin/unzip \"$@\" || exit\n"
           "mkdir -p \"$2/.deep/er\" && ln -s \"$HOME\" \"$2/.deep/er/home\"\n";
    fs::permissions(dist + "unzip", fs::perms::owner_all);
    install(folder() + "/", {0});
    ASSERT_FALSE(messages.shown.empty());
    EXPECT_EQ(messages.shown[0].text,
              "QUINDOR.ZIP unpacked a symbolic link (.deep/er/home); it was removed and the "
              "installation was stopped.");
    EXPECT_FALSE(fs::exists(fs::symlink_status(folder() + "/.deep/er/home")));
    EXPECT_FALSE(fs::exists(home / "UK.DIC"));
    EXPECT_FALSE(fs::exists(folder() + "/QUINDOR/UK.DIC")) << "no archive after it";
}

// A 0777 folder another user controls: a MARLO.INI planted there as a link to the user's
// private file was read into a new world-readable MARLO.INI, and a planted folder link led
// the extractor into the home. Such a folder is refused before anything is written.
TEST_F(EndToEndTest, AFolderAnotherUserControlsIsRefusedAndNothingIsWritten) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to give a folder to another user";
    const fs::path home = platform::homeFolder();
    const fs::path shared = root / "shared";
    fs::create_directories(shared);
    std::ofstream(home / "private") << "secret";
    fs::permissions(home / "private", fs::perms(0600));
    fs::create_symlink(home / "private", shared / "MARLO.INI");
    fs::create_symlink(home, shared / "QUINDOR");
    ASSERT_EQ(::chown(shared.c_str(), 65534, 65534), 0);
    fs::permissions(shared, fs::perms(0777));
    install(shared.string() + "/", {0});
    ASSERT_EQ(messages.shown.size(), 1U);
    EXPECT_EQ(messages.shown[0].text,
              "The folder " + shared.string() +
                  " belongs to another user, who could change what the setup writes there. Please "
                  "choose another folder.");
    EXPECT_EQ(readFile(home / "private"), "secret");
    EXPECT_FALSE(fs::exists(home / "UK.DIC"));
    EXPECT_EQ(std::distance(fs::directory_iterator(shared), fs::directory_iterator()), 2);
    EXPECT_FALSE(recorded());
}
