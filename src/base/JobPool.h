#pragma once

// Jobs taken in the order they were posted by up to a given number of threads of the pool's
// own, started as jobs come, so that independent jobs run side by side. A job may post
// others. Without a thread to be had, a job runs at once on the caller's. The pool's end waits
// for its jobs; a job's caller waits for it by its own means.

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace parvane {

class JobPool {
  public:
    explicit JobPool(std::size_t threads);
    ~JobPool();
    JobPool(const JobPool&) = delete;
    JobPool& operator=(const JobPool&) = delete;

    void Post(std::function<void()> job);

  private:
    bool StartWorker();
    void Work();

    std::size_t maxThreads;
    std::mutex mutex;
    std::condition_variable posted;
    std::deque<std::function<void()>> jobs;
    std::size_t idleWorkers = 0;
    bool stopping = false;
    std::vector<std::thread> workers;
};

}  // namespace parvane
