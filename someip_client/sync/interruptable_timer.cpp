#include "someip_client/sync/interruptable_timer.h"

namespace orik::someipSync {

bool InterruptableTimer::WaitFor(const std::chrono::seconds& duration) {
  std::unique_lock<std::mutex> lock(mutex_);
  // The deadline is taken on the steady clock so that a wall-clock change neither
  // shortens nor stretches the wait.
  const auto deadline = std::chrono::steady_clock::now() + duration;
  if (stop_) {
    return false;
  }
  // wait_until re-checks the predicate after every wake-up, so spurious wake-ups wait
  // again for the same deadline.
  const bool stopped = condition_.wait_until(lock, deadline, [this] { return stop_; });
  return !stopped;
}

void InterruptableTimer::StopWaiting() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stop_ = true;
  }
  // Every waiter is woken: the flag stays set, so each of them returns false.
  condition_.notify_all();
}

}  // namespace orik::someipSync
