#include "open_folder.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string_view>

namespace platform {

bool isFolder(const FileIdentity& identity) { return S_ISDIR(identity.mode); }

bool isReadOnly(const FileIdentity& identity) { return (identity.mode & S_IWUSR) == 0; }

bool onSameMount(const FileIdentity& a, const FileIdentity& b) {
    if (a.device != b.device) return false;
    return !a.hasMountId || !b.hasMountId || a.mountId == b.mountId;
}

std::optional<OpenFolder> OpenFolder::open(const std::string& path) {
    FileDescriptor folder = openFolderNoFollow(AT_FDCWD, path);
    if (!folder) return std::nullopt;
    return OpenFolder(std::move(folder));
}

std::optional<OpenFolder> OpenFolder::openSubFolder(const std::string& name) const {
    FileDescriptor folder = openFolderNoFollow(descriptor(), name);
    if (!folder) return std::nullopt;
    return OpenFolder(std::move(folder));
}

std::vector<std::string> OpenFolder::entryNames() const {
    std::vector<std::string> names;
    // fdopendir takes over the descriptor it is given, so it gets a copy.
    const int copy = ::fcntl(descriptor(), F_DUPFD_CLOEXEC, 0);
    if (copy < 0) return names;
    DIR* folder = ::fdopendir(copy);
    if (folder == nullptr) {
        ::close(copy);
        return names;
    }
    ::rewinddir(folder);  // the copy shares its read position with the folder's descriptor
    while (const dirent* entry = ::readdir(folder)) {
        const std::string_view name = entry->d_name;
        if (name != "." && name != "..") names.emplace_back(name);
    }
    ::closedir(folder);
    return names;
}

std::optional<FileIdentity> OpenFolder::entryIdentity(const std::string& name) const {
    return identityAt(descriptor(), name, false);
}

bool OpenFolder::removeEntry(const std::string& name) const {
    return ::unlinkat(descriptor(), name.c_str(), 0) == 0;
}

bool OpenFolder::removeSubFolder(const std::string& name) const {
    return ::unlinkat(descriptor(), name.c_str(), AT_REMOVEDIR) == 0;
}

std::string currentPathOf(int descriptor) {
    char buffer[PATH_MAX];
    const std::string link = "/proc/self/fd/" + std::to_string(descriptor);
    const ssize_t length = ::readlink(link.c_str(), buffer, sizeof buffer);
    if (length <= 0 || static_cast<std::size_t>(length) >= sizeof buffer || buffer[0] != '/') {
        return {};
    }
    const std::string path(buffer, static_cast<std::size_t>(length));
    return path.ends_with(" (deleted)") ? std::string() : path;
}

}  // namespace platform
