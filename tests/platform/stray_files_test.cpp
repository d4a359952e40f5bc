#include "platform/stray_files.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "child_test.h"
#include "platform/system.h"
#include "test_environment.h"

namespace fs = std::filesystem;

namespace {

// Bound through the folder's descriptor: a socket's path must be short.
void makeSocket(const fs::path& path) {
    const int folder = ::open(path.parent_path().c_str(), O_PATH | O_DIRECTORY);
    const std::string shortPath =
        "/proc/self/fd/" + std::to_string(folder) + "/" + path.filename().string();
    const int socket = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(shortPath.size(), sizeof address.sun_path);
    std::strncpy(address.sun_path, shortPath.c_str(), sizeof address.sun_path - 1);
    EXPECT_EQ(::bind(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    ::close(socket);
    ::close(folder);
}

struct StrayRow {
    std::string why;
    std::function<void(const fs::path&)> plant;  // given the folder and a place outside it
    std::string path, kind;
};

}  // namespace

// Whatever the listing missed, the walk of the whole folder finds: anywhere below, in hidden
// folders too, and whatever it is.
TEST(StrayFiles, AnythingButFilesAndFoldersIsFoundAnywhereBelow) {
    const StrayRow rows[] = {
        {"a link to the home deep in a hidden folder",
         [](const fs::path& f) {
             fs::create_directories(f / ".hidden/a/b");
             fs::create_symlink(testing_support::sandboxFolder(), f / ".hidden/a/b/QUINDOR");
         },
         ".hidden/a/b/QUINDOR", "a symbolic link"},
        {"a dangling link", [](const fs::path& f) { fs::create_symlink("/nowhere", f / "x"); }, "x",
         "a symbolic link"},
        {"a named pipe", [](const fs::path& f) { ASSERT_EQ(::mkfifo((f / "p").c_str(), 0644), 0); },
         "p", "a named pipe"},
        {"a socket", [](const fs::path& f) { makeSocket(f / "s"); }, "s", "a socket"},
    };
    for (const StrayRow& row : rows) {
        const fs::path folder = testing_support::testFolder("stray") / "Quindor";
        fs::create_directories(folder / "QUINDOR");
        std::ofstream(folder / "QUINDOR.EXE") << "x";
        EXPECT_TRUE(platform::findStrayFiles(folder.string(), false).empty()) << row.why;
        row.plant(folder);
        const auto found = platform::findStrayFiles(folder.string(), false);
        ASSERT_EQ(found.size(), 1U) << row.why;
        EXPECT_EQ(found[0].path, row.path) << row.why;
        EXPECT_EQ(found[0].kind, row.kind) << row.why;
        EXPECT_FALSE(found[0].removed);
        EXPECT_TRUE(fs::exists(fs::symlink_status(folder / row.path))) << "only looked at";
        fs::remove_all(folder);
    }
}

TEST(StrayFiles, AMissingFolderHoldsNothingAndALinkInItsPlaceIsNotWalked) {
    const fs::path folder = testing_support::testFolder("stray");
    EXPECT_TRUE(platform::findStrayFiles((folder / "none").string(), true).empty());
    fs::create_symlink(testing_support::sandboxFolder(), folder / "link");
    EXPECT_THROW(platform::findStrayFiles((folder / "link").string(), true),
                 platform::ESystemError);
}

TEST(StrayFiles, DevicesAndMountsBelowAreFoundAndNotEntered) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root for a device and a mount";
    QUINDOR_RERUN_THROUGH(testing_support::kPrivateMounts);
    const fs::path folder = testing_support::testFolder("stray") / "Quindor";
    fs::create_directories(folder / "mounted");
    ASSERT_EQ(::mknod((folder / "null").c_str(), S_IFCHR | 0666, makedev(1, 3)), 0);
    ASSERT_EQ(::mount("tmpfs", (folder / "mounted").c_str(), "tmpfs", 0, nullptr), 0);
    fs::create_symlink("/", folder / "mounted/root-link");
    auto found = platform::findStrayFiles(folder.string(), true);
    std::sort(found.begin(), found.end(), [](auto& a, auto& b) { return a.path < b.path; });
    ASSERT_EQ(found.size(), 2U);
    EXPECT_EQ(found[0].path + " " + found[0].kind, "mounted a mount point");
    EXPECT_EQ(found[1].path + " " + found[1].kind, "null a device");
    EXPECT_TRUE(fs::exists(fs::symlink_status(folder / "mounted/root-link"))) << "not entered";
    ::umount((folder / "mounted").c_str());
}
