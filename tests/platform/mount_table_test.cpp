// The mount table: fields with the kernel's escapes, and which mount points are volumes.

#include "platform/mount_table.h"

#include <gtest/gtest.h>

#include <algorithm>

TEST(MountTable, MountPointsWithEscapes) {
    const char* table =
        "/dev/vda / ext4 rw,relatime 0 0\n"
        "proc /proc proc rw 0 0\n"
        "/dev/sdb1 /media/u/My\\040Disk vfat rw 0 0\n"
        "/dev/sdc1 /run/media/u/back\\134slash ext4 rw 0 0\n"
        "broken-line\n"
        "\n"
        "/dev/sdd1 /mnt/odd\\04 ext4 rw 0 0";
    EXPECT_EQ(platform::parseMountPoints(table),
              (std::vector<std::string>{"/", "/proc", "/media/u/My Disk",
                                        "/run/media/u/back\\slash", "/mnt/odd\\04"}));
}

TEST(MountTable, VolumesAreBelowTheMediaFoldersOrAtMnt) {
    const std::vector<std::string> points = {
        "/",         "/proc",          "/media",      "/media/u/usb", "/mnt",
        "/mnt/data", "/run/media/u/x", "/run/user/0", "/mediafolder", "/media/u/usb"};
    EXPECT_EQ(platform::volumeMountPoints(points),
              (std::vector<std::string>{"/media/u/usb", "/mnt", "/mnt/data", "/run/media/u/x"}));
}

TEST(MountTable, TheRunningSystemHasARoot) {
    const auto points = platform::parseMountPoints(platform::readMountTable());
    EXPECT_NE(std::find(points.begin(), points.end(), "/"), points.end());
    platform::MountTableWatch watch;
    EXPECT_GE(watch.descriptor(), 0);
    EXPECT_FALSE(watch.takeChange()) << "nothing was mounted meanwhile";
}
