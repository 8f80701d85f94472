#include "seam/service_manager.h"

#include <systemd/sd-daemon.h>

#include <cstdlib>
#include <mutex>
#include <system_error>

#include "ara/log/logging.h"

namespace platform::seam {
namespace {

const ara::log::Logger& PlatformLogger() {
  static const ara::log::Logger& logger = ara::log::CreateLogger("PLAT", "platform services");
  return logger;
}

std::mutex statusMutex;
std::string lastStatus;
// Under statusMutex: the last report could not be sent, and that has been logged.
bool unreachable = false;

}  // namespace

bool NotifyServiceManager(const std::string& state) {
  // An empty name is no socket: libsystemd would refuse it with EINVAL, and a start-up must not
  // fail for want of a service manager that is not there.
  const char* socket = std::getenv(kNotifySocketVariable);
  if (socket == nullptr || *socket == '\0') {
    return true;
  }
  // unset_environment = 0: every later report needs the socket's name again.
  const int result = sd_notify(0, state.c_str());
  std::lock_guard lock(statusMutex);
  if (result < 0) {
    // A shell or a container runtime may pass the variable on without the socket, and the socket
    // may go while the process runs. Neither is a reason to stop serving: systemd, if it is
    // there at all, acts on the missing reports (the watchdog) by itself.
    if (!unreachable) {
      unreachable = true;
      PlatformLogger().LogError() << "Cannot notify the service manager at " << kNotifySocketVariable << "=\"" << socket
                                  << "\" of \"" << state << "\": " << std::system_category().message(-result)
                                  << "; the process goes on, and reports are lost until one gets through";
    }
    return false;
  }
  if (unreachable) {
    unreachable = false;
    PlatformLogger().LogInfo() << "The service manager at " << kNotifySocketVariable << "=\"" << socket
                               << "\" is reached again";
  }
  if (state.starts_with("STATUS=")) {
    lastStatus = state;
  }
  return true;
}

std::string LastStatus() {
  std::lock_guard lock(statusMutex);
  return lastStatus;
}

}  // namespace platform::seam
