#include "service_types/routebasedenergycontents/proxy/routebasedenergycontents_proxy.h"

namespace zrt::services::routebasedenergycontents {

::ara::com::ServiceDeployment RouteBasedEnergyContents::DefaultDeployment() {
  ::ara::com::ServiceDeployment deployment;
  deployment.interfaceName = std::string(kInterfaceName);
  deployment.serviceId = 0x4102;
  for (std::uint16_t i = 0; i < kDescription.events; ++i) {
    deployment.events.push_back({static_cast<std::uint16_t>(0x8001 + i), static_cast<std::uint16_t>(1 + i)});
  }
  for (std::uint16_t i = 0; i < kDescription.methods; ++i) {
    deployment.methodIds.push_back(static_cast<std::uint16_t>(0x0001 + i));
  }
  return deployment;
}

namespace proxy {

#define ORIK_RBEC_MEMBER_INIT(field, element, eventIndex, getIndex, setter) ARA_COM_PROXY_MEMBER_INIT(handle, field)

RouteBasedEnergyContentsProxy::RouteBasedEnergyContentsProxy(HandleType& handle)
    : Proxy(handle, RouteBasedEnergyContents::kDescription) ORIK_RBEC_PROXY_FIELDS(ORIK_RBEC_MEMBER_INIT) {}

#undef ORIK_RBEC_MEMBER_INIT

RouteBasedEnergyContentsProxy::~RouteBasedEnergyContentsProxy() = default;

}  // namespace proxy

}  // namespace zrt::services::routebasedenergycontents
