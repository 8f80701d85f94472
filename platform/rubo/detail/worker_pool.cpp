#include "rubo/detail/worker_pool.h"

#include <exception>

#include "rubo/detail/logger.h"

namespace rubo::detail {

WorkerPool::WorkerPool(std::size_t maxThreads) : maxThreads_(maxThreads == 0 ? 1 : maxThreads) {}

WorkerPool::~WorkerPool() {
  Stop();
}

bool WorkerPool::Submit(std::function<void()> task) {
  std::lock_guard lock(mutex_);
  if (stopping_) {
    return false;
  }
  queue_.push_back(std::move(task));
  if (queue_.size() > idle_ && threads_.size() < maxThreads_) {
    threads_.emplace_back([this] { Work(); });
  }
  wake_.notify_one();
  return true;
}

void WorkerPool::Stop() {
  std::vector<std::thread> threads;
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
    threads.swap(threads_);
  }
  wake_.notify_all();
  for (auto& thread : threads) {
    thread.join();
  }
}

void WorkerPool::Work() {
  for (;;) {
    std::function<void()> task;
    {
      std::unique_lock lock(mutex_);
      ++idle_;
      wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
      --idle_;
      if (queue_.empty()) {
        return;  // stopping and nothing left
      }
      task = std::move(queue_.front());
      queue_.pop_front();
    }
    try {
      task();
    } catch (const std::exception& e) {
      FrameworkLogger().LogError() << "[Rubo] Request task failed: " << e.what();
    } catch (...) {
      FrameworkLogger().LogError() << "[Rubo] Request task failed: unknown exception";
    }
  }
}

}  // namespace rubo::detail
