// The setup program of the demo distribution run unattended, as a process without any
// display: exit statuses, output, the files, the record and the desktop entries.

#include <gtest/gtest.h>

#include <future>
#include <optional>
#include <sstream>

#include "platform/registry.h"
#include "platform/xdg_folders.h"
#include "program_run.h"

namespace fs = std::filesystem;
using testing_support::ProgramRun;

namespace {

#ifdef QUINDOR_DEMO_DIST
const std::string kSetup = QUINDOR_DEMO_DIST "/setup";
#else
const std::string kSetup;  // a sanitized build ships no distribution
#endif
const char* const kRecord = "Software\\Quindor\\InstallTO";

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

class UnattendedTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (kSetup.empty()) GTEST_SKIP() << "no distribution in a sanitized build";
        ASSERT_TRUE(fs::exists(kSetup)) << "no demo distribution: build the target distribution";
    }
    static ProgramRun setup(const std::vector<std::string>& arguments,
                            const std::string& input = "/dev/null") {
        return testing_support::runProgram(kSetup, arguments, input);
    }
    ProgramRun install(const std::string& dictionaries = "ZA") const {
        return setup(
            {"--install", "--folder", folder.string() + "/", "--dictionaries", dictionaries});
    }
    static std::optional<std::string> recorded() {
        return platform::Registry().readString(platform::RootKey::LocalMachine, kRecord, "");
    }
    static fs::path desktopEntry() { return platform::userFolders().desktop + "/Quindor.desktop"; }
    static fs::path menuEntry() {
        return platform::userFolders().dataHome + "/applications/Quindor.desktop";
    }
    void expectInstalled(bool installed) const {
        EXPECT_EQ(fs::exists(folder / "QUINDOR.EXE"), installed);
        EXPECT_EQ(fs::exists(desktopEntry()), installed);
        EXPECT_EQ(recorded(), installed ? std::optional(folder.string() + "/") : std::nullopt);
    }

    const fs::path home = std::getenv("HOME");
    const fs::path folder = home / "apps/Quindor";
    const std::string question =
        "Do you really want to delete all files and subdirs from the directory " + folder.string() +
        "/\n";
};

}  // namespace

TEST_F(UnattendedTest, InstallsAndUninstallsWithoutADisplay) {
    const ProgramRun installed =
        setup({"--install", "--folder", folder.string() + "/", "--language", "Dansk",
               "--dictionaries", "ZA,SI", "--shortcuts", "startmenu"});
    EXPECT_EQ(installed.status, 0) << installed.err;
    EXPECT_EQ(linesOf(installed.out),
              (std::vector<std::string>{"Extracting Quindor file...",
                                        std::string(25, '='),
                                        "",
                                        "",
                                        "Extracting language SI",
                                        std::string(22, '='),
                                        "",
                                        "",
                                        "Extracting language ZA",
                                        std::string(22, '='),
                                        "",
                                        "",
                                        "Extracting HTML Quindor help files...",
                                        std::string(36, '='),
                                        "",
                                        "",
                                        "Creating MARLO.INI file",
                                        std::string(22, '='),
                                        "",
                                        "Testing/installing Tahoma font",
                                        std::string(30, '='),
                                        "",
                                        "Creating shortcuts",
                                        std::string(18, '='),
                                        "You have successfully installed Quindor."}));
    EXPECT_EQ(installed.err, "");
    EXPECT_TRUE(fs::exists(menuEntry()));
    EXPECT_FALSE(fs::exists(desktopEntry()));
    EXPECT_EQ(recorded(), folder.string() + "/");
    // The installed program sees what was chosen.
    const std::string seen =
        testing_support::runProgram((folder / "QUINDOR.EXE").string(), {"--print"}).out;
    EXPECT_NE(seen.find("Screen language: Dansk (DK)"), std::string::npos) << seen;
    EXPECT_NE(seen.find("Dictionaries: 2"), std::string::npos) << seen;

    const ProgramRun removed = setup({"--uninstall", "--yes"});
    EXPECT_EQ(removed.status, 0) << removed.err;
    EXPECT_EQ(removed.out, "You have succesfully removed Quindor\n");
    EXPECT_EQ(removed.err, question);
    expectInstalled(false);
    EXPECT_FALSE(fs::exists(menuEntry()));
    EXPECT_TRUE(fs::exists(home / "apps"));
}

TEST_F(UnattendedTest, DefaultsAreThoseOfThePages) {
    EXPECT_EQ(setup({"--install", "--dictionaries", "za"}).status, 0);
    EXPECT_EQ(recorded(), home.string() + "/Quindor/");
    EXPECT_EQ(testing_support::readFile(home / "Quindor/MARLO.INI"),
              "[UserChoice]\r\nMarloLanguage=US\r\nSpellLanguage=US\r\n");
    EXPECT_TRUE(fs::exists(desktopEntry()));
    EXPECT_TRUE(fs::exists(menuEntry()));
}

// Usage errors (1) do nothing; refusals (2) change nothing, each with one message.
TEST_F(UnattendedTest, UsageErrorsAndRefusals) {
    const std::vector<std::pair<std::vector<std::string>, int>> rows = {
        {{"--instal"}, 1},
        {{"--install", "--folder", folder.string()}, 1},
        {{"--install", "--dictionaries", "UK", "--language", "Klingon"}, 1},
        {{"--install", "--folder", "/tmp/../", "--dictionaries", "ZA"}, 2},
        {{"--install", "--folder", home.string() + "/", "--dictionaries", "ZA"}, 2},
        {{"--install", "--folder", "apps/Quindor/", "--dictionaries", "ZA"}, 2},
        {{"--uninstall", "--yes"}, 2},
    };
    for (const auto& [arguments, status] : rows) {
        SCOPED_TRACE(arguments.back());
        const ProgramRun run = setup(arguments);
        EXPECT_EQ(run.status, status);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(linesOf(run.err).size(), status == 1 ? 2U : 1U) << run.err;
        expectInstalled(false);
        EXPECT_FALSE(fs::exists(home / "Quindor"));
    }
    EXPECT_EQ(setup({"--uninstall"}).err,
              "You have never installed Quindor! So we do not have to UnInstall it.\n");
    EXPECT_EQ(setup({"--install"}).err.substr(0, 37), "Please select at least one language!\n");
}

// Without --yes the question is asked on a terminal only; no answer changes nothing.
TEST_F(UnattendedTest, TheQuestionIsAnsweredOnTheTerminalOnly) {
    ASSERT_EQ(install().status, 0);
    for (const char* input : {"/dev/null", "/dev/zero"}) {
        const ProgramRun unanswered = setup({"--uninstall"}, input);
        EXPECT_EQ(unanswered.status, 2);
        EXPECT_EQ(unanswered.err.substr(0, question.size()), question);
        expectInstalled(true);
    }
    testing_support::TestTerminal terminal;
    terminal.type("\x04");  // the end of input
    EXPECT_EQ(setup({"--uninstall"}, terminal.path()).status, 2);
    expectInstalled(true);
    terminal.type("maybe\nno\n");
    const ProgramRun kept = setup({"--uninstall"}, terminal.path());
    EXPECT_EQ(kept.status, 0) << kept.err;
    EXPECT_EQ(kept.err, question + "Yes or no? Yes or no? ");
    EXPECT_TRUE(fs::exists(folder / "QUINDOR.EXE"));
    EXPECT_FALSE(recorded());

    ASSERT_EQ(install().status, 0);
    terminal.type("Yes\n");
    EXPECT_EQ(setup({"--uninstall"}, terminal.path()).status, 0);
    expectInstalled(false);
}

TEST_F(UnattendedTest, StepsThatFailMakeExitStatusThree) {
    // The settings file cannot be written: the install ends there; what was done stays.
    fs::create_directories(folder / "MARLO.INI");
    const ProgramRun ended = install();
    EXPECT_EQ(ended.status, 3);
    EXPECT_EQ(linesOf(ended.out).back(), std::string(22, '='));
    EXPECT_EQ(ended.err.find("Unable to write to " + (folder / "MARLO.INI").string()), 0U)
        << ended.err;
    EXPECT_TRUE(fs::exists(folder / "QUINDOR/ZA.DIC"));
    EXPECT_FALSE(recorded());
    fs::remove_all(folder);

    // An extractor that fails is shown, and the install goes on to its end.
    fs::create_directories(folder);
    std::ofstream(folder / "QUINDOR") << "in the way";
    const ProgramRun shown = install();
    EXPECT_EQ(shown.status, 3);
    EXPECT_EQ(linesOf(shown.out).back(), "You have successfully installed Quindor.");
    EXPECT_NE(shown.err.find("unzip -d \"" + (folder / "QUINDOR").string() + "\" -o "),
              std::string::npos)
        << shown.err;
    expectInstalled(true);
}

TEST_F(UnattendedTest, TwoInstallsAtOnceLoseNothing) {
    const fs::path other = home / "other/Quindor";
    auto second = std::async(std::launch::async, [&] {
        return setup({"--install", "--folder", other.string() + "/", "--dictionaries", "SI"})
            .status;
    });
    EXPECT_EQ(install().status, 0);
    EXPECT_EQ(second.get(), 0);
    EXPECT_TRUE(fs::exists(folder / "QUINDOR/ZA.DIC"));
    EXPECT_TRUE(fs::exists(other / "QUINDOR/SI.DIC"));
    EXPECT_TRUE(recorded() == folder.string() + "/" || recorded() == other.string() + "/");
    EXPECT_EQ(setup({"--uninstall", "--yes"}).status, 0);
    EXPECT_NE(fs::exists(folder), fs::exists(other));
}

TEST_F(UnattendedTest, VersionAndTheWizardWithoutArguments) {
    EXPECT_EQ(setup({"--version"}).out, "setup (Quindor) 1.2\n");
    EXPECT_EQ(setup({}).status, 1);  // the wizard, which needs a display
}
