#include "sync_queue.h"

#include <algorithm>
#include <exception>

namespace framework {

// Lives on the calling thread's stack until the owner has run it.
struct SyncQueue::Pending {
    const std::function<void()>* fn = nullptr;
    const void* origin = nullptr;
    bool done = false;
    std::exception_ptr error;
    std::condition_variable finished;
};

SyncQueue::SyncQueue() : m_owner(std::this_thread::get_id()) {}

SyncQueue& SyncQueue::ui() {
    static SyncQueue queue;
    return queue;
}

void SyncQueue::adoptCurrentThread() { m_owner.store(std::this_thread::get_id()); }

bool SyncQueue::onOwnerThread() const { return m_owner.load() == std::this_thread::get_id(); }

void SyncQueue::setWakeup(std::function<void()> wakeup) {
    std::lock_guard lock(m_mutex);
    m_wakeup = std::move(wakeup);
}

void SyncQueue::call(const std::function<void()>& fn, const void* origin) {
    if (onOwnerThread()) {
        fn();
        return;
    }
    Pending pending;
    pending.fn = &fn;
    pending.origin = origin;
    std::unique_lock lock(m_mutex);
    m_calls.push_back(&pending);
    if (m_calls.size() == 1 && m_wakeup) m_wakeup();
    m_work.notify_all();
    pending.finished.wait(lock, [&] { return pending.done; });
    lock.unlock();
    if (pending.error) std::rethrow_exception(pending.error);
}

// Only the calls waiting at the start: were the ones queued meanwhile run too, threads that
// keep queueing would hold the owner here for good. A call may itself serve the list (a
// handler that destroys a monitor waits for it), so the list can run dry before the count.
std::size_t SyncQueue::serve() {
    std::size_t served = 0;
    std::unique_lock lock(m_mutex);
    for (const std::size_t waiting = m_calls.size(); served < waiting && !m_calls.empty();
         ++served) {
        runFront(lock);
    }
    if (!m_calls.empty() && m_wakeup) m_wakeup();
    return served;
}

// done() is asked before every call: were it asked only once the list is empty, threads
// that keep queueing (monitors reporting a busy folder) could hold the wait long after it
// ended.
void SyncQueue::serveUntil(const std::function<bool()>& done) {
    std::unique_lock lock(m_mutex);
    while (!done()) {
        if (m_calls.empty()) {
            m_work.wait(lock);
        } else {
            runFront(lock);
        }
    }
}

void SyncQueue::notify() {
    std::lock_guard lock(m_mutex);
    m_work.notify_all();
}

bool SyncQueue::running(const void* origin) const {
    std::lock_guard lock(m_mutex);
    return std::find(m_running.begin(), m_running.end(), origin) != m_running.end();
}

// Runs the oldest call without holding the lock, then releases its caller. The lock is
// held while the caller is told, so its Pending is not gone before notify returns.
void SyncQueue::runFront(std::unique_lock<std::mutex>& lock) {
    Pending* pending = m_calls.front();
    m_calls.pop_front();
    m_running.push_back(pending->origin);
    lock.unlock();
    std::exception_ptr error;
    try {
        (*pending->fn)();
    } catch (...) {
        error = std::current_exception();
    }
    lock.lock();
    m_running.pop_back();
    pending->error = error;
    pending->done = true;
    pending->finished.notify_one();
}

}  // namespace framework
