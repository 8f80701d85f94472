#pragma once

// When the simulator does something later (timeline entries, delayed answers) it asks a Timers
// object, so that tests drive time by hand instead of sleeping through scenario times.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <thread>
#include <utility>

namespace orik::vehicleSim {

class Timers {
 public:
  using Task = std::function<void()>;
  virtual ~Timers() = default;
  // Time since the timers began.
  virtual std::chrono::milliseconds Now() const = 0;
  // Runs the task once `delay` from now; tasks due at the same time run in the order given.
  virtual void After(std::chrono::milliseconds delay, Task task) = 0;
  // Drops every pending task and waits for a running one (unless called from inside it).
  virtual void Clear() = 0;
};

// Runs tasks on a thread of its own against the steady clock.
class ThreadTimers final : public Timers {
 public:
  ThreadTimers();
  ~ThreadTimers() override;
  ThreadTimers(const ThreadTimers&) = delete;
  ThreadTimers& operator=(const ThreadTimers&) = delete;

  std::chrono::milliseconds Now() const override;
  void After(std::chrono::milliseconds delay, Task task) override;
  void Clear() override;

 private:
  using Clock = std::chrono::steady_clock;
  void Run();

  const Clock::time_point start_ = Clock::now();
  std::mutex mutex_;
  std::condition_variable changed_;
  std::multimap<Clock::time_point, Task> tasks_;
  bool running_ = false;  // a task is executing
  bool stop_ = false;
  std::thread thread_;
};

}  // namespace orik::vehicleSim
