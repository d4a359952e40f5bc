#include "protected_folders.h"

#include <fcntl.h>
#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <string_view>

#include "environment.h"
#include "mount_info.h"
#include "open_folder.h"
#include "paths.h"
#include "registry.h"
#include "xdg_folders.h"

namespace platform {

namespace {

// Accounts beyond this are not read: a directory service can list very many, and the
// folders of the machine's own accounts come first.
constexpr int kMostAccounts = 100000;

constexpr std::string_view kSystemTrees[] = {
    "/usr", "/etc",  "/bin", "/sbin", "/lib", "/lib32", "/lib64", "/libx32",     "/boot",
    "/dev", "/proc", "/sys", "/run",  "/var", "/srv",   "/snap",  "/lost+found",
};
constexpr std::string_view kSystemFolders[] = {"/opt", "/mnt", "/media", "/tmp"};

void addHome(std::vector<ProtectedFolder>& list, const std::string& home, const std::string& text) {
    if (!home.empty()) list.push_back({home, Protection::Home, text, text});
}

void addOwnHomes(std::vector<ProtectedFolder>& list) {
    const char* const text = "your home folder";
    if (const char* home = std::getenv("HOME"); home != nullptr) addHome(list, home, text);
    if (const passwd* entry = getpwuid(getuid()); entry != nullptr && entry->pw_dir != nullptr) {
        addHome(list, entry->pw_dir, text);
    }
    addHome(list, homeFolder(), text);
}

std::string inHome(const char* relative) {
    const std::string home = homeFolder();
    return (home == "/" ? "" : home) + "/" + relative;
}

// $variable when it is absolute, else the home's relative folder.
std::string baseFolder(const char* variable, const char* relative) {
    if (const char* value = std::getenv(variable); value != nullptr && value[0] == '/')
        return value;
    return inHome(relative);
}

void addUserFolders(std::vector<ProtectedFolder>& list) {
    const UserFolders user = userFolders();
    const std::pair<const std::string*, const char*> named[] = {
        {&user.desktop, "your desktop folder"},
        {&user.documents, "your documents folder"},
        {&user.download, "your downloads folder"},
        {&user.music, "your music folder"},
        {&user.pictures, "your pictures folder"},
        {&user.videos, "your videos folder"},
        {&user.templates, "your templates folder"},
        {&user.publicShare, "your public folder"},
        {&user.dataHome, "your application data folder"},
    };
    for (const auto& [folder, text] : named)
        list.push_back({*folder, Protection::Folder, text, text});
    list.push_back({baseFolder("XDG_CACHE_HOME", ".cache"), Protection::Folder, "your cache folder",
                    "your cache folder"});
    list.push_back({baseFolder("XDG_STATE_HOME", ".local/state"), Protection::Folder,
                    "your state folder", "your state folder"});
    list.push_back(
        {inHome(".local/bin"), Protection::Folder, "your programs folder", "your programs folder"});
}

// What the desktop keeps in the data folder: other programs' menu entries, the user's fonts,
// icons and file types.
void addDesktopDataTrees(std::vector<ProtectedFolder>& list) {
    const std::string dataHome = userFolders().dataHome;
    if (dataHome.empty()) return;
    const std::pair<const char*, const char*> named[] = {
        {"applications", "your applications folder"},
        {"fonts", "your fonts folder"},
        {"icons", "your icons folder"},
        {"mime", "your file types folder"},
    };
    for (const auto& [name, text] : named) {
        list.push_back({dataHome + "/" + name, Protection::WithEverythingBelow, text, text});
    }
}

// A tree that holds what belongs to somebody else; the root itself is only a folder here,
// or everything would be protected.
void addTree(std::vector<ProtectedFolder>& list, const std::string& folder,
             const std::string& text) {
    if (folder.empty()) return;
    const bool root = lexicallyNormal(folder) == "/" && folder.front() == '/';
    list.push_back(
        {folder, root ? Protection::Folder : Protection::WithEverythingBelow, text, text});
}

void addProgramTrees(std::vector<ProtectedFolder>& list) {
    addTree(list, userFolders().configHome, "your settings folder");
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime != nullptr) {
        addTree(list, runtime, "your runtime folder");
    }
    addTree(list, Registry::defaultFolder(), "the registry folder");
    try {
        // Only the folder itself: a setup lying in the home folder must not make all of it
        // unfit for installing.
        const char* const text = "the folder this setup program runs from";
        list.push_back({executableFolder(), Protection::Folder, text, text});
    } catch (const std::exception&) {
        // Without /proc the program's own folder is unknown; the system folders still hold.
    }
}

void addSystemFolders(std::vector<ProtectedFolder>& list) {
    for (const std::string_view tree : kSystemTrees) {
        list.push_back({std::string(tree), Protection::WithEverythingBelow, "a system folder",
                        "the system folder " + std::string(tree)});
    }
    list.push_back(
        {"/var/tmp", Protection::OpenBelow, "a system folder", "the system folder /var/tmp"});
    for (const std::string_view folder : kSystemFolders) {
        list.push_back({std::string(folder), Protection::Folder, "a system folder",
                        "the system folder " + std::string(folder)});
    }
    list.push_back(
        {"/home", Protection::HomesInside, "a system folder", "the system folder /home"});
}

void addAccountHomes(std::vector<ProtectedFolder>& list) {
    setpwent();
    for (int count = 0; count < kMostAccounts; ++count) {
        const passwd* entry = getpwent();
        if (entry == nullptr) break;
        if (entry->pw_dir == nullptr || entry->pw_dir[0] != '/') continue;
        addHome(list, entry->pw_dir, "the home folder of " + std::string(entry->pw_name));
    }
    endpwent();
}

void addMountPoints(std::vector<ProtectedFolder>& list, const MountInfo& mounts) {
    for (const MountInfoEntry& entry : mounts.entries()) {
        const std::string& point = entry.mountPoint;
        if (point.empty() || point.front() != '/') continue;
        const std::optional<FileIdentity> mounted = identityAt(AT_FDCWD, point, true);
        if (mounted && !isFolder(*mounted)) {
            list.push_back({folderPart(point), Protection::Folder,
                            "a folder holding the mount point " + point,
                            "the mount point " + point});
        } else {
            list.push_back(
                {point, Protection::Folder, "a mount point", "the mount point " + point});
        }
    }
}

}  // namespace

std::vector<ProtectedFolder> protectedFolders(const MountInfo& mounts) {
    std::vector<ProtectedFolder> list;
    addOwnHomes(list);
    addUserFolders(list);
    addDesktopDataTrees(list);
    addProgramTrees(list);
    addSystemFolders(list);
    addAccountHomes(list);
    addMountPoints(list, mounts);
    return list;
}

}  // namespace platform
