#pragma once

#include <chrono>
#include <exception>
#include <string_view>

namespace ara::com::transport {

// A trace line that repeats at most once per interval, whatever the input rate.
class Throttle {
 public:
  explicit Throttle(std::chrono::steady_clock::duration interval = std::chrono::seconds(1)) : interval_(interval) {}
  bool Allow(std::chrono::steady_clock::time_point now) {
    if (now < next_) {
      return false;
    }
    next_ = now + interval_;
    return true;
  }

 private:
  std::chrono::steady_clock::duration interval_;
  std::chrono::steady_clock::time_point next_{};
};

// Traces, through the throttle, that one input was dropped because handling it failed.
void TraceDropped(Throttle& throttle, std::string_view input, const std::exception* error);

// Handles one input; whatever its handling throws drops that input and nothing more.
template <typename Handle>
void DropOnError(Throttle& throttle, std::string_view input, Handle&& handle) {
  try {
    handle();
  } catch (const std::exception& e) {
    TraceDropped(throttle, input, &e);
  } catch (...) {
    TraceDropped(throttle, input, nullptr);
  }
}

}  // namespace ara::com::transport
