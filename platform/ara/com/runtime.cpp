#include "ara/com/runtime.h"

#include <cstdlib>
#include <string_view>
#include <utility>

#include "ara/com/deployment.h"
#include "ara/com/internal/runtime_core.h"
#include "ara/com/internal/trace.h"
#include "ara/com/transport/local_bus.h"
#include "ara/com/transport/network_transport.h"
#include "ara/log/logging.h"

namespace ara::com {

namespace {

RuntimeOptions FromArguments(bool traceMessages, std::string deploymentPath) {
  RuntimeOptions options;
  options.traceMessages = traceMessages;
  options.deploymentPath = std::move(deploymentPath);
  const char* choice = std::getenv(kTransportEnvironmentVariable);
  options.network = choice == nullptr || std::string_view(choice) != "local";
  return options;
}

}  // namespace

RuntimeComponent::RuntimeComponent(bool traceMessages, std::string deploymentPath)
    : RuntimeComponent(FromArguments(traceMessages, std::move(deploymentPath))) {}

RuntimeComponent::RuntimeComponent(RuntimeOptions options) {
  auto deployment = options.deploymentPath.empty() ? DeploymentOverrides::FromEnvironment()
                                                   : DeploymentOverrides::Load(options.deploymentPath);
  std::unique_ptr<transport::Transport> transport;
  if (options.makeTransport) {
    transport = options.makeTransport();
  } else if (options.network) {
    transport = transport::CreateNetworkTransport({deployment.Network()});
  } else {
    transport = transport::LocalBus::Default()->CreateEndpoint();
  }
  internal::RuntimeSettings settings{options.threads, options.traceMessages, std::move(deployment),
                                     std::move(transport)};
  auto core = std::make_shared<internal::RuntimeCore>(std::move(settings));
  internal::RuntimeCore::SetCurrent(core);
  try {
    core->Start();
  } catch (...) {
    internal::RuntimeCore::SetCurrent(nullptr);
    throw;
  }
  core_ = std::move(core);
  internal::Trace().LogInfo() << "Runtime started";
}

RuntimeComponent::~RuntimeComponent() {
  internal::RuntimeCore::SetCurrent(nullptr);
  core_->Shutdown();
  internal::Trace().LogInfo() << "Runtime stopped";
}

}  // namespace ara::com
