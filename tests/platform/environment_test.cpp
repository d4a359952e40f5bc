#include "platform/environment.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "child_test.h"
#include "platform/process.h"
#include "test_environment.h"

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

// Started with descriptor 0 closed (as a careless launcher may do), the first file opened
// would take number 0, and a child given that archive as /dev/fd/0 would find its standard
// input there instead. The check runs in a child started that way, whose main (like the
// setup program's) fills the standard descriptors first.
TEST(StandardDescriptors, AStartWithDescriptorZeroClosedStillExtracts) {
    QUINDOR_RERUN_THROUGH(std::vector<std::string>{}, std::vector<int>{0});
    if (!std::filesystem::exists("/usr/bin/zip") || !std::filesystem::exists("/usr/bin/unzip")) {
        GTEST_SKIP() << "zip and unzip are needed (Debian packages zip, unzip)";
    }
    ASSERT_TRUE(testing_support::standardDescriptorClosedAtStart(0));
    const std::filesystem::path folder = testing_support::testFolder("descriptors");
    std::ofstream(folder / "word.txt") << "colour\n";
    ASSERT_EQ(platform::runWithTimeLimit({"/usr/bin/zip", "-jq", (folder / "A.ZIP").string(),
                                          (folder / "word.txt").string()},
                                         std::chrono::seconds(20))
                  .exitStatus,
              0);

    struct stat status {};
    ASSERT_EQ(fstat(0, &status), 0);
    EXPECT_TRUE(S_ISCHR(status.st_mode)) << "descriptor 0 is not /dev/null";
    const int archive = open((folder / "A.ZIP").c_str(), O_RDONLY);
    ASSERT_GT(archive, 2);
    const platform::ProcessOutcome outcome =
        platform::runAndWait({"/usr/bin/unzip", "-o", "/dev/fd/" + std::to_string(archive), "-d",
                              (folder / "out").string()},
                             [] {}, {archive});
    close(archive);
    EXPECT_TRUE(outcome.exitedNormally && outcome.exitStatus == 0) << outcome.error;
    EXPECT_TRUE(std::filesystem::exists(folder / "out/word.txt"));
}

TEST(DescriptorLimit, SoftLimitIsRaisedUpToTheHardOneAndNeverLowered) {
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &saved), 0);
    rlimit low = saved;
    low.rlim_cur = std::min<rlim_t>(200, saved.rlim_cur);
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &low), 0);
    const rlim_t expected =
        saved.rlim_max == RLIM_INFINITY ? 4096 : std::min<rlim_t>(4096, saved.rlim_max);
    EXPECT_EQ(platform::raiseDescriptorLimit(4096), expected);
    EXPECT_EQ(platform::raiseDescriptorLimit(100), expected);  // a smaller wish lowers nothing
    rlimit now{};
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &now), 0);
    EXPECT_EQ(now.rlim_cur, expected);
    EXPECT_EQ(now.rlim_max, saved.rlim_max);
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &saved), 0);
}

TEST(StandardDescriptors, OpenOnesAreLeftAsTheyAre) {
    struct stat before {};
    ASSERT_EQ(fstat(1, &before), 0);
    EXPECT_TRUE(platform::ensureStandardDescriptors());
    struct stat after {};
    ASSERT_EQ(fstat(1, &after), 0);
    EXPECT_EQ(before.st_ino, after.st_ino);
}

TEST(EssentialEnvironment, KeepsPathHomeAndTheLocaleAlone) {
    struct Row {
        const char* name;
        const char* value;
        bool kept;
    };
    const Row rows[] = {
        {"PATH", "/usr/bin:/bin", true},
        {"HOME", "/home/ann", true},
        {"LANG", "de_DE.UTF-8", true},
        {"LANGUAGE", "de:en", true},
        {"LC_ALL", "C.UTF-8", true},
        {"LC_CTYPE", "C.UTF-8", true},
        {"UNZIP", "-:", false},
        {"UNZIPOPT", "-:", false},
        {"ZIPINFO", "-v", false},
        {"LD_PRELOAD", "/tmp/x.so", false},
        {"LD_LIBRARY_PATH", "/tmp", false},
        {"TMPDIR", "/tmp/elsewhere", false},
        {"LC_", "x", false},
        {"IFS", "x", false},
    };
    std::vector<std::unique_ptr<ScopedVariable>> set;
    for (const Row& row : rows)
        set.push_back(std::make_unique<ScopedVariable>(row.name, row.value));
    const std::vector<std::string> kept = platform::essentialEnvironment();
    for (const Row& row : rows) {
        const std::string entry = std::string(row.name) + "=" + row.value;
        EXPECT_EQ(std::count(kept.begin(), kept.end(), entry), row.kept ? 1 : 0) << entry;
    }
}

TEST(EssentialEnvironment, GivesTheSystemPathWhereNoneIsSet) {
    ScopedVariable path("PATH", nullptr);
    const std::vector<std::string> kept = platform::essentialEnvironment();
    EXPECT_EQ(std::count_if(kept.begin(), kept.end(),
                            [](const std::string& entry) { return entry.starts_with("PATH=/"); }),
              1);
}
