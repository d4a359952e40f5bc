#pragma once
// Whether the install may write into a folder: nobody but this user (and the superuser) may
// change what stands in it, or in the folders on its way, so that nothing the install writes
// can be led elsewhere by a link planted there, and nothing planted there is read.

#include <optional>
#include <string>

namespace platform {

// Why folder (absolute, resolved) must not be installed into, or nullopt. Refused: a folder
// that exists, on the way from the root down to folder or folder itself, that is owned by
// another user than this process's effective user or the superuser, or that others may write
// without the sticky bit (which keeps them from removing or renaming what is not theirs);
// folder itself also when others may write it at all (the sticky bit does not keep them from
// planting names in it). The folders are opened one below the other without following a
// link; the part that does not exist yet is not judged (the install makes it). A sentence for
// the user, e.g. "The folder /srv/shared belongs to another user, who could change what the
// setup writes there. Please choose another folder."
std::optional<std::string> untrustedFolderReason(const std::string& folder);

}  // namespace platform
