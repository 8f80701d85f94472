#pragma once

#include <chrono>
#include <memory>
#include <mutex>
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
  template <typename F>
  using ReadSlot = ara::com::Future<std::vector<typename F::Element>>;
  // Shared so that a write keeps waiting on its own future after a newer write took the slot.
  template <typename F>
  using WriteSlot = std::shared_ptr<ara::com::Future<std::vector<typename F::Element>>>;

  // A field's read and write, reached by resource type through one table each (null for a type
  // the operation does not serve); the notifier operations have a table of their own.
  using CollectOp = CmcGetVariant (*)(ChargingManagementCoreProxyWrapper&, const std::chrono::milliseconds&);
  using WriteOp = bool (*)(ChargingManagementCoreProxyWrapper&, const CmcSetVariant&, const std::chrono::seconds&);
  static CollectOp CollectOf(orik::enums::SOMEIP_RESOURCE_TYPE type);
  static WriteOp WriteOf(orik::enums::SOMEIP_RESOURCE_TYPE type);

  // The held proxy, or the service-not-available exception when none was created yet.
  std::shared_ptr<Proxy> RequireProxy() const { return proxy_.Require(); }
  template <typename F>
  CmcGetVariant Collect(const std::chrono::milliseconds& wait);
  template <typename F>
  bool Write(const CmcSetVariant& value, const std::chrono::seconds& wait);

  // Written by the find-service thread, read by the poll, request and handler threads.
  orik::someipClient::ServiceProxySlot<Proxy> proxy_;
  // Declared after the proxy so that it is destroyed first: the search ends (and a running
  // find-service handler finishes) before the proxy goes.
  std::unique_ptr<ara::com::FindServiceHandle> findServiceHandle_;
  ara::log::Logger& logger_;
  // Two writes of one field may overlap: each waits on its own reference, the slot keeps the
  // latest. One slot per field; only the written fields' slots are ever filled.
  std::mutex writeMutex_;
  orik::someipClient::TupleOver<fields::All, WriteSlot> writeSlots_;
  // Used by the poll thread alone.
  orik::someipClient::TupleOver<fields::InPollOrder, ReadSlot> readSlots_;
};

}  // namespace orik::chargingManagementCoreListener
