#include "thread.h"

#include <limits.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <system_error>

namespace framework {

TThread::TThread(Body body, SyncQueue& queue) : m_body(std::move(body)), m_queue(queue) {}

// waitFor throws only inside the thread's own call, which ends the program below.
// NOLINTNEXTLINE(bugprone-exception-escape)
TThread::~TThread() {
    if (!m_started || m_joined) return;
    if (m_queue.onOwnerThread() && m_queue.running(this)) {
        std::fputs("A thread was destroyed from inside its own synchronized call\n", stderr);
        std::abort();
    }
    terminate();
    waitFor();
}

void TThread::setStackSize(std::size_t bytes) {
    if (m_started) throw std::logic_error("The stack size of a running thread cannot change");
    m_stackSize = bytes;
}

void TThread::setOnTerminate(std::function<void()> hook) {
    if (m_started) throw std::logic_error("The terminate hook of a running thread cannot change");
    m_onTerminate = std::move(hook);
}

void TThread::resume() {
    if (m_started) return;
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setstacksize(&attributes, std::max<std::size_t>(m_stackSize, PTHREAD_STACK_MIN));
    const int error = pthread_create(&m_thread, &attributes, &TThread::start, this);
    pthread_attr_destroy(&attributes);
    if (error != 0)
        throw std::system_error(error, std::generic_category(), "Cannot start a thread");
    m_started = true;
}

void TThread::terminate() {
    m_terminated.store(true);
    std::call_once(m_terminateOnce, [this] {
        if (m_onTerminate) m_onTerminate();
    });
}

void TThread::waitFor() {
    if (!m_started || m_joined) return;
    if (pthread_equal(m_thread, pthread_self()))
        throw std::logic_error("A thread cannot wait for itself");
    if (m_queue.onOwnerThread()) {
        if (m_queue.running(this)) {
            throw std::logic_error(
                "A thread cannot be waited for from inside its own synchronized call");
        }
        m_queue.serveUntil([this] { return m_finished.load(); });
    }
    pthread_join(m_thread, nullptr);
    m_joined = true;
}

void TThread::synchronize(const std::function<void()>& fn) { m_queue.call(fn, this); }

void* TThread::start(void* self) {
    static_cast<TThread*>(self)->run();
    return nullptr;
}

void TThread::run() {
    try {
        m_body(*this);
    } catch (...) {
        m_fatal = std::current_exception();
    }
    m_finished.store(true);
    // The last touch of this object by the thread: the owner may go on at once.
    m_queue.notify();
}

}  // namespace framework
