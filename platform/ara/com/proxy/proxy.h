#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "ara/com/deployment.h"
#include "ara/com/find_service.h"
#include "ara/com/internal/runtime_core.h"
#include "ara/com/types.h"

namespace ara::com::internal::proxy {

// The binding's port for one found instance: the deployment resolved for it and the way to the
// runtime. Shared by every field member of one proxy, owned by the proxy.
class ProxyPort {
 public:
  // Throws std::logic_error without a runtime and std::runtime_error when the deployment does not
  // fit the description.
  ProxyPort(std::shared_ptr<const ServiceInstanceInfo> instance, const ServiceDeployment& defaults,
            ServiceInterfaceDescription description);
  ~ProxyPort();
  ProxyPort(const ProxyPort&) = delete;
  ProxyPort& operator=(const ProxyPort&) = delete;

  const std::shared_ptr<RuntimeCore>& Core() const noexcept { return core_; }
  const ServiceDeployment& Deployment() const noexcept { return deployment_; }
  const ServiceInstanceInfo& Instance() const noexcept { return *instance_; }
  bool IsAvailable() const;
  // Throws ServiceNotAvailableException, sending nothing, when the instance is not offered.
  void Call(std::size_t methodIndex, std::vector<std::uint8_t> payload, RuntimeCore::ReplyCallback callback) const;

 private:
  std::shared_ptr<RuntimeCore> core_;
  std::shared_ptr<const ServiceInstanceInfo> instance_;
  ServiceDeployment deployment_;
};

// Base of every generated proxy; owns the port.
template <typename Service>
class Proxy {
 public:
  using HandleType = ServiceHandle<Service>;

  Proxy(const HandleType& handle, ServiceInterfaceDescription description)
      : port_(std::make_unique<ProxyPort>(handle.Info(), Service::DefaultDeployment(), description)) {}
  virtual ~Proxy() = default;
  Proxy(const Proxy&) = delete;
  Proxy& operator=(const Proxy&) = delete;

 protected:
  ProxyPort& Port() const noexcept { return *port_; }

 private:
  std::unique_ptr<ProxyPort> port_;
};

}  // namespace ara::com::internal::proxy
