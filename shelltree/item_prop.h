#pragma once
// The item menu of the folder tree: the commands of one namespace item (open it in the
// desktop's file manager, rename it where the file system allows, copy its path, show its
// properties), shown at a screen point on behalf of a window, or one command run without a
// menu. The menu's showing and the commands' effects go through an ItemMenuHost, so that the
// choice of command is plain logic.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "id_list.h"
#include "shell_folder.h"

namespace shelltree {

enum class ItemCommandKind { Open, Rename, CopyPath, Properties };

struct ItemMenuEntry {
    std::string caption;
    ItemCommandKind command;
    bool enabled = true;
    bool isDefault = false;  // the command a double click or mode 2 runs
};

struct ItemMenu {
    std::string path;  // the item's file-system path, empty when it has none
    std::vector<ItemMenuEntry> entries;
};

class ItemMenuHost {
public:
    virtual ~ItemMenuHost() = default;
    // Shows the menu at the screen point until it closes; the chosen entry's index, or -1
    // when the user chose nothing.
    virtual int chooseMenuEntry(const ItemMenu& menu, int x, int y) = 0;
    virtual bool openInFileManager(const std::string& path) = 0;
    virtual bool copyPath(const std::string& path) = 0;
    virtual bool showProperties(const std::string& path, std::uint32_t attributes) = 0;
    // Starts renaming the item (its label is edited); false when that cannot start.
    virtual bool renameItem(PItemIDList item) = 0;
    // Whether renaming is possible at all in the host (a read-only tree says no).
    virtual bool canRename() const = 0;
    // Whether the desktop has a program to open folders with (none: the command is off).
    virtual bool canOpenInFileManager() const = 0;
};

// The menu of an item with this path and these attributes, for a host that can or cannot
// rename and open items.
ItemMenu itemMenuFor(const std::string& path, std::uint32_t attributes, bool canRename,
                     bool canOpen);

// Shows the item's menu and runs the chosen command: ItemCommand in mode 0.
bool ShowItemMenu(const std::shared_ptr<ShellFolder>& folder, PItemIDList item,
                  std::uint32_t attributes, ItemMenuHost& owner, int x, int y);

// Mode 0: shows the menu and runs the chosen command; true when the menu showed and nothing
// was chosen, else whether the chosen command succeeded. Mode 1: shows the properties when
// the attributes hold SFGAO_HASPROPSHEET (else false). Mode 2: runs the default command.
// The item is given by folder and relative list, or (without a list) by its path, which is
// resolved from the desktop.
bool ItemCommand(const std::string& path, const std::shared_ptr<ShellFolder>& folder,
                 PItemIDList item, std::uint32_t attributes, int mode, ItemMenuHost& owner, int x,
                 int y);

}  // namespace shelltree
