#include "shell_namespace.h"

#include <cstring>

#include "desktop_folder.h"
#include "item_id.h"
#include "platform/xdg_folders.h"
#include "shell_flags.h"

namespace shelltree {

namespace {

constexpr int kDesktopCsidl = 0;
constexpr int kDrivesCsidl = 17;

// The folder of a special-folder number, or empty for the desktop, "Computer" and unknown
// numbers.
std::string specialFolderPath(int csidl) {
    const platform::UserFolders folders = platform::userFolders();
    switch (csidl) {
        case 2:   // programs
        case 11:  // start menu
            return folders.dataHome + "/applications";
        case 5: return folders.documents;
        case 7: return folders.configHome + "/autostart";
        case 10: return folders.dataHome + "/Trash/files";
        case 16: return folders.desktop;
        case 20: return folders.dataHome + "/fonts";
        case 21: return folders.templates;
        case 3:
        case 4:
        case 6:
        case 8:
        case 9:
        case 18:
        case 19: return "/";
        default: return {};
    }
}

// The icon of the last item of a list.
int itemIcon(const ItemId& id, bool open) {
    switch (id.kind) {
        case ItemKind::Computer: return iconComputer;
        case ItemKind::RootPlace: return iconFileSystem;
        case ItemKind::HomePlace: return iconHome;
        case ItemKind::VolumePlace: return iconVolume;
        case ItemKind::Folder:
        case ItemKind::FolderLink: return open ? iconFolderOpen : iconFolder;
        default: return iconFile;
    }
}

}  // namespace

int csidlOf(TPidls root) {
    static constexpr int kCsidl[] = {0, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 16, 17, 18, 19, 20, 21, -1};
    return kCsidl[root];
}

std::shared_ptr<ShellFolder> desktopFolder() {
    return std::make_shared<DesktopFolder>(platform::userFolders().desktop);
}

std::shared_ptr<ShellFolder> bindPath(const std::shared_ptr<ShellFolder>& folder,
                                      PItemIDList list) {
    std::shared_ptr<ShellFolder> result = folder;
    for (; result && list != nullptr && itemCount(list) != 0; list = nextItem(list)) {
        const IDList item = firstItemList(list);
        result = result->BindToObject(item.get());
    }
    return result;
}

bool sameIDList(PItemIDList first, PItemIDList second) {
    if (first == nullptr || second == nullptr) return first == second;
    const std::size_t size = IDListSize(first);
    return size == IDListSize(second) && std::memcmp(first, second, size) == 0;
}

IDList specialFolderLocation(int csidl) {
    if (csidl == kDesktopCsidl) return IDList::empty();
    if (csidl == kDrivesCsidl) {
        auto computer = makeItemList(ItemKind::Computer, "");
        return computer ? std::move(*computer) : IDList();
    }
    const std::string path = specialFolderPath(csidl);
    if (path.empty()) return {};
    return desktopFolder()->ParseDisplayName(nullptr, path, nullptr);
}

std::string PathFromIDList(PItemIDList absolute) {
    if (absolute == nullptr) return {};
    const auto first = readItem(absolute);
    if (itemCount(absolute) == 0) return platform::userFolders().desktop;
    if (!first) return {};
    std::string path;
    PItemIDList item = absolute;
    if (first->kind == ItemKind::Computer) {
        item = nextItem(item);
        const auto place = readItem(item);
        if (!place || !isPlaceKind(place->kind)) return {};
        path = place->text == "/" ? std::string() : std::string(place->text);
        item = nextItem(item);
    } else {
        path = platform::userFolders().desktop;
    }
    for (; itemCount(item) != 0; item = nextItem(item)) {
        const auto id = readItem(item);
        if (!id || !isFileSystemEntryKind(id->kind)) return {};
        path += "/" + std::string(id->text);
    }
    return path.empty() ? "/" : path;
}

std::string DisplayNameOf(ShellFolder& folder, PItemIDList item, std::uint32_t flags) {
    if (auto name = folder.GetDisplayNameOf(item, flags)) return *name;
    if (flags == SHGDN_NORMAL) {
        if (auto name = folder.GetDisplayNameOf(item, SHGDN_FORPARSING)) return *name;
    }
    return {};
}

int systemIconIndex(PItemIDList absolute, bool open) {
    if (absolute == nullptr || itemCount(absolute) == 0) return iconDesktop;
    const auto last = readItem(lastItem(absolute));
    return last ? itemIcon(*last, open) : iconFile;
}

}  // namespace shelltree
