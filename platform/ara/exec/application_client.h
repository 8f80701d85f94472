#pragma once

#include <cstdint>

namespace ara::exec {

enum class ApplicationState : std::uint8_t {
  kRunning = 0,
  kTerminating = 1,
};

// Reports the application's state to execution management. On this platform that is systemd's
// notify protocol (nothing without NOTIFY_SOCKET): terminating sends "STOPPING=1"; running lets
// "READY=1" go out as soon as the REST server serves and the middleware runtime is up, which
// may be at once or later (seam/liveness.h). A report that cannot be sent is lost and logged
// once (seam/service_manager.h): an unreachable service manager never ends the process.
class ApplicationClient {
 public:
  ApplicationClient() = default;
  void ReportApplicationState(ApplicationState state);
};

}  // namespace ara::exec
