#include "platform/wine/files/ItemsOnThreads.h"

#include <atomic>
#include <thread>
#include <vector>

#include "platform/HelperThreads.h"

namespace parvane::wine {

void ForEachItemOnThreads(std::size_t count, std::size_t threadCount,
                          const std::function<void(std::size_t)>& work) {
    std::atomic<std::size_t> next = 0;
    const auto takeItems = [&] {
        for (std::size_t item = next++; item < count; item = next++) {
            work(item);
        }
    };
    std::vector<std::thread> threads;
    for (std::size_t thread = 1; thread < threadCount; ++thread) {
        StartOffCallersCore(threads.emplace_back(takeItems));
    }
    takeItems();
    for (std::thread& thread : threads) {
        thread.join();
    }
}

}  // namespace parvane::wine
