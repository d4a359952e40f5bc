#include "file_system_places.h"

#include <fcntl.h>

#include "open_folder.h"
#include "paths.h"

namespace platform {

namespace {

// Overlays of overlays are rare; this bounds the work a hostile table can cause.
constexpr int kMostLayerDepth = 4;
constexpr std::size_t kMostPlaces = 64;

bool isAbove(std::string_view folder, std::string_view path) {
    if (folder == "/") return path.starts_with('/');
    return path.starts_with(folder) && (path.size() == folder.size() || path[folder.size()] == '/');
}

// path below folder, relative ("" for folder itself); folder must be above or at path.
std::string_view relativeTo(std::string_view folder, std::string_view path) {
    if (folder == "/") return path.substr(1);
    return path.size() == folder.size() ? std::string_view() : path.substr(folder.size() + 1);
}

std::string joined(std::string_view folder, std::string_view relative) {
    return lexicallyNormal(std::string(folder) + "/" + std::string(relative));
}

const MountInfoEntry* overlayOf(const MountInfo& mounts, std::uint64_t fileSystem) {
    for (const MountInfoEntry& entry : mounts.entries()) {
        if (entry.fileSystem == fileSystem && !entry.layers.empty()) return &entry;
    }
    return nullptr;
}

}  // namespace

bool Place::holds(const Place& other) const {
    return fileSystem == other.fileSystem && isAbove(path, other.path);
}

std::vector<Place> FileSystemPlaces::of(int descriptor) const {
    std::vector<Place> places;
    if (std::optional<Place> own = ownPlace(descriptor)) {
        places.push_back(*own);
        addLayers(*own, 0, places);
    }
    return places;
}

std::vector<Place> FileSystemPlaces::ofPath(const std::string& path) const {
    std::vector<std::string> candidates{path};
    for (std::string& above : ancestorsOf(path)) candidates.push_back(std::move(above));
    for (const std::string& candidate : candidates) {
        const FileDescriptor folder = openFile(candidate, O_PATH | O_DIRECTORY);
        if (!folder) continue;
        std::vector<Place> places = of(folder.get());
        const std::string_view rest = relativeTo(candidate, path);
        for (Place& place : places) place.path = joined(place.path, rest);
        return places;
    }
    return {};
}

std::optional<FileIdentity> FileSystemPlaces::identityOf(const Place& place) const {
    for (const MountInfoEntry& entry : m_mounts.entries()) {
        if (entry.fileSystem != place.fileSystem || !isAbove(entry.root, place.path)) continue;
        const std::string path = joined(entry.mountPoint, relativeTo(entry.root, place.path));
        const FileDescriptor folder = openFile(path, O_PATH | O_DIRECTORY | O_NOFOLLOW);
        if (!folder) continue;
        const std::optional<FileIdentity> identity = platform::identityOf(folder.get());
        if (identity && (!identity->hasMountId || identity->mountId == entry.id)) return identity;
    }
    return std::nullopt;
}

std::optional<Place> FileSystemPlaces::ownPlace(int descriptor) const {
    const std::optional<FileIdentity> identity = platform::identityOf(descriptor);
    const std::string path = currentPathOf(descriptor);
    if (!identity || path.empty()) return std::nullopt;
    const MountInfoEntry* entry =
        identity->hasMountId ? m_mounts.byId(identity->mountId) : m_mounts.showing(path);
    if (entry == nullptr || !isAbove(entry->mountPoint, path)) return std::nullopt;
    return Place{entry->fileSystem, joined(entry->root, relativeTo(entry->mountPoint, path))};
}

void FileSystemPlaces::addLayers(const Place& place, int depth, std::vector<Place>& places) const {
    const MountInfoEntry* overlay = overlayOf(m_mounts, place.fileSystem);
    if (overlay == nullptr || depth >= kMostLayerDepth) return;
    for (const std::string& layer : overlay->layers) {
        if (!layer.starts_with('/') || places.size() >= kMostPlaces) continue;
        const FileDescriptor folder = openFile(layer, O_PATH | O_DIRECTORY);
        const std::optional<Place> layerPlace = folder ? ownPlace(folder.get()) : std::nullopt;
        if (!layerPlace) continue;
        const Place counterpart{layerPlace->fileSystem,
                                joined(layerPlace->path, place.path.substr(1))};
        places.push_back(counterpart);
        addLayers(counterpart, depth + 1, places);
    }
}

}  // namespace platform
