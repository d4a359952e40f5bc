#pragma once
// Calls that other threads hand to one owner thread (the user-interface thread) and wait
// for. Free of Qt: the owner learns of new calls through a wake-up function (the
// framework posts an event to its event loop) or serves them while it waits itself.
//
// Threads: call() from any thread; serve(), serveUntil() and running() on the owner
// only; setWakeup(), notify() from any thread. One mutex guards the list of calls.

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace framework {

class SyncQueue {
public:
    // Owned by the constructing thread.
    SyncQueue();
    SyncQueue(const SyncQueue&) = delete;
    SyncQueue& operator=(const SyncQueue&) = delete;

    // The queue of the user-interface thread; its owner is the thread that adopts it
    // (the application object does, when it is created).
    static SyncQueue& ui();
    void adoptCurrentThread();
    bool onOwnerThread() const;

    // Called, from the queuing thread and under the queue's lock, whenever a call is
    // queued into an empty list, and by serve() when it leaves calls queued; it must not
    // block. An empty function removes it.
    void setWakeup(std::function<void()> wakeup);

    // Runs fn on the owner thread and returns once it has run; an exception thrown by fn
    // is rethrown here. On the owner thread fn runs at once. origin names the caller
    // (its thread object) for running().
    void call(const std::function<void()>& fn, const void* origin = nullptr);
    // Owner: runs the calls queued when it starts, oldest first, and returns how many ran.
    // Calls queued meanwhile get a wake-up of their own, so that threads that keep calling
    // never hold the owner (its event loop) in here.
    std::size_t serve();
    // Owner: returns once done() holds, running queued calls while it waits; done() is
    // asked before each call, so calls that keep coming do not hold it, and those still
    // queued then wait for the next serve() (their wake-up came when they were queued).
    // done() is asked under the queue's lock, so whatever makes it true must then call
    // notify().
    void serveUntil(const std::function<bool()>& done);
    // Wakes serveUntil to ask its condition again.
    void notify();
    // Owner: whether a call from origin is running right now (further up this stack).
    bool running(const void* origin) const;

private:
    struct Pending;
    void runFront(std::unique_lock<std::mutex>& lock);

    std::atomic<std::thread::id> m_owner;
    mutable std::mutex m_mutex;
    std::condition_variable m_work;  // a call was queued, or notify()
    std::deque<Pending*> m_calls;
    std::vector<const void*> m_running;  // origins of the calls running, innermost last
    std::function<void()> m_wakeup;
};

}  // namespace framework
