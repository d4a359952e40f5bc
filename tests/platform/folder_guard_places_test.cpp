// Folders that hold a protected folder on the file system they share, whatever mount either
// is reached through: homes bound from a data folder or a disc, overlays whose layers hold
// the home, parts of protected trees bound elsewhere. Each test mounts in a private mount
// namespace of a child (never seen outside it) and only asks for reasons; the uninstall's
// own tests delete.

#include <gtest/gtest.h>

#include <filesystem>
#include <list>
#include <string>

#include "child_test.h"
#include "platform/folder_guard.h"
#include "scoped_mount.h"
#include "test_environment.h"

namespace fs = std::filesystem;

namespace {

using testing_support::kPrivateMounts;
using testing_support::ScopedMount;
using testing_support::ScopedVariable;

class GuardPlaces : public testing::Test {
protected:
    void SetUp() override {
        m_base = fs::canonical(testing_support::testFolder("places"));
        for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"}) {
            m_variables.emplace_back(name, nullptr);
        }
    }
    void TearDown() override {
        while (!m_mounts.empty()) m_mounts.pop_back();  // the last made goes first
        m_variables.clear();
    }

    void setHome(const fs::path& home) { m_variables.emplace_back("HOME", home.c_str()); }

    void mount(const fs::path& source, const fs::path& target, const char* type,
               const char* options) {
        fs::create_directories(target);
        m_mounts.emplace_back(source, target, type, type == nullptr ? MS_BIND : 0, options);
        ASSERT_TRUE(m_mounts.back().mounted()) << target << ": " << m_mounts.back().error();
    }
    void bind(const fs::path& from, const fs::path& onto) { mount(from, onto, nullptr, nullptr); }
    void overlay(const std::string& lower, const fs::path& upper, const fs::path& work,
                 const fs::path& at) {
        fs::create_directories(upper);
        fs::create_directories(work);
        const std::string options =
            "lowerdir=" + lower + ",upperdir=" + upper.string() + ",workdir=" + work.string();
        mount("overlay", at, "overlay", options.c_str());
    }

    std::string reason(const fs::path& folder) const {
        return platform::refusalReason(folder.string()).value_or("(allowed)");
    }

    void expectRefused(const fs::path& folder, const std::string& says) const {
        const std::string why = reason(folder);
        EXPECT_NE(why.find(says), std::string::npos) << folder << ": " << why;
        // The install refuses what the uninstall refuses.
        EXPECT_TRUE(platform::installRefusalReason(folder.string()).has_value()) << folder;
    }

    fs::path m_base;
    std::list<ScopedVariable> m_variables;
    std::list<ScopedMount> m_mounts;
};

TEST_F(GuardPlaces, ADataFolderHoldingTheBoundHomeIsRefused) {
    QUINDOR_RERUN_THROUGH(kPrivateMounts);
    // /data/home mounted on /home, in the small.
    fs::create_directories(m_base / "data/home/ann/.ssh");
    bind(m_base / "data/home", m_base / "homes");
    setHome(m_base / "homes/ann");
    const fs::path data = m_base / "data";
    EXPECT_EQ(reason(data), "The recorded folder " + data.string() +
                                " contains your home folder. Nothing was deleted.");
    expectRefused(data, "contains your home folder");
    expectRefused(data / "home/ann/.ssh/x", "lies in the hidden folder .ssh of your home folder");
    EXPECT_EQ(reason(data / "Quindor"), "(allowed)");
    EXPECT_EQ(reason(data / "home/ann/Quindor"), "(allowed)");
}

TEST_F(GuardPlaces, ADiscsUsersFolderHoldingTheBoundHomeIsRefused) {
    QUINDOR_RERUN_THROUGH(kPrivateMounts);
    const fs::path disk = m_base / "disk";
    mount("none", disk, "tmpfs", "size=1m");
    fs::create_directories(disk / "users/u/Letters");
    fs::create_directories(disk / "users/other");
    bind(disk / "users/u", m_base / "home-u");
    setHome(m_base / "home-u");
    expectRefused(disk / "users", "contains your home folder");
    expectRefused(disk / "users/u",
                  "is your home folder (the same folder as " + (m_base / "home-u").string());
    expectRefused(disk / "users/u/.gnupg", "the hidden folder .gnupg of your home folder");
    EXPECT_EQ(reason(disk / "users/other"), "(allowed)");
    EXPECT_EQ(reason(disk / "users/u/Letters"), "(allowed)");
}

TEST_F(GuardPlaces, TheLayersOfAnOverlayHoldingTheHomeAreRefused) {
    QUINDOR_RERUN_THROUGH(kPrivateMounts);
    fs::create_directories(m_base / "lower/ann/Letters");
    fs::create_directories(m_base / "lower/other");
    fs::create_directories(m_base / "upper/ann/New");
    overlay((m_base / "lower").string(), m_base / "upper", m_base / "work", m_base / "merged");
    setHome(m_base / "merged/ann");
    for (const char* layer : {"lower", "upper"}) {
        expectRefused(m_base / layer, "contains your home folder");
        expectRefused(m_base / layer / "ann", "is your home folder");
        expectRefused(m_base / layer / "ann/.ssh", "of your home folder");
    }
    EXPECT_EQ(reason(m_base / "lower/other"), "(allowed)");
    EXPECT_EQ(reason(m_base / "upper/ann/Quindor"), "(allowed)");
}

TEST_F(GuardPlaces, TheLayersOfAnOverlayOnAnOverlayAreRefused) {
    QUINDOR_RERUN_THROUGH(kPrivateMounts);
    fs::create_directories(m_base / "lower/ann");
    overlay((m_base / "lower").string(), m_base / "upper", m_base / "work", m_base / "merged");
    overlay((m_base / "merged").string(), m_base / "upper2", m_base / "work2", m_base / "merged2");
    setHome(m_base / "merged2/ann");
    expectRefused(m_base / "lower", "contains your home folder");
    expectRefused(m_base / "upper2", "contains your home folder");
}

TEST_F(GuardPlaces, APartOfAProtectedTreeBoundElsewhereStillLiesInIt) {
    QUINDOR_RERUN_THROUGH(kPrivateMounts);
    const fs::path home = m_base / "home";
    fs::create_directories(m_base / "config/app/sub");
    fs::create_directories(home / ".ssh/keys");
    setHome(home);
    const ScopedVariable config("XDG_CONFIG_HOME", (m_base / "config").c_str());
    bind(m_base / "config/app", m_base / "elsewhere");
    bind(home / ".ssh", m_base / "keys");
    expectRefused(m_base / "elsewhere/sub", "lies in your settings folder");
    expectRefused(m_base / "elsewhere/not-there/Quindor", "lies in your settings folder");
    expectRefused(m_base / "keys/keys", "lies in the hidden folder .ssh of your home folder");
}

TEST_F(GuardPlaces, MountPointsWithBlanksAndEscapesInTheirNamesAreRead) {
    QUINDOR_RERUN_THROUGH(kPrivateMounts);
    fs::create_directories(m_base / "data/home/ann");
    const fs::path homes = m_base / "odd homes\twith\nbreaks\\and \\134";
    bind(m_base / "data/home", homes);
    setHome(homes / "ann");
    expectRefused(m_base / "data", "contains your home folder");
}

}  // namespace
