#include "seam/service_manager.h"

#include <systemd/sd-daemon.h>

#include <cstdlib>
#include <mutex>
#include <stdexcept>
#include <system_error>

namespace platform::seam {
namespace {

std::mutex statusMutex;
std::string lastStatus;

}  // namespace

void NotifyServiceManager(const std::string& state) {
  // An empty name is no socket: libsystemd would refuse it with EINVAL, and a start-up must not
  // fail for want of a service manager that is not there.
  const char* socket = std::getenv(kNotifySocketVariable);
  if (socket == nullptr || *socket == '\0') {
    return;
  }
  // unset_environment = 0: every later report needs the socket's name again.
  const int result = sd_notify(0, state.c_str());
  if (result < 0) {
    throw std::runtime_error("Cannot notify the service manager of \"" + state +
                             "\": " + std::system_category().message(-result));
  }
  if (state.starts_with("STATUS=")) {
    std::lock_guard lock(statusMutex);
    lastStatus = state;
  }
}

std::string LastStatus() {
  std::lock_guard lock(statusMutex);
  return lastStatus;
}

}  // namespace platform::seam
