// How far the guard's protection reaches: system folders with everything below them, every
// home and its hidden folders, the program's own folders, mount points, and folders reached
// through another mount or spelled oddly. Real system folders are only ever judged here,
// never deleted; the tests that mount do so in a private mount namespace of a child, and
// the unprivileged ones run in a child as the user nobody.

#include <gtest/gtest.h>
#include <pwd.h>
#include <stdlib.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <list>
#include <optional>
#include <string>

#include "child_test.h"
#include "platform/environment.h"
#include "platform/folder_guard.h"
#include "platform/protected_folders.h"
#include "test_environment.h"

namespace fs = std::filesystem;

namespace {

using testing_support::kAsNobody;
using testing_support::kPrivateMounts;
using testing_support::ScopedVariable;

class GuardReach : public testing::Test {
protected:
    void SetUp() override {
        m_base = fs::canonical(testing_support::testFolder("reach"));
        m_home = m_base / "home";
        fs::create_directories(m_home / ".ssh/keys");
        fs::create_directories(m_home / ".local/share");
        m_variables.emplace_back("HOME", m_home.c_str());
        for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"}) {
            m_variables.emplace_back(name, nullptr);
        }
    }

    std::string reason(const std::string& folder) const {
        return platform::refusalReason(folder).value_or("(allowed)");
    }

    fs::path m_base;
    fs::path m_home;
    std::list<ScopedVariable> m_variables;
};

struct ReachCase {
    const char* folder;  // "~" stands for this test's home
    const char* says;    // part of the reason, or of one of its '|'-separated forms (what a
                         // real folder is can depend on the machine); nullptr: allowed
};

// Judged on this machine's real folders (nothing is deleted); where one is missing here the
// resolved name still decides.
const ReachCase kReach[] = {
    {"/usr/local/", "lies in the system folder /usr."},
    {"/usr/share/", "lies in the system folder /usr."},
    {"/usr/local/Quindor/", "lies in the system folder /usr."},
    {"/etc/ssl/", "lies in the system folder /etc."},
    {"/etc/ssl/../ssl/certs", "lies in the system folder /etc."},
    {"/var/lib/", "lies in the system folder /var.|contains the home folder of "},
    {"/var/lib/not-there/deeper", "lies in the system folder /var."},
    {"/boot/grub/", "lies in the system folder /boot."},
    {"/lib/modules/", "lies in the system folder "},  // /lib may lead to /usr/lib
    {"/dev/shm/", "lies in the system folder /dev.|is a mount point."},
    {"/root/.ssh/", "the hidden folder .ssh of "},
    {"/home/x/", "is a home folder in /home."},
    {"/home/x/Quindor/", nullptr},
    {"~/.ssh/", "is the hidden folder .ssh of your home folder."},
    {"~/.ssh/keys", "lies in the hidden folder .ssh of your home folder."},
    {"~/.gnupg-not-there/x", "lies in the hidden folder .gnupg-not-there of your home folder."},
    {"~/.local", "contains your application data folder."},
    {"~/.local/bin", "is your programs folder."},
    {"~/.local/state", "is your state folder."},
    {"~/.local/share/Quindor", nullptr},
    {"~/.local/share/applications", "is your applications folder."},
    {"~/.local/share/applications/Quindor", "lies in your applications folder."},
    {"~/.local/share/fonts/", "is your fonts folder."},
    {"~/.local/share/fonts/truetype/x", "lies in your fonts folder."},
    {"~/.local/share/icons/hicolor", "lies in your icons folder."},
    {"~/.local/share/mime/packages", "lies in your file types folder."},
    {"~/.local/share/applications/../Quindor", nullptr},
    {"~/.local/opt/Quindor", nullptr},
    {"~/.cache", "is your cache folder."},
    {"~/Quindor", nullptr},
    {"/opt/Quindor/", nullptr},
    {"/opt/", "is a system folder."},
    {"/var/tmp/quindor-not-there/", nullptr},
    {"/tmp/quindor-not-there/", nullptr},
};

class ReachTable : public GuardReach, public testing::WithParamInterface<ReachCase> {
protected:
    std::string folder() const {
        std::string folder = GetParam().folder;
        if (folder.starts_with("~")) folder.replace(0, 1, m_home.string());
        return folder;
    }
};

bool saysOneOf(const std::string& reason, const std::string& forms) {
    std::size_t start = 0;
    for (std::size_t bar; (bar = forms.find('|', start)) != std::string::npos; start = bar + 1) {
        if (reason.find(forms.substr(start, bar - start)) != std::string::npos) return true;
    }
    return reason.find(forms.substr(start)) != std::string::npos;
}

void expectJudged(const std::string& folder, const char* says, const std::string& reason) {
    if (says == nullptr) {
        EXPECT_EQ(reason, "(allowed)") << folder;
    } else {
        EXPECT_TRUE(saysOneOf(reason, says)) << folder << ": " << reason;
        EXPECT_TRUE(reason.ends_with(" Nothing was deleted.")) << reason;
    }
}

TEST_P(ReachTable, IsJudgedAsExpected) {
    expectJudged(folder(), GetParam().says, reason(folder()));
    // The install refuses exactly what the uninstall refuses.
    EXPECT_EQ(platform::installRefusalReason(folder()).has_value(), GetParam().says != nullptr);
}

TEST_P(ReachTable, IsJudgedAlikeByAnUnprivilegedUser) {
    QUINDOR_RERUN_THROUGH(kAsNobody);
    ASSERT_EQ(geteuid(), 65534u);
    const std::string judged = reason(folder());
    if (GetParam().says == nullptr ||
        std::string(GetParam().folder).find("root") == std::string::npos) {
        expectJudged(folder(), GetParam().says, judged);
    } else {
        // Another user cannot look into /root; its hidden folders stay refused by name.
        EXPECT_NE(judged, "(allowed)");
    }
}

INSTANTIATE_TEST_SUITE_P(Guard, ReachTable, testing::ValuesIn(kReach), [](const auto& info) {
    std::string name;
    for (const char c : std::string(info.param.folder)) name += std::isalnum(c) ? c : '_';
    return name + "_" + std::to_string(info.index);
});

TEST_F(GuardReach, EveryAccountsHomeIsProtected) {
    // Read first: the guard reads the account database itself.
    std::vector<std::pair<std::string, std::string>> homes;
    setpwent();
    while (const passwd* entry = getpwent()) {
        if (entry->pw_dir != nullptr && entry->pw_dir[0] == '/')
            homes.emplace_back(entry->pw_name, entry->pw_dir);
    }
    endpwent();
    ASSERT_FALSE(homes.empty());
    for (const auto& [name, home] : homes)
        EXPECT_NE(reason(home), "(allowed)") << name << ": " << home;
}

TEST_F(GuardReach, TheProgramsOwnFoldersAreProtected) {
    const fs::path runtime = m_base / "runtime";
    const fs::path registry = m_base / "registry";
    fs::create_directories(runtime);
    ScopedVariable runtimeVariable("XDG_RUNTIME_DIR", runtime.c_str());
    ScopedVariable registryVariable("MARLO_REGISTRY_DIR", registry.c_str());
    const std::string distribution = platform::executableFolder();
    for (const auto& [folder, says] : std::vector<std::pair<std::string, std::string>>{
             {runtime.string() + "/x/", "lies in your runtime folder."},
             {registry.string() + "/Quindor", "lies in the registry folder."},
             {registry.string(), "is the registry folder."},
             {distribution, "is the folder this setup program runs from."},
             {m_home.string() + "/.config", "is your settings folder."},
         }) {
        EXPECT_NE(reason(folder).find(says), std::string::npos) << folder << ": " << reason(folder);
    }
    // A setup lying in a folder does not make that folder's other folders unfit.
    EXPECT_EQ(reason(distribution + "Quindor-not-there"), "(allowed)");
}

TEST_F(GuardReach, ARelativeOrOddHomeIsStillProtected) {
    const fs::path previous = fs::current_path();
    fs::current_path(m_base);
    {
        ScopedVariable home("HOME", "home");  // relative: taken from the current folder
        EXPECT_NE(reason(m_home.string()).find("is your home folder"), std::string::npos);
        EXPECT_NE(reason(m_home.string() + "/.ssh").find("of your home folder"), std::string::npos);
    }
    for (const std::string& odd :
         {m_home.string() + "/", "//" + m_home.string() + "//.", m_home.string() + "/.ssh/../"}) {
        ScopedVariable home("HOME", odd.c_str());
        EXPECT_NE(reason(m_home.string()).find("is your home folder"), std::string::npos) << odd;
    }
    fs::current_path(previous);
    ScopedVariable empty("HOME", "");
    const passwd* entry = getpwuid(getuid());
    ASSERT_NE(entry, nullptr);
    EXPECT_NE(reason(entry->pw_dir), "(allowed)");  // the account database's home
}

// As root in a private mount namespace: nothing mounted here is seen outside the child.
class GuardMounts : public GuardReach {
protected:
    void bind(const fs::path& from, const fs::path& onto) {
        ASSERT_EQ(mount(from.c_str(), onto.c_str(), nullptr, MS_BIND, nullptr), 0)
            << std::strerror(errno);
    }
};

TEST_F(GuardMounts, AHomeBindMountedFromElsewhereIsTheSameHome) {
    QUINDOR_RERUN_THROUGH(kPrivateMounts);
    // /data/home mounted onto /home, in the small: data/home onto homes.
    fs::create_directories(m_base / "data/home/ann/.ssh");
    fs::create_directories(m_base / "data/home/ann/Quindor");
    fs::create_directories(m_base / "homes");
    bind(m_base / "data/home", m_base / "homes");
    const std::string ann = (m_base / "homes/ann").string();
    ScopedVariable home("HOME", ann.c_str());
    const std::string recorded = (m_base / "data/home/ann").string();
    EXPECT_EQ(reason(recorded), "The recorded folder " + recorded +
                                    " is your home folder (the same folder as " + ann +
                                    "). Nothing was deleted.");
    EXPECT_NE(reason(recorded + "/.ssh").find("of your home folder"), std::string::npos);
    EXPECT_NE(reason((m_base / "data/home").string()).find("contains your home folder"),
              std::string::npos);
    EXPECT_EQ(reason(recorded + "/Quindor"), "(allowed)");
}

TEST_F(GuardMounts, AFolderBindMountedOntoHomeIsAHome) {
    QUINDOR_RERUN_THROUGH(kPrivateMounts);
    if (!fs::is_directory("/home")) GTEST_SKIP() << "this machine has no /home";
    // Only this child's namespace sees the sandbox folder on /home.
    fs::create_directories(m_base / "data-home/bob/Quindor");
    bind(m_base / "data-home", "/home");
    const std::string bob = (m_base / "data-home/bob").string();
    EXPECT_NE(reason(bob).find("is a home folder in /home"), std::string::npos) << reason(bob);
    EXPECT_NE(reason((m_base / "data-home").string())
                  .find("is a system folder (the same folder as /home)"),
              std::string::npos);
    EXPECT_EQ(reason(bob + "/Quindor"), "(allowed)");
}

TEST_F(GuardMounts, AFolderHoldingAMountPointIsProtected) {
    QUINDOR_RERUN_THROUGH(kPrivateMounts);
    fs::create_directories(m_base / "volume/mnt");
    ASSERT_EQ(mount("none", (m_base / "volume/mnt").c_str(), "tmpfs", 0, "size=1m"), 0)
        << std::strerror(errno);
    fs::create_directories(m_base / "volume/mnt/inside");
    EXPECT_NE(reason((m_base / "volume").string()).find("contains the mount point"),
              std::string::npos);
    EXPECT_NE(reason((m_base / "volume/mnt").string()).find("is a mount point"), std::string::npos);
    EXPECT_EQ(reason((m_base / "volume/mnt/inside").string()), "(allowed)");
}

}  // namespace
