#include "ara/exec/application_client.h"

#include "seam/liveness.h"
#include "seam/platform_calls.h"
#include "seam/service_manager.h"

namespace ara::exec {

void ApplicationClient::ReportApplicationState(ApplicationState state) {
  platform::seam::ReportCall("ApplicationClient::ReportApplicationState", {static_cast<std::uint64_t>(state)});
  // systemd is the execution manager: terminating is its "stopping"; running is one condition of
  // its "ready", which also waits for the parts that serve (seam/liveness.h).
  if (state == ApplicationState::kRunning) {
    platform::seam::ReportRunning();
  } else {
    platform::seam::NotifyServiceManager("STOPPING=1");
  }
}

}  // namespace ara::exec
