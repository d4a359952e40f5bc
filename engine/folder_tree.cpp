#include "folder_tree.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <string_view>
#include <utility>

#include "platform/folder_guard.h"

namespace engine {

namespace {

// A folder is only ever opened this way: a link in its place makes the open fail.
constexpr int kOpenFolder = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

// Closes its descriptor when it goes.
class UniqueFd {
public:
    explicit UniqueFd(int fd = -1) : m_fd(fd) {}
    UniqueFd(UniqueFd&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept {
        reset(std::exchange(other.m_fd, -1));
        return *this;
    }
    ~UniqueFd() { reset(); }
    int get() const { return m_fd; }
    bool valid() const { return m_fd >= 0; }
    int release() { return std::exchange(m_fd, -1); }
    void reset(int fd = -1) {
        if (m_fd >= 0) ::close(m_fd);
        m_fd = fd;
    }

private:
    int m_fd;
};

char folded(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Case-blind for ASCII letters, then by bytes. Folding keeps lengths, so a folder still
// sorts before every path below it.
bool folderLess(const std::string& a, const std::string& b) {
    const auto [ia, ib] = std::mismatch(a.begin(), a.end(), b.begin(), b.end(),
                                        [](char x, char y) { return folded(x) == folded(y); });
    if (ia != a.end() && ib != b.end()) {
        return static_cast<unsigned char>(folded(*ia)) < static_cast<unsigned char>(folded(*ib));
    }
    if (a.size() != b.size()) return a.size() < b.size();
    return a < b;
}

// The length of the UTF-8 character that starts at index i.
std::size_t characterLength(std::string_view text, std::size_t i) {
    std::size_t length = 1;
    while (i + length < text.size() &&
           (static_cast<unsigned char>(text[i + length]) & 0xC0) == 0x80) {
        ++length;
    }
    return length;
}

// '*' any run of characters, '?' one character, letters case-blind; nothing else is special
// (a name holding '[' or '*' is matched literally).
bool wildcardMatches(std::string_view mask, std::string_view name) {
    std::size_t m = 0;
    std::size_t n = 0;
    std::size_t starMask = std::string_view::npos;
    std::size_t starName = 0;
    while (n < name.size()) {
        if (m < mask.size() && mask[m] == '*') {
            starMask = ++m;
            starName = n;
        } else if (m < mask.size() && mask[m] == '?') {
            ++m;
            n += characterLength(name, n);
        } else if (m < mask.size() && folded(mask[m]) == folded(name[n])) {
            ++m;
            ++n;
        } else if (starMask != std::string_view::npos) {
            m = starMask;
            starName += characterLength(name, starName);
            n = starName;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == '*') ++m;
    return m == mask.size();
}

// A final ".*" also admits names without an extension, so "*.*" matches every name.
bool maskMatches(std::string_view mask, std::string_view name) {
    if (wildcardMatches(mask, name)) return true;
    return mask.ends_with(".*") && wildcardMatches(mask.substr(0, mask.size() - 2), name);
}

// The entries of a folder except "." and "..", read in full before anything is deleted.
std::vector<std::string> entryNames(int folderFd) {
    std::vector<std::string> names;
    // fdopendir takes over the descriptor it is given, so it gets a copy.
    const int copy = ::fcntl(folderFd, F_DUPFD_CLOEXEC, 0);
    if (copy < 0) return names;
    DIR* folder = ::fdopendir(copy);
    if (folder == nullptr) {
        ::close(copy);
        return names;
    }
    ::rewinddir(folder);  // the copy shares its read position with folderFd
    while (const dirent* entry = ::readdir(folder)) {
        const std::string_view name = entry->d_name;
        if (name != "." && name != "..") names.emplace_back(name);
    }
    ::closedir(folder);
    return names;
}

// Where the folder open at fd is now, from /proc; empty when that cannot be read.
std::string openedPath(int fd) {
    char buffer[PATH_MAX];
    const std::string link = "/proc/self/fd/" + std::to_string(fd);
    const ssize_t length = ::readlink(link.c_str(), buffer, sizeof buffer);
    if (length <= 0 || static_cast<std::size_t>(length) >= sizeof buffer) return {};
    return std::string(buffer, static_cast<std::size_t>(length));
}

// The names of a path, without empty and "." parts (".." stays a name of its own).
std::vector<std::string> pathComponents(std::string_view path) {
    std::vector<std::string> parts;
    while (!path.empty()) {
        const std::size_t slash = path.find('/');
        const std::string_view part = path.substr(0, slash);
        path = slash == std::string_view::npos ? std::string_view() : path.substr(slash + 1);
        if (!part.empty() && part != ".") parts.emplace_back(part);
    }
    return parts;
}

}  // namespace

// The folders from the root down to the one last asked for, kept open so that the next
// folder of the list (usually a sibling or a parent) costs no new opens. Holds one
// descriptor per level, never one per collected folder.
class FolderTree::FolderChain {
public:
    explicit FolderChain(const FolderTree& tree) : m_tree(tree) {}

    // The folder reached from the root through names, one component at a time without
    // following links or leaving the root's mount; -1 when that is not possible.
    int open(const std::vector<std::string>& names) {
        std::size_t kept = 0;
        while (kept < m_open.size() && kept < names.size() && m_open[kept].first == names[kept]) {
            ++kept;
        }
        m_open.erase(m_open.begin() + static_cast<std::ptrdiff_t>(kept), m_open.end());
        for (std::size_t i = kept; i < names.size(); ++i) {
            UniqueFd folder(m_tree.openSubFolder(top(), names[i]));
            if (!folder.valid()) return -1;
            m_open.emplace_back(names[i], std::move(folder));
        }
        return top();
    }

private:
    int top() const { return m_open.empty() ? m_tree.m_rootFd : m_open.back().second.get(); }

    const FolderTree& m_tree;
    std::vector<std::pair<std::string, UniqueFd>> m_open;
};

FolderTree::FolderTree(AfterFolder afterFolder) : m_afterFolder(std::move(afterFolder)) {}

FolderTree::~FolderTree() { closeRoot(); }

bool FolderTree::DeleteFolderTree(const std::string& root, const std::string& mask, bool descend) {
    m_mask = mask;
    m_descend = descend;
    if (!openRoot(root)) return true;
    std::string path = m_rootFolder;
    return walkFolder(m_rootFd, path);
}

void FolderTree::addRemovedFolder(const std::string& folder) {
    const auto place =
        std::lower_bound(m_removedFolders.begin(), m_removedFolders.end(), folder, folderLess);
    if (place != m_removedFolders.end() && *place == folder) return;
    m_removedFolders.insert(place, folder);
}

void FolderTree::removeCollectedFolders() {
    if (m_rootFd >= 0) {
        FolderChain chain(*this);
        for (auto folder = m_removedFolders.rbegin(); folder != m_removedFolders.rend(); ++folder) {
            removeCollected(*folder, chain);
        }
    }
    m_removedFolders.clear();
}

const std::vector<std::string>& FolderTree::RemovedFolders() const { return m_removedFolders; }

bool FolderTree::identityOf(int fd, Identity& identity) {
    struct statx status {};
    if (::statx(fd, "", AT_EMPTY_PATH | AT_SYMLINK_NOFOLLOW, STATX_BASIC_STATS | STATX_MNT_ID,
                &status) != 0) {
        return false;
    }
    identity.device = makedev(status.stx_dev_major, status.stx_dev_minor);
    identity.inode = status.stx_ino;
    identity.hasMountId = (status.stx_mask & STATX_MNT_ID) != 0;
    identity.mountId = status.stx_mnt_id;
    return true;
}

bool FolderTree::openRoot(const std::string& root) {
    closeRoot();
    // Without its final '/' (or "/."): either would make the open follow a link.
    std::string folder = root;
    while (!folder.empty() && (folder.back() == '/' || folder.ends_with("/."))) {
        folder.pop_back();
    }
    if (folder.empty() || folder.front() != '/' || platform::refusalReason(root)) return false;
    UniqueFd fd(::open(folder.c_str(), kOpenFolder));
    Identity identity;
    if (!fd.valid() || !identityOf(fd.get(), identity)) return false;
    // Checked again on the folder actually opened, in case the path changed since the caller
    // asked.
    const std::string opened = openedPath(fd.get());
    if (!opened.empty() && platform::refusalReason(opened)) return false;
    m_rootFd = fd.release();
    m_rootFolder = folder + '/';
    m_rootIdentity = identity;
    return true;
}

void FolderTree::closeRoot() {
    if (m_rootFd >= 0) ::close(m_rootFd);
    m_rootFd = -1;
    m_rootFolder.clear();
}

bool FolderTree::walkFolder(int folderFd, std::string& path) {
    const std::vector<std::string> subFolders = deleteFiles(folderFd, path);
    const bool goOn = !m_afterFolder || m_afterFolder();
    if (!goOn || !m_descend) return goOn;
    return enterSubFolders(folderFd, path, subFolders);
}

std::vector<std::string> FolderTree::deleteFiles(int folderFd, const std::string& path) {
    std::vector<std::string> subFolders;
    bool matched = false;
    for (const std::string& name : entryNames(folderFd)) {
        struct stat status {};
        if (::fstatat(folderFd, name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0) continue;
        if (S_ISDIR(status.st_mode)) {
            if (name.front() != '.') subFolders.push_back(name);
            continue;
        }
        if (!maskMatches(m_mask, name)) continue;
        matched = true;
        // Run as root, unlink would take a read-only file too; the mode bit decides instead.
        if ((status.st_mode & S_IWUSR) != 0) ::unlinkat(folderFd, name.c_str(), 0);
    }
    if (matched) addRemovedFolder(path);
    return subFolders;
}

bool FolderTree::enterSubFolders(int folderFd, std::string& path,
                                 const std::vector<std::string>& names) {
    const std::size_t length = path.size();
    for (const std::string& name : names) {
        const UniqueFd subFolder(openSubFolder(folderFd, name));
        if (!subFolder.valid()) continue;
        path += name;
        path += '/';
        addRemovedFolder(path);
        const bool goOn = walkFolder(subFolder.get(), path);
        path.resize(length);
        if (!goOn) return false;
    }
    return true;
}

int FolderTree::openSubFolder(int parentFd, const std::string& name) const {
    // Fails with ELOOP or ENOTDIR when the name is (or has become) a link.
    UniqueFd folder(::openat(parentFd, name.c_str(), kOpenFolder));
    Identity identity;
    if (!folder.valid() || !identityOf(folder.get(), identity) || !onRootMount(identity)) {
        return -1;
    }
    return folder.release();
}

bool FolderTree::onRootMount(const Identity& identity) const {
    if (identity.device != m_rootIdentity.device) return false;
    // A bind mount shares the device; the mount id tells it apart where the kernel gives one.
    return !identity.hasMountId || !m_rootIdentity.hasMountId ||
           identity.mountId == m_rootIdentity.mountId;
}

void FolderTree::removeCollected(const std::string& folder, FolderChain& chain) {
    std::vector<std::string> parts = pathComponents(folder);
    const std::vector<std::string> rootParts = pathComponents(m_rootFolder);
    if (folder.empty() || folder.front() != '/' || parts.size() < rootParts.size() ||
        !std::equal(rootParts.begin(), rootParts.end(), parts.begin())) {
        return;  // not inside the walked tree
    }
    parts.erase(parts.begin(), parts.begin() + static_cast<std::ptrdiff_t>(rootParts.size()));
    if (parts.empty()) {
        removeRoot();
        return;
    }
    if (std::find(parts.begin(), parts.end(), "..") != parts.end()) return;
    const std::string name = parts.back();
    parts.pop_back();
    if (const int parent = chain.open(parts); parent >= 0) {
        ::unlinkat(parent, name.c_str(), AT_REMOVEDIR);
    }
}

void FolderTree::removeRoot() const {
    // Where the walked folder is now; it goes only if that name still holds the very folder.
    std::string current = openedPath(m_rootFd);
    if (current.empty() || current.front() != '/') {
        current = m_rootFolder.substr(0, m_rootFolder.size() - 1);
    }
    const std::size_t slash = current.rfind('/');
    if (current.size() < 2 || slash == std::string::npos) return;
    const std::string parentPath = slash == 0 ? "/" : current.substr(0, slash);
    const std::string name = current.substr(slash + 1);
    const UniqueFd parent(::open(parentPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    struct stat status {};
    if (!parent.valid() ||
        ::fstatat(parent.get(), name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0 ||
        !S_ISDIR(status.st_mode) || status.st_dev != m_rootIdentity.device ||
        status.st_ino != m_rootIdentity.inode) {
        return;
    }
    ::unlinkat(parent.get(), name.c_str(), AT_REMOVEDIR);
}

}  // namespace engine
