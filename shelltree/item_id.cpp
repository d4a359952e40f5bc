#include "item_id.h"

#include <vector>

namespace shelltree {

std::optional<IDList> makeItemList(ItemKind kind, std::string_view text) {
    std::vector<std::uint8_t> bytes;
    bytes.reserve(text.size() + 1);
    bytes.push_back(static_cast<std::uint8_t>(kind));
    bytes.insert(bytes.end(), text.begin(), text.end());
    return IDList::fromItem(bytes);
}

std::optional<ItemId> readItem(PItemIDList item) {
    if (item == nullptr) return std::nullopt;
    const auto data = itemData(item);
    if (data.empty()) return std::nullopt;
    const auto kind = static_cast<ItemKind>(data[0]);
    switch (kind) {
        case ItemKind::File:
        case ItemKind::Folder:
        case ItemKind::FileLink:
        case ItemKind::FolderLink:
        case ItemKind::Computer:
        case ItemKind::RootPlace:
        case ItemKind::HomePlace:
        case ItemKind::VolumePlace: break;
        default: return std::nullopt;
    }
    const std::string_view text(reinterpret_cast<const char*>(data.data()) + 1, data.size() - 1);
    return ItemId{kind, text};
}

bool isPlaceKind(ItemKind kind) {
    return kind == ItemKind::RootPlace || kind == ItemKind::HomePlace ||
           kind == ItemKind::VolumePlace;
}

bool isFileSystemEntryKind(ItemKind kind) {
    return kind == ItemKind::File || kind == ItemKind::Folder || kind == ItemKind::FileLink ||
           kind == ItemKind::FolderLink;
}

bool isFolderKind(ItemKind kind) {
    return kind == ItemKind::Folder || kind == ItemKind::FolderLink || isPlaceKind(kind) ||
           kind == ItemKind::Computer;
}

bool isLinkKind(ItemKind kind) {
    return kind == ItemKind::FileLink || kind == ItemKind::FolderLink;
}

}  // namespace shelltree
