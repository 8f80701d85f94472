#pragma once

#include <chrono>
#include <compare>
#include <cstdint>
#include <exception>
#include <functional>
#include <future>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace ara::com {

// Names one service instance, or every instance ("*"). The text of an offered instance is
// its SOME/IP instance id in decimal, e.g. "1".
class InstanceIdentifier {
 public:
  explicit InstanceIdentifier(std::string_view text) : text_(text) {}
  std::string_view ToString() const noexcept { return text_; }
  bool operator==(const InstanceIdentifier&) const = default;
  auto operator<=>(const InstanceIdentifier&) const = default;

 private:
  std::string text_;
};

// What a proxy tells the binding about its service: the number of events and of methods.
struct ServiceInterfaceDescription {
  std::uint16_t events;
  std::uint16_t methods;
};

// How Update fills a notifier's sample cache.
enum class EventCacheUpdatePolicy : std::uint8_t {
  // The cache is emptied and then holds the newest samples received since the last Update.
  kLastN = 0,
  // The cache keeps what it held (until Cleanup) and the newest samples overall stay in it.
  kNewestN = 1,
};

namespace internal {

// How a call ended. The binding's own errors are kept as a kind, not as an exception object,
// so that the exception is made by the thread that reads it.
enum class CallError : std::uint8_t { kNone, kServiceNotAvailable, kTransport, kApplication };

template <typename T>
struct CallOutcome {
  std::optional<T> value;
  CallError error = CallError::kNone;
  std::exception_ptr applicationError;
};

[[noreturn]] void ThrowCallError(CallError error, const std::exception_ptr& applicationError);

}  // namespace internal

// The future of a method call: wait_for (ready, timeout, deferred), wait, get (the value, or the
// call's error thrown) and valid. get on a future without a shared state throws
// std::future_error with std::future_errc::no_state.
template <typename T>
class Future {
 public:
  Future() noexcept = default;
  explicit Future(std::future<internal::CallOutcome<T>> future) noexcept : future_(std::move(future)) {}

  bool valid() const noexcept { return future_.valid(); }
  void wait() const { future_.wait(); }
  template <typename Rep, typename Period>
  std::future_status wait_for(const std::chrono::duration<Rep, Period>& timeout) const {
    return future_.wait_for(timeout);
  }
  template <typename Clock, typename Duration>
  std::future_status wait_until(const std::chrono::time_point<Clock, Duration>& deadline) const {
    return future_.wait_until(deadline);
  }

  T get() {
    if (!future_.valid()) {
      throw std::future_error(std::future_errc::no_state);
    }
    internal::CallOutcome<T> outcome = future_.get();
    if (outcome.error != internal::CallError::kNone) {
      internal::ThrowCallError(outcome.error, outcome.applicationError);
    }
    return std::move(*outcome.value);
  }

 private:
  std::future<internal::CallOutcome<T>> future_;
};

// Accepts (true) or drops (false) one received sample; an empty filter accepts every sample.
template <typename T>
using FilterFunction = std::function<bool(const T&)>;

template <typename T>
using SamplePtr = std::shared_ptr<const T>;

}  // namespace ara::com
