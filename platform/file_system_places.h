#pragma once
// Where folders lie within their file systems. A folder reached through a bind mount, through
// a disc's folder mounted elsewhere or through an overlay is still the same folder of the same
// file system (or, for an overlay, of the layers it is made of); deleting it through any of
// those paths deletes the same files. The guard compares such places, so that a folder that
// holds a protected folder on their common file system is refused whatever mount either is
// reached through.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "mount_info.h"
#include "system.h"

namespace platform {

// A folder as its file system holds it.
struct Place {
    std::uint64_t fileSystem = 0;  // the file system's device number, as the mount table gives it
    std::string path;              // from that file system's root; absolute, normal

    bool operator==(const Place&) const = default;
    // This place is other or a folder above it, on the same file system.
    bool holds(const Place& other) const;
};

class FileSystemPlaces {
public:
    explicit FileSystemPlaces(MountInfo mounts) : m_mounts(std::move(mounts)) {}

    // The places of the folder open at descriptor: first where it lies on the file system of
    // the mount it was reached through; then, on an overlay, where it lies in each of the
    // overlay's layers (a layer that is an overlay itself adds its own layers). Layers given
    // as relative paths or that cannot be opened are left out. Empty when the mount is not in
    // the table (mounted since it was read, or not visible here).
    std::vector<Place> of(int descriptor) const;

    // The places of an absolute, normal path that need not exist: those of the deepest
    // folder on its way that does, with the rest of the path's names after them.
    std::vector<Place> ofPath(const std::string& path) const;

    // The folder at place as some mount of this process shows it (the mount is checked by
    // its id where the kernel gives one); nullopt when no mount shows that part of the file
    // system, or the folder does not exist.
    std::optional<FileIdentity> identityOf(const Place& place) const;

    const MountInfo& mounts() const { return m_mounts; }

private:
    std::optional<Place> ownPlace(int descriptor) const;
    void addLayers(const Place& place, int depth, std::vector<Place>& places) const;

    MountInfo m_mounts;
};

}  // namespace platform
