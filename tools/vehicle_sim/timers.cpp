#include "tools/vehicle_sim/timers.h"

namespace orik::vehicleSim {

ThreadTimers::ThreadTimers() : thread_([this] { Run(); }) {}

ThreadTimers::~ThreadTimers() {
  {
    std::lock_guard lock(mutex_);
    stop_ = true;
    tasks_.clear();
  }
  changed_.notify_all();
  thread_.join();
}

std::chrono::milliseconds ThreadTimers::Now() const {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start_);
}

void ThreadTimers::After(std::chrono::milliseconds delay, Task task) {
  {
    std::lock_guard lock(mutex_);
    if (stop_) {
      return;
    }
    tasks_.emplace(Clock::now() + delay, std::move(task));
  }
  changed_.notify_all();
}

void ThreadTimers::Clear() {
  std::unique_lock lock(mutex_);
  tasks_.clear();
  if (std::this_thread::get_id() != thread_.get_id()) {
    changed_.wait(lock, [&] { return !running_; });
  }
}

void ThreadTimers::Run() {
  std::unique_lock lock(mutex_);
  while (!stop_) {
    if (tasks_.empty()) {
      changed_.wait(lock);
      continue;
    }
    const auto due = tasks_.begin()->first;
    if (Clock::now() < due) {
      changed_.wait_until(lock, due);
      continue;
    }
    Task task = std::move(tasks_.begin()->second);
    tasks_.erase(tasks_.begin());
    running_ = true;
    lock.unlock();
    try {
      task();
    } catch (...) {
      // A task reports its own failures; the timeline must go on.
    }
    lock.lock();
    running_ = false;
    changed_.notify_all();
  }
}

}  // namespace orik::vehicleSim
