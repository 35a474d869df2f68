#pragma once

// Work on many items shared among a few threads, for calls that wait on the disk.

#include <cstddef>
#include <functional>

namespace parvane::wine {

// Calls `work(item)` for each item below `count`, on `threadCount` threads at once (this one
// among them; none more for 0 or 1), each taking the next item no thread has taken. Returns
// when every item is done.
void ForEachItemOnThreads(std::size_t count, std::size_t threadCount,
                          const std::function<void(std::size_t)>& work);

}  // namespace parvane::wine
