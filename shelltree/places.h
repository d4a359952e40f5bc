#pragma once
// What "Computer" holds: the file system's root, the user's home folder and the mounted
// volumes (mount points at /mnt, below /media and below /run/media). A path reachable
// through several of them belongs to the one with the longest matching folder, so that
// $HOME/Quindor opens under the home folder and not under the root.

#include <string>
#include <string_view>
#include <vector>

#include "item_id.h"

namespace shelltree {

struct Place {
    ItemKind kind;     // RootPlace, HomePlace or VolumePlace
    std::string path;  // absolute, without a final '/' except for the root
};

// The places in their order: root, home (when it is a folder other than the root), then the
// volumes by path (mounted folders that exist, other than the root and the home folder).
std::vector<Place> computerPlaces();
// The same from given parts (for tests).
std::vector<Place> placesFrom(const std::string& home, const std::vector<std::string>& volumes);

// The place a path belongs to, or nullptr for a path that is not absolute.
const Place* canonicalPlace(const std::vector<Place>& places, std::string_view path);

// Whether `path` is `folder` or lies below it.
bool pathWithin(std::string_view path, std::string_view folder);

// The name a place shows in the tree.
std::string placeDisplayName(ItemKind kind, std::string_view path);

}  // namespace shelltree
