#pragma once
// Starting external programs: the extractor, waited for while the pages keep painting, and
// the installed program, started and left to run. Programs are always started by their
// path with an argument vector, never through a shell, so nothing in an argument (blanks,
// quotes, '$', '`') is ever interpreted.

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace platform {

struct ProcessOutcome {
    bool started = false;  // false: the program could not be started (error says why)
    std::string error;     // strerror text of the start failure
    bool exitedNormally = false;
    int exitStatus = 0;  // when exitedNormally
    int signal = 0;      // when killed by a signal
};

// Starts arguments[0] by exactly that path (never searched in PATH, never a shell), with
// standard input, output and error on /dev/null, every other descriptor closed except those
// in inheritDescriptors (kept under the same numbers), and waits until it ends. While it runs,
// whileWaiting is called about every 15 ms (the program repaints its pages there), so the
// caller never looks dead. A start failure (missing program, not executable, exec error) is
// reported in the outcome, never as "started".
//
// Refused as not started: an empty argument list; arguments[0] without a '/' (ENOENT, as a
// bare name would otherwise be looked up in PATH); a descriptor to inherit that is not open
// (EBADF). Descriptors 0 to 2 in inheritDescriptors are ignored: they are always /dev/null.
// A relative arguments[0] ("./x") is taken against the current folder. Signals that this
// process ignores or blocks are reset to their defaults in the program. An exception thrown
// by whileWaiting is passed on once the program has ended (it is waited for without
// further calls, so no zombie is left). When the program ended but its status was taken by
// someone else (SIGCHLD ignored), the outcome is started with neither status nor signal.
// The program gets this process's environment, or exactly environment ("NAME=value"
// entries) when one is given.
ProcessOutcome runAndWait(
    const std::vector<std::string>& arguments, const std::function<void()>& whileWaiting,
    const std::vector<int>& inheritDescriptors = {},
    const std::optional<std::vector<std::string>>& environment = std::nullopt);

// A program started as runAndWait starts it (same rules, no descriptors inherited), waited
// for later, so that the caller can go on meanwhile. Destroyed before wait(), it waits for
// the program then (without callbacks): no zombie is ever left.
class StartedProgram {
public:
    explicit StartedProgram(const std::vector<std::string>& arguments);
    ~StartedProgram();
    StartedProgram(const StartedProgram&) = delete;
    StartedProgram& operator=(const StartedProgram&) = delete;

    // False when the program could not be started (wait() then tells why at once).
    bool started() const { return m_outcome.started; }
    // Waits until the program ends, calling whileWaiting as runAndWait does; later calls
    // return the same outcome at once.
    ProcessOutcome wait(const std::function<void()>& whileWaiting);

private:
    int m_pid = -1;  // -1 once waited for, or when never started
    ProcessOutcome m_outcome;
};

// As runAndWait without a callback, but a program still running after timeLimit is killed
// (SIGKILL; the outcome then tells signal 9). For helper programs that must never hold the
// setup program up (marking desktop entries trusted).
ProcessOutcome runWithTimeLimit(const std::vector<std::string>& arguments,
                                std::chrono::milliseconds timeLimit);

// Starts a program detached in the working folder (not waited for, no zombie left: double
// fork, in a new session), with the environment of this process and standard input, output
// and error on /dev/null; returns false when it could not be started (an exec or folder
// change failure is reported back through a close-on-exec pipe). The same rules as
// runAndWait apply to arguments[0]; a relative one is taken against this process's current
// folder, not the working folder. An empty working folder keeps the current folder.
bool startDetached(const std::vector<std::string>& arguments, const std::string& workingFolder);

}  // namespace platform
