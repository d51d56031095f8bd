#pragma once
// A bounded pool of threads for blocking work (a route's upstream fetch, a
// translation), so that the threads that serve connections never block.
// Workers start when work comes and none is idle, up to the limit, through
// the thread factory: a start that fails leaves fewer workers, and with no
// worker at all the work is refused, never queued for nobody.

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "services/support/thread_factory.h"

namespace nimbrel::services {

class WorkerPool {
public:
    WorkerPool(std::size_t workers, std::size_t queued, ThreadFactory factory);
    ~WorkerPool();
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    // Queues job for a worker. False when the queue is full, the pool has
    // stopped, or no worker runs and none could be started. A job that
    // throws ends quietly; it should answer its failure itself.
    bool Post(std::function<void()> job);

    // Drops the jobs not begun and waits up to drain for those running.
    // True when none is left running (every worker is then joined); else
    // the workers are let go, and each ends after its job.
    bool Stop(std::chrono::milliseconds drain);

private:
    // What the workers share with the pool, and keep when let go.
    struct State {
        std::mutex mutex;
        std::condition_variable workCame;
        std::condition_variable drained;
        std::deque<std::function<void()>> jobs;
        std::size_t idle = 0;
        std::size_t running = 0;
        bool stopping = false;
    };
    static void Work(const std::shared_ptr<State>& state);

    const std::size_t maxWorkers_;
    const std::size_t maxQueued_;
    const ThreadFactory factory_;
    const std::shared_ptr<State> state_ = std::make_shared<State>();
    std::vector<std::thread> workers_;  // under state_->mutex
};

}  // namespace nimbrel::services
