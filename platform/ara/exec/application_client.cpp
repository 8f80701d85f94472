#include "ara/exec/application_client.h"

#include "seam/platform_calls.h"

namespace ara::exec {

void ApplicationClient::ReportApplicationState(ApplicationState state) {
  platform::seam::ReportCall("ApplicationClient::ReportApplicationState", {static_cast<std::uint64_t>(state)});
}

}  // namespace ara::exec
