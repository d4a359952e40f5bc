// The setup program itself, started as a user starts it, where the start cannot go on: each
// such end says what is wrong in one line and exits with status 1, never with an abort.

#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <sstream>
#include <string>
#include <vector>

#include "test_environment.h"

namespace {

struct Ended {
    int status = -1;  // the exit status, or -1 after a signal
    std::string errors;
};

// Runs the command with the variables changed as given ("NAME=value", or "NAME" to unset)
// and collects what it writes to standard error.
Ended run(const std::vector<std::string>& command, const std::vector<std::string>& variables) {
    std::vector<std::string> arguments = {"/usr/bin/env"};
    for (const std::string& variable : variables) {
        if (variable.find('=') == std::string::npos) {
            arguments.insert(arguments.end(), {"-u", variable});
        } else {
            arguments.push_back(variable);
        }
    }
    arguments.insert(arguments.end(), command.begin(), command.end());
    std::vector<char*> argv;
    argv.reserve(arguments.size() + 1);
    for (std::string& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    int pipe[2];
    if (::pipe(pipe) != 0) return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipe[1], 2);
    posix_spawn_file_actions_addclose(&actions, pipe[0]);
    pid_t child = -1;
    const int spawned = posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipe[1]);
    Ended ended;
    char buffer[4096];
    for (ssize_t got; (got = ::read(pipe[0], buffer, sizeof buffer)) > 0;)
        ended.errors.append(buffer, got);
    ::close(pipe[0]);
    int status = 0;
    if (spawned != 0 || ::waitpid(child, &status, 0) != child) return ended;
    ended.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return ended;
}

void expectOneLineAndStatus1(const Ended& ended, const std::string& part) {
    EXPECT_EQ(ended.status, 1) << ended.errors;
    ASSERT_FALSE(ended.errors.empty());
    EXPECT_EQ(ended.errors.find('\n'), ended.errors.size() - 1) << ended.errors;
    EXPECT_NE(ended.errors.find(part), std::string::npos) << ended.errors;
}

TEST(ProgramStart, ADisplayThatCannotBeReachedIsOneLineAndStatus1) {
    const Ended ended = run({QUINDOR_SETUP_PROGRAM}, {"QT_QPA_PLATFORM", "WAYLAND_DISPLAY",
                                                      "XDG_SESSION_TYPE", "DISPLAY=:4711"});
    expectOneLineAndStatus1(ended, ":4711");
}

// Without /proc a sanitized build's runtime warns about itself ("==pid==..." and the two lines
// after its stack warning); those lines are not the program's.
std::string withoutSanitizerLines(const std::string& errors) {
    std::istringstream lines(errors);
    std::string kept;
    for (std::string line; std::getline(lines, line);) {
        const bool runtimes =
            line.starts_with("==") || line.starts_with("False positive error reports") ||
            line.starts_with("For details see https://github.com/google/sanitizers");
        if (!runtimes) kept += line + '\n';
    }
    return kept;
}

// A bare chroot has no /proc: here one mounted empty over it, in a mount namespace of the
// program's own.
TEST(ProgramStart, WithoutProcTheMissingFolderIsOneLineAndStatus1) {
    if (::geteuid() != 0) GTEST_SKIP() << "mounting over /proc needs root";
    Ended ended = run({"/usr/bin/unshare", "-m", "--propagation", "private", "/bin/sh", "-c",
                       "mount -t tmpfs none /proc || exit 77; exec \"$0\"", QUINDOR_SETUP_PROGRAM},
                      {"QT_QPA_PLATFORM=offscreen", "ASAN_OPTIONS=detect_leaks=0"});
    if (ended.status == 77) GTEST_SKIP() << "no mount namespace here: " << ended.errors;
    ended.errors = withoutSanitizerLines(ended.errors);
    expectOneLineAndStatus1(ended, "own folder");
}

}  // namespace
