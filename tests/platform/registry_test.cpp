#include "platform/registry.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <random>
#include <string>
#include <vector>

#include "file_test_support.h"
#include "platform/registry_hive.h"
#include "platform/xdg_folders.h"

namespace fs = std::filesystem;
using file_test_support::readText;
using file_test_support::ScopedVariable;
using file_test_support::writeText;
using platform::ERegistryError;
using platform::Registry;
using platform::RootKey;

namespace {

constexpr const char* kRecordKey = "Software\\Quindor\\InstallTO";
constexpr const char* kFontsKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Fonts";
constexpr const char* kShellFoldersKey =
    "Software\\MicroSoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

// Each test has a registry folder of its own, not yet created.
class RegistryTest : public testing::Test {
protected:
    void TearDown() override {
        std::error_code ignored;
        fs::permissions(m_folder, fs::perms::owner_all, fs::perm_options::add, ignored);
    }

    std::string machineHive() const { return (m_folder / "system.reg").string(); }

    fs::path m_folder = file_test_support::testFolder("registry") / "registry";
    Registry m_registry{m_folder.string()};
};

TEST(RegistryFolder, ComesFromTheEnvironment) {
    ScopedVariable home("HOME", "/home/ann");
    {
        ScopedVariable folder("MARLO_REGISTRY_DIR", "/srv/registry/");
        EXPECT_EQ(Registry::defaultFolder(), "/srv/registry");
    }
    ScopedVariable unset("MARLO_REGISTRY_DIR", nullptr);
    {
        ScopedVariable config("XDG_CONFIG_HOME", "/cfg");
        EXPECT_EQ(Registry::defaultFolder(), "/cfg/marlo/registry");
    }
    ScopedVariable config("XDG_CONFIG_HOME", nullptr);
    EXPECT_EQ(Registry::defaultFolder(), "/home/ann/.config/marlo/registry");
    ScopedVariable empty("MARLO_REGISTRY_DIR", "");
    EXPECT_EQ(Registry::defaultFolder(), "/home/ann/.config/marlo/registry");
}

TEST(RegistryFolder, HivesLieInTheFolder) {
    const Registry registry("/srv/registry/");
    EXPECT_EQ(registry.hivePath(RootKey::LocalMachine), "/srv/registry/system.reg");
    EXPECT_EQ(registry.hivePath(RootKey::CurrentUser), "/srv/registry/user.reg");
    EXPECT_THROW(Registry(""), ERegistryError);
}

TEST_F(RegistryTest, MissingHivesReadAsANewSystem) {
    EXPECT_TRUE(m_registry.keyExists(RootKey::LocalMachine, kFontsKey, true));
    EXPECT_TRUE(m_registry.keyExists(RootKey::LocalMachine, "software\\MICROSOFT", false));
    EXPECT_FALSE(m_registry.keyExists(RootKey::LocalMachine, kRecordKey, false));
    EXPECT_FALSE(m_registry.keyExists(RootKey::LocalMachine, "Software\\Classes\\.chm", false));
    EXPECT_FALSE(m_registry.keyExists(RootKey::CurrentUser, kFontsKey, false));

    const platform::UserFolders folders = platform::userFolders();
    const std::vector<std::pair<const char*, std::string>> expected = {
        {"Desktop", folders.desktop},
        {"Personal", folders.documents},
        {"Programs", folders.dataHome + "/applications"},
        {"Start Menu", folders.dataHome + "/applications"},
        {"Startup", folders.configHome + "/autostart"},
        {"Templates", folders.templates},
        {"Fonts", folders.dataHome + "/fonts"},
    };
    for (const auto& [name, folder] : expected) {
        EXPECT_EQ(m_registry.readString(RootKey::CurrentUser, kShellFoldersKey, name), folder)
            << name;
        EXPECT_FALSE(folder.ends_with('/')) << name;
    }
    EXPECT_EQ(m_registry.readString(RootKey::CurrentUser, kShellFoldersKey, "Favorites"),
              std::nullopt);
    EXPECT_EQ(m_registry.readString(RootKey::LocalMachine, kFontsKey, ""), std::nullopt);
    EXPECT_FALSE(fs::exists(m_folder));  // reading creates nothing
}

TEST_F(RegistryTest, FirstWriteCreatesTheHiveWithItsDefaultsAndTheWrite) {
    m_registry.writeString(RootKey::LocalMachine, kRecordKey, "", "/home/ann/Quindor/");
    EXPECT_EQ(readText(machineHive()),
              "Windows Registry Editor Version 5.00\n\n"
              "[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Fonts]\n\n"
              "[HKEY_LOCAL_MACHINE\\Software\\Quindor\\InstallTO]\n@=\"/home/ann/Quindor/\"\n\n");
    EXPECT_FALSE(fs::exists(m_folder / "user.reg"));
    EXPECT_FALSE(fs::exists(machineHive() + ".lock"));

    m_registry.writeString(RootKey::CurrentUser, "Software\\Marlo", "Seen", "1");
    const std::string userHive = *readText(m_folder / "user.reg");
    EXPECT_NE(userHive.find("[HKEY_CURRENT_USER\\Software\\MicroSoft\\Windows\\CurrentVersion\\"
                            "Explorer\\Shell Folders]\n\"Desktop\"=\""),
              std::string::npos);
    EXPECT_NE(userHive.find("[HKEY_CURRENT_USER\\Software\\Marlo]\n\"Seen\"=\"1\"\n"),
              std::string::npos);
}

TEST_F(RegistryTest, WriteCreatesEveryKeyOnThePath) {
    m_registry.writeString(RootKey::LocalMachine, "A\\B\\C\\D", "Name", "data");
    for (const char* path : {"A", "A\\B", "A\\B\\C", "A\\B\\C\\D"}) {
        EXPECT_TRUE(m_registry.keyExists(RootKey::LocalMachine, path, true)) << path;
    }
    EXPECT_EQ(m_registry.readString(RootKey::LocalMachine, "A\\B\\C\\D", "Name"), "data");
    EXPECT_EQ(m_registry.readString(RootKey::LocalMachine, "A\\B\\C", "Name"), std::nullopt);
}

TEST_F(RegistryTest, NamesMatchWithoutCaseAndKeepTheirSpelling) {
    m_registry.writeString(RootKey::LocalMachine, kRecordKey, "", "/first/");
    EXPECT_EQ(m_registry.readString(RootKey::LocalMachine, "SOFTWARE\\quindor\\InstallTo", ""),
              "/first/");
    m_registry.writeString(RootKey::LocalMachine, "software\\QUINDOR\\installto", "", "/second/");
    m_registry.writeString(RootKey::LocalMachine, kRecordKey, "Version", "1");
    m_registry.writeString(RootKey::LocalMachine, kRecordKey, "VERSION", "2");
    EXPECT_EQ(m_registry.readString(RootKey::LocalMachine, kRecordKey, "version"), "2");
    const std::string text = *readText(machineHive());
    EXPECT_NE(text.find("[HKEY_LOCAL_MACHINE\\Software\\Quindor\\InstallTO]\n@=\"/second/\"\n"
                        "\"Version\"=\"2\"\n"),
              std::string::npos)
        << text;
    EXPECT_EQ(text.find("QUINDOR"), std::string::npos);
}

TEST_F(RegistryTest, EveryOperationReadsTheHiveAfresh) {
    Registry other(m_folder.string());
    m_registry.writeString(RootKey::LocalMachine, kRecordKey, "", "/one/");
    EXPECT_EQ(other.readString(RootKey::LocalMachine, kRecordKey, ""), "/one/");
    other.writeString(RootKey::LocalMachine, kRecordKey, "", "/two/");
    EXPECT_EQ(m_registry.readString(RootKey::LocalMachine, kRecordKey, ""), "/two/");
    writeText(machineHive(),
              "Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE\\Edited]\n");
    EXPECT_FALSE(m_registry.keyExists(RootKey::LocalMachine, kRecordKey, false));
    EXPECT_TRUE(m_registry.keyExists(RootKey::LocalMachine, "edited", false));
}

struct RefusedWrite {
    const char* name;
    std::string keyPath;
    std::string valueName;
    std::string data;
};

class RefusedWriteTest : public RegistryTest, public testing::WithParamInterface<RefusedWrite> {};

TEST_P(RefusedWriteTest, ThrowsAndLeavesTheHiveAsItWas) {
    m_registry.writeString(RootKey::LocalMachine, kRecordKey, "", "/q/");
    const auto before = readText(machineHive());
    const RefusedWrite& c = GetParam();
    EXPECT_THROW(m_registry.writeString(RootKey::LocalMachine, c.keyPath, c.valueName, c.data),
                 ERegistryError);
    EXPECT_EQ(readText(machineHive()), before);
    EXPECT_EQ(m_registry.readString(RootKey::LocalMachine, c.keyPath, c.valueName), std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RefusedWriteTest,
    testing::Values(RefusedWrite{"DataWithLf", kRecordKey, "x", "a\nb"},
                    RefusedWrite{"DataWithCr", kRecordKey, "x", "a\rb"},
                    RefusedWrite{"DataWithNul", kRecordKey, "x", std::string("a\0b", 3)},
                    RefusedWrite{"NameWithLf", kRecordKey, "x\ny", "a"},
                    RefusedWrite{"NameWithNul", kRecordKey, std::string("x\0y", 3), "a"},
                    RefusedWrite{"KeyWithLf", "Software\\Bad\nKey", "x", "a"},
                    RefusedWrite{"LeadingSeparator", "\\Software", "x", "a"},
                    RefusedWrite{"FinalSeparator", "Software\\", "x", "a"},
                    RefusedWrite{"DoubledSeparator", "Software\\\\Quindor", "x", "a"}),
    [](const testing::TestParamInfo<RefusedWrite>& info) { return info.param.name; });

TEST_F(RegistryTest, EscapedTextSurvivesTheStore) {
    const std::string data = "C:\\program Files\\\"Quindor\"\\ — ü\t;=[]";
    m_registry.writeString(RootKey::CurrentUser, "Software\\Odd \"Key\" [x]", "Name \\ \"q\"",
                           data);
    EXPECT_EQ(
        m_registry.readString(RootKey::CurrentUser, "software\\odd \"key\" [X]", "name \\ \"Q\""),
        data);
}

// The superuser passes every permission check, so a hive counts as read-only by its mode bits
// (platform::mayWrite): "chmod a-w" on the hive, or on its folder while the hive is missing,
// makes it read-only for every user, the superuser included.
TEST_F(RegistryTest, ReadOnlyHiveExistsButDoesNotOpenForFullAccess) {
    m_registry.writeString(RootKey::LocalMachine, kRecordKey, "", "/q/");
    const auto before = readText(machineHive());
    fs::permissions(machineHive(), fs::perms(0444));
    EXPECT_TRUE(m_registry.keyExists(RootKey::LocalMachine, kRecordKey, false));
    EXPECT_FALSE(m_registry.keyExists(RootKey::LocalMachine, kRecordKey, true));
    EXPECT_EQ(m_registry.readString(RootKey::LocalMachine, kRecordKey, ""), "/q/");
    EXPECT_THROW(m_registry.writeString(RootKey::LocalMachine, kRecordKey, "", "/other/"),
                 ERegistryError);
    EXPECT_FALSE(m_registry.deleteKeyTree(RootKey::LocalMachine, "Software\\Quindor"));
    EXPECT_EQ(readText(machineHive()), before);
    // The user hive in the same (writable) folder is not affected.
    EXPECT_TRUE(m_registry.keyExists(RootKey::CurrentUser, kShellFoldersKey, true));
}

TEST_F(RegistryTest, ReadOnlyFolderWithoutHiveDoesNotOpenForFullAccess) {
    fs::create_directories(m_folder);
    fs::permissions(m_folder, fs::perms(0555));
    EXPECT_TRUE(m_registry.keyExists(RootKey::LocalMachine, kFontsKey, false));
    EXPECT_FALSE(m_registry.keyExists(RootKey::LocalMachine, kFontsKey, true));
    EXPECT_THROW(m_registry.writeString(RootKey::LocalMachine, kRecordKey, "", "/q/"),
                 ERegistryError);
    fs::permissions(m_folder, fs::perms::owner_all);
    EXPECT_TRUE(fs::is_empty(m_folder));
}

TEST_F(RegistryTest, MissingRegistryFolderUnderAReadOnlyFolderIsNotCreated) {
    const fs::path parent = m_folder.parent_path() / "locked";
    fs::create_directories(parent);
    fs::permissions(parent, fs::perms(0555));
    Registry registry((parent / "registry").string());
    EXPECT_FALSE(registry.keyExists(RootKey::LocalMachine, kFontsKey, true));
    EXPECT_THROW(registry.writeString(RootKey::LocalMachine, kRecordKey, "", "/q/"),
                 ERegistryError);
    fs::permissions(parent, fs::perms::owner_all);
    EXPECT_FALSE(fs::exists(parent / "registry"));
}

class UnusableHiveTest : public RegistryTest, public testing::WithParamInterface<const char*> {};

TEST_P(UnusableHiveTest, ReadsMissWritesThrowAndTheFileStays) {
    fs::create_directories(m_folder);
    const std::string text = GetParam();
    writeText(machineHive(), text);
    EXPECT_FALSE(m_registry.keyExists(RootKey::LocalMachine, kFontsKey, false));
    EXPECT_FALSE(m_registry.keyExists(RootKey::LocalMachine, "Software\\Quindor", false));
    EXPECT_EQ(m_registry.readString(RootKey::LocalMachine, "Software\\Quindor", "A"), std::nullopt);
    try {
        m_registry.writeString(RootKey::LocalMachine, kRecordKey, "", "/q/");
        ADD_FAILURE() << "write did not throw";
    } catch (const ERegistryError& error) {
        EXPECT_NE(std::string(error.what()).find("cannot be parsed"), std::string::npos)
            << error.what();
        EXPECT_NE(std::string(error.what()).find(machineHive()), std::string::npos);
    }
    EXPECT_FALSE(m_registry.deleteKeyTree(RootKey::LocalMachine, "Software\\Quindor"));
    EXPECT_EQ(readText(machineHive()), text);
    EXPECT_FALSE(fs::exists(machineHive() + ".lock"));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UnusableHiveTest,
    testing::Values(
        "", "garbage",
        "Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE\\Software\\Quindor]\n"
        "\"A\"=\"1\"\n\"B\"=dword:00000001\n",
        "Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE\\Software\\Quindor]\n"
        "\"A\"=\"unterminated\n"));

TEST_F(RegistryTest, HiveThatCannotBeReadActsAsUnparsable) {
    fs::create_directories(machineHive());  // a folder where the file should be
    EXPECT_FALSE(m_registry.keyExists(RootKey::LocalMachine, kFontsKey, false));
    EXPECT_THROW(m_registry.writeString(RootKey::LocalMachine, kRecordKey, "", "/q/"),
                 ERegistryError);
    EXPECT_TRUE(fs::is_directory(machineHive()));
}

TEST_F(RegistryTest, DeleteKeyTreeRemovesSubKeysAndNothingElse) {
    m_registry.writeString(RootKey::LocalMachine, kRecordKey, "", "/q/");
    m_registry.writeString(RootKey::LocalMachine, "Software\\Quindor\\Deep\\Deeper", "x", "1");
    m_registry.writeString(RootKey::LocalMachine, "Software\\Quindor", "Top", "2");
    m_registry.writeString(RootKey::LocalMachine, "Software\\QuindorPlus", "Keep", "3");

    EXPECT_TRUE(m_registry.deleteKeyTree(RootKey::LocalMachine, "SOFTWARE\\quindor"));
    for (const char* gone : {"Software\\Quindor", kRecordKey, "Software\\Quindor\\Deep",
                             "Software\\Quindor\\Deep\\Deeper"}) {
        EXPECT_FALSE(m_registry.keyExists(RootKey::LocalMachine, gone, false)) << gone;
    }
    EXPECT_EQ(m_registry.readString(RootKey::LocalMachine, "Software\\QuindorPlus", "Keep"), "3");
    EXPECT_TRUE(m_registry.keyExists(RootKey::LocalMachine, kFontsKey, false));
    EXPECT_FALSE(m_registry.deleteKeyTree(RootKey::LocalMachine, "Software\\Quindor"));
    EXPECT_FALSE(m_registry.deleteKeyTree(RootKey::LocalMachine, ""));
    EXPECT_FALSE(m_registry.deleteKeyTree(RootKey::LocalMachine, "Software\\\\QuindorPlus"));
    EXPECT_TRUE(m_registry.keyExists(RootKey::LocalMachine, "Software\\QuindorPlus", false));
}

TEST_F(RegistryTest, DeletingAMissingKeyCreatesNothing) {
    EXPECT_FALSE(m_registry.deleteKeyTree(RootKey::LocalMachine, "Software\\Quindor"));
    EXPECT_FALSE(fs::exists(m_folder));
    // A key of the new system's hive can be deleted; the hive is written without it.
    EXPECT_TRUE(m_registry.deleteKeyTree(RootKey::LocalMachine, kFontsKey));
    EXPECT_FALSE(m_registry.keyExists(RootKey::LocalMachine, kFontsKey, false));
    EXPECT_TRUE(m_registry.keyExists(RootKey::LocalMachine, "Software\\Microsoft\\Windows", false));
}

TEST_F(RegistryTest, RootKeyAlwaysExists) {
    EXPECT_TRUE(m_registry.keyExists(RootKey::LocalMachine, "", false));
    m_registry.writeString(RootKey::LocalMachine, kRecordKey, "", "/q/");
    EXPECT_TRUE(m_registry.deleteKeyTree(RootKey::LocalMachine, "Software"));
    EXPECT_TRUE(m_registry.keyExists(RootKey::LocalMachine, "", true));
    EXPECT_EQ(readText(machineHive()),
              "Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE]\n\n");
}

TEST_F(RegistryTest, HiveModeIsKept) {
    m_registry.writeString(RootKey::LocalMachine, kRecordKey, "", "/q/");
    fs::permissions(machineHive(), fs::perms(0640));
    m_registry.writeString(RootKey::LocalMachine, kRecordKey, "", "/r/");
    EXPECT_EQ(fs::status(machineHive()).permissions(), fs::perms(0640));
}

// Two setup processes write at the same time; read-modify-write under the lock must not let
// one overwrite the other's values with a stale hive.
TEST_F(RegistryTest, ConcurrentWritersLoseNothing) {
    constexpr int kWrites = 200;
    const std::string folder = m_folder.string();
    std::vector<pid_t> children;
    for (const char* writer : {"A", "B"}) {
        children.push_back(file_test_support::startChild([&] {
            Registry registry(folder);
            for (int i = 0; i < kWrites; ++i) {
                registry.writeString(RootKey::LocalMachine, "Software\\Concurrent",
                                     writer + std::to_string(i), std::to_string(i));
            }
            return 0;
        }));
    }
    for (const pid_t child : children) EXPECT_EQ(file_test_support::waitForChild(child), 0);
    for (const char* writer : {"A", "B"}) {
        for (int i = 0; i < kWrites; ++i) {
            ASSERT_EQ(m_registry.readString(RootKey::LocalMachine, "Software\\Concurrent",
                                            writer + std::to_string(i)),
                      std::to_string(i))
                << writer << i;
        }
    }
    EXPECT_FALSE(fs::exists(machineHive() + ".lock"));
}

// The data of state n: its number, then a body whose length and letter follow from n, so a
// torn or mixed hive shows as a mismatch.
std::string stateData(int n) {
    return std::to_string(n) + ":" + std::string(2000 + (n % 7) * 300, char('a' + n % 26));
}

// The state the hive holds (-1: none yet); fails the test when the hive is not a whole state.
int stateIn(const std::string& hiveFile) {
    const std::optional<std::string> text = readText(hiveFile);
    if (!text) return -1;
    const platform::Hive hive = platform::parseHive(*text);
    const platform::HiveKey* key = hive.findKey("HKEY_LOCAL_MACHINE\\Software\\Crash");
    if (key == nullptr) return -1;
    const platform::HiveValue* value = key->findValue("State");
    if (value == nullptr) return -1;
    const int n = std::stoi(value->data);
    EXPECT_EQ(value->data, stateData(n));
    return n;
}

// A writer is killed at random moments; every time the hive must parse and hold the state
// before or after the write in progress, and a later writer must not be blocked.
TEST_F(RegistryTest, KilledWriterLeavesTheOldOrTheNewHive) {
    const std::string folder = m_folder.string();
    std::mt19937 random(20240601);
    std::uniform_int_distribution<int> delayMicroseconds(0, 50000);
    int last = -1;
    for (int round = 0; round < 40; ++round) {
        const int first = last + 1;
        const pid_t child = file_test_support::startChild([&] {
            Registry registry(folder);
            for (int n = first;; ++n) {
                registry.writeString(RootKey::LocalMachine, "Software\\Crash", "State",
                                     stateData(n));
            }
            return 0;
        });
        ASSERT_GT(child, 0);
        ::usleep(static_cast<useconds_t>(delayMicroseconds(random)));
        ::kill(child, SIGKILL);
        ASSERT_EQ(file_test_support::waitForChild(child), -SIGKILL);
        int now = -1;
        ASSERT_NO_THROW(now = stateIn(machineHive())) << "round " << round;
        EXPECT_GE(now, last) << "round " << round;  // never older than what was seen before
        if (now >= 0) last = now;
    }
    EXPECT_GT(last, 0) << "the writer never finished a write";
    m_registry.writeString(RootKey::LocalMachine, "Software\\Crash", "State", stateData(last + 1));
    EXPECT_EQ(stateIn(machineHive()), last + 1);
    // The lock file and the temporary files of interrupted writes are gone.
    EXPECT_EQ(std::distance(fs::directory_iterator(m_folder), fs::directory_iterator()), 1);
}

// A hive file beyond the bounds (a million key levels, a special file in its place) is not
// parsed: reads find nothing, writes fail with a message, and the file stays as it was.
TEST_F(RegistryTest, HiveBeyondTheBoundsIsNeverOverwritten) {
    fs::create_directories(m_folder);
    std::string deep = "Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE";
    for (int i = 0; i < 1'000'000; ++i) deep += "\\k";
    deep += "]\n";
    writeText(machineHive(), deep);
    EXPECT_FALSE(m_registry.readString(RootKey::LocalMachine, kRecordKey, ""));
    EXPECT_FALSE(m_registry.keyExists(RootKey::LocalMachine, "", true));
    try {
        m_registry.writeString(RootKey::LocalMachine, kRecordKey, "", "/q/");
        FAIL() << "written";
    } catch (const ERegistryError& error) {
        EXPECT_NE(std::string(error.what()).find("deeper than 512 levels"), std::string::npos)
            << error.what();
    }
    EXPECT_FALSE(m_registry.deleteKeyTree(RootKey::LocalMachine, "Software"));
    EXPECT_EQ(readText(machineHive()), deep);
}

TEST_F(RegistryTest, SpecialFileAsHiveIsNeitherReadNorReplaced) {
    fs::create_directories(m_folder);
    fs::create_symlink("/dev/zero", machineHive());
    ASSERT_EQ(::mkfifo((m_folder / "user.reg").c_str(), 0600), 0);
    for (const RootKey root : {RootKey::LocalMachine, RootKey::CurrentUser}) {
        EXPECT_FALSE(m_registry.readString(root, kShellFoldersKey, "Desktop"));
        EXPECT_THROW(m_registry.writeString(root, "Software\\Quindor", "", "x"), ERegistryError);
    }
    EXPECT_TRUE(fs::is_symlink(machineHive()));
    EXPECT_TRUE(fs::is_fifo(m_folder / "user.reg"));
}

TEST_F(RegistryTest, HundredThousandKeysAreReadAndWritten) {
    std::string text = "Windows Registry Editor Version 5.00\n\n";
    for (int i = 0; i < 100'000; ++i) {
        text += "[HKEY_LOCAL_MACHINE\\Software\\Test\\Key" + std::to_string(i) + "]\n\"v\"=\"" +
                std::to_string(i) + "\"\n\n";
    }
    fs::create_directories(m_folder);
    writeText(machineHive(), text);
    EXPECT_EQ(m_registry.readString(RootKey::LocalMachine, "Software\\Test\\Key99999", "V"),
              "99999");
    m_registry.writeString(RootKey::LocalMachine, kRecordKey, "", "/q/");
    const std::string written = *readText(machineHive());
    EXPECT_EQ(written.substr(0, text.size()), text) << "every key kept in its order";
    EXPECT_EQ(m_registry.readString(RootKey::LocalMachine, kRecordKey, ""), "/q/");
}

}  // namespace
