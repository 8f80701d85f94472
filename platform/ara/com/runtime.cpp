#include "ara/com/runtime.h"

#include <utility>

#include "ara/com/deployment.h"
#include "ara/com/internal/runtime_core.h"
#include "ara/com/internal/trace.h"
#include "ara/com/transport/local_bus.h"

namespace ara::com {

namespace {

RuntimeOptions FromArguments(bool traceMessages, std::string deploymentPath) {
  RuntimeOptions options;
  options.traceMessages = traceMessages;
  options.deploymentPath = std::move(deploymentPath);
  return options;
}

}  // namespace

RuntimeComponent::RuntimeComponent(bool traceMessages, std::string deploymentPath)
    : RuntimeComponent(FromArguments(traceMessages, std::move(deploymentPath))) {}

RuntimeComponent::RuntimeComponent(RuntimeOptions options) {
  internal::RuntimeSettings settings{
      options.threads, options.traceMessages,
      options.deploymentPath.empty() ? DeploymentOverrides::FromEnvironment()
                                     : DeploymentOverrides::Load(options.deploymentPath),
      options.makeTransport ? options.makeTransport() : transport::LocalBus::Default()->CreateEndpoint()};
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
