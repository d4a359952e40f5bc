#pragma once
// The folders that a walk deleting a tree must never enter, by device and inode: every
// protected folder (platform::protectedFolders), the same folder in every other mount and
// overlay layer that shows it, and every folder above those. Collected once before a walk, so
// that judging each folder it enters costs one lookup.

#include <cstdint>
#include <set>
#include <string>
#include <unordered_map>
#include <utility>

#include "system.h"

namespace platform {

class FileSystemPlaces;
struct GuardedFolder;

class ProtectedIdentities {
public:
    // Reads the protected folders and the mount table now.
    static ProtectedIdentities collect();

    // Why the folder must not be entered ("is your home folder", "contains the mount point
    // /x"), or nullptr when it may be.
    const std::string* find(const FileIdentity& identity) const;

private:
    struct KeyHash {
        std::size_t operator()(const std::pair<std::uint64_t, std::uint64_t>& key) const;
    };

    // The places whose folders above were added, and so those above them too.
    using SeenPlaces = std::set<std::pair<std::uint64_t, std::string>>;

    void addFolder(const GuardedFolder& folder, const FileSystemPlaces& places);
    void addFoldersAbove(const GuardedFolder& folder, const FileSystemPlaces& places,
                         SeenPlaces& seen);
    void add(const FileIdentity& identity, const std::string& why);

    std::unordered_map<std::pair<std::uint64_t, std::uint64_t>, std::string, KeyHash> m_reasons;
};

}  // namespace platform
