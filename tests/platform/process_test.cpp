#include "platform/process.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "read_file.h"
#include "test_environment.h"

namespace fs = std::filesystem;
using testing_support::readFile;

namespace {

class ProcessTest : public testing::Test {
protected:
    void SetUp() override { m_folder = testing_support::testFolder("process"); }
    void TearDown() override { fs::remove_all(m_folder); }

    std::string path(const std::string& name) const { return (m_folder / name).string(); }

    fs::path m_folder;
};

platform::ProcessOutcome run(const std::vector<std::string>& arguments,
                             const std::vector<int>& inherit = {}) {
    return platform::runAndWait(
        arguments, [] {}, inherit);
}

// Waits up to two seconds for a file that a detached program writes.
bool appears(const std::string& path) {
    for (int i = 0; i < 200; ++i) {
        if (fs::exists(path) && fs::file_size(path) > 0) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

// Children of this process in the zombie state, read from /proc.
std::vector<int> zombieChildren() {
    std::vector<int> zombies;
    const std::string self = std::to_string(::getpid());
    for (const auto& entry : fs::directory_iterator("/proc")) {
        const std::string name = entry.path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos) continue;
        std::ifstream stat(entry.path() / "stat");
        std::string line;
        if (!std::getline(stat, line)) continue;
        const std::size_t close = line.rfind(')');
        if (close == std::string::npos) continue;
        std::istringstream rest(line.substr(close + 2));
        std::string state, parent;
        rest >> state >> parent;
        if (parent == self && state == "Z") zombies.push_back(std::stoi(name));
    }
    return zombies;
}

}  // namespace

// ---- runAndWait ----

TEST(RunAndWait, ReportsHowTheProgramEnded) {
    const struct {
        std::vector<std::string> arguments;
        bool exitedNormally;
        int exitStatus;
        int signal;
    } rows[] = {
        {{"/bin/true"}, true, 0, 0},
        {{"/bin/sh", "-c", "exit 3"}, true, 3, 0},
        {{"/bin/sh", "-c", "kill -TERM $$"}, false, 0, SIGTERM},
        {{"/bin/sh", "-c", "kill -KILL $$"}, false, 0, SIGKILL},
    };
    for (const auto& row : rows) {
        const platform::ProcessOutcome outcome = run(row.arguments);
        const std::string line = row.arguments.back();
        EXPECT_TRUE(outcome.started) << line;
        EXPECT_TRUE(outcome.error.empty()) << line;
        EXPECT_EQ(outcome.exitedNormally, row.exitedNormally) << line;
        EXPECT_EQ(outcome.exitStatus, row.exitStatus) << line;
        EXPECT_EQ(outcome.signal, row.signal) << line;
    }
}

TEST_F(ProcessTest, StartFailuresAreNeverReportedAsStarted) {
    std::ofstream(path("not-executable")) << "#!/bin/sh\n";
    ::chmod(path("not-executable").c_str(), 0644);
    std::ofstream(path("no-format")) << "neither a script nor a program\n";
    ::chmod(path("no-format").c_str(), 0755);
    const struct {
        std::vector<std::string> arguments;
        std::string why;
    } rows[] = {
        {{}, "no arguments"},
        {{path("missing")}, "missing program"},
        {{path("not-executable")}, "no execute bit"},
        {{path("no-format")}, "not a program"},
        {{m_folder.string()}, "a folder"},
        {{"ls"}, "a bare name is not searched in PATH"},
        {{"sh", "-c", "exit 0"}, "a bare name is not searched in PATH"},
        {{""}, "empty program"},
    };
    for (const auto& row : rows) {
        const platform::ProcessOutcome outcome = run(row.arguments);
        EXPECT_FALSE(outcome.started) << row.why;
        EXPECT_FALSE(outcome.error.empty()) << row.why;
        EXPECT_FALSE(outcome.exitedNormally) << row.why;
    }
    EXPECT_EQ(run({path("missing")}).error, std::string(std::strerror(ENOENT)));
    EXPECT_TRUE(zombieChildren().empty()) << "failed starts are reaped";
}

TEST(RunAndWait, KeepsCallingWhileWaiting) {
    int calls = 0;
    const auto outcome = platform::runAndWait({"/bin/sleep", "0.3"}, [&calls] { ++calls; });
    EXPECT_TRUE(outcome.started);
    EXPECT_TRUE(outcome.exitedNormally);
    // About every 15 ms: some twenty calls, far from a busy loop.
    EXPECT_GE(calls, 5);
    EXPECT_LE(calls, 100);
}

TEST(RunAndWait, AnEmptyCallbackIsAllowed) {
    const auto outcome = platform::runAndWait({"/bin/sleep", "0.05"}, nullptr);
    EXPECT_TRUE(outcome.exitedNormally);
}

TEST(RunAndWait, ACallbackThatThrowsStillWaitsForTheProgram) {
    EXPECT_THROW(platform::runAndWait({"/bin/sleep", "0.1"},
                                      [] { throw std::runtime_error("painting failed"); }),
                 std::runtime_error);
    EXPECT_TRUE(zombieChildren().empty());
}

TEST_F(ProcessTest, ArgumentsArriveUnchanged) {
    const std::string source = path("source");
    std::ofstream(source) << "payload";
    const std::vector<std::string> names = {
        "blank and \"double\" 'single' quotes",
        "$HOME `id` $(id) ; | & > <",
        "back\\slash * ? [1] %f ~",
        "-leading-dash",
        "Ünïcödé",
    };
    for (const std::string& name : names) {
        const auto outcome = run({"/bin/cp", "--", source, path(name)});
        EXPECT_TRUE(outcome.exitedNormally && outcome.exitStatus == 0) << name;
        EXPECT_EQ(readFile(path(name)), "payload") << name;
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(m_folder), fs::directory_iterator()),
              static_cast<long>(names.size() + 1))
        << "no other file was made";
}

TEST_F(ProcessTest, AGivenEnvironmentIsAllTheProgramGets) {
    testing_support::ScopedVariable options("UNZIP", "-:");
    const std::string listing = path("environment");
    const auto outcome = platform::runAndWait({"/usr/bin/env"}, {}, {},
                                              std::vector<std::string>{"A=1", "PATH=/bin"});
    EXPECT_TRUE(outcome.exitedNormally);
    platform::runAndWait({"/bin/sh", "-c", "/usr/bin/env > \"$0\"", listing}, {}, {},
                         std::vector<std::string>{"A=1", "B=two words"});
    EXPECT_EQ(readFile(listing), "A=1\nB=two words\nPWD=" + fs::current_path().string() + "\n")
        << "the shell adds PWD alone";
    platform::runAndWait({"/bin/sh", "-c", "/usr/bin/env > \"$0\"", listing}, {});
    EXPECT_NE(readFile(listing).find("UNZIP=-:"), std::string::npos) << "none given: inherited";
}

TEST_F(ProcessTest, RelativeProgramPathsStartFromTheCurrentFolder) {
    const fs::path previous = fs::current_path();
    fs::current_path(m_folder);
    fs::copy_file("/bin/true", path("helper"));
    const auto outcome = run({"./helper"});
    fs::current_path(previous);
    EXPECT_TRUE(outcome.started);
    EXPECT_TRUE(outcome.exitedNormally);
}

TEST_F(ProcessTest, StandardStreamsAreTheNullDevice) {
    const auto outcome = run({"/bin/sh", "-c",
                              // The shell reads its own descriptors; a substitution
                              // keeps its standard output untouched meanwhile.
                              "r=$(readlink /proc/$$/fd/0 /proc/$$/fd/1 /proc/$$/fd/2); "
                              "printf '%s\\n' \"$r\" > \"$0\"",
                              path("streams")});
    EXPECT_EQ(outcome.exitStatus, 0);
    EXPECT_EQ(readFile(path("streams")), "/dev/null\n/dev/null\n/dev/null\n");
}

TEST_F(ProcessTest, OnlyTheNamedDescriptorsAreInherited) {
    std::ofstream(path("shared")) << "through a descriptor";
    // Close-on-exec is set on purpose: naming it must keep it all the same.
    const int named = ::open(path("shared").c_str(), O_RDONLY | O_CLOEXEC);
    const int unnamed = ::open(path("shared").c_str(), O_RDONLY);  // inheritable by default
    ASSERT_GE(named, 3);
    ASSERT_GE(unnamed, 3);
    const auto through =
        run({"/bin/cp", "/dev/fd/" + std::to_string(named), path("copy")}, {named});
    const auto closed =
        run({"/bin/cp", "/dev/fd/" + std::to_string(unnamed), path("leak")}, {named});
    ::close(unnamed);
    EXPECT_EQ(through.exitStatus, 0);
    EXPECT_EQ(readFile(path("copy")), "through a descriptor");
    EXPECT_NE(closed.exitStatus, 0) << "an unnamed descriptor leaked into the program";
    EXPECT_FALSE(fs::exists(path("leak")));
    // The named descriptor is still this process's and still close-on-exec.
    EXPECT_EQ(::fcntl(named, F_GETFD), FD_CLOEXEC);
    ::close(named);
}

TEST_F(ProcessTest, ProgramsStartWithDefaultSignalsWhateverThisProcessBlocksOrIgnores) {
    // The program reads its own blocked and ignored sets (the shell becomes grep: a shell
    // blocks every signal for a moment while it starts a child); signal 15 (TERM) ignored and
    // signal 10 (USR1) blocked here must not reach it.
    struct sigaction ignore {
    }, previous{};
    ignore.sa_handler = SIG_IGN;
    ::sigaction(SIGTERM, &ignore, &previous);
    sigset_t usr1, oldMask;
    sigemptyset(&usr1);
    sigaddset(&usr1, SIGUSR1);
    ::pthread_sigmask(SIG_BLOCK, &usr1, &oldMask);
    const auto outcome =
        run({"/bin/sh", "-c", "exec grep -E '^Sig(Blk|Ign)' /proc/self/status > \"$0\"",
             path("signals")});
    sigset_t afterwards;
    ::pthread_sigmask(SIG_BLOCK, nullptr, &afterwards);
    ::pthread_sigmask(SIG_SETMASK, &oldMask, nullptr);
    ::sigaction(SIGTERM, &previous, nullptr);
    EXPECT_TRUE(sigismember(&afterwards, SIGUSR1)) << "this thread's own mask is given back";
    EXPECT_FALSE(sigismember(&afterwards, SIGTERM)) << "and nothing more stays blocked";
    EXPECT_EQ(outcome.exitStatus, 0);
    EXPECT_EQ(readFile(path("signals")), "SigBlk:\t0000000000000000\nSigIgn:\t0000000000000000\n");
}

TEST_F(ProcessTest, AStartedProgramIsWaitedForLaterAndNeverLeftAZombie) {
    {
        platform::StartedProgram program({"/bin/sh", "-c", "sleep 0.05; exit 3"});
        ASSERT_TRUE(program.started());
        int calls = 0;
        EXPECT_EQ(program.wait([&] { ++calls; }).exitStatus, 3);
        EXPECT_GT(calls, 0) << "the caller kept painting";
        EXPECT_EQ(program.wait({}).exitStatus, 3) << "the same outcome again, at once";
    }
    {
        platform::StartedProgram dropped({"/bin/sh", "-c", "echo done > \"$0\"", path("dropped")});
        ASSERT_TRUE(dropped.started());
    }
    EXPECT_EQ(readFile(path("dropped")), "done\n") << "dropping it waited for its end";
    const platform::StartedProgram missing({path("missing")});
    EXPECT_FALSE(missing.started());
    EXPECT_TRUE(zombieChildren().empty());
}

TEST(RunAndWait, RefusesADescriptorThatIsNotOpen) {
    const int unused = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    ::close(unused);
    for (const int descriptor : {unused, -1}) {
        const auto outcome = run({"/bin/true"}, {descriptor});
        EXPECT_FALSE(outcome.started) << descriptor;
        EXPECT_EQ(outcome.error, std::string(std::strerror(EBADF)));
    }
}

TEST(RunWithTimeLimit, KillsAProgramThatRunsTooLong) {
    const auto start = std::chrono::steady_clock::now();
    const auto outcome =
        platform::runWithTimeLimit({"/bin/sleep", "30"}, std::chrono::milliseconds(100));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
    EXPECT_TRUE(outcome.started);
    EXPECT_FALSE(outcome.exitedNormally);
    EXPECT_EQ(outcome.signal, SIGKILL);

    const auto quick =
        platform::runWithTimeLimit({"/bin/sh", "-c", "exit 4"}, std::chrono::milliseconds(5000));
    EXPECT_TRUE(quick.exitedNormally);
    EXPECT_EQ(quick.exitStatus, 4);
}

// ---- startDetached ----

TEST_F(ProcessTest, StartDetachedRunsInTheWorkingFolderWithThisEnvironment) {
    ::setenv("QUINDOR_PROBE", "probe value", 1);
    const bool started =
        platform::startDetached({"/bin/sh", "-c",
                                 "printf '%s|%s' \"$(pwd)\" \"$QUINDOR_PROBE\" > result.tmp && "
                                 "mv result.tmp result"},
                                m_folder.string());
    ::unsetenv("QUINDOR_PROBE");
    ASSERT_TRUE(started);
    ASSERT_TRUE(appears(path("result")));
    EXPECT_EQ(readFile(path("result")), m_folder.string() + "|probe value");
}

TEST_F(ProcessTest, StartDetachedLeavesNoZombie) {
    ASSERT_TRUE(
        platform::startDetached({"/bin/sh", "-c", "echo done > marker"}, m_folder.string()));
    ASSERT_TRUE(appears(path("marker")));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_TRUE(zombieChildren().empty());
}

TEST_F(ProcessTest, StartDetachedReportsStartFailures) {
    std::ofstream(path("not-executable")) << "#!/bin/sh\n";
    ::chmod(path("not-executable").c_str(), 0644);
    EXPECT_FALSE(platform::startDetached({path("missing")}, m_folder.string()));
    EXPECT_FALSE(platform::startDetached({path("not-executable")}, m_folder.string()));
    EXPECT_FALSE(platform::startDetached({"true"}, m_folder.string()));
    EXPECT_FALSE(platform::startDetached({}, m_folder.string()));
    EXPECT_FALSE(platform::startDetached({"/bin/true"}, path("no-such-folder")));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_TRUE(zombieChildren().empty());
}
