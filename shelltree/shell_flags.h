#pragma once
// The flag values the folder tree shares with its namespace: item attributes, listing
// flags, display-name kinds, the tree's visibility options and sort settings.

#include <cstdint>

namespace shelltree {

// Item attributes.
enum : std::uint32_t {
    SFGAO_CANCOPY = 0x1,
    SFGAO_CANMOVE = 0x2,
    SFGAO_CANLINK = 0x4,
    SFGAO_CANRENAME = 0x10,
    SFGAO_CANDELETE = 0x20,
    SFGAO_HASPROPSHEET = 0x40,
    SFGAO_DROPTARGET = 0x100,
    SFGAO_LINK = 0x10000,
    SFGAO_SHARE = 0x20000,
    SFGAO_READONLY = 0x40000,
    SFGAO_GHOSTED = 0x80000,
    SFGAO_HIDDEN = 0x80000,
    SFGAO_REMOVABLE = 0x2000000,
    SFGAO_COMPRESSED = 0x4000000,
    SFGAO_VALIDATE = 0x01000000,
    SFGAO_FILESYSANCESTOR = 0x10000000,
    SFGAO_FOLDER = 0x20000000,
    SFGAO_FILESYSTEM = 0x40000000,
    SFGAO_HASSUBFOLDER = 0x80000000,
};

// The attributes the tree asks for each listed item.
constexpr std::uint32_t kRequestedAttributes = 0xF70B0177;

// Listing flags.
enum : std::uint32_t {
    SHCONTF_FOLDERS = 0x20,
    SHCONTF_NONFOLDERS = 0x40,
    SHCONTF_INCLUDEHIDDEN = 0x80,
};

// Display-name kinds: the name shown, or the name to parse (the full path of a file-system
// item).
enum : std::uint32_t {
    SHGDN_NORMAL = 0,
    SHGDN_INFOLDER = 0x1,
    SHGDN_FORPARSING = 0x8000,
};

// The tree's visibility options, a set of TVisOption bits.
enum TVisOption : std::uint8_t { TF_FOLDERS = 1, TF_NONFOLDERS = 2, TF_HIDDEN = 4 };
using TVisOptions = std::uint8_t;

// The listing flags for a set of visibility options: the option bits times 32.
constexpr std::uint32_t listingFlags(TVisOptions options) {
    return static_cast<std::uint32_t>(options) * 32u;
}

enum TFileSortType : std::uint8_t { so_Name, so_Size, so_Type, so_Date };
enum TFileSortOrder : std::uint8_t { so_Ascending, so_Descending };

// An item is a file when it belongs to the file system and is no folder.
constexpr bool isFileItem(std::uint32_t attributes) {
    return (attributes & SFGAO_FILESYSTEM) != 0 && (attributes & SFGAO_FOLDER) == 0;
}

}  // namespace shelltree
