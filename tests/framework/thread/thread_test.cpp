// The thread core without Qt: suspended start, terminate, wait, calls into the owner
// thread, and waiting for a thread that waits for the owner. Checks run on the test's
// own thread; bodies only record.

#include "framework/thread/thread.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <memory>
#include <semaphore>
#include <stdexcept>
#include <thread>
#include <vector>

#include "watchdog.h"

using framework::SyncQueue;
using framework::TThread;
using testing_support::Watchdog;
using namespace std::chrono_literals;

namespace {

constexpr std::size_t kSmallStack = 64 * 1024;

}  // namespace

TEST(Thread, CreatedSuspendedItRunsOnlyOnceResumed) {
    SyncQueue queue;
    std::atomic<int> runs{0};
    {
        TThread never([&](TThread&) { ++runs; }, queue);
        EXPECT_TRUE(never.suspended());
        std::this_thread::sleep_for(10ms);
    }
    EXPECT_EQ(runs.load(), 0);  // never resumed: dropped without running
    TThread thread([&](TThread&) { ++runs; }, queue);
    std::this_thread::sleep_for(10ms);
    EXPECT_EQ(runs.load(), 0);
    thread.resume();
    thread.resume();
    thread.waitFor();
    thread.waitFor();
    EXPECT_EQ(runs.load(), 1);
    EXPECT_TRUE(thread.finished());
    EXPECT_FALSE(thread.suspended());
}

TEST(Thread, SynchronizedCallsRunOnTheOwnerWhileTheBodyWaits) {
    Watchdog dog(60s);
    SyncQueue queue;
    std::vector<std::thread::id> ranOn;  // touched on the owner only
    int counter = 0;
    std::vector<int> seenAfterEachCall;  // touched by the body only until it ends
    TThread thread(
        [&](TThread& self) {
            for (int i = 0; i < 100; ++i) {
                self.synchronize([&] {
                    ranOn.push_back(std::this_thread::get_id());
                    ++counter;
                });
                seenAfterEachCall.push_back(counter);
            }
        },
        queue);
    thread.resume();
    thread.waitFor();
    ASSERT_EQ(ranOn.size(), 100u);
    for (const std::thread::id id : ranOn) EXPECT_EQ(id, std::this_thread::get_id());
    for (int i = 0; i < 100; ++i) EXPECT_EQ(seenAfterEachCall[static_cast<std::size_t>(i)], i + 1);
}

TEST(Thread, ExceptionsReachTheBodyOrAreKeptWhenTheyEndIt) {
    SyncQueue queue;
    std::string caught;
    TThread thread(
        [&](TThread& self) {
            try {
                self.synchronize([] { throw std::runtime_error("from the owner"); });
            } catch (const std::runtime_error& e) {
                caught = e.what();
            }
            throw std::invalid_argument("ends the body");
        },
        queue);
    thread.resume();
    thread.waitFor();
    EXPECT_EQ(caught, "from the owner");
    ASSERT_TRUE(thread.fatalException());
    EXPECT_THROW(std::rethrow_exception(thread.fatalException()), std::invalid_argument);
}

TEST(Thread, TerminateWakesABodyAsleepInItsOwnWait) {
    Watchdog dog(60s);
    SyncQueue queue;
    int wake[2];
    ASSERT_EQ(pipe(wake), 0);
    std::atomic<bool> sawTerminated{false};
    {
        TThread thread(
            [&](TThread& self) {
                pollfd fd{wake[0], POLLIN, 0};
                poll(&fd, 1, -1);  // no time-out: only the hook ends this wait
                sawTerminated = self.terminated();
            },
            queue);
        thread.setOnTerminate([&] { [[maybe_unused]] auto n = write(wake[1], "x", 1); });
        thread.resume();
        std::this_thread::sleep_for(5ms);
    }
    EXPECT_TRUE(sawTerminated.load());
    close(wake[0]);
    close(wake[1]);
}

// The owner destroys a thread whose body keeps asking the owner to run calls: whatever
// the moment, the destructor serves the waiting call and the body ends.
TEST(Thread, JoiningABodyThatWaitsForTheOwnerNeverDeadlocks) {
    Watchdog dog(120s);
    SyncQueue queue;
    int served = 0;
    for (int round = 0; round < 1000; ++round) {
        auto thread = std::make_unique<TThread>(
            [&](TThread& self) {
                while (!self.terminated()) self.synchronize([&] { ++served; });
            },
            queue);
        thread->setStackSize(kSmallStack);
        thread->resume();
        if (round % 3 == 1) std::this_thread::yield();
        if (round % 3 == 2) {
            const int before = served;
            queue.serveUntil([&] { return served > before; });
        }
        thread.reset();
    }
    EXPECT_GT(served, 300);
}

// Two callers take turns: each call, while it runs on the owner, lets the other caller queue
// its next one, so the queue is never empty between calls (as monitors reporting a busy
// folder keep it). Waiting for a thread that has ended returns at once all the same, and
// serving runs the call that waited, leaving the next one to a wake-up of its own.
TEST(Thread, WaitingAndServingEndThoughOtherThreadsKeepCalling) {
    Watchdog dog(60s);
    SyncQueue queue;
    constexpr int kCalls = 200;
    std::atomic<int> queuedIntoEmpty{0};
    queue.setWakeup([&] { ++queuedIntoEmpty; });
    std::binary_semaphore turns[2]{std::binary_semaphore(0), std::binary_semaphore(0)};
    int served = 0;  // the owner's
    const auto takeTurns = [&](int me) {
        for (int i = 0; i < kCalls / 2; ++i) {
            turns[me].acquire();
            queue.call([&] {
                if (++served == kCalls) return;
                const int queued = queuedIntoEmpty.load();
                turns[1 - me].release();
                while (queuedIntoEmpty.load() == queued) std::this_thread::yield();
            });
        }
    };
    TThread ended([](TThread&) {}, queue);
    ended.resume();
    while (!ended.finished()) std::this_thread::yield();
    std::thread first(takeTurns, 0);
    std::thread second(takeTurns, 1);
    turns[0].release();
    while (queuedIntoEmpty.load() == 0) std::this_thread::yield();
    ended.waitFor();
    EXPECT_EQ(served, 0);
    const int wakeups = queuedIntoEmpty.load();
    EXPECT_EQ(queue.serve(), 1u);
    EXPECT_EQ(served, 1);
    EXPECT_EQ(queuedIntoEmpty.load(), wakeups + 2);  // the next call came, and serve left it
    queue.serveUntil([&] { return served == kCalls; });
    first.join();
    second.join();
}

TEST(Thread, AThousandSmallThreadsWaitAndEndTogether) {
    Watchdog dog(120s);
    SyncQueue queue;
    std::mutex mutex;
    std::condition_variable wake;
    std::atomic<int> waiting{0};
    std::vector<std::unique_ptr<TThread>> threads;
    for (int i = 0; i < 1000; ++i) {
        auto thread = std::make_unique<TThread>(
            [&](TThread& self) {
                std::unique_lock lock(mutex);
                ++waiting;
                wake.wait(lock, [&] { return self.terminated(); });
            },
            queue);
        thread->setStackSize(kSmallStack);
        thread->setOnTerminate([&] {
            std::lock_guard lock(mutex);
            wake.notify_all();
        });
        thread->resume();
        threads.push_back(std::move(thread));
    }
    while (waiting.load() < 1000) std::this_thread::sleep_for(1ms);
    for (auto& thread : threads) thread->terminate();
    threads.clear();
    EXPECT_EQ(waiting.load(), 1000);
}

TEST(Thread, TheBodyRunsOnAStackOfTheChosenSize) {
    SyncQueue queue;
    std::size_t size = 0;
    TThread thread(
        [&](TThread&) {
            pthread_attr_t attributes;
            pthread_getattr_np(pthread_self(), &attributes);
            pthread_attr_getstacksize(&attributes, &size);
            pthread_attr_destroy(&attributes);
        },
        queue);
    thread.setStackSize(kSmallStack);
    thread.resume();
    EXPECT_THROW(thread.setStackSize(1 << 20), std::logic_error);
    EXPECT_THROW(thread.setOnTerminate({}), std::logic_error);
    thread.waitFor();
    EXPECT_GE(size, kSmallStack);
#ifndef __SANITIZE_THREAD__  // ThreadSanitizer enlarges every thread's stack
    EXPECT_LT(size, 2 * kSmallStack);
#endif
}

TEST(Thread, WaitingFromInsideItsOwnSynchronizedCallIsRefused) {
    Watchdog dog(60s);
    SyncQueue queue;
    bool refused = false;
    TThread* self = nullptr;
    TThread thread(
        [&](TThread& me) {
            me.synchronize([&] {
                try {
                    self->waitFor();
                } catch (const std::logic_error&) {
                    refused = true;
                }
            });
        },
        queue);
    self = &thread;
    thread.resume();
    thread.waitFor();
    EXPECT_TRUE(refused);
}

TEST(SyncQueue, TheOwnerRunsItsOwnCallsAtOnce) {
    SyncQueue queue;
    bool ran = false;
    queue.call([&] { ran = true; });
    EXPECT_TRUE(ran);
    EXPECT_EQ(queue.serve(), 0u);
}

TEST(SyncQueue, TheWakeupComesOncePerEmptyQueueAndServeRunsEverything) {
    Watchdog dog(60s);
    SyncQueue queue;
    std::atomic<int> wakeups{0};
    queue.setWakeup([&] { ++wakeups; });
    std::atomic<int> ran{0};
    std::vector<std::thread> callers;
    callers.reserve(4);
    for (int i = 0; i < 4; ++i) {
        callers.emplace_back([&] { queue.call([&] { ++ran; }); });
    }
    while (wakeups.load() == 0) std::this_thread::sleep_for(1ms);
    std::size_t served = 0;
    while (served < 4) served += queue.serve();
    for (std::thread& caller : callers) caller.join();
    EXPECT_EQ(ran.load(), 4);
    EXPECT_GE(wakeups.load(), 1);
    EXPECT_LE(wakeups.load(), 4);
    queue.setWakeup({});
}

TEST(SyncQueue, AnAdoptingThreadBecomesTheOwnerThatServes) {
    Watchdog dog(60s);
    SyncQueue queue;
    std::thread::id ranOn;
    std::atomic<bool> adopted{false};
    std::thread owner([&] {
        queue.adoptCurrentThread();
        adopted = true;
        queue.serveUntil([&] { return ranOn != std::thread::id(); });
    });
    const std::thread::id ownerId = owner.get_id();
    while (!adopted.load()) std::this_thread::sleep_for(1ms);
    EXPECT_FALSE(queue.onOwnerThread());
    queue.call([&] { ranOn = std::this_thread::get_id(); });
    owner.join();
    EXPECT_EQ(ranOn, ownerId);
}
