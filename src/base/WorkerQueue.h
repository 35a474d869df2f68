#pragma once

// Jobs run one after another, in the order they were posted, on a thread of the queue's own,
// started with the first job. Without a thread to be had, a job runs at once on the caller's.
// The data a job uses must stay until `Wait` returns; the queue's end waits for its jobs.

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace parvane {

class WorkerQueue {
  public:
    WorkerQueue() = default;
    ~WorkerQueue();
    WorkerQueue(const WorkerQueue&) = delete;
    WorkerQueue& operator=(const WorkerQueue&) = delete;

    void Post(std::function<void()> job);
    // Returns once every job posted so far has run.
    void Wait();
    // Returns once at most `left` of the jobs posted so far are queued or running: the ones
    // posted before them have run.
    void WaitUntilLeft(std::size_t left);
    // No job is queued or running; true until the caller posts again.
    bool Idle();

  private:
    bool StartWorker();
    void Work();

    // Both sides wait on `changed`; a job stays queued until it has run.
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<std::function<void()>> jobs;
    bool stopping = false;
    std::thread worker;
};

}  // namespace parvane
