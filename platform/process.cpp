#include "process.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <exception>
#include <iterator>
#include <optional>

#include "files.h"
#include "system.h"

namespace platform {

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::chrono::milliseconds kCallbackInterval{15};

// Moves a descriptor above the standard ones, so that redirecting those in the child
// can never overwrite it (this process may have been started with them closed).
int aboveStandard(int descriptor) {
    if (descriptor < 0 || descriptor > 2) return descriptor;
    const int moved = ::fcntl(descriptor, F_DUPFD_CLOEXEC, 3);
    ::close(descriptor);
    return moved;
}

// Everything the child needs, prepared before fork: after it only async-signal-safe calls
// are allowed, because other threads may hold locks the child would never see released.
struct ChildPlan {
    std::vector<char*> argv;
    std::vector<int> keep;
    std::vector<char*> envp;       // empty: this process's environment
    const char* folder = nullptr;  // nullptr: stay in the current folder
    int nullDescriptor = -1;
    int errorPipe = -1;  // write end, close-on-exec
    int descriptorLimit = 1024;
};

[[noreturn]] void failChild(int errorPipe, int error) {
    [[maybe_unused]] const ssize_t ignored = ::write(errorPipe, &error, sizeof error);
    ::_exit(127);
}

void markAllCloseOnExec(int descriptorLimit) {
#ifdef SYS_close_range
    constexpr unsigned kCloseRangeCloexec = 1U << 2;  // CLOSE_RANGE_CLOEXEC
    if (::syscall(SYS_close_range, 3U, ~0U, kCloseRangeCloexec) == 0) return;
#endif
    for (int descriptor = 3; descriptor < descriptorLimit; ++descriptor) {
        ::fcntl(descriptor, F_SETFD, FD_CLOEXEC);
    }
}

void resetSignals() {
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    for (int number = 1; number < NSIG; ++number) ::sigaction(number, &action, nullptr);
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
}

[[noreturn]] void execChild(const ChildPlan& plan) {
    for (int standard = 0; standard < 3; ++standard) {
        if (::dup2(plan.nullDescriptor, standard) < 0) failChild(plan.errorPipe, errno);
        ::fcntl(standard, F_SETFD, 0);
    }
    resetSignals();
    markAllCloseOnExec(plan.descriptorLimit);
    for (const int descriptor : plan.keep) ::fcntl(descriptor, F_SETFD, 0);
    if (plan.folder != nullptr && ::chdir(plan.folder) != 0) failChild(plan.errorPipe, errno);
    if (plan.envp.empty()) {
        ::execv(plan.argv[0], plan.argv.data());
    } else {
        ::execve(plan.argv[0], plan.argv.data(), plan.envp.data());
    }
    failChild(plan.errorPipe, errno);
}

// 0 when the arguments may be started, else the errno value that says why not.
int startRefusal(const std::vector<std::string>& arguments, const std::vector<int>& inherit) {
    if (arguments.empty() || arguments[0].find('/') == std::string::npos) return ENOENT;
    for (const int descriptor : inherit) {
        if (descriptor < 0 || ::fcntl(descriptor, F_GETFD) < 0) return EBADF;
    }
    return 0;
}

struct Launch {
    pid_t pid = -1;
    int error = 0;
};

enum class ChildMemory { SharedUntilExec, Copied };

// The error number that the child wrote before ending, or 0 when the pipe closed empty
// (the program was started).
int readChildError(int readEnd) {
    int error = 0;
    ssize_t count;
    do {
        count = ::read(readEnd, &error, sizeof error);
    } while (count < 0 && errno == EINTR);
    return count == static_cast<ssize_t>(sizeof error) ? error : 0;
}

pid_t waitForChild(pid_t pid, int* status, int options) {
    pid_t result;
    do {
        result = ::waitpid(pid, status, options);
    } while (result < 0 && errno == EINTR);
    return result;
}

class ChildStarter {
public:
    ChildStarter(const std::vector<std::string>& arguments, const std::vector<int>& inherit,
                 const std::string& folder,
                 const std::optional<std::vector<std::string>>& environment = std::nullopt)
        : m_program(arguments[0]), m_folder(folder) {
        if (m_program.front() != '/') m_program = absolutePath(m_program);
        m_plan.argv.push_back(m_program.data());
        for (std::size_t i = 1; i < arguments.size(); ++i) {
            m_plan.argv.push_back(const_cast<char*>(arguments[i].c_str()));
        }
        m_plan.argv.push_back(nullptr);
        std::copy_if(inherit.begin(), inherit.end(), std::back_inserter(m_plan.keep),
                     [](int descriptor) { return descriptor > 2; });
        if (!m_folder.empty()) m_plan.folder = m_folder.c_str();
        if (environment) setEnvironment(*environment);
        rlimit limit{};
        if (::getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY) {
            m_plan.descriptorLimit = static_cast<int>(std::min<rlim_t>(limit.rlim_cur, 1 << 20));
        }
    }

    // Starts the child, which runs childMain (which must not return). Returns the child's
    // pid or the error that kept the program from starting (the failed child is then
    // reaped). A child that only prepares and calls exec shares this process's memory until
    // then: copying the address space of a program with the window system loaded cost most
    // of a millisecond per start. A child that forks again (it cannot share) gets a copy.
    template <typename ChildMain>
    Launch launch(ChildMain childMain, ChildMemory memory) {
        int error = openChannels();
        if (error != 0) return {-1, error};
        const pid_t pid =
            memory == ChildMemory::SharedUntilExec ? startSharing(childMain) : ::fork();
        if (pid < 0) return {-1, errno};
        if (pid == 0) {
            childMain(m_plan);
            ::_exit(127);
        }
        m_writeEnd.reset();
        error = readChildError(m_readEnd.get());
        if (error != 0) {
            waitForChild(pid, nullptr, 0);
            return {-1, error};
        }
        return {pid, 0};
    }

private:
    void setEnvironment(const std::vector<std::string>& environment) {
        m_environment = environment;
        for (std::string& entry : m_environment) m_plan.envp.push_back(entry.data());
        m_plan.envp.push_back(nullptr);  // an empty environment is a lone terminator
    }

    // The child runs on this thread's memory until exec while the thread waits. Every
    // signal stays blocked meanwhile, so that no handler of this process can run in the
    // child before it has set them all back to their defaults (execChild does).
    template <typename ChildMain>
    pid_t startSharing(ChildMain childMain) {
        sigset_t all, previous;
        sigfillset(&all);
        ::pthread_sigmask(SIG_SETMASK, &all, &previous);
        const pid_t pid = ::vfork();
        if (pid == 0) {
            childMain(m_plan);
            ::_exit(127);
        }
        const int error = errno;
        ::pthread_sigmask(SIG_SETMASK, &previous, nullptr);
        errno = error;
        return pid;
    }

    int openChannels() {
        m_null.reset(aboveStandard(openFile("/dev/null", O_RDWR).release()));
        if (m_null.get() < 0) return errno;
        int ends[2];
        if (::pipe2(ends, O_CLOEXEC) != 0) return errno;
        m_readEnd.reset(ends[0]);
        m_writeEnd.reset(aboveStandard(ends[1]));
        if (m_writeEnd.get() < 0) return errno;
        m_plan.nullDescriptor = m_null.get();
        m_plan.errorPipe = m_writeEnd.get();
        return 0;
    }

    std::string m_program;
    std::string m_folder;
    std::vector<std::string> m_environment;
    ChildPlan m_plan;
    FileDescriptor m_null;
    FileDescriptor m_readEnd;
    FileDescriptor m_writeEnd;
};

void recordStatus(ProcessOutcome& outcome, pid_t waited, int status) {
    if (waited < 0) return;  // taken by someone else: nothing is known of the end
    if (WIFEXITED(status)) {
        outcome.exitedNormally = true;
        outcome.exitStatus = WEXITSTATUS(status);
    } else if (WIFSIGNALED(status)) {
        outcome.signal = WTERMSIG(status);
    }
}

// A descriptor that becomes readable when the process ends, or -1 where the kernel has none
// (the wait then sleeps its full interval).
int processDescriptor(pid_t pid) {
#ifdef SYS_pidfd_open
    return static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
#else
    (void)pid;
    return -1;
#endif
}

void sleepUntilEndOr(int pidDescriptor, Clock::time_point deadline) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
    pollfd watch{pidDescriptor, POLLIN, 0};
    ::poll(pidDescriptor >= 0 ? &watch : nullptr, pidDescriptor >= 0 ? 1 : 0,
           static_cast<int>(std::max<std::chrono::milliseconds::rep>(left.count(), 0)));
}

// Waits for the child, calling tick about every 15 ms meanwhile. When tick throws, the
// child is still waited for (without ticks) and the exception is passed on.
void waitWithTicks(pid_t pid, ProcessOutcome& outcome, const std::function<void()>& tick) {
    const FileDescriptor pidDescriptor(processDescriptor(pid));
    auto nextTick = Clock::now() + kCallbackInterval;
    for (;;) {
        int status = 0;
        const pid_t waited = waitForChild(pid, &status, WNOHANG);
        if (waited != 0) return recordStatus(outcome, waited, status);
        if (Clock::now() >= nextTick) {
            try {
                if (tick) tick();
            } catch (...) {
                recordStatus(outcome, waitForChild(pid, &status, 0), status);
                throw;
            }
            nextTick = Clock::now() + kCallbackInterval;
        }
        sleepUntilEndOr(pidDescriptor.get(), nextTick);
    }
}

ProcessOutcome startForWaiting(
    const std::vector<std::string>& arguments, const std::vector<int>& inherit, Launch& launch,
    const std::optional<std::vector<std::string>>& environment = std::nullopt) {
    ProcessOutcome outcome;
    int error = startRefusal(arguments, inherit);
    if (error == 0) {
        try {
            ChildStarter starter(arguments, inherit, std::string(), environment);
            launch = starter.launch([](const ChildPlan& plan) { execChild(plan); },
                                    ChildMemory::SharedUntilExec);
            error = launch.error;
        } catch (const ESystemError&) {
            error = ENOENT;  // a relative program path while the current folder is gone
        }
    }
    outcome.started = error == 0;
    if (error != 0) outcome.error = std::strerror(error);
    return outcome;
}

}  // namespace

ProcessOutcome runAndWait(const std::vector<std::string>& arguments,
                          const std::function<void()>& whileWaiting,
                          const std::vector<int>& inheritDescriptors,
                          const std::optional<std::vector<std::string>>& environment) {
    Launch launch;
    ProcessOutcome outcome = startForWaiting(arguments, inheritDescriptors, launch, environment);
    if (outcome.started) waitWithTicks(launch.pid, outcome, whileWaiting);
    return outcome;
}

StartedProgram::StartedProgram(const std::vector<std::string>& arguments) {
    Launch launch;
    m_outcome = startForWaiting(arguments, {}, launch);
    if (m_outcome.started) m_pid = launch.pid;
}

StartedProgram::~StartedProgram() {
    if (m_pid < 0) return;
    int status = 0;
    recordStatus(m_outcome, waitForChild(m_pid, &status, 0), status);
}

ProcessOutcome StartedProgram::wait(const std::function<void()>& whileWaiting) {
    if (m_pid < 0) return m_outcome;
    const pid_t pid = m_pid;
    m_pid = -1;  // a throwing whileWaiting still leaves the program waited for
    waitWithTicks(pid, m_outcome, whileWaiting);
    return m_outcome;
}

ProcessOutcome runWithTimeLimit(const std::vector<std::string>& arguments,
                                std::chrono::milliseconds timeLimit) {
    Launch launch;
    ProcessOutcome outcome = startForWaiting(arguments, {}, launch);
    if (!outcome.started) return outcome;
    const auto deadline = Clock::now() + timeLimit;
    bool killed = false;
    waitWithTicks(launch.pid, outcome, [&] {
        // The child is not reaped before the wait returns, so the pid is still ours.
        if (!killed && Clock::now() >= deadline) killed = ::kill(launch.pid, SIGKILL) == 0;
    });
    return outcome;
}

bool startDetached(const std::vector<std::string>& arguments, const std::string& workingFolder) {
    if (startRefusal(arguments, {}) != 0) return false;
    std::optional<ChildStarter> starter;
    try {
        starter.emplace(arguments, std::vector<int>{}, workingFolder);
    } catch (const ESystemError&) {
        return false;  // a relative program path while the current folder is gone
    }
    const Launch launch = starter->launch(
        [](const ChildPlan& plan) {
            // The first child only makes the new session and the program's process; it ends at
            // once, so the program is adopted by init (or a subreaper) and never left a zombie.
            if (::setsid() < 0) failChild(plan.errorPipe, errno);
            const pid_t program = ::fork();
            if (program < 0) failChild(plan.errorPipe, errno);
            if (program > 0) ::_exit(0);
            execChild(plan);
        },
        ChildMemory::Copied);
    if (launch.error != 0) return false;
    waitForChild(launch.pid, nullptr, 0);
    return true;
}

}  // namespace platform
