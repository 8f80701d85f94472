#pragma once

#include <chrono>
#include <memory>
#include <mutex>
#include <tuple>
#include <vector>

#include "ara/com/find_service.h"
#include "ara/com/types.h"
#include "someip_client/common/service_proxy_slot.h"
#include "someip_client/interfaces/charging_management_core_proxy_interface.h"

namespace ara::log {
class Logger;
}  // namespace ara::log

namespace zrt::services::chargingmanagementcore::proxy {
class ChargingManagementCoreProxy;
}  // namespace zrt::services::chargingmanagementcore::proxy

namespace orik::chargingManagementCoreListener {

// The only code that touches the generated ChargingManagementCore proxy. It keeps the pending
// futures of the reads (one per field, used by the poll thread alone) and of the writes.
class ChargingManagementCoreProxyWrapper : public ChargingManagementCoreProxyInterface {
 public:
  using Proxy = zrt::services::chargingmanagementcore::proxy::ChargingManagementCoreProxy;

  ChargingManagementCoreProxyWrapper();
  ~ChargingManagementCoreProxyWrapper() override;
  ChargingManagementCoreProxyWrapper(const ChargingManagementCoreProxyWrapper&) = delete;
  ChargingManagementCoreProxyWrapper& operator=(const ChargingManagementCoreProxyWrapper&) = delete;

  bool StartFindService(CmcFindServiceHandler handler) override;
  void Update(orik::enums::SOMEIP_RESOURCE_TYPE type) override;
  void Subscribe(orik::enums::SOMEIP_RESOURCE_TYPE type) override;
  CmcCachedSamplesVariant GetCachedSamples(orik::enums::SOMEIP_RESOURCE_TYPE type) override;
  void SetReceiveHandler(orik::enums::SOMEIP_RESOURCE_TYPE type, ReceiveHandler handler) override;
  void Cleanup(orik::enums::SOMEIP_RESOURCE_TYPE type) override;
  void PrepareGets() override;
  CmcGetVariant SomeIp_Get(orik::enums::SOMEIP_RESOURCE_TYPE type, const std::chrono::milliseconds& wait) override;
  bool SomeIp_Set(orik::enums::SOMEIP_RESOURCE_TYPE type, const CmcSetVariant& value,
                  const std::chrono::seconds& wait) override;
  bool IsProxyNull() override;
  void CreateServiceProxy(CmcServiceHandle handle) override;

 private:
  template <typename Element>
  using ReadSlot = ara::com::Future<std::vector<Element>>;
  // Shared so that a write keeps waiting on its own future after a newer write took the slot.
  template <typename Element>
  using WriteSlot = std::shared_ptr<ara::com::Future<std::vector<Element>>>;

  // The held proxy, or the service-not-available exception when none was created yet.
  std::shared_ptr<Proxy> RequireProxy() const { return proxy_.Require(); }
  template <typename Fn>
  bool DispatchNotifier(orik::enums::SOMEIP_RESOURCE_TYPE type, Fn&& fn);
  template <typename Element>
  CmcGetVariant Collect(const std::chrono::milliseconds& wait);
  template <typename Element, typename Field>
  bool Write(Field Proxy::*field, const CmcSetVariant& value, const std::chrono::seconds& wait);

  // Written by the find-service thread, read by the poll, request and handler threads.
  orik::someipClient::ServiceProxySlot<Proxy> proxy_;
  // Declared after the proxy so that it is destroyed first: the search ends (and a running
  // find-service handler finishes) before the proxy goes.
  std::unique_ptr<ara::com::FindServiceHandle> findServiceHandle_;
  ara::log::Logger& logger_;
  // Two writes of one field may overlap: each waits on its own reference, the slot keeps the latest.
  std::mutex writeMutex_;
  std::tuple<WriteSlot<cmcTypes::DT_pastErrorInformation_struct>, WriteSlot<cmcTypes::DT_switchControls_struct>,
             WriteSlot<cmcTypes::DT_valueControls_struct>, WriteSlot<cmcTypes::DT_views_struct>,
             WriteSlot<cmcTypes::DT_resetToFactoryData_struct>>
      writeSlots_;
  std::tuple<ReadSlot<cmcTypes::DT_chargingPlugs_struct>, ReadSlot<cmcTypes::DT_chargingProcessInformation_struct>,
             ReadSlot<cmcTypes::DT_notificationMarkers_struct>, ReadSlot<cmcTypes::DT_notifications_struct>,
             ReadSlot<cmcTypes::DT_oruUpdateApprovals_struct>, ReadSlot<cmcTypes::DT_pastErrorInformation_struct>,
             ReadSlot<cmcTypes::DT_switchControls_struct>, ReadSlot<cmcTypes::DT_valueIndications_struct>,
             ReadSlot<cmcTypes::DT_views_struct>, ReadSlot<cmcTypes::DT_resetToFactoryData_struct>,
             ReadSlot<cmcTypes::DT_valueControls_struct>, ReadSlot<cmcTypes::DT_bidirectionalChargingModes_struct>,
             ReadSlot<cmcTypes::DT_batteryCareModes_struct>, ReadSlot<cmcTypes::DT_batteryPreconditionings_struct>,
             ReadSlot<cmcTypes::DT_batteryPreconditioningEnergies_struct>>
      readSlots_;
};

}  // namespace orik::chargingManagementCoreListener
