// The check after an extraction: nothing the extractor unpacked may be a symbolic link.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include "system.h"
#include "zip_listing.h"

namespace platform {

namespace {

std::vector<std::string> parts(std::string_view path) {
    std::vector<std::string> names;
    while (!path.empty()) {
        const std::size_t slash = path.find('/');
        const std::string_view name = path.substr(0, slash);
        if (!name.empty() && name != "." && name != "..") names.emplace_back(name);
        path = slash == std::string_view::npos ? std::string_view() : path.substr(slash + 1);
    }
    return names;
}

std::string joined(const std::vector<std::string>& names, std::size_t count) {
    std::string path;
    for (std::size_t i = 0; i < count; ++i) path += (i == 0 ? "" : "/") + names[i];
    return path;
}

// Walks down names from folder without following links. A link met on the way is removed
// and its path (the first count names) returned; nothing when none is met.
std::optional<std::string> removeLinkOnTheWay(int folder, const std::vector<std::string>& names) {
    FileDescriptor current;
    int parent = folder;
    for (std::size_t i = 0; i < names.size(); ++i) {
        const auto identity = identityAt(parent, names[i], false);
        if (!identity) return std::nullopt;  // not unpacked (or already removed)
        if (S_ISLNK(identity->mode)) {
            ::unlinkat(parent, names[i].c_str(), 0);
            return joined(names, i + 1);
        }
        if (i + 1 == names.size() || !S_ISDIR(identity->mode)) return std::nullopt;
        current = openFolderNoFollow(parent, names[i]);
        if (!current) return std::nullopt;
        parent = current.get();
    }
    return std::nullopt;
}

}  // namespace

std::string unpackedPath(std::string_view entryName) {
    const std::vector<std::string> names = parts(entryName);
    return joined(names, names.size());
}

std::vector<std::string> removeUnpackedLinks(const std::string& folder,
                                             const std::vector<ZipEntry>& entries) {
    std::vector<std::string> removed;
    const FileDescriptor root = openFile(folder, O_RDONLY | O_DIRECTORY);
    if (!root) return removed;
    for (const ZipEntry& entry : entries) {
        const auto link = removeLinkOnTheWay(root.get(), parts(entry.name));
        if (link && std::find(removed.begin(), removed.end(), *link) == removed.end()) {
            removed.push_back(*link);
        }
    }
    return removed;
}

}  // namespace platform
