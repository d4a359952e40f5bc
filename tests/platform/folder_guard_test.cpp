// The folders the uninstall must never delete. Nothing is deleted here: the tests only ask
// for the reason, with HOME and the XDG folders pointing into a sandbox folder of their own.

#include "platform/folder_guard.h"

#include <gtest/gtest.h>
#include <pwd.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <list>
#include <optional>
#include <string>
#include <vector>

#include "test_environment.h"

namespace fs = std::filesystem;

namespace {

using testing_support::ScopedVariable;

std::string replaced(std::string text, const std::string& name, const std::string& value) {
    for (std::size_t at = text.find(name); at != std::string::npos; at = text.find(name, at)) {
        text.replace(at, name.size(), value);
        at += value.size();
    }
    return text;
}

// A home of its own with XDG folders, some moved by user-dirs.dirs: documents renamed,
// music outside the home, data home outside the home; the rest at their defaults.
class FolderGuardTest : public testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (testing_support::sandboxFolder() / "guard-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        m_base = fs::canonical(pattern);
        m_home = m_base / "home";
        for (const char* folder :
             {"home/.config", "home/.cache", "home/Mes documents", "home/Desktop", "home/Downloads",
              "home/Pictures", "home/Videos", "home/Templates", "home/Public", "elsewhere/music",
              "elsewhere/data", "links"}) {
            fs::create_directories(m_base / folder);
        }
        m_variables.emplace_back("HOME", m_home.c_str());
        m_variables.emplace_back("XDG_CONFIG_HOME", (m_home / ".config").c_str());
        m_variables.emplace_back("XDG_DATA_HOME", (m_base / "elsewhere/data").c_str());
        m_variables.emplace_back("XDG_CACHE_HOME", nullptr);
        std::ofstream(m_home / ".config/user-dirs.dirs")
            << "# written by a test\n"
            << "XDG_DOCUMENTS_DIR=\"$HOME/Mes documents\"\n"
            << "XDG_MUSIC_DIR=\"" << (m_base / "elsewhere/music").string() << "\"\n";
    }

    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(m_base, ignored);  // links are removed, never followed
    }

    // {home} and {base} stand for this test's folders.
    std::string path(const std::string& pattern) const {
        return replaced(replaced(pattern, "{home}", m_home.string()), "{base}", m_base.string());
    }

    // A link inside the sandbox pointing at target.
    std::string linkTo(const std::string& target) {
        const fs::path link = m_base / "links" / ("link" + std::to_string(m_links++));
        fs::create_symlink(target, link);
        return link.string();
    }

    fs::path m_base;
    fs::path m_home;
    std::list<ScopedVariable> m_variables;
    int m_links = 0;
};

struct RefusedCase {
    const char* name;
    const char* folder;  // {home}, {base} replaced
    const char* says;    // part of the reason
};

const RefusedCase kRefusedUserFolders[] = {
    {"Home", "{home}", "is your home folder."},
    {"HomeWithFinalSeparator", "{home}/", "is your home folder."},
    {"HomeWithDoubledSeparators", "{home}//", "is your home folder."},
    {"HomeThroughDotDot", "{home}/Desktop/..", "leads to {home}, which is your home folder."},
    {"HomeThroughMissingFolderAndDotDot", "{home}/not there/..", "your home folder"},
    {"HomeThroughDot", "{home}/.", "your home folder"},
    {"ParentOfHome", "{base}", "contains your home folder."},
    {"GrandParentOfHome", "{base}/..", "contains your home folder."},
    {"Desktop", "{home}/Desktop", "is your desktop folder."},
    {"DocumentsFromUserDirs", "{home}/Mes documents/", "is your documents folder."},
    {"Downloads", "{home}/Downloads", "is your downloads folder."},
    {"MusicOutsideHome", "{base}/elsewhere/music", "is your music folder."},
    {"Pictures", "{home}/Pictures", "is your pictures folder."},
    {"Videos", "{home}/Videos", "is your videos folder."},
    {"Templates", "{home}/Templates", "is your templates folder."},
    {"PublicShare", "{home}/Public", "is your public folder."},
    {"DataHome", "{base}/elsewhere/data", "is your application data folder."},
    {"ParentOfDataAndMusic", "{base}/elsewhere", "contains your"},
    {"ConfigHome", "{home}/.config", "is your settings folder."},
    {"CacheHomeByDefault", "{home}/.cache", "is your cache folder."},
};

class RefusedUserFolder : public FolderGuardTest,
                          public testing::WithParamInterface<RefusedCase> {};

TEST_P(RefusedUserFolder, IsRefusedWithAReasonNamingIt) {
    const std::string folder = path(GetParam().folder);
    const auto reason = platform::refusalReason(folder);
    ASSERT_TRUE(reason.has_value()) << folder;
    EXPECT_EQ(reason->rfind("The recorded folder " + folder, 0), 0u) << *reason;
    EXPECT_NE(reason->find(path(GetParam().says)), std::string::npos) << *reason;
    EXPECT_TRUE(reason->ends_with(" Nothing was deleted.")) << *reason;
}

TEST_P(RefusedUserFolder, IsRefusedThroughASymbolicLink) {
    const std::string target = path(GetParam().folder);
    if (!fs::exists(target)) {
        // A link to a missing folder leads nowhere: there is nothing to delete behind it.
        EXPECT_EQ(platform::refusalReason(linkTo(target)), std::nullopt);
        return;
    }
    for (const std::string& link : {linkTo(target), linkTo(linkTo(target))}) {
        for (const std::string& spelling : {link, link + "/"}) {
            const auto reason = platform::refusalReason(spelling);
            ASSERT_TRUE(reason.has_value()) << spelling << " -> " << target;
            EXPECT_NE(reason->find(" leads to "), std::string::npos) << *reason;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(FolderGuard, RefusedUserFolder, testing::ValuesIn(kRefusedUserFolders),
                         [](const auto& info) { return std::string(info.param.name); });

const char* const kSystemFolders[] = {
    "/usr",  "/etc",  "/bin",  "/sbin",  "/lib", "/lib32", "/lib64", "/libx32",
    "/boot", "/dev",  "/proc", "/sys",   "/run", "/var",   "/opt",   "/srv",
    "/home", "/root", "/mnt",  "/media", "/tmp", "/snap",
};

class RefusedSystemFolder : public FolderGuardTest,
                            public testing::WithParamInterface<const char*> {};

TEST_P(RefusedSystemFolder, IsRefusedInEverySpelling) {
    const std::string folder = GetParam();
    for (const std::string& spelling :
         {folder, folder + "/", "/" + folder, folder + "/.", folder + "/./", "/." + folder}) {
        const auto reason = platform::refusalReason(spelling);
        ASSERT_TRUE(reason.has_value()) << spelling;
        // /tmp holds this test's home, which is the more telling reason there; run as root,
        // /root is the user's own home.
        const bool named = reason->find("system folder") != std::string::npos ||
                           reason->find("contains your home folder") != std::string::npos ||
                           reason->find("is your home folder") != std::string::npos;
        EXPECT_TRUE(named) << *reason;
        EXPECT_NE(reason->find(spelling), std::string::npos) << *reason;
    }
}

TEST_P(RefusedSystemFolder, IsRefusedThroughASymbolicLink) {
    const std::string link = linkTo(GetParam());
    if (!fs::exists(GetParam())) {
        // Missing on this machine (/snap, /libx32): the link dangles and holds nothing to
        // delete, while the name itself stays refused.
        EXPECT_EQ(platform::refusalReason(link), std::nullopt);
        EXPECT_TRUE(platform::refusalReason(GetParam()).has_value());
        return;
    }
    EXPECT_TRUE(platform::refusalReason(link).has_value()) << link;
    EXPECT_TRUE(platform::refusalReason(link + "/").has_value()) << link;
}

INSTANTIATE_TEST_SUITE_P(FolderGuard, RefusedSystemFolder, testing::ValuesIn(kSystemFolders),
                         [](const auto& info) { return std::string(info.param + 1); });

TEST_F(FolderGuardTest, RefusesTheRootHoweverWritten) {
    for (const std::string root : {"/", "//", "///", "/.", "/./", "/..", "/../..", "/./../.",
                                   "/usr/..", "/tmp/../", "/not-there/..", "//.//"}) {
        const auto reason = platform::refusalReason(root);
        ASSERT_TRUE(reason.has_value()) << root;
        EXPECT_NE(reason->find("the root of the file system"), std::string::npos) << *reason;
    }
    EXPECT_TRUE(platform::refusalReason(linkTo("/")).has_value());
    EXPECT_TRUE(platform::refusalReason(linkTo("/tmp/..")).has_value());
}

TEST_F(FolderGuardTest, RefusesEmptyAndRelativeFolders) {
    const auto empty = platform::refusalReason("");
    ASSERT_TRUE(empty.has_value());
    EXPECT_EQ(*empty, "No installation folder was recorded. Nothing was deleted.");
    for (const std::string relative : {"Quindor", "Quindor/", "./Quindor", "../Quindor",
                                       "~/Quindor", " /tmp/Quindor", ".", ".."}) {
        const auto reason = platform::refusalReason(relative);
        ASSERT_TRUE(reason.has_value()) << relative;
        EXPECT_EQ(*reason, "The recorded folder " + relative +
                               " is not a full path (it does not start with /). Nothing was "
                               "deleted.");
    }
    EXPECT_TRUE(platform::refusalReason(std::string("/tmp/a\0b", 8)).has_value());
}

TEST_F(FolderGuardTest, NamesTheHomeFolderExactly) {
    EXPECT_EQ(
        platform::refusalReason(m_home.string()),
        "The recorded folder " + m_home.string() + " is your home folder. Nothing was deleted.");
    const std::string link = linkTo(m_home.string());
    EXPECT_EQ(platform::refusalReason(link),
              "The recorded folder " + link + " leads to " + m_home.string() +
                  ", which is your home folder. Nothing was deleted.");
}

TEST_F(FolderGuardTest, AllowsFoldersBelowOrBesideTheProtectedOnes) {
    fs::create_directories(m_home / "Quindor");
    fs::create_directories(m_base / "home2");
    const std::vector<std::string> allowed = {
        path("{home}/Quindor"),
        path("{home}/Quindor/"),
        path("{home}/Quindor2/"),               // does not exist
        path("{home}/Mes documents/Quindor/"),  // inside an XDG folder
        path("{home}/.local/share/Quindor"),    // the default data home is not in use
        path("{base}/elsewhere/data/Quindor/"),
        path("{home}/Quindor/../Other/"),
        path("{base}/home2"),  // shares the home's name as a prefix
        path("{base}/hom"),
        path("{home}/Desktop2"),
        "/opt/Quindor-not-installed/",
        "/tmp/quindor-not-installed/",
    };
    for (const std::string& folder : allowed) {
        EXPECT_EQ(platform::refusalReason(folder), std::nullopt) << folder;
    }
}

TEST_F(FolderGuardTest, ProtectsTheDefaultsWhenTheConfigurationIsMissing) {
    fs::remove(m_home / ".config/user-dirs.dirs");
    ScopedVariable config("XDG_CONFIG_HOME", nullptr);
    ScopedVariable data("XDG_DATA_HOME", "relative/data");  // not absolute: ignored
    for (const char* folder :
         {"{home}/Documents", "{home}/Music", "{home}/Desktop", "{home}/.config",
          "{home}/.local/share", "{home}/.local", "{home}/.cache"}) {
        EXPECT_TRUE(platform::refusalReason(path(folder)).has_value()) << folder;
    }
    EXPECT_EQ(platform::refusalReason(path("{home}/Mes documents")), std::nullopt);
}

TEST_F(FolderGuardTest, FallsBackToThePasswordEntryForTheHome) {
    ScopedVariable home("HOME", nullptr);
    const passwd* entry = getpwuid(getuid());
    if (entry == nullptr || entry->pw_dir == nullptr || entry->pw_dir[0] != '/') {
        GTEST_SKIP() << "this user has no home folder in the password database";
    }
    const auto reason = platform::refusalReason(entry->pw_dir);
    ASSERT_TRUE(reason.has_value());
    EXPECT_NE(reason->find("your home folder"), std::string::npos) << *reason;
}

TEST_F(FolderGuardTest, SeesThroughAHomeThatIsItselfALink) {
    const std::string linkedHome = linkTo(m_home.string());
    ScopedVariable home("HOME", linkedHome.c_str());
    // The real folder behind the configured home is protected as much as the link.
    EXPECT_TRUE(platform::refusalReason(m_home.string()).has_value());
    EXPECT_TRUE(platform::refusalReason(linkedHome).has_value());
    EXPECT_EQ(platform::refusalReason(m_home.string() + "/Quindor"), std::nullopt);
}

}  // namespace

namespace {

// The install records the folder it resolved: a record that reaches its folder only through
// a link, in any of its parts, is refused whatever lies behind it.
TEST_F(FolderGuardTest, RefusesARecordThatReachesItsFolderThroughALink) {
    fs::create_directories(m_home / "Quindor/sub");
    const std::string link = linkTo(path("{home}/Quindor"));
    const std::string parentLink = linkTo(path("{home}"));
    const std::string target = path("{home}/Quindor");
    const auto refusal = [&](const std::string& record) {
        return "The recorded folder " + record + " leads through a link to " + target +
               ". Nothing was deleted.";
    };
    for (const std::string& record :
         {link, link + "/", link + "/.", link + "/sub/..", link + "//sub/./../",
          parentLink + "/Quindor", parentLink + "/Quindor/sub/.."}) {
        EXPECT_EQ(platform::refusalReason(record), refusal(record));
        // The install resolves the link and records the folder itself.
        EXPECT_EQ(platform::installRefusalReason(record), std::nullopt) << record;
    }
    // Written without a link, the same folder may go, with ".." and "." worked out.
    for (const std::string& record : {target, target + "/sub/..", target + "/./sub/../"}) {
        EXPECT_EQ(platform::refusalReason(record), std::nullopt) << record;
    }
}

}  // namespace
