#pragma once
// What one item of the folder tree's namespace holds: a kind byte followed by the entry's
// name (for file-system items) or the folder's absolute path (for the places that
// "Computer" holds). Identity across re-reads is these bytes: an entry whose kind changed
// (a folder replaced by a link) is another item.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "id_list.h"

namespace shelltree {

enum class ItemKind : std::uint8_t {
    File = 'f',
    Folder = 'd',
    FileLink = 'l',    // a symbolic link to something that is no folder, or to nothing
    FolderLink = 'L',  // a symbolic link to a folder
    Computer = 'C',    // the desktop's "Computer"
    RootPlace = 'R',   // in "Computer": the file system's root
    HomePlace = 'H',   // in "Computer": the user's home folder
    VolumePlace = 'V'  // in "Computer": a mounted volume
};

struct ItemId {
    ItemKind kind;
    std::string_view text;  // the entry's name, or the place's path; empty for Computer
};

// A one-item list; nullopt when the text is too long for an item.
std::optional<IDList> makeItemList(ItemKind kind, std::string_view text);
// The item's kind and text; nullopt for an item this namespace did not make.
std::optional<ItemId> readItem(PItemIDList item);

bool isPlaceKind(ItemKind kind);
bool isFileSystemEntryKind(ItemKind kind);
bool isFolderKind(ItemKind kind);
bool isLinkKind(ItemKind kind);

}  // namespace shelltree
