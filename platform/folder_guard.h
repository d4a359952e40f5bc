#pragma once
// The rule that keeps the uninstall from deleting a folder the user or the system lives in,
// and the install from choosing a folder that the uninstall could not remove again. The
// recorded installation folder comes from the registry store, which anybody who may write it
// can change; this check stands between that value and the deletion.
//
// Folders are compared by what they are, not by how they are written: by device and inode,
// whatever path or mount they are reached through (a home bind-mounted from /data/home is the
// same folder under both names), by their resolved path, so that protected folders that do
// not exist (yet) stay protected too, and by where they lie within their file systems
// (platform::FileSystemPlaces): a folder that holds a protected folder on the file system
// they share, or in a layer of an overlay, holds it whatever mount either is reached through
// (installing into /data is refused when /data/home is mounted on /home). The folder asked
// about and every folder on its way up to the root, as ".." leads and as its file system
// holds it, are compared with each protected folder (platform::protectedFolders) and each
// folder above it.

#include <optional>
#include <string>

#include "resolved_folder.h"

namespace platform {

// Why a folder must neither be deleted nor installed into.
struct Refusal {
    std::string resolved;  // the folder the system reaches (absolute, normal); "" when unknown
    std::string why;       // "is your home folder", "lies in the system folder /usr", ...
};

// Refused:
// - the root of the file system;
// - a protected folder itself, and any folder above one (it contains it);
// - anything below a protected tree (a system folder such as /usr, the settings, runtime and
//   registry folders, the folder this program runs from), except below /var/tmp;
// - a folder directly in /home (a home folder), a hidden folder of a home folder and
//   everything below it (except below ~/.local).
// folderRefusal resolves the path first; a relative path is taken from the current folder.
// openFolderRefusal judges the folder open at descriptor (any open, O_PATH too) and the
// folders above it as the kernel finds them ("..").
// Reads the environment, the account database and the mount table (/proc/self/mountinfo)
// afresh on every call.
std::optional<Refusal> folderRefusal(const std::string& folder);
std::optional<Refusal> openFolderRefusal(int descriptor);

// The uninstall's reason for the user, or nullopt when the recorded folder may be deleted.
// Also refused: the empty text, a relative one (not starting with '/'), one holding a NUL,
// and one that reaches its folder through a link in any of its parts, however written
// ("/x/link/", "/x/link/sub/.."): the install records the resolved folder.
// One or two sentences naming the folder as recorded, e.g. "The recorded folder /home/ann
// is your home folder. Nothing was deleted." or "The recorded folder /x leads to /usr/local,
// which lies in the system folder /usr. Nothing was deleted."
std::optional<std::string> refusalReason(const std::string& folder);

// The same for the folder the uninstall has opened (recorded as folder), so that the folder
// actually deleted is the folder judged.
std::optional<std::string> refusalReason(const std::string& folder, int openedFolder);

// The install's reason for refusing a target folder, or nullopt: every folder that the
// uninstall would refuse, so that nothing is installed that could not be removed again.
// E.g. "The folder / is the root of the file system. Quindor cannot be installed there, as
// it could not be removed again. Please choose another folder."
std::optional<std::string> installRefusalReason(const std::string& folder);

}  // namespace platform
