#include "base/JobPool.h"

#include <system_error>
#include <utility>

#include "platform/HelperThreads.h"

namespace parvane {

JobPool::JobPool(std::size_t threads) : maxThreads(threads) {}

JobPool::~JobPool() {
    {
        const std::lock_guard lock(mutex);
        stopping = true;
    }
    posted.notify_all();
    for (std::thread& worker : workers) {
        worker.join();
    }
}

// A worker is started while every other one is busy.
bool JobPool::StartWorker() {
    if (idleWorkers > jobs.size() || workers.size() >= maxThreads) {
        return !workers.empty();
    }
    try {
        std::thread& worker = workers.emplace_back(&JobPool::Work, this);
        StartOffCallersCore(worker);
    } catch (const std::system_error&) {
        return !workers.empty();
    }
    return true;
}

// Takes jobs until the queue is empty and the pool goes.
void JobPool::Work() {
    // Post holds the lock until this worker is placed off its core; only then may it run anywhere.
    std::unique_lock lock(mutex);
    RunOnAnyCore();
    for (;;) {
        ++idleWorkers;
        posted.wait(lock, [this] { return !jobs.empty() || stopping; });
        --idleWorkers;
        if (jobs.empty()) {
            return;
        }
        std::function<void()> job = std::move(jobs.front());
        jobs.pop_front();
        lock.unlock();
        job();
        lock.lock();
    }
}

void JobPool::Post(std::function<void()> job) {
    // Held until a worker started here is placed (see Work).
    std::unique_lock lock(mutex);
    if (stopping || !StartWorker()) {
        lock.unlock();
        job();
        return;
    }
    jobs.push_back(std::move(job));
    lock.unlock();
    posted.notify_one();
}

}  // namespace parvane
