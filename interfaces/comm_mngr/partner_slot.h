#pragma once

#include <memory>
#include <mutex>
#include <utility>

namespace orik::commMngr {

// A shared pointer that one thread may replace while others take copies of it. The mediator's
// partners are unwired at shutdown while calls may still be arriving (and the service clients'
// proxies and mediator are set while their threads already run); each call works on its own
// copy, so the pointee stays alive until the last such call has returned.
template <typename T>
class PartnerSlot {
 public:
  std::shared_ptr<T> Load() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return pointer_;
  }

  void Store(std::shared_ptr<T> pointer) {
    std::shared_ptr<T> previous;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      previous = std::exchange(pointer_, std::move(pointer));
    }
    // The previous partner may be destroyed here; never under the lock.
  }

 private:
  mutable std::mutex mutex_;
  std::shared_ptr<T> pointer_;
};

}  // namespace orik::commMngr
