#include "base/WorkerQueue.h"

#include "platform/HelperThreads.h"

#include <system_error>
#include <utility>

namespace parvane {

WorkerQueue::~WorkerQueue() {
    if (worker.joinable()) {
        {
            const std::lock_guard lock(mutex);
            stopping = true;
        }
        changed.notify_all();
        worker.join();
    }
}

bool WorkerQueue::StartWorker() {
    if (!worker.joinable()) {
        try {
            worker = std::thread(&WorkerQueue::Work, this);
            StartOffCallersCore(worker);
        } catch (const std::system_error&) {
            return false;
        }
    }
    return true;
}

// Runs the jobs until the queue is empty and its owner goes.
void WorkerQueue::Work() {
    // The lock is taken once the worker's start has been placed (see Post).
    std::unique_lock lock(mutex);
    RunOnAnyCore();
    for (;;) {
        changed.wait(lock, [this] { return !jobs.empty() || stopping; });
        if (jobs.empty()) {
            return;
        }
        const std::function<void()>& job = jobs.front();
        lock.unlock();
        job();
        lock.lock();
        jobs.pop_front();
        changed.notify_all();
    }
}

void WorkerQueue::Post(std::function<void()> job) {
    bool queued = false;
    {
        const std::lock_guard lock(mutex);
        if (StartWorker()) {
            jobs.push_back(std::move(job));
            queued = true;
        }
    }
    if (!queued) {
        job();
        return;
    }
    changed.notify_all();
}

void WorkerQueue::Wait() {
    WaitUntilLeft(0);
}

void WorkerQueue::WaitUntilLeft(std::size_t left) {
    std::unique_lock lock(mutex);
    changed.wait(lock, [this, left] { return jobs.size() <= left; });
}

bool WorkerQueue::Idle() {
    const std::lock_guard lock(mutex);
    return jobs.empty();
}

}  // namespace parvane
