#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace ara::com::internal {

using Task = std::function<void()>;

// A fixed set of worker threads. Tasks submitted after Stop are dropped.
class ThreadPool {
 public:
  explicit ThreadPool(std::size_t threads);
  ~ThreadPool();
  ThreadPool(const ThreadPool&) = delete;
  ThreadPool& operator=(const ThreadPool&) = delete;

  void Submit(Task task);
  // Ends the workers after their current task; queued tasks are dropped.
  void Stop();
  std::size_t Size() const noexcept { return threads_.size(); }

  struct State;

 private:
  friend class Strand;
  std::shared_ptr<State> state_;
  std::vector<std::thread> threads_;
};

// A serial queue on a pool: its tasks run one at a time, in order, on whichever worker is free.
class Strand : public std::enable_shared_from_this<Strand> {
 public:
  explicit Strand(const ThreadPool& pool);
  Strand(const Strand&) = delete;
  Strand& operator=(const Strand&) = delete;

  void Post(Task task);
  // Returns when every task posted so far has run. A task that no worker has started yet is run
  // by the caller itself, so draining never needs a free worker. Called from a task of this
  // strand, it returns at once.
  void Drain();
  // True on the thread that is running a task of this strand.
  bool RunningInThisThread() const;

 private:
  void RunScheduled();
  // Runs tasks until the queue is empty; `lock` is held on entry and on return.
  void RunAll(std::unique_lock<std::mutex>& lock);

  std::shared_ptr<ThreadPool::State> pool_;
  mutable std::mutex mutex_;
  std::condition_variable idle_;
  std::deque<Task> tasks_;
  bool scheduled_ = false;
  bool active_ = false;
  std::thread::id owner_;
};

}  // namespace ara::com::internal
