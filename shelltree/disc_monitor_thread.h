#pragma once
// TDiscMonitorThread: watches one folder (with SubTree, the folders below it too) and
// reports each change to its owner on the user-interface thread. It knows nothing of the
// tree: a folder, a filter, a subtree flag and two callbacks. No Qt.
//
// Created suspended: the setters only store until Resume(); afterwards a changed value
// signals ChangedEvent and the thread watches anew with the current values. The thread
// sleeps in one poll without time-out on TerminateEvent, ChangedEvent and its watch's
// notification, so an idle monitor never wakes.
//
// A change is reported with OnFolderChange through the thread's synchronisation: the monitor
// waits until the handler has run on the user-interface thread and only then looks at what came
// meanwhile, so a burst during a slow handler makes one more report. A handler's failure is
// shown as any event handler's (framework/thread/handler_failure.h) and the watch goes on. A
// folder that cannot be watched raises OnFolderInvalid; then the thread waits only for its end
// or for new values. A change made between Resume (or new values) and the moment the watch is
// set shows in the folders' time stamps and is reported once the watch is set. The folder
// itself deleted, moved away or unmounted is reported once as a change (what it showed is gone)
// and then treated as a folder that cannot be watched: following it to its new place is the
// owner's business (it sets Directory).
//
// Filters are the ChangeFilter bits of platform/folder_watch.h. SubTree watches the folders
// below within limits (setSubTreeLimits, before Resume): by default every level, at most
// 1024 folders per monitor.
//
// Destroying it clears the callbacks, signals TerminateEvent and joins; a wait on the
// user-interface thread keeps serving the calls that monitors queued, so neither side
// waits on the other. Destroyed from inside its own report (a handler that frees its
// owner), it cannot wait for itself: its thread is then joined later, once it ended, and
// nothing reaches the owner any more.
//
// Threads: the object belongs to the thread that owns its queue (the user-interface
// thread), which alone calls its operations.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "framework/thread/sync_queue.h"
#include "framework/thread/thread.h"
#include "platform/folder_watch.h"

namespace shelltree {

class TDiscMonitorThread {
public:
    using TNotifyEvent = std::function<void(TDiscMonitorThread& Sender)>;
    // Each monitor thread's stack: waits, system calls and a folder listing.
    static constexpr std::size_t kStackSize = 64 * 1024;

    explicit TDiscMonitorThread(framework::SyncQueue& queue = framework::SyncQueue::ui());
    ~TDiscMonitorThread();
    TDiscMonitorThread(const TDiscMonitorThread&) = delete;
    TDiscMonitorThread& operator=(const TDiscMonitorThread&) = delete;

    TNotifyEvent OnFolderChange;   // raised on the user-interface thread after a change
    TNotifyEvent OnFolderInvalid;  // raised there when the folder cannot be watched

    std::string Directory() const;
    void setDirectory(const std::string& value);
    std::uint32_t Filters() const;
    void setFilters(std::uint32_t value);
    bool SubTree() const;
    void setSubTree(bool value);
    void setSubTreeLimits(platform::FolderWatchLimits limits);

    void Resume();
    bool suspended() const { return m_thread->suspended(); }

    // Joins the threads of monitors destroyed from inside their own report that have ended
    // since; creating or destroying a monitor does so too.
    static void reapEnded();

    // What the object shares with its thread.
    struct Core;

private:
    template <typename T>
    void store(T Core::*field, const T& value);

    framework::SyncQueue& m_queue;
    std::shared_ptr<Core> m_core;
    std::unique_ptr<framework::TThread> m_thread;
};

}  // namespace shelltree
