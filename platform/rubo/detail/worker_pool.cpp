#include "rubo/detail/worker_pool.h"

#include <algorithm>
#include <exception>

#include "rubo/detail/logger.h"

namespace rubo::detail {

namespace {

void RunGuarded(std::function<void()>& task) noexcept {
  try {
    task();
  } catch (const std::exception& e) {
    RequestLog::Error(std::string("[Rubo] Request task failed: ") + e.what());
  } catch (...) {
    RequestLog::Error("[Rubo] Request task failed: unknown exception");
  }
}

}  // namespace

WorkerPool::WorkerPool(std::size_t maxThreads, std::chrono::milliseconds idleTimeout)
    : maxThreads_(maxThreads == 0 ? 1 : maxThreads), idleTimeout_(idleTimeout) {}

WorkerPool::~WorkerPool() {
  Stop();
}

bool WorkerPool::Submit(std::function<void()> task) {
  std::lock_guard lock(mutex_);
  if (stopping_) {
    return false;
  }
  JoinFinished();
  queue_.push_back(std::move(task));
  if (queue_.size() > idle_ && threads_.size() < maxThreads_) {
    std::thread thread([this] { Work(); });
    const auto id = thread.get_id();
    threads_.emplace(id, std::move(thread));
  }
  wake_.notify_one();
  return true;
}

void WorkerPool::Stop() {
  std::vector<std::thread> threads;
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
    for (auto& [id, thread] : threads_) {
      threads.push_back(std::move(thread));
    }
    threads_.clear();
    for (auto& thread : finished_) {
      threads.push_back(std::move(thread));
    }
    finished_.clear();
  }
  wake_.notify_all();
  for (auto& thread : threads) {
    thread.join();
  }
}

std::size_t WorkerPool::ThreadCount() const {
  std::lock_guard lock(mutex_);
  return threads_.size();
}

void WorkerPool::JoinFinished() {
  // These threads have left Work (they only still return); joining them is immediate.
  for (auto& thread : finished_) {
    thread.join();
  }
  finished_.clear();
}

void WorkerPool::Work() {
  std::unique_lock lock(mutex_);
  for (;;) {
    ++idle_;
    const bool woken = wake_.wait_for(lock, idleTimeout_, [this] { return stopping_ || !queue_.empty(); });
    --idle_;
    if (queue_.empty()) {
      if (stopping_) {
        return;  // Stop joins this thread
      }
      if (!woken) {
        // Idle for the whole timeout: end, and let the next Submit or Stop join this thread.
        const auto self = threads_.find(std::this_thread::get_id());
        if (self != threads_.end()) {
          finished_.push_back(std::move(self->second));
          threads_.erase(self);
        }
        return;
      }
      continue;
    }
    auto task = std::move(queue_.front());
    queue_.pop_front();
    lock.unlock();
    RunGuarded(task);
    task = nullptr;  // what it holds is released outside the lock
    lock.lock();
  }
}

SerialByKey::Outcome SerialByKey::Run(const void* key, std::function<void()> task, std::size_t maxWaiting,
                                      Ticket* ticket) {
  {
    std::lock_guard lock(mutex_);
    const Ticket issued = nextTicket_++;
    if (ticket != nullptr) {
      *ticket = issued;
    }
    const auto it = busy_.find(key);
    if (it != busy_.end()) {
      if (it->second.size() >= maxWaiting) {
        return Outcome::kFull;
      }
      it->second.push_back(Waiting{issued, std::move(task)});
      return Outcome::kQueued;
    }
    busy_.emplace(key, std::deque<Waiting>{});
  }
  auto chain = [this, key, task = std::move(task)]() mutable { RunChain(key, std::move(task)); };
  if (!pool_.Submit(std::move(chain))) {
    std::lock_guard lock(mutex_);
    busy_.erase(key);
    return Outcome::kStopped;
  }
  return Outcome::kQueued;
}

bool SerialByKey::Cancel(const void* key, Ticket ticket) {
  std::function<void()> cancelled;  // destroyed outside the lock: it may hold the last reference to its owner
  {
    std::lock_guard lock(mutex_);
    const auto it = busy_.find(key);
    if (it == busy_.end()) {
      return false;
    }
    auto& waiting = it->second;
    const auto found =
        std::find_if(waiting.begin(), waiting.end(), [ticket](const Waiting& w) { return w.ticket == ticket; });
    if (found == waiting.end()) {
      return false;
    }
    cancelled = std::move(found->task);
    waiting.erase(found);
  }
  return true;
}

void SerialByKey::RunChain(const void* key, std::function<void()> task) {
  for (;;) {
    RunGuarded(task);
    task = nullptr;
    std::lock_guard lock(mutex_);
    auto it = busy_.find(key);
    if (it == busy_.end() || it->second.empty()) {
      if (it != busy_.end()) {
        busy_.erase(it);
      }
      return;
    }
    task = std::move(it->second.front().task);
    it->second.pop_front();
  }
}

}  // namespace rubo::detail
