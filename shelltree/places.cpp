#include "places.h"

#include "platform/environment.h"
#include "platform/files.h"
#include "platform/mount_table.h"
#include "platform/paths.h"

namespace shelltree {

std::vector<Place> placesFrom(const std::string& home, const std::vector<std::string>& volumes) {
    std::vector<Place> places{{ItemKind::RootPlace, "/"}};
    const std::string homeFolder = platform::withoutFinalSeparator(home);
    const bool homeShown =
        !homeFolder.empty() && homeFolder.front() == '/' && platform::folderExists(homeFolder);
    if (homeShown) places.push_back({ItemKind::HomePlace, homeFolder});
    for (const std::string& volume : volumes) {
        if (volume == "/" || (homeShown && volume == homeFolder)) continue;
        if (platform::folderExists(volume)) places.push_back({ItemKind::VolumePlace, volume});
    }
    return places;
}

std::vector<Place> computerPlaces() {
    const auto volumes =
        platform::volumeMountPoints(platform::parseMountPoints(platform::readMountTable()));
    return placesFrom(platform::homeFolder(), volumes);
}

bool pathWithin(std::string_view path, std::string_view folder) {
    if (folder == "/") return !path.empty() && path.front() == '/';
    if (path.substr(0, folder.size()) != folder) return false;
    return path.size() == folder.size() || path[folder.size()] == '/';
}

const Place* canonicalPlace(const std::vector<Place>& places, std::string_view path) {
    const Place* best = nullptr;
    for (const Place& place : places) {
        if (pathWithin(path, place.path) &&
            (best == nullptr || place.path.size() > best->path.size())) {
            best = &place;
        }
    }
    return best;
}

std::string placeDisplayName(ItemKind kind, std::string_view path) {
    if (kind == ItemKind::RootPlace) return "File System";
    if (kind == ItemKind::HomePlace) return "Home";
    return platform::fileNamePart(path);
}

}  // namespace shelltree
