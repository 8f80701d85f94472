#pragma once

#include <chrono>
#include <memory>
#include <vector>

#include "ara/com/find_service.h"
#include "ara/com/types.h"
#include "someip_client/common/service_proxy_slot.h"
#include "someip_client/interfaces/route_based_energy_contents_proxy_interface.h"

namespace ara::log {
class Logger;
}  // namespace ara::log

namespace zrt::services::routebasedenergycontents::proxy {
class RouteBasedEnergyContentsProxy;
}  // namespace zrt::services::routebasedenergycontents::proxy

namespace orik::routeBasedEnergyContents {

// The only code that touches the generated RouteBasedEnergyContents proxy; serves
// targetSocChargings (resource type 12) alone.
class RouteBasedEnergyContentsProxyWrapper : public RouteBasedEnergyContentsProxyInterface {
 public:
  using Proxy = zrt::services::routebasedenergycontents::proxy::RouteBasedEnergyContentsProxy;

  RouteBasedEnergyContentsProxyWrapper();
  ~RouteBasedEnergyContentsProxyWrapper() override;
  RouteBasedEnergyContentsProxyWrapper(const RouteBasedEnergyContentsProxyWrapper&) = delete;
  RouteBasedEnergyContentsProxyWrapper& operator=(const RouteBasedEnergyContentsProxyWrapper&) = delete;

  bool StartFindService(RbecFindServiceHandler handler) override;
  void Update(orik::enums::SOMEIP_RESOURCE_TYPE type) override;
  void Subscribe(orik::enums::SOMEIP_RESOURCE_TYPE type) override;
  RbecCachedSamplesVariant GetCachedSamples(orik::enums::SOMEIP_RESOURCE_TYPE type) override;
  void SetReceiveHandler(orik::enums::SOMEIP_RESOURCE_TYPE type, ReceiveHandler handler) override;
  void Cleanup(orik::enums::SOMEIP_RESOURCE_TYPE type) override;
  void PrepareGets() override;
  RbecGetVariant SomeIp_Get(orik::enums::SOMEIP_RESOURCE_TYPE type, const std::chrono::milliseconds& wait) override;
  bool IsProxyNull() override;
  void CreateServiceProxy(RbecServiceHandle handle) override;

 private:
  // The held proxy, or the service-not-available exception when none was created yet.
  std::shared_ptr<Proxy> RequireProxy() const { return proxy_.Require(); }

  orik::someipClient::ServiceProxySlot<Proxy> proxy_;
  // Destroyed before the proxy: the search ends first.
  std::unique_ptr<ara::com::FindServiceHandle> findServiceHandle_;
  ara::log::Logger& logger_;
  ara::com::Future<std::vector<fields::TargetSocChargings::Element>> readSlot_;
};

}  // namespace orik::routeBasedEnergyContents
