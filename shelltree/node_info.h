#pragma once
// What one node of the folder tree knows about the item it stands for.

#include <cstdint>
#include <memory>
#include <string>

#include "id_list.h"
#include "shell_flags.h"
#include "shell_folder.h"

namespace shelltree {

struct TNodeInfo {
    IDList RelativeIDList;  // the item in its parent folder; for the root, its full list
    IDList AbsoluteIDList;  // the item from the desktop
    std::shared_ptr<ShellFolder> ParentFolder;  // where RelativeIDList is valid
    std::shared_ptr<ShellFolder> Folder;        // the item bound as a folder, when bound
    std::uint32_t ItemAttributes = 0;           // SFGAO values read when it was listed
    bool Populated = false;  // the children were read since the flag was last cleared
    bool Seen = false;       // mark used while the parent's children are re-read
    std::string sortKey;     // ParentFolder's name key of the item (see ShellFolder)
};

// The order of two siblings: files by the sort type's column in the sort order; folders and
// mixed pairs by name, ascending, whatever the settings. Names compare through the cached
// keys, files by another column through the parent folder.
int compareSiblings(const TNodeInfo& first, const TNodeInfo& second, TFileSortType type,
                    TFileSortOrder order);

}  // namespace shelltree
