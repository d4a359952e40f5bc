#pragma once
// The namespace as a whole: its desktop, the special folders the tree's root may be, the
// file-system path and display name of an item, and the icon an item shows.

#include <cstdint>
#include <memory>
#include <string>

#include "id_list.h"
#include "shell_folder.h"

namespace shelltree {

// The roots the tree may have. The values the design names after the desktop's folders map
// to the user's XDG folders (the recycle bin to the trash's files); those without one on
// this system (control panel, printers, favourites, recent files, send-to, network) to the
// file system's root.
enum TPidls : std::uint8_t {
    PIDL_DESKTOP,
    PIDL_PROGRAMS,
    PIDL_CONTROLS,
    PIDL_PRINTERS,
    PIDL_PERSONAL,
    PIDL_FAVORITES,
    PIDL_STARTUP,
    PIDL_RECENT,
    PIDL_SENDTO,
    PIDL_BITBUCKET,
    PIDL_STARTMENU,
    PIDL_DESKTOPDIRECTORY,
    PIDL_DRIVES,
    PIDL_NETWORK,
    PIDL_NETHOOD,
    PIDL_FONTS,
    PIDL_TEMPLATES,
    PIDL_USERDEFINED
};

// The special-folder number of a root value (-1 for PIDL_USERDEFINED).
int csidlOf(TPidls root);

// The namespace's root folder.
std::shared_ptr<ShellFolder> desktopFolder();

// The folder of a list of any length inside `folder` (the folder itself for an empty list);
// nullptr when an item on the way is no folder.
std::shared_ptr<ShellFolder> bindPath(const std::shared_ptr<ShellFolder>& folder, PItemIDList list);

// Whether two lists hold the same items (the same bytes).
bool sameIDList(PItemIDList first, PItemIDList second);

// The absolute list of a special folder by number: 0 the desktop, 17 "Computer", the others
// the folders above (parsed, so they open at their canonical place). Absent when the number
// is unknown or its folder does not exist.
IDList specialFolderLocation(int csidl);

// The file-system path of an absolute list; empty for items without one ("Computer"). The
// desktop's path is the user's desktop folder.
std::string PathFromIDList(PItemIDList absolute);

// The item's name after SHGDN flags; when the folder cannot name it under SHGDN_NORMAL, its
// name for parsing; otherwise empty.
std::string DisplayNameOf(ShellFolder& folder, PItemIDList item, std::uint32_t flags);

// The icons the namespace's items show, as indexes of the tree's image list.
enum ShellIcon : int {
    iconFolder,
    iconFolderOpen,
    iconFile,
    iconComputer,
    iconFileSystem,
    iconHome,
    iconVolume,
    iconDesktop,
    shellIconCount
};
int systemIconIndex(PItemIDList absolute, bool open);

}  // namespace shelltree
