#include "ara/exec/application_client.h"

#include "seam/platform_calls.h"
#include "seam/service_manager.h"

namespace ara::exec {

void ApplicationClient::ReportApplicationState(ApplicationState state) {
  platform::seam::ReportCall("ApplicationClient::ReportApplicationState", {static_cast<std::uint64_t>(state)});
  // systemd is the execution manager: running is its "ready", terminating its "stopping".
  platform::seam::NotifyServiceManager(state == ApplicationState::kRunning ? "READY=1" : "STOPPING=1");
}

}  // namespace ara::exec
