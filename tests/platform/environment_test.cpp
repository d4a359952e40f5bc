#include "platform/environment.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <optional>
#include <string>

namespace {

// Sets an environment variable for one scope and restores it afterwards.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const char* value) : m_name(name) {
        if (const char* old = std::getenv(name)) m_old = old;
        if (value != nullptr) {
            setenv(name, value, 1);
        } else {
            unsetenv(name);
        }
    }
    ~ScopedVariable() {
        if (m_old.has_value()) {
            setenv(m_name, m_old->c_str(), 1);
        } else {
            unsetenv(m_name);
        }
    }

private:
    const char* m_name;
    std::optional<std::string> m_old;
};

}  // namespace

TEST(HomeFolder, ComesFromHomeWithoutItsFinalSeparator) {
    {
        ScopedVariable home("HOME", "/tmp/some user/");
        EXPECT_EQ(platform::homeFolder(), "/tmp/some user");
    }
    {
        ScopedVariable home("HOME", "/");
        EXPECT_EQ(platform::homeFolder(), "/");
    }
}

TEST(HomeFolder, FallsBackToThePasswordDatabase) {
    ScopedVariable home("HOME", nullptr);
    const std::string folder = platform::homeFolder();
    EXPECT_FALSE(folder.empty());
    EXPECT_EQ(folder.front(), '/');
    ScopedVariable empty("HOME", "");
    EXPECT_EQ(platform::homeFolder(), folder);
}
