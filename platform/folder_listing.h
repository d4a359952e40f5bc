#pragma once
// Reading folders quickly: one descriptor per listed folder, names from getdents and one
// fstatat per entry that needs it, so that a folder of ten thousand entries costs little
// more than a bare readdir + lstat loop. Used by the folder tree's namespace.

#include <sys/types.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "system.h"

namespace platform {

// What an entry is. A link is a symbolic link; a link whose target is missing counts as
// FileLink.
enum class EntryType : std::uint8_t { File, Folder, FileLink, FolderLink };

inline bool isFolderType(EntryType type) {
    return type == EntryType::Folder || type == EntryType::FolderLink;
}

// Hidden entries are those whose name begins with '.'.
inline bool isHiddenName(std::string_view name) { return !name.empty() && name.front() == '.'; }

struct FolderEntry {
    std::string_view name;  // valid until the next call of next() or rewind()
    EntryType type = EntryType::File;
    // Of the entry itself, or of a link's target: the link count and device (0 when the
    // entry could not be examined, as for a broken link or an entry removed meanwhile).
    nlink_t linkCount = 0;
    dev_t device = 0;
};

// An open folder being listed; movable, not copyable. "." and ".." are never returned.
class FolderReader {
public:
    // nullopt when the folder cannot be opened (errno tells why).
    static std::optional<FolderReader> open(const std::string& path);

    // The next entry, or nullptr at the end (or on a read error). With foldersOnly, entries
    // that the kernel reports as plain files are skipped without being examined; hidden
    // entries are skipped unless includeHidden.
    const FolderEntry* next(bool foldersOnly, bool includeHidden);
    void rewind();
    int descriptor() const { return m_folder.get(); }

private:
    explicit FolderReader(FileDescriptor folder);
    bool refill();
    bool examine(std::string_view name, unsigned char kernelType, bool foldersOnly);

    FileDescriptor m_folder;
    std::unique_ptr<char[]> m_buffer;
    long m_filled = 0;
    long m_position = 0;
    FolderEntry m_entry;
};

// Whether a folder has a sub-folder. The link count answers at once where the file system
// keeps it as 2 + sub-folders (ext2/3/4, xfs, tmpfs): 2 means none; above 2 means some, which
// is enough unless hidden sub-folders must not count. Symbolic links to folders add nothing
// to the count, so there a folder holding only such links counts as having none: reading
// every folder of count 2 to find them would cost three to four times the listing itself,
// which is what the count saves. Elsewhere (btrfs, network file systems,
// overlays) and when the count cannot settle it, the folder is read only up to its first
// sub-folder. Remembers per device whether the link count can be trusted.
class SubFolderTest {
public:
    // The folder `name` inside the open folder `parent`, with the link count and device that
    // listing it gave.
    bool hasSubFolder(int parent, std::string_view name, nlink_t linkCount, dev_t device,
                      bool includeHidden);
    // The same for a folder by path (examined here).
    bool hasSubFolder(const std::string& path, bool includeHidden);

private:
    bool linkCountKept(int descriptorOnDevice, dev_t device);

    std::unordered_map<dev_t, bool> m_linkCountKept;
};

// Reads the open folder up to its first sub-folder (from where its listing stands).
bool readsSubFolder(int folder, bool includeHidden);

// Whether the file system of an open descriptor keeps folder link counts as 2 + sub-folders.
bool keepsFolderLinkCounts(int descriptor);

// Renames `from` to `to` inside the same folder, never replacing an existing entry; 0 or the
// errno value.
int renameWithoutReplacing(const std::string& from, const std::string& to);

// Whether the current user may create and remove entries in the folder.
bool folderWritable(const std::string& path);

}  // namespace platform
