#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

#include "ara/core/optional.h"
#include "service_types/chargingmanagementcore/enumerations.h"

namespace orik::commMngr {

namespace cmc = zrt::services::chargingmanagementcore::datatypes;

// Member bundles of the topics that hand over many members at once; element order is part of the
// interface. Each bundle's positions are named in <Alias>Index, e.g.
// std::get<ValueControlsMembersIndex::currentValue>(members); `count` is the number of members.
// type, currentChargeState, chargeBulkThreshold, chargeMode, profileChargeReason, chargeType,
// chargingScenario, activeTargetSoc, chargeTimeDisplay, evseid, chargeRateCuteness
using ChargingProcessInformationMembers =
    std::tuple<ara::core::Optional<cmc::DT_ChargingManagementCore_chargingProcessInformation_type>,
               ara::core::Optional<cmc::DT_ChargingManagementCore_chargingProcessInformation_currentChargeState>,
               ara::core::Optional<std::uint32_t>,
               ara::core::Optional<cmc::DT_ChargingManagementCore_chargingProcessInformation_chargeMode>,
               ara::core::Optional<cmc::DT_ChargingManagementCore_chargingProcessInformation_profileChargeReason>,
               ara::core::Optional<cmc::DT_ChargingManagementCore_chargingProcessInformation_chargeType>,
               ara::core::Optional<cmc::DT_ChargingManagementCore_chargingProcessInformation_chargingScenario>,
               ara::core::Optional<cmc::DT_ChargingManagementCore_chargingProcessInformation_activeTargetSoc>,
               ara::core::Optional<cmc::DT_ChargingManagementCore_chargingProcessInformation_chargeTimeDisplay>,
               ara::core::Optional<std::string>,
               ara::core::Optional<cmc::DT_ChargingManagementCore_chargingProcessInformation_chargeRateCuteness>>;

namespace ChargingProcessInformationMembersIndex {
enum : std::size_t {
  type,
  currentChargeState,
  chargeBulkThreshold,
  chargeMode,
  profileChargeReason,
  chargeType,
  chargingScenario,
  activeTargetSoc,
  chargeTimeDisplay,
  evseid,
  chargeRateCuteness,
  count
};
}  // namespace ChargingProcessInformationMembersIndex
static_assert(std::tuple_size_v<ChargingProcessInformationMembers> == ChargingProcessInformationMembersIndex::count);

// type, currentValue, maxValue, minValue, currentTimeDateValue, unitPercent, unitTime, unitSpeed,
// unitPower, unitEnergy, restrictionReason
using ValueIndicationsMembers =
    std::tuple<ara::core::Optional<cmc::DT_ChargingManagementCore_valueIndications_type>, ara::core::Optional<float>,
               ara::core::Optional<float>, ara::core::Optional<float>, ara::core::Optional<std::string>,
               ara::core::Optional<cmc::DT_ChargingManagementCore_valueIndications_unitPercent>,
               ara::core::Optional<cmc::DT_ChargingManagementCore_valueIndications_unitTime>,
               ara::core::Optional<cmc::DT_ChargingManagementCore_valueIndications_unitSpeed>,
               ara::core::Optional<cmc::DT_ChargingManagementCore_valueIndications_unitPower>,
               ara::core::Optional<cmc::DT_ChargingManagementCore_valueIndications_unitEnergy>,
               ara::core::Optional<cmc::DT_ChargingManagementCore_valueIndications_restrictionReason>>;

namespace ValueIndicationsMembersIndex {
enum : std::size_t {
  type,
  currentValue,
  maxValue,
  minValue,
  currentTimeDateValue,
  unitPercent,
  unitTime,
  unitSpeed,
  unitPower,
  unitEnergy,
  restrictionReason,
  count
};
}  // namespace ValueIndicationsMembersIndex
static_assert(std::tuple_size_v<ValueIndicationsMembers> == ValueIndicationsMembersIndex::count);

// References to the element's members (build with std::tie or std::forward_as_tuple):
// type, currentValue, minValue, maxValue, unitPercent, unitDistance, unitTime, resolution,
// restrictionReason, specialState, specialStateConfiguration
using ValueControlsMembers = std::tuple<
    const ara::core::Optional<cmc::DT_ChargingManagementCore_valueControls_type>&,
    const ara::core::Optional<std::uint32_t>&, const ara::core::Optional<std::uint32_t>&,
    const ara::core::Optional<std::uint32_t>&,
    const ara::core::Optional<cmc::DT_ChargingManagementCore_valueControls_unitPercent>&,
    const ara::core::Optional<cmc::DT_ChargingManagementCore_valueControls_unitDistance>&,
    const ara::core::Optional<cmc::DT_ChargingManagementCore_valueControls_unitTime>&,
    const ara::core::Optional<std::uint32_t>&,
    const ara::core::Optional<cmc::DT_ChargingManagementCore_valueControls_restrictionReason>&,
    const ara::core::Optional<cmc::DT_ChargingManagementCore_valueControls_specialState>&,
    const ara::core::Optional<std::vector<cmc::DT_ChargingManagementCore_valueControls_specialStateConfiguration>>&>;

namespace ValueControlsMembersIndex {
enum : std::size_t {
  type,
  currentValue,
  minValue,
  maxValue,
  unitPercent,
  unitDistance,
  unitTime,
  resolution,
  restrictionReason,
  specialState,
  specialStateConfiguration,
  count
};
}  // namespace ValueControlsMembersIndex
static_assert(std::tuple_size_v<ValueControlsMembers> == ValueControlsMembersIndex::count);

// References to the element's members: type, information, notification, chargingMode,
// operatingHoursThreshold, numbersOfCyclesThreshold, amountOfEnergyThreshold, quotaThreshold
using BidirectionalChargingModesMembers =
    std::tuple<const ara::core::Optional<cmc::DT_ChargingManagementCore_bidirectionalChargingModes_type>&,
               const ara::core::Optional<cmc::DT_ChargingManagementCore_bidirectionalChargingModes_information>&,
               const ara::core::Optional<cmc::DT_ChargingManagementCore_bidirectionalChargingModes_notification>&,
               const ara::core::Optional<cmc::DT_ChargingManagementCore_bidirectionalChargingModes_chargingMode>&,
               const ara::core::Optional<float>&, const ara::core::Optional<float>&, const ara::core::Optional<float>&,
               const ara::core::Optional<float>&>;

namespace BidirectionalChargingModesMembersIndex {
enum : std::size_t {
  type,
  information,
  notification,
  chargingMode,
  operatingHoursThreshold,
  numbersOfCyclesThreshold,
  amountOfEnergyThreshold,
  quotaThreshold,
  count
};
}  // namespace BidirectionalChargingModesMembersIndex
static_assert(std::tuple_size_v<BidirectionalChargingModesMembers> == BidirectionalChargingModesMembersIndex::count);

// The mediator as the ChargingManagementCore listener sees it: one call per received element,
// with the element's members as they arrived (enumerations as numbers).
class CommMngrSomeipSideInterface {
 public:
  virtual ~CommMngrSomeipSideInterface() = default;

  virtual void TellRuboToUpdate_chargingProcessInformation(ChargingProcessInformationMembers&& members) = 0;

  virtual void TellRuboToUpdate_NotificationMarkers(
      const ara::core::Optional<cmc::DT_ChargingManagementCore_notificationMarkers_type>& type,
      const ara::core::Optional<bool>& isToBeNotified) = 0;

  virtual void TellRuboToUpdate_Notifications(
      const ara::core::Optional<cmc::DT_ChargingManagementCore_notifications_type>& type,
      const ara::core::Optional<cmc::DT_ChargingManagementCore_notifications_additionalInformation>&
          additionalInformation,
      const ara::core::Optional<cmc::DT_ChargingManagementCore_notifications_value>& value) = 0;

  virtual void TellRuboToUpdate_OruUpdateApprovals(
      const ara::core::Optional<cmc::DT_ChargingManagementCore_oruUpdateApprovals_type>& type,
      const ara::core::Optional<bool>& updateApproval) = 0;

  virtual void TellRuboToUpdate_pastErrorInformation(
      const ara::core::Optional<cmc::DT_ChargingManagementCore_pastErrorInformation_type>& type,
      const ara::core::Optional<cmc::DT_ChargingManagementCore_pastErrorInformation_value>& value,
      const ara::core::Optional<cmc::DT_ChargingManagementCore_pastErrorInformation_additionalInformation>&
          additionalInformation,
      const ara::core::Optional<bool>& confirmedByUser) = 0;

  virtual void TellRuboToUpdate_SwitchControls(
      const ara::core::Optional<cmc::DT_ChargingManagementCore_switchControls_type>& type,
      const ara::core::Optional<cmc::DT_ChargingManagementCore_switchControls_restrictionReason>& restrictionReason,
      const ara::core::Optional<cmc::DT_ChargingManagementCore_switchControls_switchValue>& switchValue,
      const ara::core::Optional<std::vector<cmc::DT_ChargingManagementCore_switchControls_switchValueConfiguration>>&
          switchValueConfiguration) = 0;

  virtual void TellRuboToUpdate_valueIndications(ValueIndicationsMembers&& members) = 0;

  virtual void TellRuboToUpdate_Views(
      const ara::core::Optional<cmc::DT_ChargingManagementCore_views_type>& type,
      const ara::core::Optional<cmc::DT_ChargingManagementCore_views_content>& content,
      const ara::core::Optional<cmc::DT_ChargingManagementCore_views_visibility>& visibility) = 0;

  // The reset element has no type; lastReset is a time stamp.
  virtual void TellRuboToUpdate_ResetToFactoryData(
      const ara::core::Optional<cmc::DT_ChargingManagementCore_resetToFactoryData_resetToFactoryData>&
          resetToFactoryData,
      const ara::core::Optional<std::uint64_t>& lastReset) = 0;

  virtual void TellRuboToUpdate_ValueControls(ValueControlsMembers&& members) = 0;

  // The ChargingManagementCore service is offered (true) or gone (false).
  virtual void TellRuboToUpdate_Registry(bool available) = 0;

  virtual void TellRuboToUpdate_ChargingPlugs(
      const ara::core::Optional<cmc::DT_ChargingManagementCore_chargingPlugs_type>& type,
      const ara::core::Optional<cmc::DT_ChargingManagementCore_chargingPlugs_infrastructureState>& infrastructureState,
      const ara::core::Optional<cmc::DT_ChargingManagementCore_chargingPlugs_plugConnectionState>& plugConnectionState,
      const ara::core::Optional<cmc::DT_ChargingManagementCore_chargingPlugs_plugType>& plugType) = 0;

  virtual void TellRuboToUpdate_BatteryCareModes(
      const ara::core::Optional<cmc::DT_ChargingManagementCore_batteryCareModes_type>& type,
      const ara::core::Optional<std::uint32_t>& chargeBcamThreshold,
      const ara::core::Optional<cmc::DT_ChargingManagementCore_batteryCareModes_notification>& notification,
      const ara::core::Optional<cmc::DT_ChargingManagementCore_batteryCareModes_popup>& popup,
      const ara::core::Optional<float>& bcamScoreThreshold) = 0;

  virtual void TellRuboToUpdate_BatteryPreconditionings(
      const ara::core::Optional<cmc::DT_ChargingManagementCore_batteryPreconditionings_type>& type,
      const ara::core::Optional<cmc::DT_ChargingManagementCore_batteryPreconditionings_preconditioningState>&
          preconditioningState) = 0;

  virtual void TellRuboToUpdate_BatteryPreconditioningEnergies(
      const ara::core::Optional<cmc::DT_ChargingManagementCore_batteryPreconditioningEnergies_type>& type,
      const ara::core::Optional<std::uint32_t>& firstStop, const ara::core::Optional<std::uint32_t>& nextStops) = 0;

  virtual void TellRuboToUpdate_BidirectionalChargingModes(BidirectionalChargingModesMembers&& members) = 0;
};

}  // namespace orik::commMngr
