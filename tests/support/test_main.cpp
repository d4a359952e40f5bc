// The main of the test programs with windows: a sandbox folder, an offscreen application
// object, then all tests.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTimer>
#include <functional>

#include "framework/application.h"
#include "gui_test_environment.h"

namespace testing_support {

void whenModal(std::function<void()> action) { QTimer::singleShot(0, std::move(action)); }

void settle() {
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
}

}  // namespace testing_support

int main(int argc, char** argv) {
    testing_support::fillStandardDescriptors();
    testing::InitGoogleTest(&argc, argv);
    testing_support::makeSandbox();
    int result = 0;
    {
        framework::Application app(argc, argv);
        result = RUN_ALL_TESTS();
    }
    testing_support::removeSandbox();
    return result;
}
