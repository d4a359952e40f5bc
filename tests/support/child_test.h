#pragma once
// Runs the current test again in a child process started through a command of the system,
// for what a test cannot do to itself: a private mount namespace (unshare -m), another user
// (setpriv), closed standard descriptors. The child runs only this test, in a sandbox of
// its own, with QUINDOR_CHILD_TEST set.

#include <string>
#include <vector>

namespace testing_support {

// The commands: a private mount namespace (root only; mounts made there are never seen
// outside the child), and the unprivileged user nobody.
inline const std::vector<std::string> kPrivateMounts = {"unshare", "-m", "--propagation",
                                                        "private"};
inline const std::vector<std::string> kAsNobody = {"setpriv", "--reuid=65534", "--regid=65534",
                                                   "--clear-groups", "--inh-caps=-all"};

// True inside such a child.
bool inChildTest();

struct ChildOutcome {
    bool ran = false;      // the test started in the child (else the command failed)
    bool passed = false;   // it ran and passed
    bool skipped = false;  // it ran and skipped itself
    std::string output;    // everything the child wrote
};

// prefix: the command and its arguments before the test program, e.g. {"unshare", "-m",
// "--propagation", "private"}; closedDescriptors: closed in the child before it starts.
ChildOutcome rerunCurrentTest(const std::vector<std::string>& prefix,
                              const std::vector<int>& closedDescriptors = {});

}  // namespace testing_support

// In the parent: reruns this test through prefix and reports the child's result (skipping
// with the child's output when the command could not start it, for instance where mount
// namespaces or other users are not available); in the child: goes on with the test.
#define QUINDOR_RERUN_THROUGH(...)                                                               \
    do {                                                                                         \
        if (!testing_support::inChildTest()) {                                                   \
            const testing_support::ChildOutcome outcome =                                        \
                testing_support::rerunCurrentTest(__VA_ARGS__);                                  \
            if (!outcome.ran) GTEST_SKIP() << "cannot run in a child here:\n" << outcome.output; \
            if (outcome.skipped) GTEST_SKIP() << outcome.output;                                 \
            EXPECT_TRUE(outcome.passed) << outcome.output;                                       \
            return;                                                                              \
        }                                                                                        \
    } while (false)
