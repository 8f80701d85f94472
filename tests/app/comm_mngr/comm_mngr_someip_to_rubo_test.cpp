#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "comm_mngr_fakes.h"

namespace orik::commMngr::test {
namespace {

using namespace zrt::services::chargingmanagementcore::datatypes;
using ara::core::Optional;

// A value the vehicle may send that is no enumerator of its enumeration.
template <typename E>
E Raw(std::uint32_t value) {
  return static_cast<E>(value);
}

const std::string kInfo = "I [CommMngr][Someip -> Rubo] ";
const std::string kSwitch = "I [CommMngr][Someip -> Rubo]  Translated SwitchControl object ";

struct ValueControl {
  Optional<DT_ChargingManagementCore_valueControls_type> type;
  Optional<std::uint32_t> currentValue, minValue, maxValue;
  Optional<DT_ChargingManagementCore_valueControls_unitPercent> unitPercent;
  Optional<DT_ChargingManagementCore_valueControls_unitDistance> unitDistance;
  Optional<DT_ChargingManagementCore_valueControls_unitTime> unitTime;
  Optional<std::uint32_t> resolution;
  Optional<DT_ChargingManagementCore_valueControls_restrictionReason> restrictionReason;
  Optional<DT_ChargingManagementCore_valueControls_specialState> specialState;
  Optional<std::vector<DT_ChargingManagementCore_valueControls_specialStateConfiguration>> configuration;

  void SendTo(CommunicationsManager& mediator) const {
    mediator.TellRuboToUpdate_ValueControls(ValueControlsMembers{type, currentValue, minValue, maxValue, unitPercent,
                                                                 unitDistance, unitTime, resolution, restrictionReason,
                                                                 specialState, configuration});
  }
};

ValueControl TypeAndValue(Optional<DT_ChargingManagementCore_valueControls_type> type, Optional<std::uint32_t> value) {
  ValueControl vc;
  vc.type = type;
  vc.currentValue = value;
  return vc;
}

struct BidirectionalChargingMode {
  Optional<DT_ChargingManagementCore_bidirectionalChargingModes_type> type;
  Optional<DT_ChargingManagementCore_bidirectionalChargingModes_information> information;
  Optional<DT_ChargingManagementCore_bidirectionalChargingModes_notification> notification;
  Optional<DT_ChargingManagementCore_bidirectionalChargingModes_chargingMode> chargingMode;
  Optional<float> operatingHours, cycles, energy, quota;

  void SendTo(CommunicationsManager& mediator) const {
    mediator.TellRuboToUpdate_BidirectionalChargingModes(BidirectionalChargingModesMembers{
        type, information, notification, chargingMode, operatingHours, cycles, energy, quota});
  }
};

struct Case {
  const char* name;
  std::function<void(CommunicationsManager&)> send;
  std::vector<std::string> calls;  // on the REST side
  std::vector<std::string> logs;   // level initial and text
};

using SC = DT_ChargingManagementCore_switchControls_switchValueConfiguration;
using SSC = DT_ChargingManagementCore_valueControls_specialStateConfiguration;

std::vector<Case> Cases() {
  using CS = DT_ChargingManagementCore_switchControls_type;
  using CV = DT_ChargingManagementCore_switchControls_switchValue;
  using CR = DT_ChargingManagementCore_switchControls_restrictionReason;
  using VT = DT_ChargingManagementCore_valueControls_type;
  return {
      // ---- notifications: members arrive additionalInformation first, leave value first
      {"NotificationReordered",
       [](auto& m) {
         m.TellRuboToUpdate_Notifications(DT_ChargingManagementCore_notifications_type::chargingNotification2,
                                          DT_ChargingManagementCore_notifications_additionalInformation::startInhibit,
                                          DT_ChargingManagementCore_notifications_value::failedBySupplyVoltage);
       },
       {"Update_Notifications(chargingNotification2,failedBySupplyVoltage,startInhibit)"},
       {kInfo + "Notification [type] {value,mappedvalue} = {1,chargingNotification2}",
        kInfo + "Notification [value] {value,mappedvalue} = {2,failedBySupplyVoltage}",
        kInfo + "Notification [additionalInformation] {value,mappedvalue} = {2,startInhibit}"}},
      {"NotificationUnmappedAndAbsentMembers",
       [](auto& m) {
         m.TellRuboToUpdate_Notifications(DT_ChargingManagementCore_notifications_type::chargingNotification1,
                                          std::nullopt, Raw<DT_ChargingManagementCore_notifications_value>(0));
       },
       {"Update_Notifications(chargingNotification1,-,-)"},
       {kInfo + "Notification [type] {value,mappedvalue} = {0,chargingNotification1}"}},
      {"NotificationInvalidType",
       [](auto& m) {
         m.TellRuboToUpdate_Notifications(Raw<DT_ChargingManagementCore_notifications_type>(6), std::nullopt,
                                          DT_ChargingManagementCore_notifications_value::generalError);
       },
       {},
       {kInfo + "Notification type invalid"}},

      // ---- charging plugs: plugConnectionState leaves before infrastructureState
      {"ChargingPlugReorderedWithUnmappedPlugType",
       [](auto& m) {
         m.TellRuboToUpdate_ChargingPlugs(DT_ChargingManagementCore_chargingPlugs_type::front,
                                          DT_ChargingManagementCore_chargingPlugs_infrastructureState::ready,
                                          DT_ChargingManagementCore_chargingPlugs_plugConnectionState::connected,
                                          Raw<DT_ChargingManagementCore_chargingPlugs_plugType>(0));
       },
       {"Update_ChargingPlugs(front,connected,ready,-)"},
       {kInfo + "ChargingPlug [type] {value,mappedvalue} = {8,front}",
        kInfo + "ChargingPlug [infrastructureState] {value,mappedvalue} = {2,ready}",
        kInfo + "ChargingPlug [plugConnectionState] {value,mappedvalue} = {1,connected}"}},
      {"ChargingPlugInvalidType",
       [](auto& m) {
         m.TellRuboToUpdate_ChargingPlugs(Raw<DT_ChargingManagementCore_chargingPlugs_type>(9), std::nullopt,
                                          std::nullopt, std::nullopt);
       },
       {},
       {kInfo + "ChargingPlug type invalid"}},

      // ---- switch controls: own log texts; switchValue leaves before restrictionReason
      {"SwitchControlFullWithUnknownConfigurationItemLeftOut",
       [](auto& m) {
         m.TellRuboToUpdate_SwitchControls(CS::frontPlugLockState, CR::wiredChargingActive, CV::locked,
                                           std::vector<SC>{SC::locked, SC::unlocked, Raw<SC>(99), SC::off});
       },
       {"Update_SwitchControls(frontPlugLockState,locked,wiredChargingActive,[locked,unlocked,off])"},
       {kSwitch + "[type] {type,mapped_type} ={ 18,frontPlugLockState}",
        kSwitch + "[value] {value,mapped_value} ={ 7,locked}",
        kSwitch + "[restrictionReason] {restrictionReason,mapped_restrictionReason} ={ 160,wiredChargingActive}",
        kSwitch + "[valueConfig] (item from the array) {valueConfig,mapped_valueConfig} ={ 7,locked}",
        kSwitch + "[valueConfig] (item from the array) {valueConfig,mapped_valueConfig} ={ 8,unlocked}",
        kSwitch + "[valueConfig] (item from the array) {valueConfig,mapped_valueConfig} ={ 2,off}"}},
      {"SwitchControlEmptyConfigurationStaysPresent",
       [](auto& m) {
         m.TellRuboToUpdate_SwitchControls(CS::immediateChargingOptionsMaxChargeCurrentAc, Raw<CR>(2), Raw<CV>(34),
                                           std::vector<SC>{});
       },
       {"Update_SwitchControls(immediateChargingOptionsMaxChargeCurrentAc,-,-,[])"},
       {kSwitch + "[type] {type,mapped_type} ={ 0,immediateChargingOptionsMaxChargeCurrentAc}"}},
      {"SwitchControlAbsentConfigurationStaysAbsent",
       [](auto& m) {
         m.TellRuboToUpdate_SwitchControls(CS::batteryPreconditioningAutoModeActivation, std::nullopt,
                                           CV::chargingChargeModeSelection, std::nullopt);
       },
       {"Update_SwitchControls(batteryPreconditioningAutoModeActivation,chargingChargeModeSelection,-,-)"},
       {kSwitch + "[type] {type,mapped_type} ={ 44,batteryPreconditioningAutoModeActivation}",
        kSwitch + "[value] {value,mapped_value} ={ 33,chargingChargeModeSelection}"}},
      {"SwitchControlInvalidType",
       [](auto& m) { m.TellRuboToUpdate_SwitchControls(Raw<CS>(4), std::nullopt, CV::off, std::vector<SC>{}); },
       {},
       {kInfo + "SwitchControl type invalid"}},

      // ---- views
      {"ViewTranslated",
       [](auto& m) {
         m.TellRuboToUpdate_Views(DT_ChargingManagementCore_views_type::popup,
                                  DT_ChargingManagementCore_views_content::chargingInformationScreen,
                                  DT_ChargingManagementCore_views_visibility::newRequest);
       },
       {"Update_Views(popup,chargingInformationScreen,newRequest)"},
       {kInfo + "View [type] {value,mappedvalue} = {0,popup}",
        kInfo + "View [content] {value,mappedvalue} = {1,chargingInformationScreen}",
        kInfo + "View [visibility] {value,mappedvalue} = {3,newRequest}"}},
      {"ViewInvalidType",
       [](auto& m) {
         m.TellRuboToUpdate_Views(Raw<DT_ChargingManagementCore_views_type>(3), std::nullopt, std::nullopt);
       },
       {},
       {kInfo + "Views type invalid"}},

      // ---- notification markers and approvals: the flag passes as received
      {"NotificationMarker",
       [](auto& m) {
         m.TellRuboToUpdate_NotificationMarkers(DT_ChargingManagementCore_notificationMarkers_type::notificationMarker3,
                                                true);
       },
       {"Update_NotificationMarkers(notificationMarker3,true)"},
       {kInfo + "NotificationMarker [type] {value,mappedvalue} = {2,notificationMarker3}"}},
      {"NotificationMarkerInvalidType",
       [](auto& m) {
         m.TellRuboToUpdate_NotificationMarkers(Raw<DT_ChargingManagementCore_notificationMarkers_type>(3), true);
       },
       {},
       {kInfo + "NotificationMarker type invalid"}},
      {"OruUpdateApprovalWithoutFlag",
       [](auto& m) {
         m.TellRuboToUpdate_OruUpdateApprovals(DT_ChargingManagementCore_oruUpdateApprovals_type::oruUpdateApproval,
                                               std::nullopt);
       },
       {"Update_OruUpdateApprovals(oruUpdateApproval,-)"},
       {kInfo + "OruUpdateApproval [type] {value,mappedvalue} = {0,oruUpdateApproval}"}},
      {"OruUpdateApprovalInvalidType",
       [](auto& m) {
         m.TellRuboToUpdate_OruUpdateApprovals(Raw<DT_ChargingManagementCore_oruUpdateApprovals_type>(1), false);
       },
       {},
       {kInfo + "OruUpdateApproval type invalid"}},

      // ---- past error information
      {"PastErrorInformation",
       [](auto& m) {
         m.TellRuboToUpdate_pastErrorInformation(
             DT_ChargingManagementCore_pastErrorInformation_type::pastErrorInformation3,
             DT_ChargingManagementCore_pastErrorInformation_value::failedByLatchDetection,
             DT_ChargingManagementCore_pastErrorInformation_additionalInformation::other, false);
       },
       {"Update_pastErrorInformation(pastErrorInformation3,failedByLatchDetection,other,false)"},
       {kInfo + "PastErrorInformation [type] {value,mappedvalue} = {2,pastErrorInformation3}",
        kInfo + "PastErrorInformation [value] {value,mappedvalue} = {65,failedByLatchDetection}",
        kInfo + "PastErrorInformation [additionalInformation] {value,mappedvalue} = {3,other}",
        kInfo + "PastErrorInformation [confirmedByUser] value = false"}},
      {"PastErrorInformationInvalidType",
       [](auto& m) {
         m.TellRuboToUpdate_pastErrorInformation(Raw<DT_ChargingManagementCore_pastErrorInformation_type>(3),
                                                 std::nullopt, std::nullopt, true);
       },
       {},
       {kInfo + "PastErrorInformation type invalid"}},

      // ---- reset to factory data: no type, always forwarded
      {"ResetTranslatedWithTimestamp",
       [](auto& m) {
         m.TellRuboToUpdate_ResetToFactoryData(DT_ChargingManagementCore_resetToFactoryData_resetToFactoryData::origin,
                                               std::uint64_t{1700000000});
       },
       {"Update_resetToFactoryData(origin,1700000000)"},
       {kInfo + "ResetToFactoryData [resetFactoryData] {value,mappedvalue} = {0,origin}",
        kInfo + "Timestamp updated: 1700000000"}},
      {"ResetAbsentValueStillForwarded",
       [](auto& m) { m.TellRuboToUpdate_ResetToFactoryData(std::nullopt, std::uint64_t{18446744073709551615u}); },
       {"Update_resetToFactoryData(-,18446744073709551615)"},
       {kInfo + "Timestamp updated: 18446744073709551615"}},
      {"ResetUnmappedValueStillForwarded",
       [](auto& m) {
         m.TellRuboToUpdate_ResetToFactoryData(Raw<DT_ChargingManagementCore_resetToFactoryData_resetToFactoryData>(2),
                                               std::nullopt);
       },
       {"Update_resetToFactoryData(-,-)"},
       {}},

      // ---- battery care modes: the texts leave before the numbers
      {"BatteryCareModeReordered",
       [](auto& m) {
         m.TellRuboToUpdate_BatteryCareModes(
             DT_ChargingManagementCore_batteryCareModes_type::batteryCareMode, std::uint32_t{80},
             DT_ChargingManagementCore_batteryCareModes_notification::bcamScoreValueReached,
             DT_ChargingManagementCore_batteryCareModes_popup::bcamInformationScreen, 0.5f);
       },
       {"Update_batteryCareModes(batteryCareMode,bcamScoreValueReached,bcamInformationScreen,80,0.5)"},
       {kInfo + "BatteryCareModes [type] {value,mappedvalue} = {0,batteryCareMode}",
        kInfo + "BatteryCareModes [notification] {value,mappedvalue} = {5,bcamScoreValueReached}",
        kInfo + "BatteryCareModes [popup] {value,mappedvalue} = {1,bcamInformationScreen}"}},
      {"BatteryCareModeInvalidType",
       [](auto& m) {
         m.TellRuboToUpdate_BatteryCareModes(Raw<DT_ChargingManagementCore_batteryCareModes_type>(1), std::nullopt,
                                             std::nullopt, std::nullopt, std::nullopt);
       },
       {},
       {kInfo + "BatteryCareModes type invalid"}},

      // ---- battery preconditionings: the type translation is not logged
      {"BatteryPreconditioning",
       [](auto& m) {
         m.TellRuboToUpdate_BatteryPreconditionings(
             DT_ChargingManagementCore_batteryPreconditionings_type::batteryPreconditioning,
             DT_ChargingManagementCore_batteryPreconditionings_preconditioningState::notPossibleLowSoc);
       },
       {"Update_batteryPreconditionings(batteryPreconditioning,notPossibleLowSoc)"},
       {kInfo + "BatteryPreconditionings [preconditioningState] {value,mappedvalue} = {5,notPossibleLowSoc}"}},
      {"BatteryPreconditioningInvalidType",
       [](auto& m) {
         m.TellRuboToUpdate_BatteryPreconditionings(Raw<DT_ChargingManagementCore_batteryPreconditionings_type>(1),
                                                    std::nullopt);
       },
       {},
       {kInfo + "BatteryPreconditionings type invalid"}},

      // ---- battery preconditioning energies: nothing logged but an invalid type
      {"BatteryPreconditioningEnergy",
       [](auto& m) {
         m.TellRuboToUpdate_BatteryPreconditioningEnergies(
             DT_ChargingManagementCore_batteryPreconditioningEnergies_type::batteryPreconditioningEnergy1,
             std::uint32_t{10}, std::nullopt);
       },
       {"Update_batteryPreconditioningEnergies(batteryPreconditioningEnergy1,10,-)"},
       {}},
      {"BatteryPreconditioningEnergyInvalidType",
       [](auto& m) {
         m.TellRuboToUpdate_BatteryPreconditioningEnergies(
             Raw<DT_ChargingManagementCore_batteryPreconditioningEnergies_type>(1), std::nullopt, std::nullopt);
       },
       {},
       {kInfo + "BatteryPreconditioningEnergies type invalid"}},

      // ---- bidirectional charging modes: logged notification first, handed on in member order
      {"BidirectionalChargingMode",
       [](auto& m) {
         BidirectionalChargingMode{
             DT_ChargingManagementCore_bidirectionalChargingModes_type::bidirectionalChargingMode,
             DT_ChargingManagementCore_bidirectionalChargingModes_information::bidiNotAvailableChooseOption,
             DT_ChargingManagementCore_bidirectionalChargingModes_notification::maximumQuotaWarning,
             Raw<DT_ChargingManagementCore_bidirectionalChargingModes_chargingMode>(0),
             1.5f,
             std::nullopt,
             3.0f,
             4.25f}
             .SendTo(m);
       },
       {"Update_BidirectionalChargingModes(bidirectionalChargingMode,bidiNotAvailableChooseOption,"
        "maximumQuotaWarning,-,1.5,-,3,4.25)"},
       {kInfo + "BidirectionalChargingModes [type] {value,mappedvalue} = {0,bidirectionalChargingMode}",
        kInfo + "BidirectionalChargingModes [notification] {value,mappedvalue} = {4,maximumQuotaWarning}",
        kInfo + "BidirectionalChargingModes [information] {value,mappedvalue} = {17,bidiNotAvailableChooseOption}"}},
      {"BidirectionalChargingModeInvalidType",
       [](auto& m) {
         BidirectionalChargingMode mode;
         mode.type = Raw<DT_ChargingManagementCore_bidirectionalChargingModes_type>(1);
         mode.SendTo(m);
       },
       {},
       {kInfo + "BidirectionalChargingModes type invalid"}},

      // ---- charging process information: nothing logged but an invalid type
      {"ChargingProcessInformation",
       [](auto& m) {
         m.TellRuboToUpdate_chargingProcessInformation(
             {DT_ChargingManagementCore_chargingProcessInformation_type::chargingProcessInformation,
              DT_ChargingManagementCore_chargingProcessInformation_currentChargeState::chargingHvBattery, 80u,
              DT_ChargingManagementCore_chargingProcessInformation_chargeMode::immediatelyProfile,
              DT_ChargingManagementCore_chargingProcessInformation_profileChargeReason::lowCost,
              Raw<DT_ChargingManagementCore_chargingProcessInformation_chargeType>(0),
              DT_ChargingManagementCore_chargingProcessInformation_chargingScenario::plugReleasable,
              DT_ChargingManagementCore_chargingProcessInformation_activeTargetSoc::navTargetSoc,
              DT_ChargingManagementCore_chargingProcessInformation_chargeTimeDisplay::remainingChargeTimeNav,
              std::string("DE*ABC*E123"),
              DT_ChargingManagementCore_chargingProcessInformation_chargeRateCuteness::limitedInfrastructure});
       },
       {"Update_chargingProcessInformation(chargingProcessInformation,chargingHvBattery,80,immediatelyProfile,"
        "lowCost,-,plugReleasable,navTargetSoc,remainingChargeTimeNav,DE*ABC*E123,limitedInfrastructure)"},
       {}},
      {"ChargingProcessInformationInvalidType",
       [](auto& m) {
         ChargingProcessInformationMembers members;
         std::get<ChargingProcessInformationMembersIndex::type>(members) =
             Raw<DT_ChargingManagementCore_chargingProcessInformation_type>(1);
         m.TellRuboToUpdate_chargingProcessInformation(std::move(members));
       },
       {},
       {kInfo + "ChargingProcessInformation type invalid"}},

      // ---- value indications: own log texts, no numbers shown for words
      {"ValueIndication",
       [](auto& m) {
         m.TellRuboToUpdate_valueIndications(
             {DT_ChargingManagementCore_valueIndications_type::chargingProcessInformationCurrentSoc, 42.5f,
              std::nullopt, 0.0f, std::string("2024-05-01T10:00:00"),
              DT_ChargingManagementCore_valueIndications_unitPercent::percent,
              Raw<DT_ChargingManagementCore_valueIndications_unitTime>(5),
              DT_ChargingManagementCore_valueIndications_unitSpeed::kmPerHour,
              DT_ChargingManagementCore_valueIndications_unitPower::kW, std::nullopt,
              Raw<DT_ChargingManagementCore_valueIndications_restrictionReason>(2)});
       },
       {"Update_valueIndications(chargingProcessInformationCurrentSoc,42.5,-,0,2024-05-01T10:00:00,percent,-,"
        "kmPerHour,kW,-,-)"},
       {kInfo + "ValueIndication [type] value = chargingProcessInformationCurrentSoc",
        kInfo + "ValueIndication [currentValue] value = 42.5", kInfo + "ValueIndication [minValue] value = 0",
        kInfo + "ValueIndication [currentTimeDateValue] value = 2024-05-01T10:00:00",
        kInfo + "ValueIndication [unitPercent] value = percent",
        kInfo + "ValueIndication [unitSpeed] value = kmPerHour", kInfo + "ValueIndication [unitPower] value = kW"}},
      {"ValueIndicationWithoutTypeIsInvalidNotAnError",
       [](auto& m) { m.TellRuboToUpdate_valueIndications({}); },
       {},
       {kInfo + "ValueIndication type invalid"}},
      {"ValueIndicationInvalidType",
       [](auto& m) {
         ValueIndicationsMembers members;
         std::get<ValueIndicationsMembersIndex::type>(members) =
             Raw<DT_ChargingManagementCore_valueIndications_type>(23);
         m.TellRuboToUpdate_valueIndications(std::move(members));
       },
       {},
       {kInfo + "ValueIndication type invalid"}},

      // ---- value controls
      {"ValueControlWithUnmappedMembersLeftEmpty",
       [](auto& m) {
         ValueControl{VT::immediateChargingOptionsTargetSoc,
                      80u,
                      20u,
                      100u,
                      DT_ChargingManagementCore_valueControls_unitPercent::percent,
                      std::nullopt,
                      DT_ChargingManagementCore_valueControls_unitTime::h,
                      5u,
                      Raw<DT_ChargingManagementCore_valueControls_restrictionReason>(2),
                      Raw<DT_ChargingManagementCore_valueControls_specialState>(1),
                      std::vector<SSC>{SSC::off, SSC::off, SSC::off}}
             .SendTo(m);
       },
       {"Update_ValueControls(immediateChargingOptionsTargetSoc,80,20,100,percent,-,h,5,-,-,[off])"},
       {kInfo + "ValueControl [type] {value,mappedvalue} = {0,immediateChargingOptionsTargetSoc}",
        kInfo + "ValueControl [currentValue] value = 80", kInfo + "ValueControl [minValue] value = 20",
        kInfo + "ValueControl [maxValue] value = 100", kInfo + "ValueControl [resolution] value = 5",
        kInfo + "ValueControl [unitPercent] {value,mappedvalue} = {0,percent}",
        kInfo + "ValueControl [unitTime] {value,mappedvalue} = {1,h}",
        kInfo + "ValueControl [specialStateConfiguration] {value,mappedvalue} = {0,off}"}},
      {"ValueControlSpecialStateAndSingleConfiguration",
       [](auto& m) {
         ValueControl vc;
         vc.type = VT::bidirectionalChargingModesMaxSoc;
         vc.unitDistance = DT_ChargingManagementCore_valueControls_unitDistance::miles;
         vc.restrictionReason = DT_ChargingManagementCore_valueControls_restrictionReason::notNeeded;
         vc.specialState = DT_ChargingManagementCore_valueControls_specialState::off;
         vc.configuration = std::vector<SSC>{SSC::off};
         vc.SendTo(m);
       },
       {"Update_ValueControls(bidirectionalChargingModesMaxSoc,-,-,-,-,miles,-,-,notNeeded,off,[off])"},
       {kInfo + "ValueControl [type] {value,mappedvalue} = {21,bidirectionalChargingModesMaxSoc}",
        kInfo + "ValueControl [unitDistance] {value,mappedvalue} = {1,miles}",
        kInfo + "ValueControl [restrictionReason] {value,mappedvalue} = {15,notNeeded}",
        kInfo + "ValueControl [specialState] {value,mappedvalue} = {0,off}",
        kInfo + "ValueControl [specialStateConfiguration] {value,mappedvalue} = {0,off}"}},
      {"ValueControlEmptyConfigurationStaysPresent",
       [](auto& m) {
         ValueControl vc;
         vc.type = VT::immediateActionImmediateActionTime;
         vc.configuration = std::vector<SSC>{};
         vc.SendTo(m);
       },
       {"Update_ValueControls(immediateActionImmediateActionTime,-,-,-,-,-,-,-,-,-,[])"},
       {kInfo + "ValueControl [type] {value,mappedvalue} = {4,immediateActionImmediateActionTime}",
        kInfo + "ValueControl [specialStateConfiguration] = {}"}},
      {"ValueControlAbsentConfigurationStaysAbsent",
       [](auto& m) { TypeAndValue(VT::immediateChargingOptionsNavTargetSoc, 0u).SendTo(m); },
       {"Update_ValueControls(immediateChargingOptionsNavTargetSoc,0,-,-,-,-,-,-,-,-,-)"},
       {kInfo + "ValueControl [type] {value,mappedvalue} = {19,immediateChargingOptionsNavTargetSoc}",
        kInfo + "ValueControl [currentValue] value = 0"}},
      {"ValueControlInvalidType",
       [](auto& m) { TypeAndValue(Raw<VT>(5), 1u).SendTo(m); },
       {},
       {kInfo + "ValueControl type invalid"}},

      // ---- relays
      {"RegistryAvailable", [](auto& m) { m.TellRuboToUpdate_Registry(true); }, {"Update_Registry(true)"}, {}},
      {"RegistryGone", [](auto& m) { m.TellRuboToUpdate_Registry(false); }, {"Update_Registry(false)"}, {}},
      {"NavTargetSoc",
       [](auto& m) { m.TellRuboToUpdate_NavTargetSoc(80u); },
       {"Update_NavTargetSoc(80)"},
       {"I [CommMngr][RBEC -> Rubo] Updating NavTargetSoc with value80"}},
      {"NavTargetSocLargestForwarded",
       [](auto& m) { m.TellRuboToUpdate_NavTargetSoc(255u); },
       {"Update_NavTargetSoc(255)"},
       {"I [CommMngr][RBEC -> Rubo] Updating NavTargetSoc with value255"}},
      {"NavTargetSocAbove8BitsNotForwarded",
       [](auto& m) { m.TellRuboToUpdate_NavTargetSoc(300u); },
       {},
       {"I [CommMngr][RBEC -> Rubo] Updating NavTargetSoc with value300"}},
  };
}

class SomeIpToRuboTest : public ::testing::Test, public MediatorFixture {};

TEST_F(SomeIpToRuboTest, TranslatesEveryTopic) {
  for (const auto& c : Cases()) {
    SCOPED_TRACE(c.name);
    ClearAll();
    c.send(*mediator);
    EXPECT_EQ(rubo->Calls(), c.calls);
    EXPECT_EQ(Logs(), c.logs);
    EXPECT_TRUE(listener->Calls().empty());
  }
}

// Where an element must carry a type, one without it is a caller's fault: it fails loudly and
// leaves no trace on the REST side.
TEST_F(SomeIpToRuboTest, AbsentTypeRaisesWithoutForwarding) {
  const std::vector<std::pair<const char*, std::function<void(CommunicationsManager&)>>> cases = {
      {"Notifications", [](auto& m) { m.TellRuboToUpdate_Notifications(std::nullopt, std::nullopt, std::nullopt); }},
      {"NotificationMarkers", [](auto& m) { m.TellRuboToUpdate_NotificationMarkers(std::nullopt, true); }},
      {"OruUpdateApprovals", [](auto& m) { m.TellRuboToUpdate_OruUpdateApprovals(std::nullopt, true); }},
      {"pastErrorInformation",
       [](auto& m) { m.TellRuboToUpdate_pastErrorInformation(std::nullopt, std::nullopt, std::nullopt, true); }},
      {"SwitchControls",
       [](auto& m) { m.TellRuboToUpdate_SwitchControls(std::nullopt, std::nullopt, std::nullopt, std::nullopt); }},
      {"Views", [](auto& m) { m.TellRuboToUpdate_Views(std::nullopt, std::nullopt, std::nullopt); }},
      {"ChargingPlugs",
       [](auto& m) { m.TellRuboToUpdate_ChargingPlugs(std::nullopt, std::nullopt, std::nullopt, std::nullopt); }},
      {"BatteryCareModes",
       [](auto& m) {
         m.TellRuboToUpdate_BatteryCareModes(std::nullopt, 1u, std::nullopt, std::nullopt, std::nullopt);
       }},
      {"BatteryPreconditionings",
       [](auto& m) { m.TellRuboToUpdate_BatteryPreconditionings(std::nullopt, std::nullopt); }},
      {"BatteryPreconditioningEnergies",
       [](auto& m) { m.TellRuboToUpdate_BatteryPreconditioningEnergies(std::nullopt, 1u, 2u); }},
      {"chargingProcessInformation", [](auto& m) { m.TellRuboToUpdate_chargingProcessInformation({}); }},
      {"ValueControls", [](auto& m) { TypeAndValue(std::nullopt, 1u).SendTo(m); }},
      {"BidirectionalChargingModes", [](auto& m) { BidirectionalChargingMode{}.SendTo(m); }},
  };
  for (const auto& [name, send] : cases) {
    SCOPED_TRACE(name);
    ClearAll();
    EXPECT_THROW(send(*mediator), std::bad_optional_access);
    EXPECT_TRUE(rubo->Calls().empty());
    EXPECT_TRUE(Logs().empty());
  }
}

TEST_F(SomeIpToRuboTest, RestSideErrorsReachTheCaller) {
  rubo->hook = [](const std::string&) { throw std::runtime_error("refused"); };
  EXPECT_THROW(
      mediator->TellRuboToUpdate_Views(DT_ChargingManagementCore_views_type::bcamScreen, std::nullopt, std::nullopt),
      std::runtime_error);
  EXPECT_THROW(mediator->TellRuboToUpdate_Registry(true), std::runtime_error);
}

}  // namespace
}  // namespace orik::commMngr::test
