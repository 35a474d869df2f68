#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "base/JobPool.h"

namespace parvane {
namespace {

// Waits up to ten seconds for `flag`; true once it is set.
bool AwaitFlag(const std::atomic<bool>& flag) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!flag && std::chrono::steady_clock::now() < end) {
        std::this_thread::yield();
    }
    return flag;
}

// Two jobs that each wait for the other can only both end side by side, on two threads of the
// pool's own; a job posted by a job runs too, and the pool's end waits for all of them.
TEST(JobPool, RunsJobsSideBySideOffTheCallersThread) {
    std::atomic<bool> firstStarted = false;
    std::atomic<bool> secondStarted = false;
    std::atomic<bool> firstSawSecond = false;
    std::atomic<bool> secondSawFirst = false;
    std::atomic<bool> postedByAJobRan = false;
    std::atomic<int> onCallersThread = 0;
    const std::thread::id caller = std::this_thread::get_id();
    {
        JobPool pool(2);
        pool.Post([&] {
            onCallersThread += std::this_thread::get_id() == caller ? 1 : 0;
            firstStarted = true;
            firstSawSecond = AwaitFlag(secondStarted);
            pool.Post([&] { postedByAJobRan = true; });
        });
        pool.Post([&] {
            onCallersThread += std::this_thread::get_id() == caller ? 1 : 0;
            secondStarted = true;
            secondSawFirst = AwaitFlag(firstStarted);
        });
    }
    EXPECT_TRUE(firstSawSecond);
    EXPECT_TRUE(secondSawFirst);
    EXPECT_TRUE(postedByAJobRan);
    EXPECT_EQ(onCallersThread, 0);
}

}  // namespace
}  // namespace parvane
