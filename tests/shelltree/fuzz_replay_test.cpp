// Replays the kept corpus of the folder tree's fuzz target.

#include <gtest/gtest.h>

#include "fuzz/shelltree/shell_bytes_entry.h"
#include "fuzz_corpus.h"

TEST(ShellBytesCorpus, ReplaysEveryKeptInput) {
    EXPECT_GE(testing_support::replayCorpus("shell_bytes", fuzzShellBytes), 3);
}
