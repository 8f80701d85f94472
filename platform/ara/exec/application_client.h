#pragma once

#include <cstdint>

namespace ara::exec {

enum class ApplicationState : std::uint8_t {
  kRunning = 0,
  kTerminating = 1,
};

// Reports the application's state to execution management.
class ApplicationClient {
 public:
  ApplicationClient() = default;
  void ReportApplicationState(ApplicationState state);
};

}  // namespace ara::exec
