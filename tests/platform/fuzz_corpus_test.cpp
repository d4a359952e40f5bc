// Every kept input of the platform fuzz targets (real files as seeds, and every input that
// ever failed) goes through the same entry functions on each test run.

#include <gtest/gtest.h>

#include "fuzz/platform/platform_fuzz_entries.h"
#include "fuzz_corpus.h"

namespace {

struct Target {
    const char* name;
    int (*entry)(const std::uint8_t*, std::size_t);
};

class FuzzCorpusTest : public testing::TestWithParam<Target> {};

TEST_P(FuzzCorpusTest, KeptInputsPassTheReader) {
    const int replayed = testing_support::replayCorpus(GetParam().name, GetParam().entry);
    EXPECT_GT(replayed, 0) << "no corpus for " << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(Platform, FuzzCorpusTest,
                         testing::Values(Target{"hive_text", platform_fuzz::fuzzHiveText},
                                         Target{"settings_file", platform_fuzz::fuzzSettingsFile},
                                         Target{"zip_listing", platform_fuzz::fuzzZipListing},
                                         Target{"mount_info", platform_fuzz::fuzzMountInfo}),
                         [](const testing::TestParamInfo<Target>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
