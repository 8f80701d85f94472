#include "ara/com/runtime.h"

#include <mutex>
#include <utility>

#include "ara/com/deployment.h"
#include "ara/com/internal/runtime_core.h"
#include "ara/com/internal/trace.h"
#include "ara/com/transport/local_bus.h"
#include "ara/com/transport/network_transport.h"
#include "ara/log/logging.h"
#include "seam/liveness.h"

namespace ara::com {

namespace {

// Set before main by the test variant's switches: built on first use, not by this unit's own
// initialisation, which may come later.
struct ApplicationTransport {
  std::mutex mutex;
  std::function<std::unique_ptr<transport::Transport>()> make;
};

ApplicationTransport& TheApplicationTransport() {
  static ApplicationTransport transport;
  return transport;
}

RuntimeOptions FromArguments(bool traceMessages, std::string deploymentPath) {
  RuntimeOptions options;
  options.traceMessages = traceMessages;
  options.deploymentPath = std::move(deploymentPath);
  auto& transport = TheApplicationTransport();
  std::lock_guard lock(transport.mutex);
  options.makeTransport = transport.make;
  options.network = true;
  return options;
}

}  // namespace

void SetApplicationTransport(std::function<std::unique_ptr<transport::Transport>()> makeTransport) {
  auto& transport = TheApplicationTransport();
  std::lock_guard lock(transport.mutex);
  transport.make = std::move(makeTransport);
}

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
  liveness_ = std::make_unique<platform::seam::LivenessRegistration>(
      platform::seam::LivePart::kMiddleware,
      [core = core_](std::function<void()> answered) { core->PostHeartbeat(std::move(answered)); });
  liveness_->SetReady(true);
  internal::Trace().LogInfo() << "Runtime started";
}

RuntimeComponent::~RuntimeComponent() {
  liveness_.reset();
  internal::RuntimeCore::SetCurrent(nullptr);
  core_->Shutdown();
  internal::Trace().LogInfo() << "Runtime stopped";
}

}  // namespace ara::com
