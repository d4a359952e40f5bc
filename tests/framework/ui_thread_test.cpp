// Threads and the user-interface thread's Qt event loop: a synchronized call is run by
// the event loop, and destroying threads that wait for the user-interface thread never
// deadlocks.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTest>
#include <memory>

#include "framework/thread/thread.h"
#include "watchdog.h"

using framework::SyncQueue;
using framework::TThread;
using testing_support::Watchdog;
using namespace std::chrono_literals;

TEST(UiThread, TheEventLoopRunsSynchronizedCalls) {
    Watchdog dog(60s);
    std::vector<std::thread::id> ranOn;
    TThread thread(
        [&](TThread& self) {
            for (int i = 0; i < 10; ++i)
                self.synchronize([&] { ranOn.push_back(std::this_thread::get_id()); });
        },
        SyncQueue::ui());
    thread.resume();
    // Only the event loop serves the calls here: nothing waits for the thread yet.
    EXPECT_TRUE(QTest::qWaitFor([&] { return thread.finished(); }, 10000));
    thread.waitFor();
    ASSERT_EQ(ranOn.size(), 10u);
    for (const std::thread::id id : ranOn) EXPECT_EQ(id, std::this_thread::get_id());
}

TEST(UiThread, DestroyingThreadsThatWaitForTheUiThreadNeverDeadlocks) {
    Watchdog dog(120s);
    int served = 0;
    for (int round = 0; round < 1000; ++round) {
        auto thread = std::make_unique<TThread>(
            [&](TThread& self) {
                while (!self.terminated()) self.synchronize([&] { ++served; });
            },
            SyncQueue::ui());
        thread->setStackSize(64 * 1024);
        thread->resume();
        if (round % 3 == 1) QCoreApplication::processEvents();
        if (round % 3 == 2) {
            // The event loop has served a call: the next one is on its way while we join.
            const int before = served;
            ASSERT_TRUE(QTest::qWaitFor([&] { return served > before; }, 10000));
        }
        thread.reset();
    }
    QCoreApplication::processEvents();  // wake-up events of calls the joins already served
    EXPECT_GE(served, 333);
}
