#pragma once

#include <chrono>
#include <functional>
#include <vector>

#include "ara/com/find_service.h"
#include "interfaces/enums/someip_types.h"
#include "service_types/chargingmanagementcore/proxy/chargingmanagementcore_common.h"
#include "someip_client/interfaces/cmc_variants.h"

namespace orik::chargingManagementCoreListener {

// The proxy's handle type, named without the proxy so that its field members stay out of the listener.
using CmcServiceHandle =
    ara::com::internal::proxy::ServiceHandle<zrt::services::chargingmanagementcore::ChargingManagementCore>;
using CmcFindServiceHandler = std::function<void(std::vector<CmcServiceHandle>)>;
using ReceiveHandler = std::function<void()>;

// The ChargingManagementCore proxy as its listener sees it: every per-field operation names the
// field by its resource type; a type an operation does not serve is logged and ignored.
class ChargingManagementCoreProxyInterface {
 public:
  virtual ~ChargingManagementCoreProxyInterface() = default;

  // Starts the search for the service on any instance; true when the search runs.
  virtual bool StartFindService(CmcFindServiceHandler handler) = 0;
  // Pulls newly received samples of the field into its cache.
  virtual void Update(orik::enums::SOMEIP_RESOURCE_TYPE type) = 0;
  // Subscribes to the field's notifications with the field's cache size.
  virtual void Subscribe(orik::enums::SOMEIP_RESOURCE_TYPE type) = 0;
  // A copy of the field's cached sample pointers (the samples stay shared with the cache).
  virtual CmcCachedSamplesVariant GetCachedSamples(orik::enums::SOMEIP_RESOURCE_TYPE type) = 0;
  virtual void SetReceiveHandler(orik::enums::SOMEIP_RESOURCE_TYPE type, ReceiveHandler handler) = 0;
  // Releases the field's cached samples.
  virtual void Cleanup(orik::enums::SOMEIP_RESOURCE_TYPE type) = 0;
  // Issues the read of all readable fields at once.
  virtual void PrepareGets() = 0;
  // Collects the field's issued read, waiting at most `wait`; an empty vector when it is not in.
  virtual CmcGetVariant SomeIp_Get(orik::enums::SOMEIP_RESOURCE_TYPE type, const std::chrono::milliseconds& wait) = 0;
  // Writes one element; true when no answer arrived within `wait` (or the type is not writable).
  virtual bool SomeIp_Set(orik::enums::SOMEIP_RESOURCE_TYPE type, const CmcSetVariant& value,
                          const std::chrono::seconds& wait) = 0;
  virtual bool IsProxyNull() = 0;
  virtual void CreateServiceProxy(CmcServiceHandle handle) = 0;
};

}  // namespace orik::chargingManagementCoreListener
