#include "platform/xdg_folders.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "file_test_support.h"

namespace fs = std::filesystem;
using file_test_support::ScopedVariable;

namespace {

// A home folder and a configuration folder of the test's own; XDG_DATA_HOME unset.
class XdgFoldersTest : public testing::Test {
protected:
    void SetUp() override {
        m_folder = file_test_support::testFolder("xdg");
        fs::create_directories(m_folder / "home");
        fs::create_directories(m_folder / "config");
        m_home.emplace("HOME", (m_folder / "home").c_str());
        m_config.emplace("XDG_CONFIG_HOME", (m_folder / "config").c_str());
        m_data.emplace("XDG_DATA_HOME", nullptr);
    }
    void TearDown() override {
        m_data.reset();
        m_config.reset();
        m_home.reset();
    }

    std::string home() const { return (m_folder / "home").string(); }
    void writeUserDirs(const std::string& text) const {
        file_test_support::writeText(m_folder / "config/user-dirs.dirs", text);
    }

    fs::path m_folder;
    std::optional<ScopedVariable> m_home, m_config, m_data;
};

TEST_F(XdgFoldersTest, WithoutUserDirsEveryFolderHasItsDefault) {
    const platform::UserFolders folders = platform::userFolders();
    EXPECT_EQ(folders.desktop, home() + "/Desktop");
    EXPECT_EQ(folders.documents, home() + "/Documents");
    EXPECT_EQ(folders.templates, home() + "/Templates");
    EXPECT_EQ(folders.download, home() + "/Downloads");
    EXPECT_EQ(folders.music, home() + "/Music");
    EXPECT_EQ(folders.pictures, home() + "/Pictures");
    EXPECT_EQ(folders.videos, home() + "/Videos");
    EXPECT_EQ(folders.publicShare, home() + "/Public");
    EXPECT_EQ(folders.dataHome, home() + "/.local/share");
    EXPECT_EQ(folders.configHome, (m_folder / "config").string());
}

TEST_F(XdgFoldersTest, EveryNamedFolderIsReadFromUserDirs) {
    writeUserDirs(
        "# written by xdg-user-dirs-update\n"
        "XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n"
        "XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n"
        "XDG_TEMPLATES_DIR=\"$HOME/Vorlagen\"\n"
        "XDG_DOWNLOAD_DIR=\"$HOME/Downloads2\"\n"
        "XDG_MUSIC_DIR=\"$HOME/Musik\"\n"
        "XDG_PICTURES_DIR=\"$HOME/Bilder\"\n"
        "XDG_VIDEOS_DIR=\"$HOME/Filme\"\n"
        "XDG_PUBLICSHARE_DIR=\"/srv/public\"\n");
    const platform::UserFolders folders = platform::userFolders();
    EXPECT_EQ(folders.desktop, home() + "/Schreibtisch");
    EXPECT_EQ(folders.documents, home() + "/Dokumente");
    EXPECT_EQ(folders.templates, home() + "/Vorlagen");
    EXPECT_EQ(folders.download, home() + "/Downloads2");
    EXPECT_EQ(folders.music, home() + "/Musik");
    EXPECT_EQ(folders.pictures, home() + "/Bilder");
    EXPECT_EQ(folders.videos, home() + "/Filme");
    EXPECT_EQ(folders.publicShare, "/srv/public");
}

struct DesktopLine {
    const char* line;
    const char* expected;  // "~" stands for the home folder; nullptr: the default is kept
};

class DesktopLineTest : public XdgFoldersTest, public testing::WithParamInterface<DesktopLine> {};

TEST_P(DesktopLineTest, DesktopFolderFromOneLine) {
    writeUserDirs(GetParam().line);
    std::string expected = home() + "/Desktop";
    if (GetParam().expected != nullptr) {
        expected = GetParam().expected;
        if (expected.starts_with('~')) expected = home() + expected.substr(1);
    }
    EXPECT_EQ(platform::userFolders().desktop, expected);
}

INSTANTIATE_TEST_SUITE_P(
    UserDirsLines, DesktopLineTest,
    testing::Values(
        DesktopLine{"XDG_DESKTOP_DIR=\"$HOME/Bureau\"\n", "~/Bureau"},
        DesktopLine{"XDG_DESKTOP_DIR=\"${HOME}/Bureau\"\n", "~/Bureau"},
        DesktopLine{"XDG_DESKTOP_DIR=\"$HOME/Bureau/\"\n", "~/Bureau"},
        DesktopLine{"XDG_DESKTOP_DIR=\"$HOME/\"\n", "~"},
        DesktopLine{"XDG_DESKTOP_DIR=\"$HOME\"\n", "~"},
        DesktopLine{"XDG_DESKTOP_DIR=\"/data/desk//\"\n", "/data/desk"},
        DesktopLine{"XDG_DESKTOP_DIR=\"$HOME/Mein \\\"Tisch\\\"\"\n", "~/Mein \"Tisch\""},
        DesktopLine{"XDG_DESKTOP_DIR=\"$HOME/Bureau\"\r\n", "~/Bureau"},
        DesktopLine{"  XDG_DESKTOP_DIR=$HOME/bare\n", "~/bare"},
        DesktopLine{"XDG_DESKTOP_DIR=\"$HOME/a\"\nXDG_DESKTOP_DIR=\"$HOME/b\"\n", "~/b"},
        DesktopLine{"XDG_DESKTOP_DIR=\"relative/desk\"\n", nullptr},
        DesktopLine{"XDG_DESKTOP_DIR=\"$HOMEPAGE/desk\"\n", nullptr},
        DesktopLine{"XDG_DESKTOP_DIR=\"$HOME/not closed\n", nullptr},
        DesktopLine{"# XDG_DESKTOP_DIR=\"/commented\"\n", nullptr},
        DesktopLine{"XDG_DESKTOP_DIR\n", nullptr},
        DesktopLine{"XDG_DESKTOP_DIRS=\"/other\"\n", nullptr}, DesktopLine{"", nullptr}));

TEST_F(XdgFoldersTest, BaseFoldersComeFromTheEnvironmentWhenAbsolute) {
    {
        ScopedVariable data("XDG_DATA_HOME", "/srv/data/");
        EXPECT_EQ(platform::userFolders().dataHome, "/srv/data");
        EXPECT_EQ(platform::dataHomeFolder(), "/srv/data");
    }
    {
        // Relative and empty values are invalid by the base-directory rules and are ignored.
        ScopedVariable data("XDG_DATA_HOME", "relative/data");
        ScopedVariable config("XDG_CONFIG_HOME", "");
        EXPECT_EQ(platform::userFolders().dataHome, home() + "/.local/share");
        EXPECT_EQ(platform::configHomeFolder(), home() + "/.config");
    }
}

TEST_F(XdgFoldersTest, UserDirsIsReadFromTheConfigurationFolderInUse) {
    fs::create_directories(m_folder / "home/.config");
    file_test_support::writeText(m_folder / "home/.config/user-dirs.dirs",
                                 "XDG_DESKTOP_DIR=\"$HOME/FromDotConfig\"\n");
    writeUserDirs("XDG_DESKTOP_DIR=\"$HOME/FromXdgConfigHome\"\n");
    EXPECT_EQ(platform::userFolders().desktop, home() + "/FromXdgConfigHome");
    ScopedVariable config("XDG_CONFIG_HOME", nullptr);
    EXPECT_EQ(platform::userFolders().desktop, home() + "/FromDotConfig");
}

TEST_F(XdgFoldersTest, HomeAtTheRootGivesNoDoubledSeparator) {
    ScopedVariable root("HOME", "/");
    ScopedVariable config("XDG_CONFIG_HOME", nullptr);
    const platform::UserFolders folders = platform::userFolders();
    EXPECT_EQ(folders.desktop, "/Desktop");
    EXPECT_EQ(folders.dataHome, "/.local/share");
    EXPECT_EQ(folders.configHome, "/.config");
}

}  // namespace

// user-dirs.dirs is read only as a small regular file: a named pipe (no writer), a link to
// an endless device or an oversized file leave the defaults at once instead of blocking or
// reading without end.
TEST_F(XdgFoldersTest, UserDirsThatIsNoSmallRegularFileLeavesTheDefaults) {
    const fs::path file = m_folder / "config/user-dirs.dirs";
    ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0);
    EXPECT_EQ(platform::userFolders().desktop, home() + "/Desktop");
    fs::remove(file);

    fs::create_symlink("/dev/zero", file);
    EXPECT_EQ(platform::userFolders().desktop, home() + "/Desktop");
    fs::remove(file);

    writeUserDirs("XDG_DESKTOP_DIR=\"$HOME/Big\"\n" + std::string(64 * 1024, '#'));
    EXPECT_EQ(platform::userFolders().desktop, home() + "/Desktop");
    writeUserDirs("XDG_DESKTOP_DIR=\"$HOME/Small\"\nXDG_MUSIC_DIR=\"$HOME/Tunes\"");
    const platform::UserFolders folders = platform::userFolders();
    EXPECT_EQ(folders.desktop, home() + "/Small");
    EXPECT_EQ(folders.music, home() + "/Tunes") << "a last line without its line break counts";
}
