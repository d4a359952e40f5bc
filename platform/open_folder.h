#pragma once
// A folder held open by descriptor, for walks that must not be led elsewhere by links: it is
// opened without following a link in its place, and its entries are looked at, opened and
// removed relative to it, never through a path.

#include <optional>
#include <string>
#include <vector>

#include "system.h"

namespace platform {

// Where the file open at descriptor is now (from /proc/self/fd); "" when that cannot be told
// (no /proc, the file was removed).
std::string currentPathOf(int descriptor);

// A folder (not a link to one).
bool isFolder(const FileIdentity& identity);

// Without the owner's write bit: a "read-only" file, which the uninstall leaves in place.
bool isReadOnly(const FileIdentity& identity);

// On the same file system and the same mount (a bind mount shares the device; the mount id
// tells it apart where the kernel gives one).
bool onSameMount(const FileIdentity& a, const FileIdentity& b);

class OpenFolder {
public:
    // The folder at path, whose last component must not be a link (earlier ones may be);
    // nullopt with errno set when it cannot be opened (missing, not a folder, a link).
    static std::optional<OpenFolder> open(const std::string& path);

    // The sub-folder name of this folder, likewise.
    std::optional<OpenFolder> openSubFolder(const std::string& name) const;

    int descriptor() const { return m_descriptor.get(); }
    std::optional<FileIdentity> identity() const { return identityOf(descriptor()); }

    // The names of the entries, except "." and "..", read in full.
    std::vector<std::string> entryNames() const;

    // The entry itself (a link is not followed); nullopt when it is gone.
    std::optional<FileIdentity> entryIdentity(const std::string& name) const;

    // Removes a file, link or other non-folder entry; false when the system refuses.
    bool removeEntry(const std::string& name) const;

    // Removes an empty sub-folder; false when the system refuses (not empty, a mount point).
    bool removeSubFolder(const std::string& name) const;

    // Where the folder is now (from /proc/self/fd); "" when that cannot be told (no /proc,
    // the folder was removed).
    std::string currentPath() const { return currentPathOf(descriptor()); }

private:
    explicit OpenFolder(FileDescriptor descriptor) : m_descriptor(std::move(descriptor)) {}

    FileDescriptor m_descriptor;
};

}  // namespace platform
