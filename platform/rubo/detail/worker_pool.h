#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <unordered_map>
#include <vector>

namespace rubo::detail {

// Runs tasks that may block (a pre-update hook waiting for the vehicle) on threads started as
// the load needs them, never more than a fixed maximum; further tasks queue. A thread that has
// been idle for the idle timeout ends, so an idle pool holds no thread.
class WorkerPool {
 public:
  WorkerPool(std::size_t maxThreads, std::chrono::milliseconds idleTimeout);
  ~WorkerPool();
  WorkerPool(const WorkerPool&) = delete;
  WorkerPool& operator=(const WorkerPool&) = delete;

  // False (task not taken) once the pool stops.
  bool Submit(std::function<void()> task);
  // Runs what is queued, then joins every thread.
  void Stop();
  // Threads running now (for tests and the benchmark).
  std::size_t ThreadCount() const;

 private:
  void Work();
  void JoinFinished();  // with the mutex held

  const std::size_t maxThreads_;
  const std::chrono::milliseconds idleTimeout_;
  mutable std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<std::function<void()>> queue_;
  std::unordered_map<std::thread::id, std::thread> threads_;
  std::vector<std::thread> finished_;  // ended by idleness, joined at the next Submit or Stop
  std::size_t idle_ = 0;
  bool stopping_ = false;
};

// Runs the tasks of one key one after another, in the order they were handed in, and tasks of
// different keys side by side, on a worker pool. A key's tasks keep one worker while they
// last, so one busy key never holds more than one thread. The pool must be stopped before the
// serialiser goes.
class SerialByKey {
 public:
  enum class Outcome : std::uint8_t { kQueued, kFull, kStopped };
  using Ticket = std::uint64_t;
  static constexpr std::size_t kUnbounded = static_cast<std::size_t>(-1);

  explicit SerialByKey(WorkerPool& pool) : pool_(pool) {}

  // Runs the task after the key's earlier ones. kFull when maxWaiting tasks of the key wait
  // already behind the one that runs, kStopped when the pool took nothing (it stops); the task
  // is then dropped. The ticket names the task for Cancel.
  Outcome Run(const void* key, std::function<void()> task, std::size_t maxWaiting = kUnbounded,
              Ticket* ticket = nullptr);
  // Takes back a task that waits behind its key's running one, and destroys it; false when it
  // is not waiting (it started, or it was the key's first, which goes to the pool at once).
  bool Cancel(const void* key, Ticket ticket);

 private:
  struct Waiting {
    Ticket ticket;
    std::function<void()> task;
  };

  void RunChain(const void* key, std::function<void()> task);

  WorkerPool& pool_;
  std::mutex mutex_;
  Ticket nextTicket_ = 0;
  // Keys with a task running; the tasks waiting behind it.
  std::unordered_map<const void*, std::deque<Waiting>> busy_;
};

}  // namespace rubo::detail
