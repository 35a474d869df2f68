#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "base/WorkerQueue.h"

namespace parvane {
namespace {

// Jobs run in the order posted, on another thread, the caller going on meanwhile; the queue's
// end waits for what is still queued.
TEST(WorkerQueue, RunsJobsInOrderOnAThreadOfItsOwn) {
    std::vector<int> ran;
    std::atomic<bool> released = false;
    std::thread::id worker;
    {
        WorkerQueue queue;
        queue.Post([&] {
            worker = std::this_thread::get_id();
            while (!released) {
                std::this_thread::yield();
            }
            ran.push_back(1);
        });
        queue.Post([&] { ran.push_back(2); });
        EXPECT_FALSE(queue.Idle());
        released = true;
        queue.Wait();
        EXPECT_TRUE(queue.Idle());
        EXPECT_EQ(ran, (std::vector<int>{1, 2}));
        EXPECT_NE(worker, std::this_thread::get_id());
        queue.Post([&] { ran.push_back(3); });
    }
    EXPECT_EQ(ran, (std::vector<int>{1, 2, 3}));
}

// A wait for all but the last job returns while that job still runs.
TEST(WorkerQueue, WaitsForTheJobsPostedBeforeTheLastOnes) {
    std::atomic<bool> firstRan = false;
    std::atomic<bool> released = false;
    WorkerQueue queue;
    queue.Post([&] { firstRan = true; });
    queue.Post([&] {
        while (!released) {
            std::this_thread::yield();
        }
    });
    queue.WaitUntilLeft(1);
    EXPECT_TRUE(firstRan);
    EXPECT_FALSE(queue.Idle());
    released = true;
    queue.Wait();
    EXPECT_TRUE(queue.Idle());
}

}  // namespace
}  // namespace parvane
