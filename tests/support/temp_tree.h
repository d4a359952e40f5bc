#pragma once
// A temporary folder of one test, free of Qt and of the sandbox (the thread tests also run
// alone under ThreadSanitizer), with the small changes the folder-watching tests make, and
// a wait for a condition with a generous time-out instead of fixed sleeps.

#include <gtest/gtest.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace testing_support {

class TempTree {
public:
    TempTree() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "quindor-watch-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("cannot make a temporary folder");
        m_root = pattern;
    }
    ~TempTree() {
        std::error_code ignored;
        std::filesystem::remove_all(m_root, ignored);
    }
    TempTree(const TempTree&) = delete;
    TempTree& operator=(const TempTree&) = delete;

    const std::filesystem::path& root() const { return m_root; }
    std::filesystem::path operator/(const std::string& relative) const { return m_root / relative; }
    std::filesystem::path mkdir(const std::string& relative) const {
        std::filesystem::create_directories(m_root / relative);
        return m_root / relative;
    }
    void write(const std::string& relative, const std::string& text) const {
        std::ofstream(m_root / relative, std::ios::binary | std::ios::app) << text;
    }

private:
    std::filesystem::path m_root;
};

// Runs a program (another process, as another program would change the folders) and
// returns its exit status.
inline int runProgram(const std::vector<std::string>& arguments) {
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (::posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return -1;
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Calls step (which serves whatever the test waits for) until done() holds; false after
// the time-out. The machine may be loaded: the limit is generous.
inline bool waitUntil(const std::function<bool()>& done, const std::function<void()>& step,
                      std::chrono::seconds limit = std::chrono::seconds(30)) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
        step();
        if (done()) return true;
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

}  // namespace testing_support
