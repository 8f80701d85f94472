#pragma once

#include <chrono>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ara/core/optional.h"
#include "interfaces/charging_management_core_listener/orik_listener_interface.h"
#include "interfaces/comm_mngr/comm_mngr_someip_side_interface.h"
#include "interfaces/comm_mngr/partner_slot.h"
#include "interfaces/get_futures/abstract_get_futures.h"
#include "service_types/chargingmanagementcore/datatypes.h"
#include "someip_client/common/timing_constants.h"
#include "someip_client/interfaces/charging_management_core_proxy_interface.h"
#include "someip_client/interfaces/cmc_fields.h"

namespace ara::log {
class Logger;
}  // namespace ara::log

namespace orik::chargingManagementCoreListener {

// The application's client of the ChargingManagementCore service: discovery, subscription,
// notification relays, the periodic poll and the five field writes. Must be owned by a
// std::shared_ptr: the callbacks it hands to the middleware hold only weak references, so a
// late callback never reaches a destroyed listener.
class ChargingManagementCoreListener : public orik::getFutures::Abstract_GetFutures,
                                       public ORIKListenerInterface,
                                       public std::enable_shared_from_this<ChargingManagementCoreListener> {
 public:
  explicit ChargingManagementCoreListener(std::shared_ptr<ChargingManagementCoreProxyInterface> proxyWrapper);
  // Lets tests use other waits than the fixed read and write waits.
  ChargingManagementCoreListener(std::shared_ptr<ChargingManagementCoreProxyInterface> proxyWrapper,
                                 std::chrono::milliseconds readWait, std::chrono::seconds writeWait);
  ~ChargingManagementCoreListener() override;
  ChargingManagementCoreListener(const ChargingManagementCoreListener&) = delete;
  ChargingManagementCoreListener& operator=(const ChargingManagementCoreListener&) = delete;

  void SetCommunicationsManager(std::shared_ptr<orik::commMngr::CommMngrSomeipSideInterface> communicationsManager);

  // Abstract_GetFutures
  void FetchData() override;

  // ORIKListenerInterface
  void StartListener() override;
  orik::enums::SOMEIP_RESPONSE_TYPE Update_ValueControls(
      cmcTypes::DT_ChargingManagementCore_valueControls_type type, const ara::core::Optional<std::uint32_t>& value,
      const ara::core::Optional<cmcTypes::DT_ChargingManagementCore_valueControls_specialState>& specialState,
      const std::string& origin) override;
  orik::enums::SOMEIP_RESPONSE_TYPE Update_SwitchControls(
      cmcTypes::DT_ChargingManagementCore_switchControls_type type,
      const ara::core::Optional<cmcTypes::DT_ChargingManagementCore_switchControls_switchValue>& switchValue) override;
  orik::enums::SOMEIP_RESPONSE_TYPE Update_Views(
      cmcTypes::DT_ChargingManagementCore_views_type type,
      const ara::core::Optional<cmcTypes::DT_ChargingManagementCore_views_content>& content,
      const ara::core::Optional<cmcTypes::DT_ChargingManagementCore_views_visibility>& visibility) override;
  orik::enums::SOMEIP_RESPONSE_TYPE Update_pastErrorInformation(
      cmcTypes::DT_ChargingManagementCore_pastErrorInformation_type type,
      const ara::core::Optional<bool>& confirmedByUser) override;
  orik::enums::SOMEIP_RESPONSE_TYPE Update_FactoryResetInfo(
      cmcTypes::DT_ChargingManagementCore_resetToFactoryData_resetToFactoryData reset) override;

  // The find-service handler.
  void OnServiceFound(std::vector<CmcServiceHandle> handles);
  void StartListeningToSomeIp();

  // One receive handler and one poll step per field, named in the field list.
#define ORIK_CMC_DECLARE_FIELD(Record, Handler, Step) \
  void Handler();                                     \
  void Step(const std::chrono::milliseconds& wait);
  ORIK_CMC_FIELDS(ORIK_CMC_DECLARE_FIELD)
#undef ORIK_CMC_DECLARE_FIELD

 private:
  struct WriteTexts;

  std::shared_ptr<orik::commMngr::CommMngrSomeipSideInterface> Mediator() const {
    return mediator_.Load();
  }
  template <typename Field>
  void HandleNotification();
  template <typename Field>
  void ProcessGet(const std::chrono::milliseconds& wait);
  template <typename Field, bool kFromNotification>
  void RelayElement(const typename Field::Element& element);
  template <typename Field>
  void SubscribeField(void (ChargingManagementCoreListener::*handler)());
  template <typename Element>
  orik::enums::SOMEIP_RESPONSE_TYPE Write(orik::enums::SOMEIP_RESOURCE_TYPE type, const Element& element,
                                          const WriteTexts& texts);
  void LogChargingProcessInformation(const cmcTypes::DT_chargingProcessInformation_struct& element);

  std::shared_ptr<ChargingManagementCoreProxyInterface> proxyWrapper_;
  ara::log::Logger& logger_;
  orik::commMngr::PartnerSlot<orik::commMngr::CommMngrSomeipSideInterface> mediator_;
  std::chrono::milliseconds readWait_;
  std::chrono::seconds writeWait_;
};

}  // namespace orik::chargingManagementCoreListener
