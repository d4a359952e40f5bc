#pragma once
// The rule that keeps the uninstall from deleting a folder the user or the system lives in.
// The recorded installation folder comes from the registry store, which anybody who may
// write it can change; this check stands between that value and the deletion.

#include <optional>
#include <string>

namespace platform {

// Why a recorded installation folder must not be deleted, or nullopt when it may.
//
// Refused:
// - the empty text, and a relative one (not starting with '/');
// - the file-system root, however written ("/", "//", "/.", "/./", "/..", ...);
// - the user's home folder (homeFolder()) and any of its ancestors;
// - one of the user's XDG folders (desktop, documents, download, music, pictures, videos,
//   templates, public share, as userFolders() finds them; also the data, configuration and
//   cache base folders themselves), and any of their ancestors;
// - a system folder (/usr, /etc, /bin, /sbin, /lib, /lib32, /lib64, /libx32, /boot, /dev,
//   /proc, /sys, /run, /var, /opt, /srv, /home, /root, /mnt, /media, /tmp, /snap) or an
//   ancestor of one;
// - any folder that leads to one of these through "..", "." or symbolic links.
//
// The folder is compared both as written (with "." and ".." worked out on the text) and as
// the system resolves it (realpath), and each protected folder likewise in both forms, so a
// link to a protected folder, or a protected folder that is itself a link (/lib -> usr/lib),
// is caught. The protected folders above are refused also when they do not exist; any other
// folder that does not exist is not refused (there is simply nothing to delete).
//
// The reason is one or two sentences for the user naming the folder as recorded, e.g.
// "The recorded folder /home/ann is your home folder. Nothing was deleted."
// Reads the environment and the user-dirs configuration afresh on every call.
std::optional<std::string> refusalReason(const std::string& folder);

}  // namespace platform
