#pragma once
// The watch of one folder and, when asked, of the folders below it, built from per-folder
// watches on the process's one inotify instance (InotifyHub). Its descriptor becomes
// readable when events wait; takeEvents() then brings the watches up to date and says
// whether a change that the filters ask for happened.
//
// Below the folder: a new sub-folder is watched first and read afterwards, so that nothing
// made in it between its creation and its watch is missed; moved and deleted sub-folders
// are let go; events lost by the kernel (or by a full queue here) make it read everything
// again, which counts as a change. Watches never cross into another file system, go at most
// depth levels down and hold at most a given number of folders, the levels nearest the
// folder first; sub-folders are refused altogether while the user's watches are three
// quarters used. The folder itself is always watched. So a watch on "/" or on a home with
// thousands of folders costs a bounded number of watches and milliseconds to open.
//
// The folder itself deleted, moved away or unmounted ends the watch: FolderGone.
//
// Threads: one owner thread calls everything; the hub's reader only queues events.

#include <sys/stat.h>

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "inotify_hub.h"
#include "system.h"

namespace platform {

// The changes a watch reports, as bits of the folder monitor's filter.
enum ChangeFilter : std::uint32_t {
    kChangeFileName = 0x1,     // files created, deleted or renamed
    kChangeDirName = 0x2,      // folders created, deleted or renamed
    kChangeAttributes = 0x4,   // permissions, owners, extended attributes
    kChangeSize = 0x8,         // contents written
    kChangeLastWrite = 0x10,   // contents written or the modification time set
    kChangeLastAccess = 0x20,  // contents read or the access time set
    kChangeCreation = 0x40,    // time stamps set (Linux cannot set a creation time)
    kChangeSecurity = 0x100,   // permissions, owners, access lists
};

// The inotify events the filters need, and whether an event (its IN_ mask, with IN_ISDIR
// telling folders from files) is a change they ask for.
std::uint32_t inotifyMaskOf(std::uint32_t filters);
bool filtersReport(std::uint32_t filters, std::uint32_t eventMask);

struct FolderWatchLimits {
    int depth = 0;               // levels below the folder; 0 watches the folder alone
    std::size_t watches = 1024;  // folders held, the folder itself included
};

class FolderWatch : private WatchSubscriber {
public:
    enum class Outcome { Nothing, Changed, FolderGone };

    explicit FolderWatch(InotifyHub& hub = InotifyHub::instance());
    ~FolderWatch();
    FolderWatch(const FolderWatch&) = delete;
    FolderWatch& operator=(const FolderWatch&) = delete;

    // Watches folder (a link to one is followed) and, within limits, the folders below it.
    // False with errno set when the folder itself cannot be watched.
    bool open(const std::string& folder, std::uint32_t filters, FolderWatchLimits limits);
    // Readable while events wait (an eventfd).
    int descriptor() const { return m_ready.get(); }
    // Takes the events that came and answers what they mean; after FolderGone the watch
    // holds nothing.
    Outcome takeEvents();
    std::size_t watchCount() const { return m_watched.size(); }
    // The newest modification time (nanoseconds since 1970) of the folders watched, read
    // after their watch was set: what changed between an owner's look and the watch shows
    // here, to the resolution of the file system's clock.
    std::int64_t newestChange() const { return m_newestChange; }

private:
    struct Watched {
        std::string path;
        int level = 0;
    };
    static constexpr std::size_t kMaxQueued = 4096;

    void deliver(const WatchEvent& event) override;
    Outcome handle(const WatchEvent& event, bool& changed);
    void followSubFolder(const Watched& parent, const WatchEvent& event, bool& changed);
    std::uint32_t maskFor(int level) const;
    bool watchFolder(const std::string& path, int level);
    bool scanBelow(const std::string& path, int level);
    void forgetBelow(const std::string& path);
    void rescan();
    void noteChange(const struct stat& status);
    void close();

    InotifyHub& m_hub;
    FileDescriptor m_ready;
    std::mutex m_mutex;  // guards the three below
    std::vector<WatchEvent> m_queued;
    bool m_overflow = false;
    bool m_signalled = false;

    std::unordered_map<int, Watched> m_watched;
    int m_root = -1;
    std::string m_rootPath;
    dev_t m_device = 0;
    std::uint32_t m_filters = 0;
    FolderWatchLimits m_limits;
    std::int64_t m_newestChange = 0;
};

}  // namespace platform
