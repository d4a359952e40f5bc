#include "folder_watch.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <deque>
#include <utility>

namespace platform {

namespace {

constexpr std::uint32_t kNames = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO;
constexpr std::uint32_t kNameFilters = kChangeFileName | kChangeDirName;
constexpr std::uint32_t kStampFilters =
    kChangeAttributes | kChangeLastWrite | kChangeLastAccess | kChangeCreation | kChangeSecurity;
constexpr std::uint32_t kSelf = IN_DELETE_SELF | IN_MOVE_SELF;

bool isDot(const char* name) {
    return name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0));
}

std::string childPath(const std::string& folder, const std::string& name) {
    return folder.ends_with('/') ? folder + name : folder + '/' + name;
}

bool below(const std::string& path, const std::string& folder) {
    return path.size() > folder.size() && path.starts_with(folder) && path[folder.size()] == '/';
}

bool isFolderEntry(int folder, const dirent& entry) {
    if (entry.d_type == DT_DIR) return true;
    if (entry.d_type != DT_UNKNOWN) return false;
    struct stat status {};
    return ::fstatat(folder, entry.d_name, &status, AT_SYMLINK_NOFOLLOW) == 0 &&
           S_ISDIR(status.st_mode);
}

}  // namespace

std::uint32_t inotifyMaskOf(std::uint32_t filters) {
    std::uint32_t mask = 0;
    if (filters & kNameFilters) mask |= kNames;
    if (filters & kStampFilters) mask |= IN_ATTRIB;
    if (filters & (kChangeSize | kChangeLastWrite)) mask |= IN_MODIFY;
    if (filters & kChangeLastAccess) mask |= IN_ACCESS;
    return mask;
}

bool filtersReport(std::uint32_t filters, std::uint32_t eventMask) {
    if (eventMask & kNames)
        return (filters & ((eventMask & IN_ISDIR) ? kChangeDirName : kChangeFileName)) != 0;
    if (eventMask & IN_ATTRIB) return (filters & kStampFilters) != 0;
    if (eventMask & IN_MODIFY) return (filters & (kChangeSize | kChangeLastWrite)) != 0;
    if (eventMask & IN_ACCESS) return (filters & kChangeLastAccess) != 0;
    return false;
}

FolderWatch::FolderWatch(InotifyHub& hub)
    : m_hub(hub), m_ready(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

FolderWatch::~FolderWatch() { close(); }

bool FolderWatch::open(const std::string& folder, std::uint32_t filters, FolderWatchLimits limits) {
    close();
    m_filters = filters;
    m_limits = limits;
    if (!m_ready) {
        errno = EMFILE;
        return false;
    }
    m_newestChange = 0;
    m_root = m_hub.add(*this, folder, maskFor(0), true);
    if (m_root < 0) return false;
    // Read once watched: a change made before is seen in the time stamp.
    struct stat status {};
    if (::stat(folder.c_str(), &status) != 0) {
        close();
        return false;
    }
    m_device = status.st_dev;
    noteChange(status);
    m_rootPath = folder;
    m_watched[m_root] = Watched{folder, 0};
    scanBelow(folder, 0);
    return true;
}

void FolderWatch::close() {
    m_hub.releaseAll(*this);
    m_watched.clear();
    m_root = -1;
    std::lock_guard lock(m_mutex);
    m_queued.clear();
    m_overflow = false;
}

void FolderWatch::deliver(const WatchEvent& event) {
    std::lock_guard lock(m_mutex);
    if (m_queued.size() < kMaxQueued) {
        m_queued.push_back(event);
    } else {
        m_overflow = true;
    }
    if (m_signalled) return;
    m_signalled = true;
    const std::uint64_t one = 1;
    (void)!::write(m_ready.get(), &one, sizeof one);
}

FolderWatch::Outcome FolderWatch::takeEvents() {
    std::uint64_t count = 0;
    (void)!::read(m_ready.get(), &count, sizeof count);
    std::vector<WatchEvent> events;
    bool overflow = false;
    {
        std::lock_guard lock(m_mutex);
        events.swap(m_queued);
        std::swap(overflow, m_overflow);
        m_signalled = false;
    }
    if (m_root < 0) return Outcome::Nothing;
    bool changed = false;
    if (overflow) {
        rescan();
        changed = true;
        events.clear();
    }
    for (const WatchEvent& event : events) {
        if (handle(event, changed) == Outcome::FolderGone) {
            close();
            return Outcome::FolderGone;
        }
    }
    return changed ? Outcome::Changed : Outcome::Nothing;
}

FolderWatch::Outcome FolderWatch::handle(const WatchEvent& event, bool& changed) {
    if (event.mask & IN_Q_OVERFLOW) {
        rescan();
        changed = true;
        return Outcome::Changed;
    }
    const auto it = m_watched.find(event.watch);
    if (it == m_watched.end()) return Outcome::Nothing;  // let go meanwhile
    if (event.watch == m_root && (event.mask & (kSelf | IN_IGNORED | IN_UNMOUNT)))
        return Outcome::FolderGone;
    if (event.mask & IN_IGNORED) {
        m_watched.erase(it);  // the kernel dropped it; the hub forgot it
        return Outcome::Nothing;
    }
    if (filtersReport(m_filters, event.mask)) changed = true;
    if ((event.mask & IN_ISDIR) && !event.name.empty())
        followSubFolder(Watched(it->second), event, changed);
    return Outcome::Nothing;
}

// A sub-folder that went is let go with everything below it; one that came is watched and
// then read, and what it already holds is a change the watch could not have seen.
void FolderWatch::followSubFolder(const Watched& parent, const WatchEvent& event, bool& changed) {
    const std::string path = childPath(parent.path, event.name);
    if (event.mask & (IN_DELETE | IN_MOVED_FROM)) forgetBelow(path);
    if (!(event.mask & (IN_CREATE | IN_MOVED_TO)) || parent.level >= m_limits.depth) return;
    if (watchFolder(path, parent.level + 1) && scanBelow(path, parent.level + 1) &&
        (m_filters & kNameFilters)) {
        changed = true;
    }
}

std::uint32_t FolderWatch::maskFor(int level) const {
    std::uint32_t mask = inotifyMaskOf(m_filters);
    if (level < m_limits.depth) mask |= kNames;  // to follow the folders below
    if (level == 0) mask |= kSelf;
    return mask;
}

bool FolderWatch::watchFolder(const std::string& path, int level) {
    if (m_watched.size() >= m_limits.watches) return false;
    static const std::size_t reserve = InotifyHub::userWatchLimit() / 4;
    if (m_hub.watchCount() + reserve >= InotifyHub::userWatchLimit()) return false;
    const int watch = m_hub.add(*this, path, maskFor(level), false);
    if (watch < 0) return false;
    // Read once watched, as the folder itself; another file system is let go at once.
    struct stat status {};
    const bool sameFileSystem = ::lstat(path.c_str(), &status) == 0 && status.st_dev == m_device;
    if (!sameFileSystem || !m_watched.try_emplace(watch, Watched{path, level}).second) {
        m_hub.release(*this, watch);  // or the same folder reached twice
        return false;
    }
    noteChange(status);
    return true;
}

// Reads path and the folders below it, breadth first, watching each folder found down to
// the depth allowed; stops once the watch holds all it may. True when path held any entry.
bool FolderWatch::scanBelow(const std::string& path, int level) {
    bool found = false;
    std::deque<std::pair<std::string, int>> pending{{path, level}};
    while (!pending.empty() && m_watched.size() < m_limits.watches) {
        const auto [folder, depth] = std::move(pending.front());
        pending.pop_front();
        DIR* listing = ::opendir(folder.c_str());
        if (listing == nullptr) continue;
        while (const dirent* entry = ::readdir(listing)) {
            if (isDot(entry->d_name)) continue;
            found = true;
            if (depth >= m_limits.depth || m_watched.size() >= m_limits.watches) break;
            if (!isFolderEntry(::dirfd(listing), *entry)) continue;
            const std::string child = childPath(folder, entry->d_name);
            if (watchFolder(child, depth + 1) && depth + 1 < m_limits.depth)
                pending.emplace_back(child, depth + 1);
        }
        ::closedir(listing);
    }
    return found;
}

void FolderWatch::noteChange(const struct stat& status) {
    const std::int64_t modified =
        std::int64_t{status.st_mtim.tv_sec} * 1'000'000'000 + status.st_mtim.tv_nsec;
    m_newestChange = std::max(m_newestChange, modified);
}

void FolderWatch::forgetBelow(const std::string& path) {
    for (auto it = m_watched.begin(); it != m_watched.end();) {
        if (it->first != m_root && (it->second.path == path || below(it->second.path, path))) {
            m_hub.release(*this, it->first);
            it = m_watched.erase(it);
        } else {
            ++it;
        }
    }
}

void FolderWatch::rescan() {
    for (auto it = m_watched.begin(); it != m_watched.end();) {
        if (it->first != m_root) {
            m_hub.release(*this, it->first);
            it = m_watched.erase(it);
        } else {
            ++it;
        }
    }
    scanBelow(m_rootPath, 0);
}

}  // namespace platform
