#include "disc_monitor_thread.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <mutex>
#include <stdexcept>
#include <system_error>
#include <vector>

#include "framework/thread/handler_failure.h"

namespace shelltree {

using framework::SyncQueue;
using framework::TThread;
using platform::FileDescriptor;
using platform::FolderWatch;

// What the thread shares with its object. It outlives the object while the thread runs
// (the body holds it), so a monitor destroyed during its own report leaves nothing dangling.
struct TDiscMonitorThread::Core {
    std::mutex mutex;  // guards the values; the thread reads them when it opens its watch
    std::string directory;
    std::uint32_t filters = platform::kChangeFileName | platform::kChangeDirName;
    bool subTree = false;
    platform::FolderWatchLimits limits{INT_MAX, 1024};
    std::int64_t since = 0;  // when the owner last resumed or changed the values

    FileDescriptor TerminateEvent{::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)};
    FileDescriptor ChangedEvent{::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)};
    // The object reports go to; cleared by its destructor. User-interface thread only.
    TDiscMonitorThread* owner = nullptr;
};

namespace {

enum class Wake { Terminate, Changed, Notified };
// File systems stamp times from a coarse clock (a scheduler tick or so): a folder changed
// this much before the owner's look may carry a time stamp from before that look.
constexpr std::int64_t kStampResolution = 50'000'000;

std::int64_t now() {
    timespec time{};
    ::clock_gettime(CLOCK_REALTIME, &time);
    return std::int64_t{time.tv_sec} * 1'000'000'000 + time.tv_nsec;
}
enum class Report { Change, Invalid };

void signal(const FileDescriptor& event) {
    const std::uint64_t one = 1;
    (void)!::write(event.get(), &one, sizeof one);
}

// Threads held after their object went from inside its own report; joined once ended.
class Orphans {
public:
    static Orphans& instance() {
        static Orphans orphans;
        return orphans;
    }
    void adopt(SyncQueue& queue, std::unique_ptr<TThread> thread) {
        m_threads.push_back({&queue, std::move(thread)});
    }
    void reap() {
        std::erase_if(m_threads, [](const Orphan& orphan) {
            return orphan.thread->finished() && !orphan.queue->running(orphan.thread.get());
        });
    }

private:
    struct Orphan {
        SyncQueue* queue;
        std::unique_ptr<TThread> thread;
    };
    std::vector<Orphan> m_threads;
};

// One poll without time-out; the first of terminate, changed values and the watch's
// notification (none when notification is -1) wins.
Wake waitFor(TDiscMonitorThread::Core& core, int notification) {
    pollfd waits[3] = {{core.TerminateEvent.get(), POLLIN, 0},
                       {core.ChangedEvent.get(), POLLIN, 0},
                       {notification, POLLIN, 0}};
    for (;;) {
        if (platform::retried([&] { return ::poll(waits, notification >= 0 ? 3 : 2, -1); }) < 0) {
            return Wake::Terminate;  // cannot wait any more: ending is all that is left
        }
        if (waits[0].revents != 0) return Wake::Terminate;
        if (waits[1].revents != 0) {
            std::uint64_t count = 0;
            (void)!::read(core.ChangedEvent.get(), &count, sizeof count);
            return Wake::Changed;
        }
        if (waits[2].revents != 0) return Wake::Notified;
    }
}

// Runs the handler on the user-interface thread and returns once it ran. A failing handler
// is shown there as every handler's failure is, and the watch goes on.
void report(TDiscMonitorThread::Core& core, TThread& self, Report kind) {
    self.synchronize([&core, kind] {
        TDiscMonitorThread* owner = core.owner;
        if (owner == nullptr) return;
        // A copy: the handler may free the monitor and with it the event it was raised by.
        const auto handler =
            kind == Report::Change ? owner->OnFolderChange : owner->OnFolderInvalid;
        if (handler) framework::callHandler([&] { handler(*owner); });
    });
}

Wake watchUntilDisturbed(TDiscMonitorThread::Core& core, TThread& self, FolderWatch& watch) {
    for (;;) {
        const Wake wake = waitFor(core, watch.descriptor());
        if (wake != Wake::Notified) return wake;
        switch (watch.takeEvents()) {
            case FolderWatch::Outcome::Nothing: break;
            case FolderWatch::Outcome::Changed: report(core, self, Report::Change); break;
            case FolderWatch::Outcome::FolderGone:
                report(core, self, Report::Change);
                report(core, self, Report::Invalid);
                return waitFor(core, -1);
        }
    }
}

void run(TDiscMonitorThread::Core& core, TThread& self) {
    for (;;) {
        std::string directory;
        std::uint32_t filters = 0;
        platform::FolderWatchLimits limits;
        std::int64_t since = 0;
        {
            std::lock_guard lock(core.mutex);
            directory = core.directory;
            filters = core.filters;
            limits = core.limits;
            since = core.since;
            if (!core.subTree) limits.depth = 0;
        }
        FolderWatch watch;
        Wake wake = Wake::Terminate;
        if (watch.open(directory, filters, limits)) {
            // What changed between the owner's start and the watch is reported too.
            if (watch.newestChange() >= since - kStampResolution)
                report(core, self, Report::Change);
            wake = watchUntilDisturbed(core, self, watch);
        } else {
            report(core, self, Report::Invalid);
            wake = waitFor(core, -1);
        }
        if (wake == Wake::Terminate) return;
    }
}

}  // namespace

TDiscMonitorThread::TDiscMonitorThread(SyncQueue& queue)
    : m_queue(queue), m_core(std::make_shared<Core>()) {
    Orphans::instance().reap();
    if (!m_core->TerminateEvent || !m_core->ChangedEvent) {
        throw std::system_error(errno, std::generic_category(),
                                "Cannot create the events of a folder monitor");
    }
    m_core->owner = this;
    m_thread =
        std::make_unique<TThread>([core = m_core](TThread& self) { run(*core, self); }, queue);
    m_thread->setStackSize(kStackSize);
    m_thread->setOnTerminate([core = m_core] { signal(core->TerminateEvent); });
}

TDiscMonitorThread::~TDiscMonitorThread() {
    OnFolderChange = nullptr;
    OnFolderInvalid = nullptr;
    m_core->owner = nullptr;
    m_thread->terminate();
    if (m_queue.onOwnerThread() && m_queue.running(m_thread.get())) {
        Orphans::instance().adopt(m_queue, std::move(m_thread));
    } else {
        m_thread.reset();
    }
    Orphans::instance().reap();
}

template <typename T>
void TDiscMonitorThread::store(T Core::*field, const T& value) {
    {
        std::lock_guard lock(m_core->mutex);
        if ((*m_core).*field == value) return;
        (*m_core).*field = value;
        m_core->since = now();
    }
    if (!m_thread->suspended()) signal(m_core->ChangedEvent);
}

std::string TDiscMonitorThread::Directory() const {
    std::lock_guard lock(m_core->mutex);
    return m_core->directory;
}

void TDiscMonitorThread::setDirectory(const std::string& value) { store(&Core::directory, value); }

std::uint32_t TDiscMonitorThread::Filters() const {
    std::lock_guard lock(m_core->mutex);
    return m_core->filters;
}

void TDiscMonitorThread::setFilters(std::uint32_t value) { store(&Core::filters, value); }

bool TDiscMonitorThread::SubTree() const {
    std::lock_guard lock(m_core->mutex);
    return m_core->subTree;
}

void TDiscMonitorThread::setSubTree(bool value) { store(&Core::subTree, value); }

void TDiscMonitorThread::setSubTreeLimits(platform::FolderWatchLimits limits) {
    if (!m_thread->suspended())
        throw std::logic_error("The limits of a running folder monitor cannot change");
    std::lock_guard lock(m_core->mutex);
    m_core->limits = limits;
}

void TDiscMonitorThread::Resume() {
    if (!m_thread->suspended()) return;
    {
        std::lock_guard lock(m_core->mutex);
        m_core->since = now();
    }
    m_thread->resume();
}

void TDiscMonitorThread::reapEnded() { Orphans::instance().reap(); }

}  // namespace shelltree
