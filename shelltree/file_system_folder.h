#pragma once
// A folder of the file system in the tree's namespace. Items are the folder's entries: the
// kind byte tells folder, file or link, the rest is the entry's name. Listing reads the
// folder once with one fstatat per entry that may be a folder; the attributes of the entry
// just listed come from that listing (the tree asks for them right after each item), so a
// folder of ten thousand entries costs about one readdir + lstat pass.

#include <memory>
#include <string>

#include "item_id.h"
#include "platform/folder_listing.h"
#include "shell_folder.h"

namespace shelltree {

class FileSystemFolder : public ShellFolder {
public:
    // `path` absolute; "/" for the root, otherwise without a final '/'.
    explicit FileSystemFolder(std::string path);
    const std::string& path() const { return m_path; }

    std::unique_ptr<ItemEnumerator> EnumObjects(ShellMessages* owner, std::uint32_t flags) override;
    std::optional<std::uint32_t> GetAttributesOf(PItemIDList item,
                                                 std::uint32_t requested) override;
    std::shared_ptr<ShellFolder> BindToObject(PItemIDList item) override;
    int CompareIDs(int column, PItemIDList first, PItemIDList second) override;
    std::optional<std::string> GetDisplayNameOf(PItemIDList item, std::uint32_t flags) override;
    IDList SetNameOf(ShellMessages* owner, PItemIDList item, const std::string& name) override;
    IDList ParseDisplayName(ShellMessages* owner, const std::string& name,
                            std::uint32_t* attributes) override;
    std::string nameSortKey(PItemIDList item) override;

    // The full path of an entry of this folder.
    std::string entryPath(std::string_view name) const;

private:
    class Enumerator;
    struct Listed {
        std::string name;
        platform::FolderEntry entry;
        std::shared_ptr<platform::FolderReader> reader;
    };

    std::uint32_t entryAttributes(std::string_view name, const platform::FolderEntry& entry,
                                  std::uint32_t requested, int parentDescriptor);  // -1: none
    bool hasSubFolder(std::string_view name, const platform::FolderEntry& entry,
                      int parentDescriptor);
    bool writable();

    std::string m_path;
    std::optional<bool> m_writable;
    std::uint32_t m_listingFlags = 0;  // of the last listing: whether hidden entries count
    std::optional<Listed> m_lastListed;
    platform::SubFolderTest m_subFolders;
};

// The entry's kind as the namespace's item kind.
ItemKind itemKindOf(platform::EntryType type);

// Examines one path (following a final link for its kind); nullopt when it does not exist.
std::optional<platform::FolderEntry> examinePath(const std::string& path);

}  // namespace shelltree
