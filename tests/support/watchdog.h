#pragma once
// Stops the test program with a message when a test hangs (a deadlock), instead of
// leaving it to the test driver's time-out. Before it stops, a debugger (when the machine
// has one) prints every thread's stack, so that a hang seen once tells where each thread
// waited.

#include <spawn.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>

extern char** environ;

namespace testing_support {

class Watchdog {
public:
    explicit Watchdog(std::chrono::seconds limit)
        : m_thread([this, limit] {
              std::unique_lock lock(m_mutex);
              if (!m_cv.wait_for(lock, limit, [this] { return m_done; })) {
                  std::fputs("watchdog: the test hangs (deadlock?)\n", stderr);
                  printEveryStack();
                  std::abort();
              }
          }) {}
    ~Watchdog() {
        {
            std::lock_guard lock(m_mutex);
            m_done = true;
        }
        m_cv.notify_all();
        m_thread.join();
    }
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

private:
    // gdb attaches to this process and writes the stacks to its standard error. A
    // restricted ptrace (Yama) lets only an ancestor attach unless this process allows it.
    static void printEveryStack() {
        ::prctl(PR_SET_PTRACER, PR_SET_PTRACER_ANY, 0, 0, 0);
        const std::string pid = std::to_string(::getpid());
        const char* argv[] = {
            "gdb", "-batch", "-nx", "-p", pid.c_str(), "-ex", "thread apply all bt", nullptr};
        posix_spawn_file_actions_t actions;
        ::posix_spawn_file_actions_init(&actions);
        ::posix_spawn_file_actions_adddup2(&actions, STDERR_FILENO, STDOUT_FILENO);
        pid_t debugger = 0;
        if (::posix_spawnp(&debugger, "gdb", &actions, nullptr, const_cast<char**>(argv),
                           environ) == 0) {
            int status = 0;
            ::waitpid(debugger, &status, 0);
        }
        ::posix_spawn_file_actions_destroy(&actions);
    }

    std::mutex m_mutex;
    std::condition_variable m_cv;
    bool m_done = false;
    std::thread m_thread;
};

}  // namespace testing_support
