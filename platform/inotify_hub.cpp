#include "inotify_hub.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <set>
#include <vector>

namespace platform {

namespace {

// Every watch is on a folder, and events of entries already unlinked are of no use.
constexpr std::uint32_t kWatchFlags = IN_ONLYDIR | IN_EXCL_UNLINK;
// What reaches a holder whatever it asked for: its watch went away, or events were lost.
constexpr std::uint32_t kAlwaysDelivered = IN_IGNORED | IN_UNMOUNT | IN_Q_OVERFLOW;

std::uint32_t addFlags(bool followLink) { return kWatchFlags | (followLink ? 0u : IN_DONT_FOLLOW); }

void signal(int eventDescriptor) {
    const std::uint64_t one = 1;
    (void)!::write(eventDescriptor, &one, sizeof one);
}

}  // namespace

InotifyHub& InotifyHub::instance() {
    static InotifyHub hub;
    return hub;
}

InotifyHub::InotifyHub(OpenInstance openInstance) : m_openInstance(std::move(openInstance)) {}

int InotifyHub::openInotify() { return ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC); }

// Makes what is missing of the instance and the reader's stop signal; errno tells why not.
bool InotifyHub::ready() {
    if (!m_inotify) m_inotify.reset(m_openInstance());
    if (m_inotify && !m_stop) m_stop.reset(::eventfd(0, EFD_CLOEXEC));
    return m_inotify && m_stop;
}

InotifyHub::~InotifyHub() {
    if (!m_reader.joinable()) return;
    signal(m_stop.get());
    m_reader.join();
}

int InotifyHub::add(WatchSubscriber& subscriber, const std::string& path, std::uint32_t mask,
                    bool followLink) {
    std::lock_guard lock(m_mutex);
    if (!ready()) return -1;
    // Adding to the mask keeps what the other holders of the same folder asked for.
    const int watch = ::inotify_add_watch(m_inotify.get(), path.c_str(),
                                          mask | IN_MASK_ADD | addFlags(followLink));
    if (watch < 0) return -1;
    auto [it, created] = m_watches.try_emplace(watch);
    Watch& entry = it->second;
    entry.kernelMask = created ? mask : entry.kernelMask | mask;
    entry.path = path;
    entry.followLink = followLink;
    Hold& hold = entry.holders[&subscriber];
    ++hold.count;
    hold.mask |= mask;
    setUnionMask(watch, entry);
    if (!m_reader.joinable()) startReader();
    return watch;
}

void InotifyHub::release(WatchSubscriber& subscriber, int watch) {
    std::lock_guard lock(m_mutex);
    dropHold(watch, subscriber, false);
}

void InotifyHub::releaseAll(WatchSubscriber& subscriber) {
    std::lock_guard lock(m_mutex);
    std::vector<int> held;
    for (const auto& [watch, entry] : m_watches) {
        if (entry.holders.contains(&subscriber)) held.push_back(watch);
    }
    for (const int watch : held) dropHold(watch, subscriber, true);
}

std::size_t InotifyHub::watchCount() const {
    std::lock_guard lock(m_mutex);
    return m_watches.size();
}

std::uint32_t InotifyHub::kernelMask(int watch) const {
    std::lock_guard lock(m_mutex);
    const auto it = m_watches.find(watch);
    return it == m_watches.end() ? 0 : it->second.kernelMask;
}

std::size_t InotifyHub::userWatchLimit() {
    std::ifstream file("/proc/sys/fs/inotify/max_user_watches");
    std::size_t limit = 0;
    return (file >> limit) && limit > 0 ? limit : 8192;
}

void InotifyHub::dropHold(int watch, WatchSubscriber& subscriber, bool all) {
    const auto it = m_watches.find(watch);
    if (it == m_watches.end()) return;  // the kernel removed it already (IN_IGNORED)
    Watch& entry = it->second;
    const auto hold = entry.holders.find(&subscriber);
    if (hold == entry.holders.end()) return;
    if (all || --hold->second.count == 0) entry.holders.erase(hold);
    if (entry.holders.empty()) {
        ::inotify_rm_watch(m_inotify.get(), watch);
        m_watches.erase(it);
        return;
    }
    setUnionMask(watch, entry);
}

// Gives the kernel exactly what the holders ask for. The folder is reached again by the
// path it was last added by; when that path now names another folder (it was moved), the
// other folder's watch is put back and this one keeps its wider mask: events nobody asked
// for are filtered out when they are handed on.
void InotifyHub::setUnionMask(int watch, Watch& entry) {
    std::uint32_t wanted = 0;
    for (const auto& [subscriber, hold] : entry.holders) wanted |= hold.mask;
    if (wanted == entry.kernelMask) return;
    const int reached = ::inotify_add_watch(m_inotify.get(), entry.path.c_str(),
                                            wanted | addFlags(entry.followLink));
    if (reached == watch) {
        entry.kernelMask = wanted;
        return;
    }
    if (reached < 0) return;
    const auto other = m_watches.find(reached);
    if (other == m_watches.end()) {
        ::inotify_rm_watch(m_inotify.get(), reached);
    } else {
        ::inotify_add_watch(m_inotify.get(), entry.path.c_str(),
                            other->second.kernelMask | addFlags(entry.followLink));
    }
}

void InotifyHub::startReader() {
    m_reader = std::thread([this] { readEvents(); });
}

// Sleeps in one poll without time-out until events come or the hub ends.
void InotifyHub::readEvents() {
    alignas(inotify_event) char buffer[16 * 1024];
    pollfd waits[2] = {{m_inotify.get(), POLLIN, 0}, {m_stop.get(), POLLIN, 0}};
    for (;;) {
        if (retried([&] { return ::poll(waits, 2, -1); }) < 0) return;
        if (waits[1].revents != 0) return;
        for (;;) {
            const ssize_t size =
                retried([&] { return ::read(m_inotify.get(), buffer, sizeof buffer); });
            if (size <= 0) break;
            std::lock_guard lock(m_mutex);
            for (ssize_t at = 0; at < size;) {
                const auto* raw = reinterpret_cast<const inotify_event*>(buffer + at);
                WatchEvent event{raw->wd, raw->mask, raw->cookie,
                                 raw->len > 0 ? std::string(raw->name) : std::string()};
                dispatch(event);
                at += static_cast<ssize_t>(sizeof(inotify_event) + raw->len);
            }
        }
    }
}

void InotifyHub::dispatch(const WatchEvent& event) {
    if (event.mask & IN_Q_OVERFLOW) {
        std::set<WatchSubscriber*> everyone;
        for (const auto& [watch, entry] : m_watches) {
            for (const auto& [subscriber, hold] : entry.holders) everyone.insert(subscriber);
        }
        for (WatchSubscriber* subscriber : everyone) subscriber->deliver(event);
        return;
    }
    const auto it = m_watches.find(event.watch);
    if (it == m_watches.end()) return;  // released while the event was on its way
    for (const auto& [subscriber, hold] : it->second.holders) {
        if ((event.mask & ~IN_ISDIR) & (hold.mask | kAlwaysDelivered)) subscriber->deliver(event);
    }
    if (event.mask & IN_IGNORED) m_watches.erase(it);
}

}  // namespace platform
