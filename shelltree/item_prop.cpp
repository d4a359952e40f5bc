#include "item_prop.h"

#include "platform/paths.h"
#include "shell_flags.h"
#include "shell_namespace.h"

namespace shelltree {

namespace {

constexpr int kMenuMode = 0;
constexpr int kPropertiesMode = 1;
constexpr int kDefaultMode = 2;

bool runEntry(const ItemMenuEntry& entry, const ItemMenu& menu, PItemIDList item,
              std::uint32_t attributes, ItemMenuHost& owner) {
    if (!entry.enabled) return false;
    switch (entry.command) {
        case ItemCommandKind::Open: return owner.openInFileManager(menu.path);
        case ItemCommandKind::Rename: return owner.renameItem(item);
        case ItemCommandKind::CopyPath: return owner.copyPath(menu.path);
        case ItemCommandKind::Properties: return owner.showProperties(menu.path, attributes);
    }
    return false;
}

bool runMenu(const ItemMenu& menu, PItemIDList item, std::uint32_t attributes, ItemMenuHost& owner,
             int x, int y) {
    const int chosen = owner.chooseMenuEntry(menu, x, y);
    if (chosen < 0 || chosen >= static_cast<int>(menu.entries.size())) return true;
    return runEntry(menu.entries[static_cast<std::size_t>(chosen)], menu, item, attributes, owner);
}

bool runDefault(const ItemMenu& menu, PItemIDList item, std::uint32_t attributes,
                ItemMenuHost& owner) {
    for (const ItemMenuEntry& entry : menu.entries) {
        if (entry.isDefault) return runEntry(entry, menu, item, attributes, owner);
    }
    return false;
}

// The item's own menu: its attributes and path as its folder knows them.
bool runOnItem(ShellFolder& folder, PItemIDList item, std::uint32_t attributes, int mode,
               ItemMenuHost& owner, int x, int y) {
    const std::uint32_t known = folder.GetAttributesOf(item, kRequestedAttributes).value_or(0);
    const std::string path = (known & SFGAO_FILESYSTEM) != 0
                                 ? DisplayNameOf(folder, item, SHGDN_FORPARSING)
                                 : std::string();
    const ItemMenu menu = itemMenuFor(path, known, owner.canRename(), owner.canOpenInFileManager());
    switch (mode) {
        case kMenuMode: return runMenu(menu, item, known, owner, x, y);
        case kPropertiesMode:
            if ((attributes & SFGAO_HASPROPSHEET) == 0) return false;
            return owner.showProperties(menu.path, known);
        case kDefaultMode: return runDefault(menu, item, known, owner);
        default: return false;
    }
}

bool runOnPath(const std::string& path, int mode, ItemMenuHost& owner, int x, int y) {
    const auto desktop = desktopFolder();
    const IDList folderList =
        desktop->ParseDisplayName(nullptr, platform::folderPart(path), nullptr);
    const auto folder = folderList ? bindPath(desktop, folderList.get()) : nullptr;
    std::uint32_t attributes = SFGAO_HASPROPSHEET;
    if (folder) {
        const IDList item =
            folder->ParseDisplayName(nullptr, platform::fileNamePart(path), &attributes);
        if (item && IDListCount(item.get()) == 1)
            return runOnItem(*folder, item.get(), attributes, mode, owner, x, y);
    }
    // A name part that cannot be parsed (the root's is empty): the whole path in the
    // desktop's first folder.
    auto items = desktop->EnumObjects(nullptr, SHCONTF_FOLDERS);
    const IDList first = items ? items->Next() : IDList();
    const auto firstFolder = first ? desktop->BindToObject(first.get()) : nullptr;
    if (!firstFolder) return false;
    attributes = SFGAO_HASPROPSHEET;
    const IDList list = firstFolder->ParseDisplayName(nullptr, path, &attributes);
    if (!list || IDListCount(list.get()) != 1) return false;
    return runOnItem(*firstFolder, list.get(), attributes, mode, owner, x, y);
}

}  // namespace

ItemMenu itemMenuFor(const std::string& path, std::uint32_t attributes, bool canRename,
                     bool canOpen) {
    const bool hasPath = !path.empty();
    ItemMenu menu;
    menu.path = path;
    menu.entries = {
        {"Open in file manager", ItemCommandKind::Open,
         canOpen && hasPath && (attributes & SFGAO_FOLDER) != 0, true},
        {"Rename", ItemCommandKind::Rename, canRename && (attributes & SFGAO_CANRENAME) != 0,
         false},
        {"Copy path", ItemCommandKind::CopyPath, hasPath, false},
        {"Properties", ItemCommandKind::Properties,
         hasPath && (attributes & SFGAO_HASPROPSHEET) != 0, false},
    };
    return menu;
}

bool ShowItemMenu(const std::shared_ptr<ShellFolder>& folder, PItemIDList item,
                  std::uint32_t attributes, ItemMenuHost& owner, int x, int y) {
    return ItemCommand({}, folder, item, attributes, kMenuMode, owner, x, y);
}

bool ItemCommand(const std::string& path, const std::shared_ptr<ShellFolder>& folder,
                 PItemIDList item, std::uint32_t attributes, int mode, ItemMenuHost& owner, int x,
                 int y) {
    if (item != nullptr) return folder && runOnItem(*folder, item, attributes, mode, owner, x, y);
    return runOnPath(path, mode, owner, x, y);
}

}  // namespace shelltree
