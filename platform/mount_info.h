#pragma once
// The mount table as the kernel describes each mount (/proc/self/mountinfo): which file
// system it shows, from which folder of that file system (a bind mount shows a sub-folder),
// where, and for an overlay the folders its layers come from. The guard uses it to tell
// where a folder lies within its file system, whatever mount it is reached through.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// One mount.
struct MountInfoEntry {
    std::uint64_t id = 0;  // the mount's id, as statx's STATX_MNT_ID gives it
    std::uint64_t parentId = 0;
    std::uint64_t fileSystem = 0;  // the file system's device number (makedev(major, minor))
    std::string root;              // the folder of the file system shown at the mount point
    std::string mountPoint;        // where it is shown, as this process sees it
    std::string type;              // "ext4", "overlay", ...
    // An overlay's layers as given when it was mounted: the upper folder, then the lower and
    // data-only folders, top first. Empty for other file systems.
    std::vector<std::string> layers;
};

// A field of a mount table with the kernel's octal escapes ("\040" a blank, "\011", "\012",
// "\134") decoded; anything else stays as it is.
std::string decodeMountField(std::string_view field);

class MountInfo {
public:
    // The mounts of a mountinfo text in table order. A line that does not have the fields of
    // a mount (numbers, a root and mount point starting with '/', the "-" separator, a type)
    // is skipped.
    static MountInfo parse(std::string_view table);

    // This process's mounts; none when the table cannot be read.
    static MountInfo read();

    const std::vector<MountInfoEntry>& entries() const { return m_entries; }

    // The mount with this id; nullptr when there is none.
    const MountInfoEntry* byId(std::uint64_t id) const;

    // The mount that shows path (absolute, normal): of the mounts on the deepest mount point
    // on its way, the last one mounted. nullptr when none is on its way.
    const MountInfoEntry* showing(const std::string& path) const;

private:
    std::vector<MountInfoEntry> m_entries;
};

}  // namespace platform
