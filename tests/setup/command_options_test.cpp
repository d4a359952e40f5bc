// The unattended mode's command line, read without a window.

#include "setup/command_options.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "fuzz/setup/command_line_entry.h"
#include "fuzz_corpus.h"
#include "setup/unattended.h"

using setup::CommandOptions;

namespace {

CommandOptions parse(const std::vector<std::string>& arguments) {
    return CommandOptions::parse(arguments, setup::offeredByThePages());
}

}  // namespace

TEST(CommandOptions, ModesAndTheirFlags) {
    EXPECT_EQ(parse({"--help"}).mode(), CommandOptions::Mode::Help);
    EXPECT_EQ(parse({"--version", "--"}).mode(), CommandOptions::Mode::Version);
    EXPECT_FALSE(parse({"--uninstall"}).answerYes());
    EXPECT_TRUE(parse({"--yes", "--uninstall"}).answerYes());
}

TEST(CommandOptions, InstallDefaultsAreThePagesDefaults) {
    const engine::InstallChoices choices =
        parse({"--install", "--dictionaries", "UK"}).installChoices();
    EXPECT_EQ(choices.folderText, std::string(std::getenv("HOME")) + "/Quindor/");
    EXPECT_EQ(choices.screenLanguageCode, "US");
    EXPECT_EQ(choices.dictionaryCodes, std::vector<std::string>{"UK"});
    EXPECT_TRUE(choices.desktopShortcut);
    EXPECT_FALSE(choices.startMenuShortcut);
    EXPECT_TRUE(choices.programsShortcut);
}

TEST(CommandOptions, InstallValuesInEitherSpelling) {
    struct Row {
        std::vector<std::string> arguments;
        std::string language;
        std::vector<std::string> codes;
        bool desktop, startMenu, programs;
    };
    const std::vector<Row> rows = {
        {{"--language", "Dansk", "--dictionaries", "ZA,uk,DA,UK"},
         "DK",
         {"UK", "DA", "ZA"},
         true,
         false,
         true},
        {{"--language=dk", "--dictionaries=SP", "--shortcuts=none"},
         "DK",
         {"SP"},
         false,
         false,
         false},
        {{"--language",
          "Fran\xC3\xA7"  // NOLINT(bugprone-suspicious-missing-comma): ends the \xA7 escape
          "ais",
          "--dictionaries", "FR", "--shortcuts", "StartMenu"},
         "FR",
         {"FR"},
         false,
         true,
         false},
        {{"--language", "po polsku", "--dictionaries", "PL", "--shortcuts", "programs,desktop"},
         "PL",
         {"PL"},
         true,
         false,
         true},
    };
    for (const Row& row : rows) {
        std::vector<std::string> arguments{"--install"};
        arguments.insert(arguments.end(), row.arguments.begin(), row.arguments.end());
        SCOPED_TRACE(row.arguments.front() + " " + row.arguments[1]);
        const engine::InstallChoices choices = parse(arguments).installChoices();
        EXPECT_EQ(choices.screenLanguageCode, row.language);
        EXPECT_EQ(choices.dictionaryCodes, row.codes);
        EXPECT_EQ(choices.desktopShortcut, row.desktop);
        EXPECT_EQ(choices.startMenuShortcut, row.startMenu);
        EXPECT_EQ(choices.programsShortcut, row.programs);
    }
}

// A folder is taken as typed, even one that looks like an option.
TEST(CommandOptions, FolderIsTakenAsTyped) {
    for (const std::string& folder :
         {std::string("--yes"), std::string(" /a b/"), std::string("")}) {
        EXPECT_EQ(parse({"--install", "--folder", folder, "--dictionaries", "UK"})
                      .installChoices()
                      .folderText,
                  folder);
    }
    EXPECT_EQ(
        parse({"--install", "--folder=/x=y/", "--dictionaries", "UK"}).installChoices().folderText,
        "/x=y/");
}

TEST(CommandOptions, UsageErrorsSayWhatIsWrong) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> rows = {
        {{"--bogus"}, "Unknown option \"--bogus\""},
        {{"-h"}, "Unknown option \"-h\""},
        {{"--"}, "Give one of --install, --uninstall, --help or --version."},
        {{"--yes"}, "Give one of"},
        {{"install"}, "Unexpected argument \"install\""},
        {{"--help", "--", "x"}, "Unexpected argument \"x\""},
        {{"--install", "--uninstall"}, "--install and --uninstall cannot be combined."},
        {{"--help", "--help"}, "--help is given more than once."},
        {{"--uninstall", "--folder", "/x/"}, "--folder goes with --install only."},
        {{"--install", "--yes", "--dictionaries", "UK"}, "--yes goes with --uninstall only."},
        {{"--uninstall=now"}, "--uninstall takes no value."},
        {{"--install", "--dictionaries"}, "--dictionaries needs a value."},
        {{"--install"}, "Please select at least one language!"},
        {{"--install", "--dictionaries="}, "Please select at least one language!"},
        {{"--install", "--dictionaries", "UK,XX"},
         "Unknown dictionary code \"XX\". The codes are: UK, US, DA, NL, DE, FR, PL, RU, CZ, SK, "
         "SI, IT, SP, SE, ZA."},
        {{"--install", "--dictionaries", "UK,"}, "Unknown dictionary code \"\""},
        {{"--install", "--dictionaries", "UK", "--language", "Danish"},
         "Unknown screen language \"Danish\". The languages are: English (US), Czech (CZ), Dansk "
         "(DK), "
         "Deutsch (DE), Fran\xC3\xA7"
         "ais (FR), Nederlands (NL), Po polsku (PL), Ruski (RU), Slovak (SK)."},
        {{"--install", "--dictionaries", "UK", "--shortcuts", "desk"}, "Unknown shortcut \"desk\""},
        {{"--install", "--dictionaries", "UK", "--shortcuts", "none,desktop"},
         "--shortcuts none stands alone."},
    };
    for (const auto& [arguments, expected] : rows) {
        SCOPED_TRACE(arguments.front());
        try {
            parse(arguments);
            ADD_FAILURE() << "accepted";
        } catch (const setup::EUsageError& error) {
            EXPECT_EQ(std::string(error.what()).substr(0, expected.size()), expected);
        }
    }
}

TEST(CommandOptions, HelpListsTheLanguagesAndTheDictionaryCodes) {
    const std::string help = setup::helpText();
    for (const char* part :
         {"--install", "--dictionaries CODES", "--shortcuts", "--uninstall", "--yes", "DK  Dansk",
          "US  English", "ZA  South-African", "UK  British English", "3  failed part-way"}) {
        EXPECT_NE(help.find(part), std::string::npos) << part;
    }
}

TEST(CommandLineFuzzCorpus, ReplaysWithoutFinding) {
    EXPECT_GT(testing_support::replayCorpus("command_line", fuzzCommandLine), 0);
}
