#include "file_system_folder.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <cstring>

#include "name_order.h"
#include "shell_flags.h"

namespace shelltree {

namespace {

constexpr std::uint32_t kEditable =
    SFGAO_CANCOPY | SFGAO_CANMOVE | SFGAO_CANLINK | SFGAO_CANRENAME | SFGAO_CANDELETE;

std::string quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

bool isValidEntryName(std::string_view name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of(std::string_view("/\0", 2)) == std::string_view::npos;
}

std::string extensionOf(std::string_view name) {
    const std::size_t dot = name.rfind('.');
    return dot == std::string_view::npos || dot == 0 ? std::string()
                                                     : foldCase(name.substr(dot + 1));
}

int sign(long long value) { return value < 0 ? -1 : (value > 0 ? 1 : 0); }

}  // namespace

ItemKind itemKindOf(platform::EntryType type) {
    switch (type) {
        case platform::EntryType::Folder: return ItemKind::Folder;
        case platform::EntryType::FolderLink: return ItemKind::FolderLink;
        case platform::EntryType::FileLink: return ItemKind::FileLink;
        case platform::EntryType::File: break;
    }
    return ItemKind::File;
}

std::optional<platform::FolderEntry> examinePath(const std::string& path) {
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0) return std::nullopt;
    platform::FolderEntry entry;
    const bool link = S_ISLNK(status.st_mode);
    if (link && ::stat(path.c_str(), &status) != 0) {
        entry.type = platform::EntryType::FileLink;
        return entry;
    }
    const bool folder = S_ISDIR(status.st_mode);
    entry.type = folder ? (link ? platform::EntryType::FolderLink : platform::EntryType::Folder)
                        : (link ? platform::EntryType::FileLink : platform::EntryType::File);
    entry.linkCount = status.st_nlink;
    entry.device = status.st_dev;
    return entry;
}

class FileSystemFolder::Enumerator : public ItemEnumerator {
public:
    Enumerator(std::shared_ptr<FileSystemFolder> folder, platform::FolderReader reader,
               std::uint32_t flags)
        : m_folder(std::move(folder)),
          m_reader(std::make_shared<platform::FolderReader>(std::move(reader))),
          m_flags(flags) {}
    ~Enumerator() override { m_folder->m_lastListed.reset(); }

    void Reset() override { m_reader->rewind(); }

    IDList Next() override {
        const bool folders = (m_flags & SHCONTF_FOLDERS) != 0;
        const bool files = (m_flags & SHCONTF_NONFOLDERS) != 0;
        const bool hidden = (m_flags & SHCONTF_INCLUDEHIDDEN) != 0;
        if (!folders && !files) return {};
        while (const platform::FolderEntry* entry = m_reader->next(!files, hidden)) {
            if (!folders && platform::isFolderType(entry->type)) continue;
            auto list = makeItemList(itemKindOf(entry->type), entry->name);
            if (!list) continue;
            remember(*entry);
            return std::move(*list);
        }
        return {};
    }

private:
    // The entry just listed, for the attributes asked next (its name's buffer is reused).
    void remember(const platform::FolderEntry& entry) {
        auto& last = m_folder->m_lastListed;
        if (!last || last->reader != m_reader) last.emplace(Listed{{}, {}, m_reader});
        last->name.assign(entry.name);
        last->entry = entry;
    }

    std::shared_ptr<FileSystemFolder> m_folder;
    std::shared_ptr<platform::FolderReader> m_reader;
    std::uint32_t m_flags;
};

FileSystemFolder::FileSystemFolder(std::string path) : m_path(std::move(path)) {}

std::string FileSystemFolder::entryPath(std::string_view name) const {
    return (m_path == "/" ? std::string() : m_path) + "/" + std::string(name);
}

std::unique_ptr<ItemEnumerator> FileSystemFolder::EnumObjects(ShellMessages* owner,
                                                              std::uint32_t flags) {
    auto reader = platform::FolderReader::open(m_path);
    if (!reader) {
        if (owner != nullptr) {
            owner->showShellMessage("Cannot read the folder " + quoted(m_path) + ": " +
                                    std::strerror(errno));
        }
        return nullptr;
    }
    m_listingFlags = flags;
    m_writable.reset();
    auto self = std::static_pointer_cast<FileSystemFolder>(shared_from_this());
    return std::make_unique<Enumerator>(std::move(self), std::move(*reader), flags);
}

bool FileSystemFolder::hasSubFolder(std::string_view name, const platform::FolderEntry& entry,
                                    int parentDescriptor) {
    const bool hidden = (m_listingFlags & SHCONTF_INCLUDEHIDDEN) != 0;
    if (parentDescriptor < 0) return m_subFolders.hasSubFolder(entryPath(name), hidden);
    return m_subFolders.hasSubFolder(parentDescriptor, name, entry.linkCount, entry.device, hidden);
}

bool FileSystemFolder::writable() {
    if (!m_writable) m_writable = platform::folderWritable(m_path);
    return *m_writable;
}

std::uint32_t FileSystemFolder::entryAttributes(std::string_view name,
                                                const platform::FolderEntry& entry,
                                                std::uint32_t requested, int parentDescriptor) {
    std::uint32_t attributes = SFGAO_FILESYSTEM | SFGAO_HASPROPSHEET;
    if (platform::isFolderType(entry.type)) attributes |= SFGAO_FOLDER | SFGAO_FILESYSANCESTOR;
    if (entry.type == platform::EntryType::FileLink ||
        entry.type == platform::EntryType::FolderLink) {
        attributes |= SFGAO_LINK;
    }
    if (platform::isHiddenName(name)) attributes |= SFGAO_HIDDEN;
    if ((requested & kEditable) != 0 && writable()) attributes |= kEditable;
    if ((requested & SFGAO_HASSUBFOLDER) != 0 && platform::isFolderType(entry.type) &&
        hasSubFolder(name, entry, parentDescriptor)) {
        attributes |= SFGAO_HASSUBFOLDER;
    }
    return attributes & (requested | SFGAO_HIDDEN);
}

std::optional<std::uint32_t> FileSystemFolder::GetAttributesOf(PItemIDList item,
                                                               std::uint32_t requested) {
    const auto id = readItem(item);
    if (!id || !isFileSystemEntryKind(id->kind)) return std::nullopt;
    // The entry the running listing just examined is as fresh as a new examination, so it
    // also answers a request to revalidate.
    if (m_lastListed && m_lastListed->name == id->text &&
        itemKindOf(m_lastListed->entry.type) == id->kind) {
        return entryAttributes(id->text, m_lastListed->entry, requested,
                               m_lastListed->reader->descriptor());
    }
    const auto entry = examinePath(entryPath(id->text));
    if (!entry || itemKindOf(entry->type) != id->kind) return std::nullopt;
    return entryAttributes(id->text, *entry, requested, -1);
}

std::shared_ptr<ShellFolder> FileSystemFolder::BindToObject(PItemIDList item) {
    const auto id = readItem(item);
    if (!id || !isFileSystemEntryKind(id->kind) || !isFolderKind(id->kind)) return nullptr;
    return std::make_shared<FileSystemFolder>(entryPath(id->text));
}

std::string FileSystemFolder::nameSortKey(PItemIDList item) {
    const auto id = readItem(item);
    if (!id) return {};
    return (isFolderKind(id->kind) ? "0" : "1") + shelltree::nameSortKey(id->text);
}

int FileSystemFolder::CompareIDs(int column, PItemIDList first, PItemIDList second) {
    if (SameItemID(first, second)) return 0;
    const auto a = readItem(first);
    const auto b = readItem(second);
    if (!a || !b) return a ? 1 : -1;
    const bool aFolder = isFolderKind(a->kind), bFolder = isFolderKind(b->kind);
    if (aFolder != bFolder) return aFolder ? -1 : 1;
    int result = 0;
    if (!aFolder && (column == 1 || column == 3)) {
        struct stat sa {
        }, sb{};
        ::stat(entryPath(a->text).c_str(), &sa);
        ::stat(entryPath(b->text).c_str(), &sb);
        result = column == 1 ? sign(static_cast<long long>(sa.st_size) - sb.st_size)
                             : sign(static_cast<long long>(sa.st_mtime) - sb.st_mtime);
    } else if (!aFolder && column == 2) {
        result = extensionOf(a->text).compare(extensionOf(b->text));
    }
    if (result == 0) result = compareNames(a->text, b->text);
    if (result == 0) result = a->kind < b->kind ? -1 : 1;  // same name, other kind
    return sign(result);
}

std::optional<std::string> FileSystemFolder::GetDisplayNameOf(PItemIDList item,
                                                              std::uint32_t flags) {
    const auto id = readItem(item);
    if (!id || !isFileSystemEntryKind(id->kind)) return std::nullopt;
    if ((flags & SHGDN_FORPARSING) != 0 && (flags & SHGDN_INFOLDER) == 0)
        return entryPath(id->text);
    return std::string(id->text);
}

IDList FileSystemFolder::SetNameOf(ShellMessages* owner, PItemIDList item,
                                   const std::string& name) {
    const auto id = readItem(item);
    if (!id || !isFileSystemEntryKind(id->kind)) return {};
    const int error = isValidEntryName(name)
                          ? platform::renameWithoutReplacing(entryPath(id->text), entryPath(name))
                          : EINVAL;
    if (error != 0) {
        if (owner != nullptr) {
            owner->showShellMessage("Cannot rename " + quoted(id->text) + " to " + quoted(name) +
                                    ": " + std::strerror(error));
        }
        return {};
    }
    auto list = makeItemList(id->kind, name);
    return list ? std::move(*list) : IDList();
}

IDList FileSystemFolder::ParseDisplayName(ShellMessages*, const std::string& name,
                                          std::uint32_t* attributes) {
    std::string_view rest(name);
    if (!rest.empty() && rest.front() == '/') {
        const std::string prefix = m_path == "/" ? "/" : m_path + "/";
        if (rest.substr(0, prefix.size()) != prefix) return {};
        rest.remove_prefix(prefix.size());
    }
    IDList result = IDList::empty();
    auto folder = std::static_pointer_cast<FileSystemFolder>(shared_from_this());
    std::shared_ptr<FileSystemFolder> parentOfLast;
    IDList lastItem;
    while (!rest.empty()) {
        const std::size_t end = rest.find('/');
        const std::string_view part = rest.substr(0, end);
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
        if (part.empty() || part == ".") continue;
        if (part == ".." || !folder) return {};
        const auto entry = examinePath(folder->entryPath(part));
        auto item = entry ? makeItemList(itemKindOf(entry->type), part) : std::nullopt;
        if (!item) return {};
        result = ChildIDList(result.get(), item->get());
        parentOfLast = folder;
        folder = platform::isFolderType(entry->type)
                     ? std::make_shared<FileSystemFolder>(folder->entryPath(part))
                     : nullptr;
        lastItem = std::move(*item);
    }
    if (attributes != nullptr) {
        *attributes = parentOfLast
                          ? parentOfLast->GetAttributesOf(lastItem.get(), *attributes).value_or(0)
                          : 0;
    }
    return result;
}

}  // namespace shelltree
