#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

#include "ara/core/optional.h"

namespace orik::ruboServer {

// Argument bundles of the updates that carry many members; the order of the elements is part of
// the interface. Each bundle's positions are named in <Alias>Index, e.g.
// std::get<ValueControlsUpdateIndex::currentValue>(update); `count` is the number of members.
// type, currentValue, minValue, maxValue, unitPercent, unitDistance, unitTime, resolution,
// restrictionReason, specialState, specialStateConfiguration
using ValueControlsUpdate =
    std::tuple<ara::core::Optional<std::string>, ara::core::Optional<std::uint32_t>, ara::core::Optional<std::uint32_t>,
               ara::core::Optional<std::uint32_t>, ara::core::Optional<std::string>, ara::core::Optional<std::string>,
               ara::core::Optional<std::string>, ara::core::Optional<std::uint32_t>, ara::core::Optional<std::string>,
               ara::core::Optional<std::string>, ara::core::Optional<std::vector<std::string>>>;

namespace ValueControlsUpdateIndex {
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
}  // namespace ValueControlsUpdateIndex
static_assert(std::tuple_size_v<ValueControlsUpdate> == ValueControlsUpdateIndex::count);

// type, currentChargeState, chargeBulkThreshold, chargeMode, profileChargeReason, chargeType,
// chargingScenario, activeTargetSoc, chargeTimeDisplay, evseid, chargeRateCuteness
using ChargingProcessInformationUpdate =
    std::tuple<ara::core::Optional<std::string>, ara::core::Optional<std::string>, ara::core::Optional<std::uint32_t>,
               ara::core::Optional<std::string>, ara::core::Optional<std::string>, ara::core::Optional<std::string>,
               ara::core::Optional<std::string>, ara::core::Optional<std::string>, ara::core::Optional<std::string>,
               ara::core::Optional<std::string>, ara::core::Optional<std::string>>;

namespace ChargingProcessInformationUpdateIndex {
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
}  // namespace ChargingProcessInformationUpdateIndex
static_assert(std::tuple_size_v<ChargingProcessInformationUpdate> == ChargingProcessInformationUpdateIndex::count);

// type, currentValue, maxValue, minValue, currentTimeDateValue, unitPercent, unitTime, unitSpeed,
// unitPower, unitEnergy, restrictionReason
using ValueIndicationsUpdate =
    std::tuple<ara::core::Optional<std::string>, ara::core::Optional<float>, ara::core::Optional<float>,
               ara::core::Optional<float>, ara::core::Optional<std::string>, ara::core::Optional<std::string>,
               ara::core::Optional<std::string>, ara::core::Optional<std::string>, ara::core::Optional<std::string>,
               ara::core::Optional<std::string>, ara::core::Optional<std::string>>;

namespace ValueIndicationsUpdateIndex {
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
}  // namespace ValueIndicationsUpdateIndex
static_assert(std::tuple_size_v<ValueIndicationsUpdate> == ValueIndicationsUpdateIndex::count);

// type, information, notification, chargingMode, operatingHoursThreshold,
// numbersOfCyclesThreshold, amountOfEnergyThreshold, quotaThreshold
using BidirectionalChargingModesUpdate =
    std::tuple<ara::core::Optional<std::string>, ara::core::Optional<std::string>, ara::core::Optional<std::string>,
               ara::core::Optional<std::string>, ara::core::Optional<float>, ara::core::Optional<float>,
               ara::core::Optional<float>, ara::core::Optional<float>>;

namespace BidirectionalChargingModesUpdateIndex {
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
}  // namespace BidirectionalChargingModesUpdateIndex
static_assert(std::tuple_size_v<BidirectionalChargingModesUpdate> == BidirectionalChargingModesUpdateIndex::count);

// The REST server application as the mediator sees it. Every Update_<topic> finds the element
// whose "type" equals the first argument and sets each present member as a property, removing
// the property of each absent one. Values are already REST words.
class ORIKRuboServerInterface {
 public:
  virtual ~ORIKRuboServerInterface() = default;

  // true registers both REST services with the registry, false deregisters them; asynchronous.
  virtual void Update_Registry(bool available) = 0;

  virtual void Update_ValueControls(ValueControlsUpdate&& update) = 0;

  virtual void Update_SwitchControls(const ara::core::Optional<std::string>& type,
                                     const ara::core::Optional<std::string>& switchValue,
                                     const ara::core::Optional<std::string>& restrictionReason,
                                     const ara::core::Optional<std::vector<std::string>>& switchValueConfiguration) = 0;

  virtual void Update_ChargingPlugs(const ara::core::Optional<std::string>& type,
                                    const ara::core::Optional<std::string>& plugConnectionState,
                                    const ara::core::Optional<std::string>& infrastructureState,
                                    const ara::core::Optional<std::string>& plugType) = 0;

  virtual void Update_Views(const ara::core::Optional<std::string>& type,
                            const ara::core::Optional<std::string>& content,
                            const ara::core::Optional<std::string>& visibility) = 0;

  virtual void Update_Notifications(const ara::core::Optional<std::string>& type,
                                    const ara::core::Optional<std::string>& value,
                                    const ara::core::Optional<std::string>& additionalInformation) = 0;

  virtual void Update_NotificationMarkers(const ara::core::Optional<std::string>& type,
                                          const ara::core::Optional<bool>& isToBeNotified) = 0;

  virtual void Update_OruUpdateApprovals(const ara::core::Optional<std::string>& type,
                                         const ara::core::Optional<bool>& updateApproval) = 0;

  virtual void Update_chargingProcessInformation(ChargingProcessInformationUpdate&& update) = 0;

  virtual void Update_valueIndications(ValueIndicationsUpdate&& update) = 0;

  virtual void Update_pastErrorInformation(const ara::core::Optional<std::string>& type,
                                           const ara::core::Optional<std::string>& value,
                                           const ara::core::Optional<std::string>& additionalInformation,
                                           const ara::core::Optional<bool>& confirmedByUser) = 0;

  // Updates the reset element of the "FactoryReset" service; lastReset is a time stamp.
  virtual void Update_resetToFactoryData(const ara::core::Optional<std::string>& resetToFactoryData,
                                         const ara::core::Optional<std::uint64_t>& lastReset) = 0;

  virtual void Update_batteryCareModes(const ara::core::Optional<std::string>& type,
                                       const ara::core::Optional<std::string>& notification,
                                       const ara::core::Optional<std::string>& popup,
                                       const ara::core::Optional<std::uint32_t>& chargeBcamThreshold,
                                       const ara::core::Optional<float>& bcamScoreThreshold) = 0;

  virtual void Update_batteryPreconditionings(const ara::core::Optional<std::string>& type,
                                              const ara::core::Optional<std::string>& preconditioningState) = 0;

  virtual void Update_batteryPreconditioningEnergies(const ara::core::Optional<std::string>& type,
                                                     const ara::core::Optional<std::uint32_t>& firstStop,
                                                     const ara::core::Optional<std::uint32_t>& nextStops) = 0;

  virtual void Update_BidirectionalChargingModes(BidirectionalChargingModesUpdate&& update) = 0;

  // Sets the current value of the navigation-target value control.
  virtual void Update_NavTargetSoc(const std::uint8_t& navTargetSoc) = 0;
};

}  // namespace orik::ruboServer
