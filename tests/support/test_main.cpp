// The main of every test program: a sandbox folder for HOME, XDG and the registry, an
// offscreen application object, then all tests.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <QCoreApplication>
#include <QTimer>
#include <algorithm>
#include <functional>

#include "framework/application.h"
#include "test_environment.h"

namespace testing_support {

namespace {

std::filesystem::path g_sandbox;

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

}  // namespace

const std::filesystem::path& sandboxFolder() { return g_sandbox; }

std::filesystem::path testFolder(const std::string& group) {
    const auto* info = testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(info->test_suite_name()) + "." + info->name();
    std::replace(name.begin(), name.end(), '/', '_');
    const std::filesystem::path folder = g_sandbox / group / name;
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    return folder;
}

void whenModal(std::function<void()> action) { QTimer::singleShot(0, std::move(action)); }

void settle() {
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
}

}  // namespace testing_support

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    testing_support::makeSandbox();
    int result = 0;
    {
        framework::Application app(argc, argv);
        result = RUN_ALL_TESTS();
    }
    std::error_code ignored;
    std::filesystem::remove_all(testing_support::sandboxFolder(), ignored);
    return result;
}
