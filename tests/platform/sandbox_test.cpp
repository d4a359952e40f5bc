// The test sandbox itself: each test starts from a fresh one, whatever ran before it in
// the same process. Two tests do the same, so that whichever runs second would see what
// the first left behind.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "test_environment.h"

namespace fs = std::filesystem;

namespace {

std::set<std::string> namesIn(const fs::path& folder) {
    std::set<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

// Checks that the sandbox is as a new one is made, then leaves things behind in it.
void expectFreshSandboxThenLitterIt() {
    const fs::path& sandbox = testing_support::sandboxFolder();
    EXPECT_EQ(fs::path(std::getenv("HOME")), sandbox / "home");
    EXPECT_EQ(fs::path(std::getenv("MARLO_REGISTRY_DIR")), sandbox / "registry");
    EXPECT_EQ(fs::path(std::getenv("XDG_DATA_HOME")), sandbox / "home/.local/share");
    EXPECT_EQ(namesIn(sandbox / "home"), (std::set<std::string>{".cache", ".config", ".local"}));
    EXPECT_TRUE(fs::is_empty(sandbox / "home/.local/share"));
    EXPECT_TRUE(fs::is_empty(sandbox / "registry"));
    EXPECT_TRUE(fs::is_empty(sandbox / "runtime"));
    std::ofstream(sandbox / "home/left-behind") << "x";
    fs::create_directories(sandbox / "home/.local/share/applications");
    std::ofstream(sandbox / "registry/system.reg") << "x";
}

TEST(Sandbox, FirstTestStartsFresh) { expectFreshSandboxThenLitterIt(); }

TEST(Sandbox, SecondTestStartsFreshToo) { expectFreshSandboxThenLitterIt(); }

}  // namespace
