#pragma once

#include <cstdint>

namespace ara::exec {

enum class ApplicationState : std::uint8_t {
  kRunning = 0,
  kTerminating = 1,
};

// Reports the application's state to execution management. On this platform that is systemd's
// notify protocol: running sends "READY=1", terminating "STOPPING=1" (nothing without
// NOTIFY_SOCKET). A report that cannot be sent throws std::runtime_error.
class ApplicationClient {
 public:
  ApplicationClient() = default;
  void ReportApplicationState(ApplicationState state);
};

}  // namespace ara::exec
