#pragma once
// Runs a program as a user does from a shell: its arguments, an environment without any
// display (no DISPLAY, WAYLAND_DISPLAY or QT_QPA_PLATFORM), standard input from a file or a
// terminal the test types into, standard output and error kept.

#include <fcntl.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "read_file.h"
#include "test_environment.h"

namespace testing_support {

struct ProgramRun {
    int status = -1;  // the exit status, -1 when it did not exit normally
    std::string out, err;
};

// A terminal whose other side the test holds: what it types waits in the terminal's line.
class TestTerminal {
public:
    TestTerminal()
        : m_master(posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC)),
          m_slave(grantpt(m_master) == 0 && unlockpt(m_master) == 0
                      ? ::open(ptsname(m_master), O_RDWR | O_NOCTTY | O_CLOEXEC)
                      : -1) {
        if (m_slave < 0) throw std::runtime_error("no terminal for the test");
    }
    ~TestTerminal() {
        ::close(m_slave);
        ::close(m_master);
    }
    std::string path() const { return ptsname(m_master); }
    void type(const std::string& keys) const {
        if (::write(m_master, keys.data(), keys.size()) != static_cast<ssize_t>(keys.size()))
            throw std::runtime_error("typing");
    }

private:
    int m_master, m_slave;
};

inline std::vector<char*> pointersTo(std::vector<std::string>& texts) {
    std::vector<char*> pointers;
    pointers.reserve(texts.size() + 1);
    for (std::string& text : texts) pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

// This environment without the display's variables, and with the extra ones.
inline std::vector<std::string> headlessEnvironment(const std::vector<std::string>& extra = {}) {
    std::vector<std::string> kept;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string text(*entry);
        if (!text.starts_with("DISPLAY=") && !text.starts_with("WAYLAND_DISPLAY=") &&
            !text.starts_with("QT_QPA_PLATFORM=")) {
            kept.push_back(text);
        }
    }
    kept.insert(kept.end(), extra.begin(), extra.end());
    return kept;
}

// Starts the program with its output and error going to these files (none: to /dev/null).
inline pid_t startProgram(std::vector<std::string> argv, const std::string& input,
                          const std::string& out, const std::string& err,
                          std::vector<std::string> env) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, input.c_str(), O_RDWR, 0);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    pid_t pid = -1;
    const int failed = posix_spawn(&pid, argv[0].c_str(), &actions, nullptr,
                                   pointersTo(argv).data(), pointersTo(env).data());
    posix_spawn_file_actions_destroy(&actions);
    if (failed != 0) throw std::runtime_error("cannot start " + argv[0]);
    return pid;
}

inline ProgramRun runProgram(const std::string& program, const std::vector<std::string>& arguments,
                             const std::string& input = "/dev/null") {
    std::vector<std::string> argv{program};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    static std::atomic<int> runs = 0;  // two runs may start at once
    const std::filesystem::path out = sandboxFolder() / ("run" + std::to_string(++runs));
    const pid_t pid = startProgram(argv, input, out.string() + ".out", out.string() + ".err",
                                   headlessEnvironment());
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
    }
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, readFile(out.string() + ".out"),
            readFile(out.string() + ".err")};
}

}  // namespace testing_support
