#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace orik::someipSync {

// What the data-sync thread needs of a timer: a wait that a stop request ends at once.
// Tests give the thread a scripted timer through this interface.
class WaitTimerInterface {
 public:
  virtual ~WaitTimerInterface() = default;
  // True only when the whole duration passed without a stop request.
  virtual bool WaitFor(const std::chrono::seconds& duration) = 0;
  // Ends the current wait and every later one at once; never undone.
  virtual void StopWaiting() = 0;
};

class InterruptableTimer : public WaitTimerInterface {
 public:
  InterruptableTimer() = default;
  ~InterruptableTimer() override = default;
  InterruptableTimer(const InterruptableTimer&) = delete;
  InterruptableTimer& operator=(const InterruptableTimer&) = delete;

  bool WaitFor(const std::chrono::seconds& duration) override;
  void StopWaiting() override;

 private:
  std::mutex mutex_;
  std::condition_variable condition_;
  bool stop_ = false;
};

}  // namespace orik::someipSync
