// The enumerations are the names other components write in code, so their spelling and values
// are checked here at compile time, hand-typed, independently of the vocabulary file: this unit
// failing to compile is the failure. The tables' behaviour is tested with the mapping tables.

#include <cstdint>
#include <type_traits>

#include "service_types/chargingmanagementcore/enumerations.h"
#include "service_types/routebasedenergycontents/enumerations.h"

namespace {

namespace cmc = zrt::services::chargingmanagementcore::datatypes;
namespace rbec = zrt::services::routebasedenergycontents::datatypes;

template <typename E>
constexpr std::uint32_t V(E e) {
  return static_cast<std::uint32_t>(e);
}

// Every enumeration is scoped and carries exactly the service's 32-bit value.
template <typename E>
constexpr bool IsScopedU32() {
  return std::is_enum_v<E> && std::is_same_v<std::underlying_type_t<E>, std::uint32_t> &&
         !std::is_convertible_v<E, std::uint32_t>;
}
#define ORIK_VOCABULARY(field, member, ROWS) \
  static_assert(IsScopedU32<cmc::DT_ChargingManagementCore_##field##_##member>(), #field "_" #member);
#include "service_types/chargingmanagementcore/enumerations.def"
#define ORIK_VOCABULARY(field, member, ROWS) \
  static_assert(IsScopedU32<rbec::DT_RouteBasedEnergyContents_##field##_##member>(), #field "_" #member);
#include "service_types/routebasedenergycontents/enumerations.def"

// Sparse values.
static_assert(V(cmc::DT_ChargingManagementCore_switchControls_restrictionReason::error) == 1);
static_assert(V(cmc::DT_ChargingManagementCore_switchControls_restrictionReason::defect) == 3);
static_assert(V(cmc::DT_ChargingManagementCore_switchControls_restrictionReason::invalid) == 5);
static_assert(V(cmc::DT_ChargingManagementCore_switchControls_restrictionReason::temporaryNotAvailable) == 9);
static_assert(V(cmc::DT_ChargingManagementCore_switchControls_restrictionReason::safetyRestriction) == 14);
static_assert(V(cmc::DT_ChargingManagementCore_switchControls_restrictionReason::notNeeded) == 15);
static_assert(V(cmc::DT_ChargingManagementCore_switchControls_restrictionReason::hvBatterylow) == 54);
static_assert(V(cmc::DT_ChargingManagementCore_valueControls_restrictionReason::pluggedIn) == 90);
static_assert(V(cmc::DT_ChargingManagementCore_valueIndications_restrictionReason::readinessToDrive) == 91);
static_assert(V(cmc::DT_ChargingManagementCore_valueIndications_restrictionReason::noEnergySource) == 127);
static_assert(V(cmc::DT_ChargingManagementCore_valueControls_restrictionReason::waitingAndStartAgain) == 158);
static_assert(V(cmc::DT_ChargingManagementCore_switchControls_restrictionReason::wiredChargingActive) == 160);
static_assert(V(cmc::DT_ChargingManagementCore_switchControls_type::immediateChargingOptionsChargeModeSelection) == 3);
static_assert(V(cmc::DT_ChargingManagementCore_switchControls_type::frontLeft1PlugLockState) == 10);
static_assert(V(cmc::DT_ChargingManagementCore_switchControls_type::frontFlapLockState) == 28);
static_assert(V(cmc::DT_ChargingManagementCore_switchControls_type::immediateActionStartStopCharging) == 30);
static_assert(V(cmc::DT_ChargingManagementCore_switchControls_type::batteryCareModesBcamActivation) == 32);
static_assert(V(cmc::DT_ChargingManagementCore_switchControls_type::batteryPreconditioningAutoModeActivation) == 44);
static_assert(V(cmc::DT_ChargingManagementCore_valueControls_type::immediateActionImmediateActionTime) == 4);
static_assert(V(cmc::DT_ChargingManagementCore_valueControls_type::notificationMarker1notificationSocValue) == 10);
static_assert(V(cmc::DT_ChargingManagementCore_valueControls_type::immediateChargingOptionsNavTargetSoc) == 19);

// Enumerations that start at 1.
static_assert(V(cmc::DT_ChargingManagementCore_chargingPlugs_plugType::Typ1AC) == 1);
static_assert(V(cmc::DT_ChargingManagementCore_chargingPlugs_plugType::Typ2Ac) == 3);
static_assert(V(cmc::DT_ChargingManagementCore_chargingProcessInformation_chargeType::ac) == 1);
static_assert(V(cmc::DT_ChargingManagementCore_notifications_value::failedByElectricParkBrake) == 1);
static_assert(V(cmc::DT_ChargingManagementCore_pastErrorInformation_value::failedByLatchDetection) == 65);
static_assert(V(cmc::DT_ChargingManagementCore_statistics_confirmendByUser::notConfirmed) == 1);
static_assert(V(cmc::DT_ChargingManagementCore_bidirectionalChargingModes_chargingMode::discharging) == 1);

// Misspellings are the service's own and kept.
static_assert(
    V(cmc::DT_ChargingManagementCore_chargingProcessInformation_chargingScenario::immediatleyChargingFinished) == 2);
static_assert(V(cmc::DT_ChargingManagementCore_switchControls_switchValue::chargingImmedieateActionTime) == 18);
static_assert(V(cmc::DT_ChargingManagementCore_statistics_statisicsType::bcamScore) == 4);

// The values other components rely on by name.
static_assert(V(cmc::DT_ChargingManagementCore_resetToFactoryData_resetToFactoryData::origin) == 0);
static_assert(V(cmc::DT_ChargingManagementCore_resetToFactoryData_resetToFactoryData::notOrigin) == 1);
static_assert(V(rbec::DT_RouteBasedEnergyContents_targetSocChargings_type::targetSocCharging) == 0);
static_assert(V(rbec::DT_RouteBasedEnergyContents_rwmStatus_routeGuidanceState::off) == 0);

// Enumerations with identical rows are still distinct types, so a value of one cannot be
// handed to the table of the other by accident.
static_assert(!std::is_same_v<cmc::DT_ChargingManagementCore_switchControls_switchValue,
                              cmc::DT_ChargingManagementCore_switchControls_switchValueConfiguration>);
static_assert(!std::is_same_v<cmc::DT_ChargingManagementCore_notifications_value,
                              cmc::DT_ChargingManagementCore_pastErrorInformation_value>);
static_assert(!std::is_same_v<cmc::DT_ChargingManagementCore_valueControls_restrictionReason,
                              cmc::DT_ChargingManagementCore_valueIndications_restrictionReason>);

}  // namespace
