#pragma once
// One inotify instance for the whole process, shared by every folder watch: a user has
// only 128 instances for all programs together, so one per watcher would run out.
//
// The kernel gives the same watch descriptor to everyone who adds the same folder, and a
// new mask replaces the old one for all of them. So the hub keeps, per watch, who holds it,
// how often and with which events, and gives the kernel the union of their masks again
// whenever a holder comes or goes. One reader thread takes the events and hands each one to
// the holders whose mask asks for it. A queue overflow (events lost by the kernel) reaches
// every subscriber, so that each of them looks again.
//
// The instance is made at the first watch, and made again at a later watch when that
// failed (all of the user's instances or the process's descriptors taken at that moment),
// so that one failure never ends the watching for good.
//
// Threads: every operation from any thread; one mutex guards the table. deliver() runs on
// the reader thread with that mutex held: it must not block and must not call the hub.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>

#include "system.h"

namespace platform {

struct WatchEvent {
    int watch = -1;  // -1 with IN_Q_OVERFLOW: the kernel dropped events
    std::uint32_t mask = 0;
    std::uint32_t cookie = 0;
    std::string name;  // the entry inside the watched folder; empty for the folder itself
};

class WatchSubscriber {
public:
    virtual void deliver(const WatchEvent& event) = 0;

protected:
    ~WatchSubscriber() = default;
};

class InotifyHub {
public:
    // Makes an inotify instance: its descriptor, or -1 with errno set.
    using OpenInstance = std::function<int()>;

    static InotifyHub& instance();
    explicit InotifyHub(OpenInstance openInstance = openInotify);
    ~InotifyHub();
    InotifyHub(const InotifyHub&) = delete;
    InotifyHub& operator=(const InotifyHub&) = delete;

    // Watches the folder at path for subscriber with the IN_ events of mask (IN_IGNORED and
    // IN_UNMOUNT always come). A link in path's last component is followed only with
    // followLink. Returns the watch descriptor (the same one for the same folder), or -1
    // with errno set when the system refuses (no such folder, no permission, not a folder,
    // no watches or instances left).
    int add(WatchSubscriber& subscriber, const std::string& path, std::uint32_t mask,
            bool followLink);
    // Gives up one hold of watch; the last hold of the last holder removes the watch.
    void release(WatchSubscriber& subscriber, int watch);
    // Gives up every hold of subscriber; deliver() is not called for it any more.
    void releaseAll(WatchSubscriber& subscriber);

    // Distinct folders watched, and the mask the kernel has for watch (0: none).
    std::size_t watchCount() const;
    std::uint32_t kernelMask(int watch) const;
    // The kernel's limit of watches per user (fs.inotify.max_user_watches).
    static std::size_t userWatchLimit();

private:
    struct Hold {
        int count = 0;
        std::uint32_t mask = 0;
    };
    struct Watch {
        std::string path;  // where it was last added, to set its mask again
        bool followLink = false;
        std::uint32_t kernelMask = 0;
        std::map<WatchSubscriber*, Hold> holders;
    };

    static int openInotify();
    bool ready();
    void startReader();
    void readEvents();
    void dispatch(const WatchEvent& event);
    void setUnionMask(int watch, Watch& entry);
    void dropHold(int watch, WatchSubscriber& subscriber, bool all);

    mutable std::mutex m_mutex;
    OpenInstance m_openInstance;
    FileDescriptor m_inotify;
    FileDescriptor m_stop;  // eventfd that ends the reader
    std::thread m_reader;
    std::unordered_map<int, Watch> m_watches;
};

}  // namespace platform
