#include "service_types/chargingmanagementcore/proxy/chargingmanagementcore_proxy.h"

namespace zrt::services::chargingmanagementcore {

::ara::com::ServiceDeployment ChargingManagementCore::DefaultDeployment() {
  ::ara::com::ServiceDeployment deployment;
  deployment.interfaceName = std::string(kInterfaceName);
  deployment.serviceId = 0x4101;
  for (std::uint16_t i = 0; i < kDescription.events; ++i) {
    deployment.events.push_back({static_cast<std::uint16_t>(0x8001 + i), static_cast<std::uint16_t>(1 + i)});
  }
  for (std::uint16_t i = 0; i < kDescription.methods; ++i) {
    deployment.methodIds.push_back(static_cast<std::uint16_t>(0x0001 + i));
  }
  return deployment;
}

namespace proxy {

#define ORIK_CMC_MEMBER_INIT(field, element, eventIndex, getIndex, setter) ARA_COM_PROXY_MEMBER_INIT(handle, field)

ChargingManagementCoreProxy::ChargingManagementCoreProxy(HandleType& handle)
    : Proxy(handle, ChargingManagementCore::kDescription) ORIK_CMC_PROXY_FIELDS(ORIK_CMC_MEMBER_INIT) {}

#undef ORIK_CMC_MEMBER_INIT

ChargingManagementCoreProxy::~ChargingManagementCoreProxy() = default;

}  // namespace proxy

}  // namespace zrt::services::chargingmanagementcore
