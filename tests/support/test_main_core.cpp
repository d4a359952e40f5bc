// The main of the test programs of the layers without a window (platform, engine): a
// sandbox folder, then all tests. Nothing of Qt is linked, so these layers are proven
// to need none.

#include <gtest/gtest.h>

#include "test_environment.h"

int main(int argc, char** argv) {
    testing_support::fillStandardDescriptors();
    testing::InitGoogleTest(&argc, argv);
    testing_support::makeSandbox();
    const int result = RUN_ALL_TESTS();
    testing_support::removeSandbox();
    return result;
}
