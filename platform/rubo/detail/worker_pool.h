#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace rubo::detail {

// Runs tasks on threads that are started as the load needs them, up to a maximum, so that a
// task that blocks (a hook waiting for the vehicle) does not hold up the others.
class WorkerPool {
 public:
  explicit WorkerPool(std::size_t maxThreads);
  ~WorkerPool();
  WorkerPool(const WorkerPool&) = delete;
  WorkerPool& operator=(const WorkerPool&) = delete;

  // False (task not taken) once the pool stops.
  bool Submit(std::function<void()> task);
  // Runs what is queued, then joins every thread.
  void Stop();

 private:
  void Work();

  const std::size_t maxThreads_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<std::function<void()>> queue_;
  std::vector<std::thread> threads_;
  std::size_t idle_ = 0;
  bool stopping_ = false;
};

}  // namespace rubo::detail
