#include "services/server/worker_pool.h"

namespace nimbrel::services {

WorkerPool::WorkerPool(std::size_t workers, std::size_t queued, ThreadFactory factory)
    : maxWorkers_(workers), maxQueued_(queued), factory_(std::move(factory)) {}

WorkerPool::~WorkerPool() { Stop(std::chrono::milliseconds(0)); }

bool WorkerPool::Post(std::function<void()> job) {
    std::lock_guard<std::mutex> lock(state_->mutex);
    if (state_->stopping || state_->jobs.size() >= maxQueued_) return false;
    if (state_->idle <= state_->jobs.size() && workers_.size() < maxWorkers_) {
        std::thread worker = StartThread(factory_, [state = state_] { Work(state); });
        if (worker.joinable()) workers_.push_back(std::move(worker));
    }
    if (workers_.empty()) return false;
    state_->jobs.push_back(std::move(job));
    state_->workCame.notify_one();
    return true;
}

bool WorkerPool::Stop(std::chrono::milliseconds drain) {
    std::deque<std::function<void()>> dropped;  // released after the lock
    std::vector<std::thread> workers;
    bool drained = false;
    {
        std::unique_lock<std::mutex> lock(state_->mutex);
        state_->stopping = true;
        dropped.swap(state_->jobs);
        state_->workCame.notify_all();
        drained = state_->drained.wait_for(lock, drain, [this] { return state_->running == 0; });
        workers.swap(workers_);
    }
    for (std::thread& worker : workers) drained ? worker.join() : worker.detach();
    return drained;
}

void WorkerPool::Work(const std::shared_ptr<State>& state) {
    std::unique_lock<std::mutex> lock(state->mutex);
    while (true) {
        ++state->idle;
        state->workCame.wait(lock, [&] { return state->stopping || !state->jobs.empty(); });
        --state->idle;
        if (state->stopping) return;
        std::function<void()> job = std::move(state->jobs.front());
        state->jobs.pop_front();
        ++state->running;
        lock.unlock();
        try {
            job();
        } catch (...) {
        }
        job = nullptr;  // what it holds goes before it counts as done
        lock.lock();
        if (--state->running == 0) state->drained.notify_all();
    }
}

}  // namespace nimbrel::services
