#include "folder_listing.h"

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <linux/magic.h>
#include <stdio.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <unistd.h>

#include <utility>

namespace platform {

namespace {

constexpr long kBufferSize = 32 * 1024;
// Most folders answer within their first block of entries.
constexpr long kProbeBufferSize = 4 * 1024;

bool isDotOrDotDot(std::string_view name) { return name == "." || name == ".."; }

// Whether an entry met while probing is a folder; asks the kernel only when the listing's
// type cannot tell (a link, or a file system without types).
bool probedEntryIsFolder(int folder, const char* name, unsigned char type) {
    if (type == DT_DIR) return true;
    if (type != DT_LNK && type != DT_UNKNOWN) return false;
    struct stat status {};
    return ::fstatat(folder, name, &status, 0) == 0 && S_ISDIR(status.st_mode);
}

}  // namespace

std::optional<FolderReader> FolderReader::open(const std::string& path) {
    FileDescriptor folder = openFile(path, O_RDONLY | O_DIRECTORY);
    if (!folder) return std::nullopt;
    return FolderReader(std::move(folder));
}

FolderReader::FolderReader(FileDescriptor folder)
    : m_folder(std::move(folder)), m_buffer(new char[kBufferSize]) {}

void FolderReader::rewind() {
    ::lseek(m_folder.get(), 0, SEEK_SET);
    m_filled = m_position = 0;
}

bool FolderReader::refill() {
    const ssize_t count =
        retried([&] { return ::getdents64(m_folder.get(), m_buffer.get(), kBufferSize); });
    m_filled = count > 0 ? count : 0;
    m_position = 0;
    return count > 0;
}

const FolderEntry* FolderReader::next(bool foldersOnly, bool includeHidden) {
    for (;;) {
        if (m_position >= m_filled && !refill()) return nullptr;
        const auto* record = reinterpret_cast<const dirent64*>(m_buffer.get() + m_position);
        m_position += record->d_reclen;
        const std::string_view name(record->d_name);
        if (isDotOrDotDot(name) || (!includeHidden && isHiddenName(name))) continue;
        if (examine(name, record->d_type, foldersOnly)) return &m_entry;
    }
}

// Fills m_entry; false when the entry is to be skipped.
bool FolderReader::examine(std::string_view name, unsigned char kernelType, bool foldersOnly) {
    const bool mayBeFolder =
        kernelType == DT_DIR || kernelType == DT_LNK || kernelType == DT_UNKNOWN;
    if (foldersOnly && !mayBeFolder) return false;
    m_entry = FolderEntry{name, EntryType::File, 0, 0};
    struct stat status {};
    if (::fstatat(m_folder.get(), name.data(), &status, AT_SYMLINK_NOFOLLOW) != 0)
        return !foldersOnly;
    const bool link = S_ISLNK(status.st_mode);
    if (link && ::fstatat(m_folder.get(), name.data(), &status, 0) != 0) {
        m_entry.type = EntryType::FileLink;
        return !foldersOnly;
    }
    const bool folder = S_ISDIR(status.st_mode);
    if (foldersOnly && !folder) return false;
    m_entry.type = folder ? (link ? EntryType::FolderLink : EntryType::Folder)
                          : (link ? EntryType::FileLink : EntryType::File);
    m_entry.linkCount = status.st_nlink;
    m_entry.device = status.st_dev;
    return true;
}

bool SubFolderTest::hasSubFolder(int parent, std::string_view name, nlink_t linkCount, dev_t device,
                                 bool includeHidden) {
    if (linkCount >= 2 && linkCountKept(parent, device)) {
        if (linkCount == 2) return false;
        if (includeHidden) return true;
    }
    const FileDescriptor folder = openFileAt(parent, std::string(name), O_RDONLY | O_DIRECTORY);
    return folder && readsSubFolder(folder.get(), includeHidden);
}

bool SubFolderTest::hasSubFolder(const std::string& path, bool includeHidden) {
    const FileDescriptor folder = openFile(path, O_RDONLY | O_DIRECTORY);
    if (!folder) return false;
    struct stat status {};
    if (::fstat(folder.get(), &status) == 0 && status.st_nlink >= 2 &&
        linkCountKept(folder.get(), status.st_dev) && (status.st_nlink == 2 || includeHidden)) {
        return status.st_nlink > 2;
    }
    return readsSubFolder(folder.get(), includeHidden);
}

// A device is asked about through a descriptor on it: the listed folder for its entries; an
// entry on another device (a mount point) is not trusted and is read instead.
bool SubFolderTest::linkCountKept(int descriptorOnDevice, dev_t device) {
    const auto known = m_linkCountKept.find(device);
    if (known != m_linkCountKept.end()) return known->second;
    struct stat status {};
    if (::fstat(descriptorOnDevice, &status) != 0 || status.st_dev != device) return false;
    const bool kept = keepsFolderLinkCounts(descriptorOnDevice);
    m_linkCountKept.emplace(device, kept);
    return kept;
}

bool readsSubFolder(int folder, bool includeHidden) {
    auto buffer = std::make_unique<char[]>(kProbeBufferSize);
    for (;;) {
        const ssize_t count =
            retried([&] { return ::getdents64(folder, buffer.get(), kProbeBufferSize); });
        if (count <= 0) return false;
        for (ssize_t at = 0; at < count;) {
            const auto* record = reinterpret_cast<const dirent64*>(buffer.get() + at);
            at += record->d_reclen;
            const std::string_view name(record->d_name);
            if (isDotOrDotDot(name) || (!includeHidden && isHiddenName(name))) continue;
            if (probedEntryIsFolder(folder, record->d_name, record->d_type)) return true;
        }
    }
}

bool keepsFolderLinkCounts(int descriptor) {
    struct statfs info {};
    if (::fstatfs(descriptor, &info) != 0) return false;
    switch (static_cast<unsigned long>(info.f_type)) {
        case EXT4_SUPER_MAGIC:  // also ext2 and ext3
        case XFS_SUPER_MAGIC:
        case TMPFS_MAGIC: return true;
        default: return false;
    }
}

int renameWithoutReplacing(const std::string& from, const std::string& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
    if (errno != EINVAL) return errno;
    // File systems without the no-replace flag: test first (a narrow race, never a silent
    // replacement of what was there when asked).
    struct stat status {};
    if (::lstat(to.c_str(), &status) == 0) return EEXIST;
    return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

bool folderWritable(const std::string& path) { return ::access(path.c_str(), W_OK | X_OK) == 0; }

}  // namespace platform
