#pragma once
// Helpers of the platform tests that write files: a folder of each test's own inside the
// sandbox, whole-file reading and writing, scoped environment variables and child processes.

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <exception>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>

#include "test_environment.h"

namespace file_test_support {

using testing_support::ScopedVariable;

using testing_support::testFolder;

inline void writeText(const std::filesystem::path& path, std::string_view text) {
    std::ofstream(path, std::ios::binary)
        .write(text.data(), static_cast<std::streamsize>(text.size()));
}

// The file's bytes; nullopt when it cannot be opened.
inline std::optional<std::string> readText(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(file), {});
}

inline bool runningAsRoot() { return ::geteuid() == 0; }

// Runs body in a forked child that ends with body's result as its exit code (1 when body
// throws) without returning into the test program.
inline pid_t startChild(const std::function<int()>& body) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        int code = 1;
        try {
            code = body();
        } catch (...) {
        }
        ::_exit(code);
    }
    return pid;
}

// The child's exit code, or -(signal) when a signal ended it.
inline int waitForChild(pid_t pid) {
    int status = 0;
    while (::waitpid(pid, &status, 0) == -1) {
        if (errno != EINTR) return -1000;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
}

}  // namespace file_test_support
