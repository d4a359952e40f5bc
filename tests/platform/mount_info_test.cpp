// The kernel's description of each mount: fields with their escapes, bind mounts' roots,
// overlay layers, and which mount shows a path.

#include "platform/mount_info.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <optional>

#include "platform/system.h"

namespace {

using Layers = std::vector<std::string>;

// Lines as the kernel writes them (proc(5)), a bind mount, escapes and overlays among them.
const char* const kTable =
    "22 27 0:21 / /proc rw,relatime - proc proc rw\n"
    "27 1 254:0 / / rw,relatime shared:1 - ext4 /dev/vda rw,discard\n"
    "36 27 254:0 /data/home /home rw,relatime shared:1 master:2 - ext4 /dev/vda rw\n"
    "37 27 8:17 /users/u\\040x /home/u\\040x rw - vfat /dev/sdb1 rw\n"
    "38 27 0:40 / /merged rw - overlay overlay rw,lowerdir=/l1:/l\\134:2::/data,"
    "upperdir=/up\\054per,workdir=/work,uuid=on\n"
    "39 27 0:41 / /merged2 rw - overlay overlay rw,lowerdir+=/a,lowerdir+=/b,datadir+=/c\n"
    "40 36 0:42 / /home rw - tmpfs tmpfs rw\n";

TEST(MountInfo, ReadsEachMountsFields) {
    const platform::MountInfo mounts = platform::MountInfo::parse(kTable);
    ASSERT_EQ(mounts.entries().size(), 7u);
    const platform::MountInfoEntry& home = mounts.entries()[2];
    EXPECT_EQ(home.id, 36u);
    EXPECT_EQ(home.parentId, 27u);
    EXPECT_EQ(home.fileSystem, makedev(254, 0));
    EXPECT_EQ(home.root, "/data/home");
    EXPECT_EQ(home.mountPoint, "/home");
    EXPECT_EQ(home.type, "ext4");
    EXPECT_TRUE(home.layers.empty());
    EXPECT_EQ(mounts.entries()[3].root, "/users/u x");
    EXPECT_EQ(mounts.entries()[3].mountPoint, "/home/u x");
}

TEST(MountInfo, ReadsAnOverlaysLayersUpperFirst) {
    const platform::MountInfo mounts = platform::MountInfo::parse(kTable);
    // "\134:" is an escaped colon in a name, "::" leads to the data-only layers.
    EXPECT_EQ(mounts.byId(38)->layers, (Layers{"/up,per", "/l1", "/l:2", "/data"}));
    EXPECT_EQ(mounts.byId(39)->layers, (Layers{"/a", "/b", "/c"}));
}

struct SkippedLine {
    const char* name;
    const char* line;
};

class MountInfoSkips : public testing::TestWithParam<SkippedLine> {};

TEST_P(MountInfoSkips, ALineWithoutTheFieldsOfAMount) {
    const std::string table =
        std::string(GetParam().line) + "\n27 1 254:0 / / rw - ext4 /dev/vda rw";
    const platform::MountInfo mounts = platform::MountInfo::parse(table);
    ASSERT_EQ(mounts.entries().size(), 1u) << GetParam().line;
    EXPECT_EQ(mounts.entries()[0].mountPoint, "/");
}

INSTANTIATE_TEST_SUITE_P(
    MountInfo, MountInfoSkips,
    testing::Values(SkippedLine{"Empty", ""},
                    SkippedLine{"NoSeparator", "5 1 8:1 / /x rw ext4 /dev/x rw"},
                    SkippedLine{"NoType", "5 1 8:1 / /x rw -"},
                    SkippedLine{"BadId", "x5 1 8:1 / /x rw - ext4 /dev/x rw"},
                    SkippedLine{"IdTooLarge", "99999999999999999999 1 8:1 / /x rw - ext4 d rw"},
                    SkippedLine{"BadDevice", "5 1 8-1 / /x rw - ext4 /dev/x rw"},
                    SkippedLine{"NegativeMinor", "5 1 8:-1 / /x rw - ext4 /dev/x rw"},
                    SkippedLine{"RelativeRoot", "5 1 8:1 data /x rw - ext4 /dev/x rw"},
                    SkippedLine{"RelativeMountPoint", "5 1 8:1 / x rw - ext4 /dev/x rw"},
                    SkippedLine{"TooShort", "5 1 8:1 /"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MountInfo, ThePathIsShownByTheDeepestLastMount) {
    const platform::MountInfo mounts = platform::MountInfo::parse(kTable);
    // The tmpfs mounted last on /home covers the bind mount under it.
    for (const auto& [path, id] :
         std::vector<std::pair<std::string, std::uint64_t>>{{"/", 27},
                                                            {"/homes", 27},
                                                            {"/home", 40},
                                                            {"/home/ann", 40},
                                                            {"/home/u x/y", 37},
                                                            {"/merged/a", 38},
                                                            {"/merged2", 39},
                                                            {"/proc/1", 22}}) {
        const platform::MountInfoEntry* shown = mounts.showing(path);
        ASSERT_NE(shown, nullptr) << path;
        EXPECT_EQ(shown->id, id) << path;
    }
    EXPECT_EQ(mounts.byId(99), nullptr);
}

TEST(MountInfo, TheRunningSystemsRootIsTheMountStatxNames) {
    const platform::MountInfo mounts = platform::MountInfo::read();
    const platform::FileDescriptor root = platform::openFile("/", O_PATH | O_DIRECTORY);
    const std::optional<platform::FileIdentity> identity = platform::identityOf(root.get());
    ASSERT_TRUE(identity.has_value());
    if (!identity->hasMountId) GTEST_SKIP() << "this kernel gives no mount ids";
    const platform::MountInfoEntry* entry = mounts.byId(identity->mountId);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->mountPoint, "/");
    struct stat status {};
    ASSERT_EQ(stat("/", &status), 0);
    if (entry->type != "btrfs") {
        EXPECT_EQ(entry->fileSystem, status.st_dev);  // a sub-volume has a device of its own
    }
}

}  // namespace
