#include "base/WorkerQueue.h"

#include <system_error>
#include <utility>

#include "platform/HelperThreads.h"

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
    // Post holds the lock until this worker is placed off its core; only then may it run anywhere.
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
    // Held until a worker started here is placed (see Work).
    std::unique_lock lock(mutex);
    if (!StartWorker()) {
        lock.unlock();
        job();
        return;
    }
    jobs.push_back(std::move(job));
    lock.unlock();
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
