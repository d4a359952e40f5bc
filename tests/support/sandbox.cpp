// The sandbox folder of a test program: HOME, the XDG folders and the registry folder
// point into a new temporary folder, removed when the program ends.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <stdexcept>

#include "platform/environment.h"
#include "test_environment.h"

namespace testing_support {

namespace {

std::filesystem::path g_sandbox;
bool g_closedAtStart[3] = {false, false, false};

}  // namespace

void fillStandardDescriptors() {
    for (int descriptor = 0; descriptor <= 2; ++descriptor) {
        g_closedAtStart[descriptor] = fcntl(descriptor, F_GETFD) == -1;
    }
    platform::ensureStandardDescriptors();
}

void makeSandbox() {
    std::string pattern = (std::filesystem::temp_directory_path() / "quindor-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot make a sandbox folder");
    g_sandbox = pattern;
    const auto set = [](const char* name, const std::filesystem::path& path) {
        std::filesystem::create_directories(path);
        setenv(name, path.c_str(), 1);
    };
    set("HOME", g_sandbox / "home");
    set("XDG_CONFIG_HOME", g_sandbox / "home/.config");
    set("XDG_DATA_HOME", g_sandbox / "home/.local/share");
    set("XDG_CACHE_HOME", g_sandbox / "home/.cache");
    set("XDG_RUNTIME_DIR", g_sandbox / "runtime");
    set("MARLO_REGISTRY_DIR", g_sandbox / "registry");
    std::filesystem::permissions(g_sandbox / "runtime", std::filesystem::perms::owner_all);
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
}

void removeSandbox() {
    std::error_code ignored;
    std::filesystem::remove_all(g_sandbox, ignored);
}

const std::filesystem::path& sandboxFolder() { return g_sandbox; }

bool standardDescriptorClosedAtStart(int descriptor) {
    return descriptor >= 0 && descriptor <= 2 && g_closedAtStart[descriptor];
}

std::filesystem::path testFolder(const std::string& group) {
    const auto* info = testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(info->test_suite_name()) + "." + info->name();
    std::replace(name.begin(), name.end(), '/', '_');
    const std::filesystem::path folder = g_sandbox / group / name;
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    return folder;
}

}  // namespace testing_support
