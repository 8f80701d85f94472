#include "seam/service_manager.h"

#include <systemd/sd-daemon.h>

#include <stdexcept>
#include <system_error>

namespace platform::seam {

void NotifyServiceManager(const std::string& state) {
  // unset_environment = 0: every later report needs the socket's name again.
  const int result = sd_notify(0, state.c_str());
  if (result < 0) {
    throw std::runtime_error("Cannot notify the service manager of \"" + state +
                             "\": " + std::system_category().message(-result));
  }
}

}  // namespace platform::seam
