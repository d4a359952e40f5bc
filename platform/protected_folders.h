#pragma once
// The folders that the uninstall must leave alone, and how far their protection reaches.
// The list is read afresh from the environment and the account database on every call;
// platform::refusalReason decides with it.

#include <string>
#include <vector>

#include "mount_info.h"

namespace platform {

enum class Protection {
    Folder,               // the folder itself (and every folder above it)
    WithEverythingBelow,  // the folder and everything below it
    HomesInside,          // the folder, and each folder directly in it as a home folder
    Home,                 // the folder, and its hidden folders with everything below them
    OpenBelow,            // lies in a protected tree, but what is below it is not protected
};

struct ProtectedFolder {
    std::string path;  // as found; may be relative (then to the current folder)
    Protection protection = Protection::Folder;
    std::string isText;        // after "is": "your home folder", "a system folder"
    std::string containsText;  // after "contains" / "lies in": "the system folder /usr"
};

// Every protected folder, the user's own first so that the most telling reason is given:
// - the home folder from $HOME (a relative value taken from the current folder) and from
//   the account database, with its hidden folders (settings and keys; below .local, where
//   programs of the user's own live, only .local itself is protected);
// - the XDG user folders, the data, configuration (with everything below), cache and state
//   base folders and ~/.local/bin; the desktop's trees in the data folder (applications,
//   fonts, icons and mime, with everything below them); the runtime and registry folders with
//   everything below; the folder this program runs from (the distribution folder);
// - the file-system hierarchy's own folders: /usr, /etc, /bin, /sbin, /lib*, /boot, /dev,
//   /proc, /sys, /run, /var (but not below /var/tmp), /srv, /snap, /lost+found with
//   everything below; /opt, /mnt, /media, /tmp as folders only, so that a product's own
//   folder such as /opt/Quindor stays removable; /home with every folder directly in it;
// - every account's home folder (as for the user's own);
// - every mount point of mounts (and so every folder that holds one); for a file mounted on
//   its own, the folder that holds it.
std::vector<ProtectedFolder> protectedFolders(const MountInfo& mounts);

}  // namespace platform
