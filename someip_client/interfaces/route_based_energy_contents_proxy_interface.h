#pragma once

#include <chrono>
#include <functional>
#include <vector>

#include "ara/com/find_service.h"
#include "interfaces/enums/someip_types.h"
#include "service_types/routebasedenergycontents/proxy/routebasedenergycontents_common.h"
#include "someip_client/interfaces/rbec_variants.h"

namespace orik::routeBasedEnergyContents {

// The proxy's handle type, named without the proxy so that its field members stay out of the listener.
using RbecServiceHandle =
    ara::com::internal::proxy::ServiceHandle<zrt::services::routebasedenergycontents::RouteBasedEnergyContents>;
using RbecFindServiceHandler = std::function<void(std::vector<RbecServiceHandle>)>;
using ReceiveHandler = std::function<void()>;

// The RouteBasedEnergyContents proxy as its listener sees it; only targetSocChargings is served.
class RouteBasedEnergyContentsProxyInterface {
 public:
  virtual ~RouteBasedEnergyContentsProxyInterface() = default;

  virtual bool StartFindService(RbecFindServiceHandler handler) = 0;
  virtual void Update(orik::enums::SOMEIP_RESOURCE_TYPE type) = 0;
  virtual void Subscribe(orik::enums::SOMEIP_RESOURCE_TYPE type) = 0;
  virtual RbecCachedSamplesVariant GetCachedSamples(orik::enums::SOMEIP_RESOURCE_TYPE type) = 0;
  virtual void SetReceiveHandler(orik::enums::SOMEIP_RESOURCE_TYPE type, ReceiveHandler handler) = 0;
  virtual void Cleanup(orik::enums::SOMEIP_RESOURCE_TYPE type) = 0;
  virtual void PrepareGets() = 0;
  virtual RbecGetVariant SomeIp_Get(orik::enums::SOMEIP_RESOURCE_TYPE type, const std::chrono::milliseconds& wait) = 0;
  virtual bool IsProxyNull() = 0;
  virtual void CreateServiceProxy(RbecServiceHandle handle) = 0;
};

}  // namespace orik::routeBasedEnergyContents
