#pragma once
// The check of an installation folder around each extraction: nothing but regular files and
// folders may stand in it, since the next extraction would write through a link, and a
// device, a named pipe or a socket is nothing an archive of the product holds. (Files with
// other names, hard links, are harmless: the extractor removes a file before writing it,
// and the setup's own files are renamed into place.)

#include <optional>
#include <string>
#include <vector>

namespace platform {

// What may not stand in an installation folder.
struct StrayFile {
    std::string path;  // below the folder walked, '/' separated
    std::string kind;  // "a symbolic link", "a device", "a named pipe", "a socket", "a mount point"
    bool removed = false;  // a link that was removed
};

// Walks the folder and everything below it, hidden folders too, without following any link:
// each folder is opened relative to its parent with a no-follow open, and every entry is
// looked at itself. Another file system or mount met below is not entered; it is reported as
// a mount point. With removeLinks, every symbolic link found is removed (the link itself,
// never what it points to). Returns what was found, in walk order; empty when nothing was
// found or the folder does not exist. Throws ESystemError when the folder or a folder below
// cannot be opened (the walk cannot vouch for it then), or a link to be removed stays.
std::vector<StrayFile> findStrayFiles(const std::string& folder, bool removeLinks);

}  // namespace platform
