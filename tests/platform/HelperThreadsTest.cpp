// Where helper threads run, on Linux (Windows places a new thread itself).
#ifdef __linux__

#include <gtest/gtest.h>
#include <sched.h>
#include <unistd.h>

#include <atomic>
#include <thread>

#include "base/WorkerQueue.h"
#include "platform/HelperThreads.h"

namespace parvane {
namespace {

cpu_set_t CoresOf(pid_t thread) {
    cpu_set_t cores;
    CPU_ZERO(&cores);
    EXPECT_EQ(sched_getaffinity(thread, sizeof cores, &cores), 0);
    return cores;
}

// A helper starts on every core but one (all of them on a machine of one core), and runs on
// every core again once it lets itself.
TEST(HelperThreads, AHelperStartsOffOneCoreAndThenRunsAnywhere) {
    const cpu_set_t every = CoresOf(0);
    std::atomic<bool> placed = false;
    cpu_set_t atStart;
    cpu_set_t afterwards;
    std::thread helper([&] {
        while (!placed) {
            std::this_thread::yield();
        }
        atStart = CoresOf(0);
        RunOnAnyCore();
        afterwards = CoresOf(0);
    });
    StartOffCallersCore(helper);
    placed = true;
    helper.join();
    EXPECT_EQ(CPU_COUNT(&atStart), CPU_COUNT(&every) > 1 ? CPU_COUNT(&every) - 1 : 1);
    EXPECT_TRUE(CPU_EQUAL(&afterwards, &every));
}

// A queue's worker, which may run as long as its owner, is not kept off the poster's core.
TEST(HelperThreads, AQueuesWorkerRunsOnEveryCore) {
    const cpu_set_t every = CoresOf(0);
    cpu_set_t worker;
    {
        WorkerQueue queue;
        queue.Post([&] { worker = CoresOf(0); });
    }
    EXPECT_TRUE(CPU_EQUAL(&worker, &every));
}

}  // namespace
}  // namespace parvane

#endif
