#include "child_test.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

namespace testing_support {

namespace {

const char* const kChildVariable = "QUINDOR_CHILD_TEST";

std::string currentTestFilter() {
    const auto* info = testing::UnitTest::GetInstance()->current_test_info();
    return "--gtest_filter=" + std::string(info->test_suite_name()) + "." + info->name();
}

std::string readAll(int descriptor) {
    std::string text;
    char buffer[4096];
    for (ssize_t got; (got = ::read(descriptor, buffer, sizeof buffer)) != 0;) {
        if (got < 0) {
            if (errno == EINTR) continue;
            break;
        }
        text.append(buffer, static_cast<std::size_t>(got));
    }
    return text;
}

}  // namespace

bool inChildTest() { return std::getenv(kChildVariable) != nullptr; }

ChildOutcome rerunCurrentTest(const std::vector<std::string>& prefix,
                              const std::vector<int>& closedDescriptors) {
    std::vector<std::string> arguments = prefix;
    arguments.push_back(std::filesystem::read_symlink("/proc/self/exe").string());
    arguments.push_back(currentTestFilter());
    std::vector<char*> argv;
    argv.reserve(arguments.size() + 1);
    for (std::string& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);

    int pipe[2];
    ChildOutcome outcome;
    if (::pipe2(pipe, O_CLOEXEC) != 0) return outcome;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipe[1], 1);
    posix_spawn_file_actions_adddup2(&actions, pipe[1], 2);
    for (const int descriptor : closedDescriptors)
        posix_spawn_file_actions_addclose(&actions, descriptor);
    setenv(kChildVariable, "1", 1);
    pid_t child = -1;
    const int spawned = posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ);
    unsetenv(kChildVariable);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipe[1]);
    outcome.output = readAll(pipe[0]);
    ::close(pipe[0]);
    if (spawned != 0) {
        outcome.output += "cannot start " + arguments.front();
        return outcome;
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    outcome.ran = outcome.output.find("[ RUN      ]") != std::string::npos;
    outcome.skipped = outcome.output.find("[  SKIPPED ]") != std::string::npos;
    outcome.passed = outcome.ran && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return outcome;
}

}  // namespace testing_support
