#include "platform/profile_file.h"

#include <gtest/gtest.h>

#include <exception>
#include <stdexcept>
#include <string>
#include <vector>

#include "file_test_support.h"

namespace fs = std::filesystem;
using file_test_support::readText;
using file_test_support::writeText;

namespace {

class ProfileFileTest : public testing::Test {
protected:
    void SetUp() override {
        m_folder = file_test_support::testFolder("profile_file");
        m_file = (m_folder / "MARLO.INI").string();
    }
    void TearDown() override {
        std::error_code ignored;
        fs::permissions(m_folder, fs::perms::owner_all, fs::perm_options::add, ignored);
    }

    // The message of the runtime_error thrown by writing key=value; empty when none.
    std::string writeFailure(const std::string& file) const {
        try {
            platform::writeProfileString(file, "UserChoice", "MarloLanguage", "DK");
        } catch (const std::runtime_error& error) {
            return error.what();
        }
        return {};
    }

    fs::path m_folder;
    std::string m_file;
};

TEST_F(ProfileFileTest, NewFileHoldsTheSectionAndBothKeysWithCrLf) {
    platform::writeProfileString(m_file, "UserChoice", "MarloLanguage", "DK");
    platform::writeProfileString(m_file, "UserChoice", "SpellLanguage", "DK");
    EXPECT_EQ(readText(m_file), "[UserChoice]\r\nMarloLanguage=DK\r\nSpellLanguage=DK\r\n");
    EXPECT_FALSE(fs::exists(m_file + ".lock"));
}

TEST_F(ProfileFileTest, WritingTheSameKeysAgainReplacesThem) {
    platform::writeProfileString(m_file, "UserChoice", "MarloLanguage", "DK");
    platform::writeProfileString(m_file, "UserChoice", "SpellLanguage", "DK");
    platform::writeProfileString(m_file, "UserChoice", "MarloLanguage", "US");
    platform::writeProfileString(m_file, "UserChoice", "SpellLanguage", "US");
    EXPECT_EQ(readText(m_file), "[UserChoice]\r\nMarloLanguage=US\r\nSpellLanguage=US\r\n");
}

TEST_F(ProfileFileTest, SeveralKeysInOneWriteReadAsIfWrittenOneByOne) {
    const std::string before = "; kept\n[Other]\nA=1\n\n[userchoice]\nspelllanguage=XX\n\n[Last]\n";
    const std::vector<platform::ProfileEntry> entries = {
        {"MarloLanguage", "DK"}, {"SpellLanguage", "DK"}, {"MarloLanguage", "NL"}};
    writeText(m_file, before);
    for (const auto& entry : entries)
        platform::writeProfileString(m_file, "UserChoice", entry.key, entry.value);
    const std::string oneByOne = readText(m_file).value_or("");
    writeText(m_file, before);
    platform::writeProfileStrings(m_file, "UserChoice", entries);
    EXPECT_EQ(readText(m_file), oneByOne);
    EXPECT_EQ(
        oneByOne,
        "; kept\n[Other]\nA=1\n\n[userchoice]\nspelllanguage=DK\nMarloLanguage=NL\n\n[Last]\n");
}

TEST_F(ProfileFileTest, OneRefusedKeyLeavesTheWholeWriteUndone) {
    writeText(m_file, "[UserChoice]\r\nMarloLanguage=US\r\n");
    const std::vector<platform::ProfileEntry> entries = {{"MarloLanguage", "DK"},
                                                         {"Spell=Language", "DK"}};
    EXPECT_THROW(platform::writeProfileStrings(m_file, "UserChoice", entries),
                 std::invalid_argument);
    EXPECT_EQ(readText(m_file), "[UserChoice]\r\nMarloLanguage=US\r\n");
}

struct ExistingFileCase {
    const char* name;
    const char* before;
    const char* section;
    const char* key;
    const char* value;
    const char* after;
};

class ExistingFileTest : public ProfileFileTest,
                         public testing::WithParamInterface<ExistingFileCase> {};

TEST_P(ExistingFileTest, OnlyTheEntryChanges) {
    const ExistingFileCase& c = GetParam();
    writeText(m_file, c.before);
    platform::writeProfileString(m_file, c.section, c.key, c.value);
    EXPECT_EQ(readText(m_file), c.after);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ExistingFileTest,
    testing::Values(
        ExistingFileCase{
            "CrLfKeyAddedAtSectionEnd",
            "; Marlo settings\r\n[Paths]\r\nHome=C:\\M\r\n\r\n[UserChoice]\r\nMarloLanguage=DK\r\n",
            "UserChoice", "SpellLanguage", "DK",
            "; Marlo settings\r\n[Paths]\r\nHome=C:\\M\r\n\r\n"
            "[UserChoice]\r\nMarloLanguage=DK\r\nSpellLanguage=DK\r\n"},
        ExistingFileCase{"LfKeyAddedAtSectionEnd", "[UserChoice]\nMarloLanguage=DK\n", "UserChoice",
                         "SpellLanguage", "DK",
                         "[UserChoice]\nMarloLanguage=DK\nSpellLanguage=DK\n"},
        ExistingFileCase{"KeyReplacedInPlace",
                         "[UserChoice]\r\nMarloLanguage=US\r\nOther=1\r\nSpellLanguage=US\r\n",
                         "UserChoice", "MarloLanguage", "DK",
                         "[UserChoice]\r\nMarloLanguage=DK\r\nOther=1\r\nSpellLanguage=US\r\n"},
        ExistingFileCase{"NamesMatchWithoutCaseAndKeepTheirSpelling",
                         "[userchoice]\nmarloLANGUAGE=US\n", "UserChoice", "MarloLanguage", "NL",
                         "[userchoice]\nmarloLANGUAGE=NL\n"},
        ExistingFileCase{"BlanksAroundTheStoredNameAreIgnored",
                         "  [ UserChoice ]  \n  MarloLanguage = US\n", "UserChoice",
                         "MarloLanguage", "DE", "  [ UserChoice ]  \nMarloLanguage=DE\n"},
        ExistingFileCase{"KeyAddedBeforeTheBlankLinesThatEndItsSection",
                         "[UserChoice]\nMarloLanguage=DK\n\n\n[Later]\nX=1\n", "UserChoice",
                         "SpellLanguage", "DK",
                         "[UserChoice]\nMarloLanguage=DK\nSpellLanguage=DK\n\n\n[Later]\nX=1\n"},
        ExistingFileCase{"CommentsInTheSectionStay",
                         "[UserChoice]\n; chosen by the setup\nMarloLanguage=DK\n# old style\n",
                         "UserChoice", "SpellLanguage", "DK",
                         "[UserChoice]\n; chosen by the setup\nMarloLanguage=DK\n"
                         "# old style\nSpellLanguage=DK\n"},
        ExistingFileCase{"CommentedOutKeyIsNotTheKey", "[UserChoice]\n;MarloLanguage=US\n",
                         "UserChoice", "MarloLanguage", "DK",
                         "[UserChoice]\n;MarloLanguage=US\nMarloLanguage=DK\n"},
        ExistingFileCase{"SameKeyInAnotherSectionIsNotTouched", "[Other]\nMarloLanguage=XX\n",
                         "UserChoice", "MarloLanguage", "DK",
                         "[Other]\nMarloLanguage=XX\n\n[UserChoice]\nMarloLanguage=DK\n"},
        ExistingFileCase{"MissingSectionAppendedAfterABlankLine", "[Other]\r\nA=1\r\n\r\n",
                         "UserChoice", "MarloLanguage", "DK",
                         "[Other]\r\nA=1\r\n\r\n[UserChoice]\r\nMarloLanguage=DK\r\n"},
        ExistingFileCase{"LastLineWithoutLineBreakGetsOne", "[UserChoice]\nMarloLanguage=DK",
                         "UserChoice", "SpellLanguage", "DK",
                         "[UserChoice]\nMarloLanguage=DK\nSpellLanguage=DK\n"},
        ExistingFileCase{"ReplacedLastLineKeepsHavingNoLineBreak", "[UserChoice]\nMarloLanguage=US",
                         "UserChoice", "MarloLanguage", "DK", "[UserChoice]\nMarloLanguage=DK"},
        ExistingFileCase{"EmptyFileIsFilledLikeANewOne", "", "UserChoice", "MarloLanguage", "DK",
                         "[UserChoice]\r\nMarloLanguage=DK\r\n"},
        ExistingFileCase{"ByteOrderMarkStaysAndTheFirstSectionIsFound",
                         "\xEF\xBB\xBF[UserChoice]\nMarloLanguage=US\n", "UserChoice",
                         "MarloLanguage", "DK", "\xEF\xBB\xBF[UserChoice]\nMarloLanguage=DK\n"},
        ExistingFileCase{"FirstOfTwoEqualSectionsIsUsed",
                         "[UserChoice]\nA=1\n[UserChoice]\nMarloLanguage=US\n", "UserChoice",
                         "MarloLanguage", "DK",
                         "[UserChoice]\nA=1\nMarloLanguage=DK\n[UserChoice]\nMarloLanguage=US\n"},
        ExistingFileCase{"EmptyValueAndValueWithEqualsSigns", "[S]\nk=old\n", "S", "k", "a=b;c",
                         "[S]\nk=a=b;c\n"},
        ExistingFileCase{"MixedEndingsStayAndTheFirstDecides", "[S]\r\na=1\nb=2\n", "S", "c", "3",
                         "[S]\r\na=1\nb=2\nc=3\r\n"}),
    [](const testing::TestParamInfo<ExistingFileCase>& info) { return info.param.name; });

struct RefusedCase {
    const char* name;
    std::string section;
    std::string key;
    std::string value;
};

class RefusedArgumentTest : public ProfileFileTest,
                            public testing::WithParamInterface<RefusedCase> {};

TEST_P(RefusedArgumentTest, NothingIsWritten) {
    const std::string before = "[UserChoice]\r\nMarloLanguage=US\r\n";
    writeText(m_file, before);
    const RefusedCase& c = GetParam();
    EXPECT_THROW(platform::writeProfileString(m_file, c.section, c.key, c.value),
                 std::invalid_argument);
    EXPECT_EQ(readText(m_file), before);
    EXPECT_FALSE(fs::exists(m_file + ".lock"));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RefusedArgumentTest,
    testing::Values(RefusedCase{"ValueWithCrLf", "UserChoice", "MarloLanguage", "DK\r\n[Evil]"},
                    RefusedCase{"ValueWithLf", "UserChoice", "MarloLanguage", "D\nK"},
                    RefusedCase{"ValueWithCr", "UserChoice", "MarloLanguage", "D\rK"},
                    RefusedCase{"ValueWithNul", "UserChoice", "MarloLanguage",
                                std::string("D\0K", 3)},
                    RefusedCase{"KeyWithLineBreak", "UserChoice", "Marlo\nLanguage", "DK"},
                    RefusedCase{"SectionWithLineBreak", "User\r\nChoice", "MarloLanguage", "DK"},
                    RefusedCase{"KeyWithEquals", "UserChoice", "Marlo=Language", "DK"},
                    RefusedCase{"SectionWithClosingBracket", "User]Choice", "MarloLanguage", "DK"},
                    RefusedCase{"EmptyKey", "UserChoice", "", "DK"},
                    RefusedCase{"EmptySection", "", "MarloLanguage", "DK"},
                    RefusedCase{"KeyWithOuterBlanks", "UserChoice", " MarloLanguage", "DK"},
                    RefusedCase{"SectionWithOuterBlanks", "UserChoice ", "MarloLanguage", "DK"}),
    [](const testing::TestParamInfo<RefusedCase>& info) { return info.param.name; });

TEST_F(ProfileFileTest, MissingFolderCannotBeWritten) {
    const std::string file = (m_folder / "missing/MARLO.INI").string();
    EXPECT_EQ(writeFailure(file), "Unable to write to " + file);
    EXPECT_FALSE(fs::exists(m_folder / "missing"));
}

TEST_F(ProfileFileTest, FolderThatIsAFileCannotBeWritten) {
    writeText(m_folder / "plain", "plain");
    const std::string file = (m_folder / "plain/MARLO.INI").string();
    EXPECT_EQ(writeFailure(file), "Unable to write to " + file);
    EXPECT_EQ(readText(m_folder / "plain"), "plain");
}

TEST_F(ProfileFileTest, FileThatIsAFolderCannotBeWritten) {
    fs::create_directory(m_file);
    EXPECT_EQ(writeFailure(m_file), "Unable to write to " + m_file);
    EXPECT_TRUE(fs::is_directory(m_file));
}

// The superuser may write anywhere, so "unwritable" is given by the mode bits, which
// mayWrite() honours for every user: a folder without write bits is not written into.
TEST_F(ProfileFileTest, WriteProtectedFolderCannotBeWritten) {
    fs::create_directory(m_folder / "protected");
    fs::permissions(m_folder / "protected", fs::perms(0555));
    const std::string file = (m_folder / "protected/MARLO.INI").string();
    EXPECT_EQ(writeFailure(file), "Unable to write to " + file);
    fs::permissions(m_folder / "protected", fs::perms::owner_all);
    EXPECT_TRUE(fs::is_empty(m_folder / "protected"));
}

TEST_F(ProfileFileTest, WriteProtectedFileStaysAsItWas) {
    writeText(m_file, "[UserChoice]\r\nMarloLanguage=US\r\n");
    fs::permissions(m_file, fs::perms(0444));
    EXPECT_EQ(writeFailure(m_file), "Unable to write to " + m_file);
    EXPECT_EQ(readText(m_file), "[UserChoice]\r\nMarloLanguage=US\r\n");
    EXPECT_FALSE(fs::exists(m_file + ".lock"));
}

TEST_F(ProfileFileTest, FailureCarriesItsCause) {
    const std::string file = (m_folder / "missing/MARLO.INI").string();
    try {
        platform::writeProfileString(file, "UserChoice", "MarloLanguage", "DK");
        FAIL() << "no failure";
    } catch (const std::runtime_error& error) {
        EXPECT_THROW(std::rethrow_if_nested(error), std::runtime_error);
    }
}

TEST_F(ProfileFileTest, ModeOfAnExistingFileIsKept) {
    writeText(m_file, "[UserChoice]\n");
    fs::permissions(m_file, fs::perms(0604));
    platform::writeProfileString(m_file, "UserChoice", "MarloLanguage", "DK");
    EXPECT_EQ(fs::status(m_file).permissions(), fs::perms(0604));
}

// A named pipe would block the reader forever, /dev/zero would be read without end: neither
// is read beyond a look at its type, both fail with the designed message and a cause that
// says why, and nothing is written (the special file stays, no lock file is left).
TEST_F(ProfileFileTest, SpecialFileAsSettingsFileFailsAndNothingIsWritten) {
    const std::string fifo = (m_folder / "fifo/MARLO.INI").string();
    const std::string zero = (m_folder / "zero/MARLO.INI").string();
    fs::create_directories(m_folder / "fifo");
    fs::create_directories(m_folder / "zero");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    fs::create_symlink("/dev/zero", zero);
    for (const auto& [file, why] :
         {std::pair{fifo, "not a regular file"}, std::pair{zero, "a symbolic link"}}) {
        try {
            platform::writeProfileString(file, "UserChoice", "MarloLanguage", "DK");
            ADD_FAILURE() << "no failure for " << file;
        } catch (const std::runtime_error& error) {
            EXPECT_EQ(std::string(error.what()), "Unable to write to " + file);
            try {
                std::rethrow_if_nested(error);
            } catch (const std::exception& cause) {
                EXPECT_NE(std::string(cause.what()).find(why), std::string::npos) << cause.what();
            }
        }
        EXPECT_EQ(std::distance(fs::directory_iterator(fs::path(file).parent_path()),
                                fs::directory_iterator()),
                  1);
    }
    EXPECT_TRUE(fs::is_fifo(fifo));
    EXPECT_TRUE(fs::is_symlink(zero));
}

// In a folder another user could write, MARLO.INI planted as a link to the user's private
// file was read and its contents written to a new, world-readable MARLO.INI.
TEST_F(ProfileFileTest, APlantedLinkToAPrivateFileIsNeitherReadNorCopied) {
    const fs::path secret = m_folder / "private";
    writeText(secret.string(), "[UserChoice]\r\npassword=secret\r\n");
    fs::permissions(secret, fs::perms(0600));
    fs::create_directories(m_folder / "shared");
    const std::string file = (m_folder / "shared/MARLO.INI").string();
    fs::create_symlink(secret, file);
    EXPECT_EQ(writeFailure(file), "Unable to write to " + file);
    EXPECT_TRUE(fs::is_symlink(file));
    EXPECT_EQ(readText(secret.string()), "[UserChoice]\r\npassword=secret\r\n");
    EXPECT_EQ(fs::status(secret).permissions(), fs::perms(0600));
}

TEST_F(ProfileFileTest, SettingsFileLargerThanTheBoundIsNotEdited) {
    const std::string big(platform::kLargestSettingsFile + 1, ';');
    writeText(m_file, big);
    EXPECT_EQ(writeFailure(m_file), "Unable to write to " + m_file);
    EXPECT_EQ(fs::file_size(m_file), big.size());
}

}  // namespace
