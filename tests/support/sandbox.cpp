// The sandbox folder of a test program: HOME, the XDG folders and the registry folder
// point into a new temporary folder, removed when the program ends. Each test gets a fresh
// sub-sandbox of its own, so that no test sees what an earlier one left behind, in
// whatever order they run in one process.

#include <fcntl.h>
#include <fontconfig/fontconfig.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <stdexcept>

#include "platform/environment.h"
#include "test_environment.h"

namespace testing_support {

namespace {

std::filesystem::path g_programSandbox;  // the whole program's, outside any test
std::filesystem::path g_sandbox;         // the running test's, else the program's
bool g_closedAtStart[3] = {false, false, false};

std::filesystem::path newTemporaryFolder(const std::filesystem::path& parent) {
    std::string pattern = (parent / "quindor-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("cannot make a sandbox folder");
    return pattern;
}

// Points HOME, the XDG folders and the registry folder into the sandbox and makes them.
void enterSandbox(const std::filesystem::path& sandbox) {
    g_sandbox = sandbox;
    const auto set = [](const char* name, const std::filesystem::path& path) {
        std::filesystem::create_directories(path);
        setenv(name, path.c_str(), 1);
    };
    set("HOME", sandbox / "home");
    set("XDG_CONFIG_HOME", sandbox / "home/.config");
    set("XDG_DATA_HOME", sandbox / "home/.local/share");
    set("XDG_CACHE_HOME", sandbox / "home/.cache");
    set("XDG_RUNTIME_DIR", sandbox / "runtime");
    set("MARLO_REGISTRY_DIR", sandbox / "registry");
    std::filesystem::permissions(sandbox / "runtime", std::filesystem::perms::owner_all);
}

// The install registers fonts with the running program, and a test may make a font
// configuration of its own current: after each test the program's fonts are those of the
// system again, as freshly loaded.
void reloadFontConfiguration() {
    FcConfig* fresh = FcInitLoadConfigAndFonts();
    if (fresh == nullptr) return;
    FcConfigSetCurrent(fresh);
    FcConfigDestroy(fresh);  // the current configuration holds it now
}

// Gives each test a fresh sub-sandbox and removes it, with what the test left there,
// once the test and its fixture are gone; between tests the program's sandbox is back.
class FreshSandboxPerTest : public testing::EmptyTestEventListener {
    void OnTestStart(const testing::TestInfo&) override {
        enterSandbox(newTemporaryFolder(g_programSandbox));
    }
    void OnTestEnd(const testing::TestInfo&) override {
        const std::filesystem::path used = g_sandbox;
        enterSandbox(g_programSandbox);
        std::error_code ignored;
        std::filesystem::remove_all(used, ignored);
        reloadFontConfiguration();
    }
};

}  // namespace

void fillStandardDescriptors() {
    for (int descriptor = 0; descriptor <= 2; ++descriptor) {
        g_closedAtStart[descriptor] = fcntl(descriptor, F_GETFD) == -1;
    }
    platform::ensureStandardDescriptors();
}

void makeSandbox() {
    g_programSandbox = newTemporaryFolder(std::filesystem::temp_directory_path());
    enterSandbox(g_programSandbox);
    // Offscreen unless a run asks for a real platform (the page flow as a Wayland client).
    const char* platform = getenv("QUINDOR_TEST_PLATFORM");
    setenv("QT_QPA_PLATFORM", platform != nullptr && *platform != '\0' ? platform : "offscreen", 1);
    testing::UnitTest::GetInstance()->listeners().Append(new FreshSandboxPerTest);
}

void removeSandbox() {
    std::error_code ignored;
    std::filesystem::remove_all(g_programSandbox, ignored);
}

const std::filesystem::path& sandboxFolder() { return g_sandbox; }

bool standardDescriptorClosedAtStart(int descriptor) {
    return descriptor >= 0 && descriptor <= 2 && g_closedAtStart[descriptor];
}

std::filesystem::path testFolder(const std::string& group) {
    const auto* info = testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(info->test_suite_name()) + "." + info->name();
    std::replace(name.begin(), name.end(), '/', '_');
    std::filesystem::path folder = g_sandbox / group / name;
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    return folder;
}

}  // namespace testing_support
