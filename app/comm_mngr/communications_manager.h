#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "ara/core/optional.h"
#include "interfaces/charging_management_core_listener/orik_listener_interface.h"
#include "interfaces/comm_mngr/comm_mngr_rbec_side_interface.h"
#include "interfaces/comm_mngr/comm_mngr_rubo_side_interface.h"
#include "interfaces/comm_mngr/comm_mngr_someip_side_interface.h"
#include "interfaces/comm_mngr/partner_slot.h"
#include "interfaces/enums/someip_types.h"
#include "interfaces/route_based_energy_contents/route_based_energy_contents_listener_interface.h"
#include "interfaces/rubo_server/orik_rubo_server_interface.h"

namespace ara::log {
class Logger;
}  // namespace ara::log

namespace orik::commMngr {

// The only object that knows both sides of the gateway. Vehicle values travel to the REST server
// translated from enumeration values to REST words; client writes travel back translated from
// words to values. Each topic is serialised by a lock of its own, held across the partner's call.
//
// The partners are wired and unwired through the setters while calls may still arrive from the
// middleware, the poll or the REST framework, so every operation works on its own copy of the
// partner pointer and drops its work when the partner is gone.
class CommunicationsManager : public CommMngrSomeipSideInterface,
                              public CommMngrRuboSideInterface,
                              public CommMngrRBECSideInterface {
 public:
  CommunicationsManager();
  ~CommunicationsManager() override;
  CommunicationsManager(const CommunicationsManager&) = delete;
  CommunicationsManager& operator=(const CommunicationsManager&) = delete;

  // An empty pointer unwires the partner.
  void SetRubo(std::shared_ptr<orik::ruboServer::ORIKRuboServerInterface> rubo);
  void SetSomeIp(std::shared_ptr<orik::chargingManagementCoreListener::ORIKListenerInterface> someIp);
  void SetRbec(std::shared_ptr<orik::routeBasedEnergyContents::RouteBasedEnergyContentsListenerInterface> rbec);

  // Vehicle -> REST.
  void TellRuboToUpdate_chargingProcessInformation(ChargingProcessInformationMembers&& members) override;
  void TellRuboToUpdate_NotificationMarkers(
      const ara::core::Optional<cmc::DT_ChargingManagementCore_notificationMarkers_type>& type,
      const ara::core::Optional<bool>& isToBeNotified) override;
  void TellRuboToUpdate_Notifications(
      const ara::core::Optional<cmc::DT_ChargingManagementCore_notifications_type>& type,
      const ara::core::Optional<cmc::DT_ChargingManagementCore_notifications_additionalInformation>&
          additionalInformation,
      const ara::core::Optional<cmc::DT_ChargingManagementCore_notifications_value>& value) override;
  void TellRuboToUpdate_OruUpdateApprovals(
      const ara::core::Optional<cmc::DT_ChargingManagementCore_oruUpdateApprovals_type>& type,
      const ara::core::Optional<bool>& updateApproval) override;
  void TellRuboToUpdate_pastErrorInformation(
      const ara::core::Optional<cmc::DT_ChargingManagementCore_pastErrorInformation_type>& type,
      const ara::core::Optional<cmc::DT_ChargingManagementCore_pastErrorInformation_value>& value,
      const ara::core::Optional<cmc::DT_ChargingManagementCore_pastErrorInformation_additionalInformation>&
          additionalInformation,
      const ara::core::Optional<bool>& confirmedByUser) override;
  void TellRuboToUpdate_SwitchControls(
      const ara::core::Optional<cmc::DT_ChargingManagementCore_switchControls_type>& type,
      const ara::core::Optional<cmc::DT_ChargingManagementCore_switchControls_restrictionReason>& restrictionReason,
      const ara::core::Optional<cmc::DT_ChargingManagementCore_switchControls_switchValue>& switchValue,
      const ara::core::Optional<std::vector<cmc::DT_ChargingManagementCore_switchControls_switchValueConfiguration>>&
          switchValueConfiguration) override;
  void TellRuboToUpdate_valueIndications(ValueIndicationsMembers&& members) override;
  void TellRuboToUpdate_Views(
      const ara::core::Optional<cmc::DT_ChargingManagementCore_views_type>& type,
      const ara::core::Optional<cmc::DT_ChargingManagementCore_views_content>& content,
      const ara::core::Optional<cmc::DT_ChargingManagementCore_views_visibility>& visibility) override;
  void TellRuboToUpdate_ResetToFactoryData(
      const ara::core::Optional<cmc::DT_ChargingManagementCore_resetToFactoryData_resetToFactoryData>&
          resetToFactoryData,
      const ara::core::Optional<std::uint64_t>& lastReset) override;
  void TellRuboToUpdate_ValueControls(ValueControlsMembers&& members) override;
  void TellRuboToUpdate_Registry(bool available) override;
  void TellRuboToUpdate_ChargingPlugs(
      const ara::core::Optional<cmc::DT_ChargingManagementCore_chargingPlugs_type>& type,
      const ara::core::Optional<cmc::DT_ChargingManagementCore_chargingPlugs_infrastructureState>& infrastructureState,
      const ara::core::Optional<cmc::DT_ChargingManagementCore_chargingPlugs_plugConnectionState>& plugConnectionState,
      const ara::core::Optional<cmc::DT_ChargingManagementCore_chargingPlugs_plugType>& plugType) override;
  void TellRuboToUpdate_BatteryCareModes(
      const ara::core::Optional<cmc::DT_ChargingManagementCore_batteryCareModes_type>& type,
      const ara::core::Optional<std::uint32_t>& chargeBcamThreshold,
      const ara::core::Optional<cmc::DT_ChargingManagementCore_batteryCareModes_notification>& notification,
      const ara::core::Optional<cmc::DT_ChargingManagementCore_batteryCareModes_popup>& popup,
      const ara::core::Optional<float>& bcamScoreThreshold) override;
  void TellRuboToUpdate_BatteryPreconditionings(
      const ara::core::Optional<cmc::DT_ChargingManagementCore_batteryPreconditionings_type>& type,
      const ara::core::Optional<cmc::DT_ChargingManagementCore_batteryPreconditionings_preconditioningState>&
          preconditioningState) override;
  void TellRuboToUpdate_BatteryPreconditioningEnergies(
      const ara::core::Optional<cmc::DT_ChargingManagementCore_batteryPreconditioningEnergies_type>& type,
      const ara::core::Optional<std::uint32_t>& firstStop,
      const ara::core::Optional<std::uint32_t>& nextStops) override;
  void TellRuboToUpdate_BidirectionalChargingModes(BidirectionalChargingModesMembers&& members) override;

  // REST and route -> vehicle.
  void TellSomeIpToStartListener() override;
  orik::enums::SOMEIP_RESPONSE_TYPE TellSomeIpToUpdate_ValueControls(
      const std::string& type, const ara::core::Optional<std::uint32_t>& value,
      const ara::core::Optional<std::string>& specialState) override;
  orik::enums::SOMEIP_RESPONSE_TYPE TellSomeIpToUpdate_NavTargetSoc(const std::uint32_t& navTargetSoc) override;
  orik::enums::SOMEIP_RESPONSE_TYPE TellSomeIpToUpdate_SwitchControls(
      const std::string& type, const ara::core::Optional<std::string>& switchValue) override;
  orik::enums::SOMEIP_RESPONSE_TYPE TellSomeIpToUpdate_Views(
      const std::string& type, const ara::core::Optional<std::string>& content,
      const ara::core::Optional<std::string>& visibility) override;
  orik::enums::SOMEIP_RESPONSE_TYPE TellSomeIpToUpdate_pastErrorInformation(
      const std::string& type, const ara::core::Optional<bool>& confirmedByUser) override;
  orik::enums::SOMEIP_RESPONSE_TYPE TellSomeIpToUpdate_ResetStatus(
      const ara::core::Optional<std::string>& reset) override;

  // Route -> REST.
  void TellRuboToUpdate_NavTargetSoc(const std::uint32_t& navTargetSoc) override;

 private:
  void GetNumericValues_ValueControls(const ValueControlsMembers& members,
                                      orik::ruboServer::ValueControlsUpdate& result);
  void GetNumericValues_ValueIndications(const ValueIndicationsMembers& members,
                                         orik::ruboServer::ValueIndicationsUpdate& result);
  void GetMappedValues_ValueIndications(const ValueIndicationsMembers& members,
                                        orik::ruboServer::ValueIndicationsUpdate& result);
  void GetMappedValues_ValueControls(const ValueControlsMembers& members,
                                     orik::ruboServer::ValueControlsUpdate& result);

  ara::log::Logger& m_logger;
  PartnerSlot<orik::ruboServer::ORIKRuboServerInterface> m_rubo;
  PartnerSlot<orik::chargingManagementCoreListener::ORIKListenerInterface> m_someIp;
  PartnerSlot<orik::routeBasedEnergyContents::RouteBasedEnergyContentsListenerInterface> m_rbec;
  std::mutex m_mutexWriteValueControls;
  std::mutex m_mutexChargingPlugs;
  std::mutex m_mutexChargingProcessInformation;
  std::mutex m_mutexNotificationMarkers;
  std::mutex m_mutexNotifications;
  std::mutex m_mutexOruUpdateApprovals;
  std::mutex m_mutexPastErrorInformation;
  std::mutex m_mutexSwitchControls;
  std::mutex m_mutexValueIndications;
  std::mutex m_mutexViews;
  std::mutex m_mutexResetToFactoryData;
  std::mutex m_mutexBatteryCareModes;
  std::mutex m_mutexBatteryPreconditionings;
  std::mutex m_mutexBatteryPreconditioningEnergies;
  std::mutex m_mutexValueControls;
  std::mutex m_mutexNavTargetSoc;
  std::mutex m_mutexBidirectionalChargingModes;
};

}  // namespace orik::commMngr
