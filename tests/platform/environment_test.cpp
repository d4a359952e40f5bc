#include "platform/environment.h"
#include "test_environment.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <optional>
#include <string>

namespace {

using testing_support::ScopedVariable;

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
