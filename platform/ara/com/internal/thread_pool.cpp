#include "ara/com/internal/thread_pool.h"

#include <utility>

namespace ara::com::internal {

struct ThreadPool::State {
  std::mutex mutex;
  std::condition_variable wake;
  std::deque<Task> tasks;
  bool stopped = false;

  void Submit(Task task) {
    {
      std::lock_guard lock(mutex);
      if (stopped) {
        return;
      }
      tasks.push_back(std::move(task));
    }
    wake.notify_one();
  }
};

ThreadPool::ThreadPool(std::size_t threads) : state_(std::make_shared<State>()) {
  if (threads == 0) {
    threads = 1;
  }
  threads_.reserve(threads);
  for (std::size_t i = 0; i < threads; ++i) {
    threads_.emplace_back([state = state_] {
      for (;;) {
        Task task;
        {
          std::unique_lock lock(state->mutex);
          state->wake.wait(lock, [&] { return state->stopped || !state->tasks.empty(); });
          if (state->stopped) {
            return;
          }
          task = std::move(state->tasks.front());
          state->tasks.pop_front();
        }
        try {
          task();
        } catch (...) {
          // Tasks report their own failures; a worker must survive whatever escapes.
        }
      }
    });
  }
}

ThreadPool::~ThreadPool() {
  Stop();
}

void ThreadPool::Submit(Task task) {
  state_->Submit(std::move(task));
}

void ThreadPool::Stop() {
  std::deque<Task> dropped;
  {
    std::lock_guard lock(state_->mutex);
    state_->stopped = true;
    dropped.swap(state_->tasks);
  }
  state_->wake.notify_all();
  for (auto& thread : threads_) {
    if (!thread.joinable()) {
      continue;
    }
    if (thread.get_id() == std::this_thread::get_id()) {
      thread.detach();  // the worker ends by itself once its current task returns
    } else {
      thread.join();
    }
  }
  // `dropped` may hold the last references to objects whose destruction posts again; the pool
  // refuses those posts now.
}

Strand::Strand(const ThreadPool& pool) : pool_(pool.state_) {}

void Strand::Post(Task task) {
  bool schedule = false;
  {
    std::lock_guard lock(mutex_);
    tasks_.push_back(std::move(task));
    if (!active_ && !scheduled_) {
      scheduled_ = true;
      schedule = true;
    }
  }
  if (schedule) {
    pool_->Submit([self = shared_from_this()] { self->RunScheduled(); });
  }
}

void Strand::RunScheduled() {
  std::unique_lock lock(mutex_);
  scheduled_ = false;
  if (active_) {
    return;  // a draining caller runs the queue
  }
  RunAll(lock);
}

void Strand::RunAll(std::unique_lock<std::mutex>& lock) {
  active_ = true;
  owner_ = std::this_thread::get_id();
  while (!tasks_.empty()) {
    Task task = std::move(tasks_.front());
    tasks_.pop_front();
    lock.unlock();
    try {
      task();
    } catch (...) {
      // Tasks report their own failures.
    }
    task = nullptr;  // release what the task held before taking the lock again
    lock.lock();
  }
  active_ = false;
  owner_ = std::thread::id{};
  idle_.notify_all();
}

void Strand::Drain() {
  std::unique_lock lock(mutex_);
  if (active_ && owner_ == std::this_thread::get_id()) {
    return;
  }
  while (active_ || !tasks_.empty()) {
    if (!active_) {
      RunAll(lock);
    } else {
      idle_.wait(lock);
    }
  }
}

bool Strand::RunningInThisThread() const {
  std::lock_guard lock(mutex_);
  return active_ && owner_ == std::this_thread::get_id();
}

}  // namespace ara::com::internal
