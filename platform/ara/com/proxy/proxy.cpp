#include "ara/com/proxy/proxy.h"

#include <utility>

#include "ara/com/internal/trace.h"
#include "ara/log/logging.h"

namespace ara::com::internal::proxy {

ProxyPort::ProxyPort(std::shared_ptr<const ServiceInstanceInfo> instance, const ServiceDeployment& defaults,
                     ServiceInterfaceDescription description)
    : core_(RuntimeCore::Current()),
      instance_(std::move(instance)),
      deployment_(core_->Resolve(defaults, description)) {
  core_->Watch(deployment_);
  Trace().LogInfo() << "Proxy created for " << deployment_.interfaceName << " instance "
                    << instance_->instance.ToString() << " (" << description.events << " events, "
                    << description.methods << " methods)";
}

ProxyPort::~ProxyPort() {
  core_->Unwatch(deployment_.serviceId);
  Trace().LogInfo() << "Proxy released for " << deployment_.interfaceName << " instance "
                    << instance_->instance.ToString();
}

bool ProxyPort::IsAvailable() const {
  return core_->IsOffered(instance_->serviceId, instance_->instanceId);
}

void ProxyPort::Call(std::size_t methodIndex, std::vector<std::uint8_t> payload,
                     RuntimeCore::ReplyCallback callback) const {
  core_->Call(instance_->serviceId, instance_->instanceId, deployment_.MethodId(methodIndex), std::move(payload),
              std::move(callback));
}

}  // namespace ara::com::internal::proxy
