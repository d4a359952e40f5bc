#pragma once
// A folder of the tree's namespace and the listing of its items: the operations the tree
// needs of the namespace, over the file system here and over fakes in tests. Every list
// handed in is a relative list of one item inside this folder unless said otherwise.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "id_list.h"

namespace shelltree {

// Where the namespace may tell the user about a failure (a folder that cannot be read, a
// rename that was refused). Passed only while the tree shows messages; without one the
// namespace stays silent.
class ShellMessages {
public:
    virtual ~ShellMessages() = default;
    virtual void showShellMessage(const std::string& text) = 0;
};

class ItemEnumerator {
public:
    virtual ~ItemEnumerator() = default;
    virtual void Reset() = 0;
    // The next item (owned by the caller), or absent at the end.
    virtual IDList Next() = 0;
};

class ShellFolder : public std::enable_shared_from_this<ShellFolder> {
public:
    virtual ~ShellFolder() = default;

    // The folder's items after SHCONTF flags; nullptr when the folder cannot be listed.
    virtual std::unique_ptr<ItemEnumerator> EnumObjects(ShellMessages* owner,
                                                        std::uint32_t flags) = 0;
    // The item's attributes among `requested` (SFGAO values); nullopt on failure.
    virtual std::optional<std::uint32_t> GetAttributesOf(PItemIDList item,
                                                         std::uint32_t requested) = 0;
    // The item bound as a folder; nullptr when it is none or cannot be bound.
    virtual std::shared_ptr<ShellFolder> BindToObject(PItemIDList item) = 0;
    // Negative, 0 or positive by a column (0 name, 1 size, 2 type, 3 date); 0 only for the
    // same item. Folders come before files in every column.
    virtual int CompareIDs(int column, PItemIDList first, PItemIDList second) = 0;
    // The item's name after SHGDN flags (SHGDN_FORPARSING: its full path where it has one);
    // nullopt when the folder cannot name it.
    virtual std::optional<std::string> GetDisplayNameOf(PItemIDList item, std::uint32_t flags) = 0;
    // Renames the item; its new relative list, or absent when refused.
    virtual IDList SetNameOf(ShellMessages* owner, PItemIDList item, const std::string& name) = 0;
    // The list (relative to this folder, possibly several items) of a name to parse: a path
    // below this folder, or an absolute path on the desktop. Absent when it names nothing.
    virtual IDList ParseDisplayName(ShellMessages* owner, const std::string& name,
                                    std::uint32_t* attributes) = 0;

    // A key whose byte order sorts items by name as CompareIDs' column 0 does before its
    // tie-break (the tree keeps one per node, so that sorting compares no names twice).
    virtual std::string nameSortKey(PItemIDList item);
};

}  // namespace shelltree
