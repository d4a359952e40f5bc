#pragma once
// A thread object that starts suspended, runs a body once resumed, can be told to end
// (terminate) and waited for, and lets its body run calls on the user-interface thread
// while it waits (synchronize). Free of Qt; threads have a small stack of their own size.
//
// Waiting for a thread on the queue's owner thread (the destructor does so) keeps running
// the queue's calls, so a body waiting in synchronize and an owner waiting for the body
// never wait on each other. One exception is refused: waiting for a thread from inside
// that thread's own synchronized call could never end, so waitFor throws
// std::logic_error there and the destructor stops the program with a message.
//
// Threads: the thread object belongs to the thread that creates it (normally the
// user-interface thread), which alone calls its operations except terminated(),
// synchronize() (from the body) and terminate().

#include <pthread.h>
#include <atomic>
#include <cstddef>
#include <exception>
#include <functional>
#include <mutex>

#include "sync_queue.h"

namespace framework {

class TThread {
public:
    using Body = std::function<void(TThread& self)>;
    // Enough for waits, system calls and a few kilobytes of buffers; 1,000 threads then
    // reserve 256 MB of address space and use only the pages they touch.
    static constexpr std::size_t kDefaultStackSize = 256 * 1024;

    // Created suspended: nothing runs until resume().
    explicit TThread(Body body, SyncQueue& queue = SyncQueue::ui());
    // Terminates the thread and waits for it (see above); a thread never resumed is
    // simply dropped.
    ~TThread();
    TThread(const TThread&) = delete;
    TThread& operator=(const TThread&) = delete;

    // Before resume(): the stack size in bytes (raised to the system's minimum).
    void setStackSize(std::size_t bytes);
    // Before resume(): called by terminate() in the terminating thread, to wake a body
    // that sleeps in a wait of its own (for example by signalling an event it polls).
    void setOnTerminate(std::function<void()> hook);

    // Starts the body; later calls do nothing. Throws std::system_error when the system
    // refuses a thread.
    void resume();
    bool suspended() const { return !m_started; }
    // Sets the terminated flag (which the body reads) and calls the terminate hook once.
    void terminate();
    bool terminated() const { return m_terminated.load(); }
    bool finished() const { return m_finished.load(); }
    // Returns once the body has ended (at once when never resumed).
    void waitFor();
    // The exception that ended the body, if one did; read after waitFor().
    std::exception_ptr fatalException() const { return m_fatal; }

    // From the body: runs fn on the queue's owner thread and returns once it ran; its
    // exception is rethrown here.
    void synchronize(const std::function<void()>& fn);

private:
    static void* start(void* self);
    void run();

    Body m_body;
    SyncQueue& m_queue;
    std::size_t m_stackSize = kDefaultStackSize;
    std::function<void()> m_onTerminate;
    pthread_t m_thread{};
    bool m_started = false;
    bool m_joined = false;
    std::once_flag m_terminateOnce;
    std::atomic<bool> m_terminated{false};
    std::atomic<bool> m_finished{false};
    std::exception_ptr m_fatal;  // written by the body's thread before m_finished
};

}  // namespace framework
