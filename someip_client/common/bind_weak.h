#pragma once

#include <memory>
#include <utility>

namespace orik::someipClient {

// Binds a member function to a listener through a weak reference: once the listener is gone the
// callback does nothing.
template <typename Listener, typename... Args>
auto BindWeak(const std::weak_ptr<Listener>& weak, void (Listener::*member)(Args...)) {
  return [weak, member](Args... args) {
    if (const auto self = weak.lock()) {
      ((*self).*member)(std::forward<Args>(args)...);
    }
  };
}

}  // namespace orik::someipClient
