// Every expected value and word below is typed by hand; only the list of table objects to reach is
// expanded from the vocabulary files, so a wrong row there shows up here as a mismatch.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "app/mapping_tables/mapping_tables.h"
#include "tests/app/mapping_tables/table_pairs.h"

namespace mapping_tables_test {
namespace {

namespace cmc = zrt::services::chargingmanagementcore;

// ---------------------------------------------------------------------------------------------
// Census: every pair, in construction order, with its row count.

struct CensusRow {
  const char* name;
  std::size_t rows;
};

constexpr CensusRow kCensus[] = {
    {"ChargingManagementCore_batteryCareModes_notification", 6},
    {"ChargingManagementCore_batteryCareModes_popup", 2},
    {"ChargingManagementCore_batteryCareModes_type", 1},
    {"ChargingManagementCore_batteryPreconditioningEnergies_type", 1},
    {"ChargingManagementCore_batteryPreconditionings_preconditioningState", 6},
    {"ChargingManagementCore_batteryPreconditionings_type", 1},
    {"ChargingManagementCore_bidirectionalChargingModes_chargingMode", 4},
    {"ChargingManagementCore_bidirectionalChargingModes_information", 17},
    {"ChargingManagementCore_bidirectionalChargingModes_notification", 4},
    {"ChargingManagementCore_bidirectionalChargingModes_type", 1},
    {"ChargingManagementCore_chargeModes_chargeModesType", 1},
    {"ChargingManagementCore_chargeModes_state", 5},
    {"ChargingManagementCore_chargeModes_stateInformation", 8},
    {"ChargingManagementCore_chargingPlugs_infrastructureState", 5},
    {"ChargingManagementCore_chargingPlugs_plugConnectionState", 2},
    {"ChargingManagementCore_chargingPlugs_plugType", 7},
    {"ChargingManagementCore_chargingPlugs_type", 9},
    {"ChargingManagementCore_chargingProcessInformation_activeTargetSoc", 4},
    {"ChargingManagementCore_chargingProcessInformation_chargeMode", 5},
    {"ChargingManagementCore_chargingProcessInformation_chargeRateCuteness", 7},
    {"ChargingManagementCore_chargingProcessInformation_chargeTimeDisplay", 4},
    {"ChargingManagementCore_chargingProcessInformation_chargeType", 2},
    {"ChargingManagementCore_chargingProcessInformation_chargingScenario", 18},
    {"ChargingManagementCore_chargingProcessInformation_currentChargeState", 9},
    {"ChargingManagementCore_chargingProcessInformation_profileChargeReason", 5},
    {"ChargingManagementCore_chargingProcessInformation_type", 1},
    {"ChargingManagementCore_immediateActions_type", 1},
    {"ChargingManagementCore_immediateChargingOptions_type", 1},
    {"ChargingManagementCore_notificationMarkers_type", 3},
    {"ChargingManagementCore_notifications_additionalInformation", 4},
    {"ChargingManagementCore_notifications_flapSide", 3},
    {"ChargingManagementCore_notifications_type", 6},
    {"ChargingManagementCore_notifications_value", 65},
    {"ChargingManagementCore_oruUpdateApprovals_type", 1},
    {"ChargingManagementCore_pastErrorInformation_additionalInformation", 4},
    {"ChargingManagementCore_pastErrorInformation_type", 3},
    {"ChargingManagementCore_pastErrorInformation_value", 65},
    {"ChargingManagementCore_resetToFactoryData_resetToFactoryData", 2},
    {"ChargingManagementCore_statistics_confirmendByUser", 3},
    {"ChargingManagementCore_statistics_notification", 3},
    {"ChargingManagementCore_statistics_statisicsType", 5},
    {"ChargingManagementCore_statistics_unit", 9},
    {"ChargingManagementCore_switchControls_restrictionReason", 13},
    {"ChargingManagementCore_switchControls_switchValue", 34},
    {"ChargingManagementCore_switchControls_switchValueConfiguration", 34},
    {"ChargingManagementCore_switchControls_type", 36},
    {"ChargingManagementCore_valueControls_restrictionReason", 13},
    {"ChargingManagementCore_valueControls_specialState", 1},
    {"ChargingManagementCore_valueControls_specialStateConfiguration", 1},
    {"ChargingManagementCore_valueControls_type", 17},
    {"ChargingManagementCore_valueControls_unitDistance", 2},
    {"ChargingManagementCore_valueControls_unitPercent", 1},
    {"ChargingManagementCore_valueControls_unitTime", 2},
    {"ChargingManagementCore_valueIndications_restrictionReason", 13},
    {"ChargingManagementCore_valueIndications_type", 23},
    {"ChargingManagementCore_valueIndications_unitEnergy", 1},
    {"ChargingManagementCore_valueIndications_unitPercent", 1},
    {"ChargingManagementCore_valueIndications_unitPower", 1},
    {"ChargingManagementCore_valueIndications_unitSpeed", 4},
    {"ChargingManagementCore_valueIndications_unitTemperature", 2},
    {"ChargingManagementCore_valueIndications_unitTime", 2},
    {"ChargingManagementCore_views_content", 5},
    {"ChargingManagementCore_views_type", 3},
    {"ChargingManagementCore_views_visibility", 4},
    {"RouteBasedEnergyContents_destinations_identifier", 1},
    {"RouteBasedEnergyContents_destinations_type", 4},
    {"RouteBasedEnergyContents_rangeOnRouteValues_type", 2},
    {"RouteBasedEnergyContents_routeBasedResidualEnergyValues_type", 2},
    {"RouteBasedEnergyContents_rwmStatus_routeGuidanceState", 4},
    {"RouteBasedEnergyContents_targetSocChargings_type", 1},
};

TEST(MappingTablesCensusTest, SeventyPairsInConstructionOrderWithTheirRowCounts) {
  const auto pairs = AllPairs();
  std::vector<std::string> names;
  for (const auto& pair : pairs) {
    names.push_back(pair.name);
  }
  std::vector<std::string> expected_names;
  std::size_t total_rows = 0;
  for (const auto& row : kCensus) {
    expected_names.emplace_back(row.name);
    total_rows += row.rows;
  }
  ASSERT_EQ(expected_names.size(), 70u);
  EXPECT_EQ(total_rows, 540u);
  EXPECT_THAT(names, ::testing::ElementsAreArray(expected_names));

  for (const auto& row : kCensus) {
    SCOPED_TRACE(row.name);
    const auto& pair = Pair(row.name);
    EXPECT_EQ(pair.direct_size(), row.rows);
    EXPECT_EQ(pair.inverse_size(), row.rows);
  }
}

TEST(MappingTablesCensusTest, EveryInverseTableIsTheExactInverseOfItsDirectTable) {
  std::size_t rows_seen = 0;
  for (const auto& pair : AllPairs()) {
    SCOPED_TRACE(pair.name);
    ASSERT_EQ(pair.direct_size(), pair.inverse_size());
    for (const auto& [value, word] : pair.direct_rows()) {
      EXPECT_EQ(pair.inverse(word), value) << word;
      ++rows_seen;
    }
  }
  EXPECT_EQ(rows_seen, 540u);
}

// ---------------------------------------------------------------------------------------------
// Spot checks by value: the first and last row of every enumeration, the gaps and edges around
// sparse values and enumerations that start at 1, and the service's own misspellings.

struct DirectCase {
  const char* table;
  std::uint32_t value;
  const char* word;  // nullptr: the value is not an enumerator
};

constexpr const char* kNone = nullptr;

constexpr DirectCase kDirectCases[] = {
    {"ChargingManagementCore_batteryCareModes_notification", 0, "immediateChargingSocResetInNextChargingProcess"},
    {"ChargingManagementCore_batteryCareModes_notification", 3, "extendedChargingNotifyBcamIsOff"},
    {"ChargingManagementCore_batteryCareModes_notification", 5, "bcamScoreValueReached"},
    {"ChargingManagementCore_batteryCareModes_notification", 6, kNone},
    {"ChargingManagementCore_batteryCareModes_popup", 0, "bcamInitialInformationScreen"},
    {"ChargingManagementCore_batteryCareModes_popup", 1, "bcamInformationScreen"},
    {"ChargingManagementCore_batteryCareModes_type", 0, "batteryCareMode"},
    {"ChargingManagementCore_batteryCareModes_type", 1, kNone},
    {"ChargingManagementCore_batteryPreconditioningEnergies_type", 0, "batteryPreconditioningEnergy1"},
    {"ChargingManagementCore_batteryPreconditionings_preconditioningState", 0, "scheduled"},
    {"ChargingManagementCore_batteryPreconditionings_preconditioningState", 3, "possibleToStart"},
    {"ChargingManagementCore_batteryPreconditionings_preconditioningState", 5, "notPossibleLowSoc"},
    {"ChargingManagementCore_batteryPreconditionings_type", 0, "batteryPreconditioning"},
    {"ChargingManagementCore_bidirectionalChargingModes_chargingMode", 0, kNone},
    {"ChargingManagementCore_bidirectionalChargingModes_chargingMode", 1, "discharging"},
    {"ChargingManagementCore_bidirectionalChargingModes_chargingMode", 4, "offGridOperation"},
    {"ChargingManagementCore_bidirectionalChargingModes_information", 0, kNone},
    {"ChargingManagementCore_bidirectionalChargingModes_information", 1, "dischargingActive"},
    {"ChargingManagementCore_bidirectionalChargingModes_information", 9, "dischargingFinishedMinSoc"},
    {"ChargingManagementCore_bidirectionalChargingModes_information", 16, "bidiNotAvailableImmediateChargingActive"},
    {"ChargingManagementCore_bidirectionalChargingModes_information", 17, "bidiNotAvailableChooseOption"},
    {"ChargingManagementCore_bidirectionalChargingModes_information", 18, kNone},
    {"ChargingManagementCore_bidirectionalChargingModes_notification", 0, kNone},
    {"ChargingManagementCore_bidirectionalChargingModes_notification", 1, "maximumOperatingHoursWarning"},
    {"ChargingManagementCore_bidirectionalChargingModes_notification", 4, "maximumQuotaWarning"},
    {"ChargingManagementCore_bidirectionalChargingModes_type", 0, "bidirectionalChargingMode"},
    {"ChargingManagementCore_chargeModes_chargeModesType", 0, "chargeMode"},
    {"ChargingManagementCore_chargeModes_state", 0, kNone},
    {"ChargingManagementCore_chargeModes_state", 1, "active"},
    {"ChargingManagementCore_chargeModes_state", 5, "error"},
    {"ChargingManagementCore_chargeModes_stateInformation", 1, "general"},
    {"ChargingManagementCore_chargeModes_stateInformation", 6, "minSoc"},
    {"ChargingManagementCore_chargeModes_stateInformation", 8, "bidiNoProfile"},
    {"ChargingManagementCore_chargingPlugs_infrastructureState", 0, "notAvailable"},
    {"ChargingManagementCore_chargingPlugs_infrastructureState", 4, "error"},
    {"ChargingManagementCore_chargingPlugs_plugConnectionState", 0, "disconnected"},
    {"ChargingManagementCore_chargingPlugs_plugConnectionState", 1, "connected"},
    {"ChargingManagementCore_chargingPlugs_plugType", 0, kNone},
    {"ChargingManagementCore_chargingPlugs_plugType", 1, "Typ1AC"},
    {"ChargingManagementCore_chargingPlugs_plugType", 2, "DcCombo1OrTyp1Ac"},
    {"ChargingManagementCore_chargingPlugs_plugType", 3, "Typ2Ac"},
    {"ChargingManagementCore_chargingPlugs_plugType", 7, "Chademo"},
    {"ChargingManagementCore_chargingPlugs_plugType", 8, kNone},
    {"ChargingManagementCore_chargingPlugs_type", 0, "frontLeft1"},
    {"ChargingManagementCore_chargingPlugs_type", 7, "rearRight2"},
    {"ChargingManagementCore_chargingPlugs_type", 8, "front"},
    {"ChargingManagementCore_chargingProcessInformation_activeTargetSoc", 0, kNone},
    {"ChargingManagementCore_chargingProcessInformation_activeTargetSoc", 1, "chargeBulkThreshold"},
    {"ChargingManagementCore_chargingProcessInformation_activeTargetSoc", 4, "navTargetSoc"},
    {"ChargingManagementCore_chargingProcessInformation_chargeMode", 0, "immediatelyStopped"},
    {"ChargingManagementCore_chargingProcessInformation_chargeMode", 4, "extendedStopped"},
    {"ChargingManagementCore_chargingProcessInformation_chargeRateCuteness", 0, "unlimited"},
    {"ChargingManagementCore_chargingProcessInformation_chargeRateCuteness", 6, "limitedInfrastructure"},
    {"ChargingManagementCore_chargingProcessInformation_chargeTimeDisplay", 1, "remainingChargeTimeBulk"},
    {"ChargingManagementCore_chargingProcessInformation_chargeTimeDisplay", 4, "remainingChargeTimeNav"},
    {"ChargingManagementCore_chargingProcessInformation_chargeType", 0, kNone},
    {"ChargingManagementCore_chargingProcessInformation_chargeType", 1, "ac"},
    {"ChargingManagementCore_chargingProcessInformation_chargeType", 2, "dc"},
    {"ChargingManagementCore_chargingProcessInformation_chargeType", 3, kNone},
    {"ChargingManagementCore_chargingProcessInformation_chargingScenario", 0, "off"},
    {"ChargingManagementCore_chargingProcessInformation_chargingScenario", 2, "immediatleyChargingFinished"},
    {"ChargingManagementCore_chargingProcessInformation_chargingScenario", 5, "immediatleyChargingActive"},
    {"ChargingManagementCore_chargingProcessInformation_chargingScenario", 13, "immediatelyOptimisedChargingActive"},
    {"ChargingManagementCore_chargingProcessInformation_chargingScenario", 17, "plugReleasable"},
    {"ChargingManagementCore_chargingProcessInformation_chargingScenario", 18, kNone},
    {"ChargingManagementCore_chargingProcessInformation_currentChargeState", 0, "notReadyForCharging"},
    {"ChargingManagementCore_chargingProcessInformation_currentChargeState", 4,
     "chargepurposeReachedAndNotConservationCharging"},
    {"ChargingManagementCore_chargingProcessInformation_currentChargeState", 8, "bidirectionalCharging"},
    {"ChargingManagementCore_chargingProcessInformation_profileChargeReason", 0, "minSoc"},
    {"ChargingManagementCore_chargingProcessInformation_profileChargeReason", 4, "owncurrent"},
    {"ChargingManagementCore_chargingProcessInformation_type", 0, "chargingProcessInformation"},
    {"ChargingManagementCore_immediateActions_type", 0, "immediateAction"},
    {"ChargingManagementCore_immediateChargingOptions_type", 0, "immediateChargingOption"},
    {"ChargingManagementCore_notificationMarkers_type", 0, "notificationMarker1"},
    {"ChargingManagementCore_notificationMarkers_type", 2, "notificationMarker3"},
    {"ChargingManagementCore_notificationMarkers_type", 3, kNone},
    {"ChargingManagementCore_notifications_additionalInformation", 0, "abortedChargingactive"},
    {"ChargingManagementCore_notifications_additionalInformation", 3, "other"},
    {"ChargingManagementCore_notifications_flapSide", 0, kNone},
    {"ChargingManagementCore_notifications_flapSide", 1, "left"},
    {"ChargingManagementCore_notifications_flapSide", 3, "both"},
    {"ChargingManagementCore_notifications_type", 0, "chargingNotification1"},
    {"ChargingManagementCore_notifications_type", 5, "chargingNotification6"},
    {"ChargingManagementCore_notifications_value", 0, kNone},
    {"ChargingManagementCore_notifications_value", 1, "failedByElectricParkBrake"},
    {"ChargingManagementCore_notifications_value", 7, "failedDueToChargeInfrastucture"},
    {"ChargingManagementCore_notifications_value", 14, "chargingsocketTemperaturSensorFailure"},
    {"ChargingManagementCore_notifications_value", 21, "startInhibitDueTo2Plugs"},
    {"ChargingManagementCore_notifications_value", 22, "unlockOfChargeplugFailedOnlyEmgencyUnlock"},
    {"ChargingManagementCore_notifications_value", 33, "extensionOfChargingtimeDueToOvertemperatureOfChargingsocket"},
    {"ChargingManagementCore_notifications_value", 42, "badChargeInfrastucture"},
    {"ChargingManagementCore_notifications_value", 52,
     "extensionOfChargingtimeDueToEmergencyChargeTemperatureSensorAcFailure"},
    {"ChargingManagementCore_notifications_value", 58, "failedByPe"},
    {"ChargingManagementCore_notifications_value", 64, "extensionOfChargingtimeGeneralInfrastructure"},
    {"ChargingManagementCore_notifications_value", 65, "failedByLatchDetection"},
    {"ChargingManagementCore_notifications_value", 66, kNone},
    {"ChargingManagementCore_oruUpdateApprovals_type", 0, "oruUpdateApproval"},
    {"ChargingManagementCore_pastErrorInformation_additionalInformation", 0, "abortedChargingactive"},
    {"ChargingManagementCore_pastErrorInformation_additionalInformation", 3, "other"},
    {"ChargingManagementCore_pastErrorInformation_type", 0, "pastErrorInformation1"},
    {"ChargingManagementCore_pastErrorInformation_type", 2, "pastErrorInformation3"},
    {"ChargingManagementCore_pastErrorInformation_value", 0, kNone},
    {"ChargingManagementCore_pastErrorInformation_value", 1, "failedByElectricParkBrake"},
    {"ChargingManagementCore_pastErrorInformation_value", 42, "badChargeInfrastucture"},
    {"ChargingManagementCore_pastErrorInformation_value", 65, "failedByLatchDetection"},
    {"ChargingManagementCore_pastErrorInformation_value", 66, kNone},
    {"ChargingManagementCore_resetToFactoryData_resetToFactoryData", 0, "origin"},
    {"ChargingManagementCore_resetToFactoryData_resetToFactoryData", 1, "notOrigin"},
    {"ChargingManagementCore_resetToFactoryData_resetToFactoryData", 2, kNone},
    {"ChargingManagementCore_statistics_confirmendByUser", 0, kNone},
    {"ChargingManagementCore_statistics_confirmendByUser", 1, "notConfirmed"},
    {"ChargingManagementCore_statistics_confirmendByUser", 3, "option"},
    {"ChargingManagementCore_statistics_notification", 1, "warning"},
    {"ChargingManagementCore_statistics_notification", 3, "reached"},
    {"ChargingManagementCore_statistics_statisicsType", 0, "bidiAmountOfEnergy"},
    {"ChargingManagementCore_statistics_statisicsType", 4, "bcamScore"},
    {"ChargingManagementCore_statistics_unit", 0, kNone},
    {"ChargingManagementCore_statistics_unit", 1, "days"},
    {"ChargingManagementCore_statistics_unit", 5, "percent"},
    {"ChargingManagementCore_statistics_unit", 9, "miles"},
    {"ChargingManagementCore_switchControls_restrictionReason", 0, kNone},
    {"ChargingManagementCore_switchControls_restrictionReason", 1, "error"},
    {"ChargingManagementCore_switchControls_restrictionReason", 2, kNone},
    {"ChargingManagementCore_switchControls_restrictionReason", 3, "defect"},
    {"ChargingManagementCore_switchControls_restrictionReason", 4, "calculating"},
    {"ChargingManagementCore_switchControls_restrictionReason", 5, "invalid"},
    {"ChargingManagementCore_switchControls_restrictionReason", 6, kNone},
    {"ChargingManagementCore_switchControls_restrictionReason", 9, "temporaryNotAvailable"},
    {"ChargingManagementCore_switchControls_restrictionReason", 14, "safetyRestriction"},
    {"ChargingManagementCore_switchControls_restrictionReason", 15, "notNeeded"},
    {"ChargingManagementCore_switchControls_restrictionReason", 54, "hvBatterylow"},
    {"ChargingManagementCore_switchControls_restrictionReason", 90, "pluggedIn"},
    {"ChargingManagementCore_switchControls_restrictionReason", 91, "readinessToDrive"},
    {"ChargingManagementCore_switchControls_restrictionReason", 100, kNone},
    {"ChargingManagementCore_switchControls_restrictionReason", 127, "noEnergySource"},
    {"ChargingManagementCore_switchControls_restrictionReason", 158, "waitingAndStartAgain"},
    {"ChargingManagementCore_switchControls_restrictionReason", 159, kNone},
    {"ChargingManagementCore_switchControls_restrictionReason", 160, "wiredChargingActive"},
    {"ChargingManagementCore_switchControls_restrictionReason", 161, kNone},
    {"ChargingManagementCore_switchControls_switchValue", 0, "reduced"},
    {"ChargingManagementCore_switchControls_switchValue", 2, "off"},
    {"ChargingManagementCore_switchControls_switchValue", 18, "chargingImmedieateActionTime"},
    {"ChargingManagementCore_switchControls_switchValue", 31, "homeStorageCharging"},
    {"ChargingManagementCore_switchControls_switchValue", 33, "chargingChargeModeSelection"},
    {"ChargingManagementCore_switchControls_switchValue", 34, kNone},
    {"ChargingManagementCore_switchControls_switchValueConfiguration", 0, "reduced"},
    {"ChargingManagementCore_switchControls_switchValueConfiguration", 18, "chargingImmedieateActionTime"},
    {"ChargingManagementCore_switchControls_switchValueConfiguration", 33, "chargingChargeModeSelection"},
    {"ChargingManagementCore_switchControls_switchValueConfiguration", 34, kNone},
    {"ChargingManagementCore_switchControls_type", 0, "immediateChargingOptionsMaxChargeCurrentAc"},
    {"ChargingManagementCore_switchControls_type", 3, "immediateChargingOptionsChargeModeSelection"},
    {"ChargingManagementCore_switchControls_type", 4, kNone},
    {"ChargingManagementCore_switchControls_type", 5, kNone},
    {"ChargingManagementCore_switchControls_type", 6, kNone},
    {"ChargingManagementCore_switchControls_type", 7, kNone},
    {"ChargingManagementCore_switchControls_type", 8, kNone},
    {"ChargingManagementCore_switchControls_type", 9, kNone},
    {"ChargingManagementCore_switchControls_type", 10, "frontLeft1PlugLockState"},
    {"ChargingManagementCore_switchControls_type", 18, "frontPlugLockState"},
    {"ChargingManagementCore_switchControls_type", 19, kNone},
    {"ChargingManagementCore_switchControls_type", 20, "frontLeft1FlapLockState"},
    {"ChargingManagementCore_switchControls_type", 28, "frontFlapLockState"},
    {"ChargingManagementCore_switchControls_type", 29, kNone},
    {"ChargingManagementCore_switchControls_type", 30, "immediateActionStartStopCharging"},
    {"ChargingManagementCore_switchControls_type", 31, kNone},
    {"ChargingManagementCore_switchControls_type", 32, "batteryCareModesBcamActivation"},
    {"ChargingManagementCore_switchControls_type", 33, "frontLeft1FlapState"},
    {"ChargingManagementCore_switchControls_type", 41, "frontFlapState"},
    {"ChargingManagementCore_switchControls_type", 42, "immediateChargingOptionsAcceptItSystemPeRange"},
    {"ChargingManagementCore_switchControls_type", 44, "batteryPreconditioningAutoModeActivation"},
    {"ChargingManagementCore_switchControls_type", 45, kNone},
    {"ChargingManagementCore_valueControls_restrictionReason", 2, kNone},
    {"ChargingManagementCore_valueControls_restrictionReason", 54, "hvBatterylow"},
    {"ChargingManagementCore_valueControls_restrictionReason", 160, "wiredChargingActive"},
    {"ChargingManagementCore_valueControls_specialState", 0, "off"},
    {"ChargingManagementCore_valueControls_specialState", 1, kNone},
    {"ChargingManagementCore_valueControls_specialState", 0xFFFFFFFFu, kNone},
    {"ChargingManagementCore_valueControls_specialStateConfiguration", 0, "off"},
    {"ChargingManagementCore_valueControls_specialStateConfiguration", 1, kNone},
    {"ChargingManagementCore_valueControls_type", 0, "immediateChargingOptionsTargetSoc"},
    {"ChargingManagementCore_valueControls_type", 4, "immediateActionImmediateActionTime"},
    {"ChargingManagementCore_valueControls_type", 5, kNone},
    {"ChargingManagementCore_valueControls_type", 6, kNone},
    {"ChargingManagementCore_valueControls_type", 7, kNone},
    {"ChargingManagementCore_valueControls_type", 8, kNone},
    {"ChargingManagementCore_valueControls_type", 9, kNone},
    {"ChargingManagementCore_valueControls_type", 10, "notificationMarker1notificationSocValue"},
    {"ChargingManagementCore_valueControls_type", 18, "notificationMarker3notificationTimeValue"},
    {"ChargingManagementCore_valueControls_type", 19, "immediateChargingOptionsNavTargetSoc"},
    {"ChargingManagementCore_valueControls_type", 21, "bidirectionalChargingModesMaxSoc"},
    {"ChargingManagementCore_valueControls_type", 22, kNone},
    {"ChargingManagementCore_valueControls_unitDistance", 0, "km"},
    {"ChargingManagementCore_valueControls_unitDistance", 1, "miles"},
    {"ChargingManagementCore_valueControls_unitPercent", 0, "percent"},
    {"ChargingManagementCore_valueControls_unitPercent", 1, kNone},
    {"ChargingManagementCore_valueControls_unitTime", 0, "min"},
    {"ChargingManagementCore_valueControls_unitTime", 1, "h"},
    {"ChargingManagementCore_valueIndications_restrictionReason", 1, "error"},
    {"ChargingManagementCore_valueIndications_restrictionReason", 158, "waitingAndStartAgain"},
    {"ChargingManagementCore_valueIndications_restrictionReason", 159, kNone},
    {"ChargingManagementCore_valueIndications_type", 0, "chargingProcessInformationCurrentSoc"},
    {"ChargingManagementCore_valueIndications_type", 13, "batteryCareModesBcamScore"},
    {"ChargingManagementCore_valueIndications_type", 19, "chargingProcessInformationMaxChargePowerOptimalTemperature"},
    {"ChargingManagementCore_valueIndications_type", 22, "batteryPreconditioningBatteryTemperature"},
    {"ChargingManagementCore_valueIndications_type", 23, kNone},
    {"ChargingManagementCore_valueIndications_unitEnergy", 0, "kWh"},
    {"ChargingManagementCore_valueIndications_unitPercent", 0, "percent"},
    {"ChargingManagementCore_valueIndications_unitPower", 0, "kW"},
    {"ChargingManagementCore_valueIndications_unitSpeed", 0, kNone},
    {"ChargingManagementCore_valueIndications_unitSpeed", 1, "kmPerMin"},
    {"ChargingManagementCore_valueIndications_unitSpeed", 4, "milesPerHour"},
    {"ChargingManagementCore_valueIndications_unitTemperature", 0, "celsius"},
    {"ChargingManagementCore_valueIndications_unitTemperature", 1, "fahrenheit"},
    {"ChargingManagementCore_valueIndications_unitTime", 0, "min"},
    {"ChargingManagementCore_valueIndications_unitTime", 1, "h"},
    {"ChargingManagementCore_views_content", 0, "nothing"},
    {"ChargingManagementCore_views_content", 4, "itSystemPeInformationScreen"},
    {"ChargingManagementCore_views_type", 0, "popup"},
    {"ChargingManagementCore_views_type", 2, "itSystemScreen"},
    {"ChargingManagementCore_views_type", 99, kNone},
    {"ChargingManagementCore_views_visibility", 0, "noView"},
    {"ChargingManagementCore_views_visibility", 3, "newRequest"},
    {"RouteBasedEnergyContents_destinations_identifier", 0, "nextDestinationType"},
    {"RouteBasedEnergyContents_destinations_type", 0, "noDestination"},
    {"RouteBasedEnergyContents_destinations_type", 3, "destination"},
    {"RouteBasedEnergyContents_rangeOnRouteValues_type", 0, "rangeOnRoute"},
    {"RouteBasedEnergyContents_rangeOnRouteValues_type", 1, "rangeOnRouteWithoutComfortConsumption"},
    {"RouteBasedEnergyContents_routeBasedResidualEnergyValues_type", 0, "residualEnergy"},
    {"RouteBasedEnergyContents_routeBasedResidualEnergyValues_type", 1, "residualEnergyWithoutComfortConsumption"},
    {"RouteBasedEnergyContents_rwmStatus_routeGuidanceState", 0, "off"},
    {"RouteBasedEnergyContents_rwmStatus_routeGuidanceState", 3, "predictive"},
    {"RouteBasedEnergyContents_targetSocChargings_type", 0, "targetSocCharging"},
    {"RouteBasedEnergyContents_targetSocChargings_type", 1, kNone},
};

TEST(MappingTablesSpotCheckTest, DirectLookupsAndTheirWayBack) {
  for (const auto& c : kDirectCases) {
    SCOPED_TRACE(std::string(c.table) + " value " + std::to_string(c.value));
    const auto& pair = Pair(c.table);
    const auto word = pair.direct(c.value);
    if (c.word == kNone) {
      EXPECT_EQ(word, std::nullopt);
      EXPECT_THROW(pair.direct_at(c.value), std::out_of_range);
    } else {
      EXPECT_EQ(word, std::optional<std::string>(c.word));
      EXPECT_EQ(pair.inverse(c.word), std::optional<std::uint32_t>(c.value));
    }
  }
}

// ---------------------------------------------------------------------------------------------
// Spot checks by word: exact, case-sensitive, whole-string comparison, and the same word standing
// for different values in different enumerations.

struct InverseCase {
  const char* table;
  std::string word;
  std::optional<std::uint32_t> value;
};

const InverseCase kInverseCases[] = {
    {"ChargingManagementCore_chargingPlugs_plugType", "Typ1AC", 1},
    {"ChargingManagementCore_chargingPlugs_plugType", "typ1ac", std::nullopt},
    {"ChargingManagementCore_chargingPlugs_plugType", "Typ1Ac", std::nullopt},
    {"ChargingManagementCore_chargingPlugs_plugType", "TYP1AC", std::nullopt},
    {"ChargingManagementCore_chargingPlugs_plugType", "Typ1AC ", std::nullopt},
    {"ChargingManagementCore_chargingPlugs_plugType", " Typ1AC", std::nullopt},
    {"ChargingManagementCore_chargingPlugs_plugType", std::string("Typ1AC\0", 7), std::nullopt},
    {"ChargingManagementCore_chargingPlugs_plugType", "Typ1", std::nullopt},
    {"ChargingManagementCore_chargingPlugs_plugType", "Typ2Ac", 3},
    {"ChargingManagementCore_chargingPlugs_plugType", "Typ2AC", std::nullopt},
    {"ChargingManagementCore_chargingPlugs_plugType", "", std::nullopt},
    {"ChargingManagementCore_chargingProcessInformation_chargingScenario", "immediatleyChargingFinished", 2},
    {"ChargingManagementCore_chargingProcessInformation_chargingScenario", "immediatelyChargingFinished", std::nullopt},
    {"ChargingManagementCore_switchControls_switchValue", "chargingImmedieateActionTime", 18},
    {"ChargingManagementCore_switchControls_switchValue", "chargingImmediateActionTime", std::nullopt},
    {"ChargingManagementCore_notifications_value", "failedDueToChargeInfrastucture", 7},
    {"ChargingManagementCore_notifications_value", "failedDueToChargeInfrastructure", std::nullopt},
    {"ChargingManagementCore_notifications_additionalInformation", "abortedChargingactive", 0},
    {"ChargingManagementCore_notifications_additionalInformation", "abortedChargingActive", std::nullopt},
    // "off" in five enumerations, with two different values.
    {"ChargingManagementCore_chargingProcessInformation_chargingScenario", "off", 0},
    {"ChargingManagementCore_switchControls_switchValue", "off", 2},
    {"ChargingManagementCore_switchControls_switchValueConfiguration", "off", 2},
    {"ChargingManagementCore_valueControls_specialState", "off", 0},
    {"ChargingManagementCore_valueControls_specialStateConfiguration", "off", 0},
    {"RouteBasedEnergyContents_rwmStatus_routeGuidanceState", "off", 0},
    {"ChargingManagementCore_switchControls_switchValue", "Off", std::nullopt},
    {"ChargingManagementCore_valueControls_specialState", "OFF", std::nullopt},
    {"ChargingManagementCore_valueControls_specialState", "on", std::nullopt},
    {"ChargingManagementCore_valueControls_specialState", "", std::nullopt},
    // Other words shared between enumerations.
    {"ChargingManagementCore_switchControls_restrictionReason", "error", 1},
    {"ChargingManagementCore_chargingPlugs_infrastructureState", "error", 4},
    {"ChargingManagementCore_chargeModes_state", "error", 5},
    {"ChargingManagementCore_valueControls_unitDistance", "miles", 1},
    {"ChargingManagementCore_statistics_unit", "miles", 9},
    {"ChargingManagementCore_bidirectionalChargingModes_chargingMode", "homeStorageCharging", 2},
    {"ChargingManagementCore_switchControls_switchValue", "homeStorageCharging", 31},
    {"ChargingManagementCore_batteryCareModes_popup", "bcamInformationScreen", 1},
    {"ChargingManagementCore_views_content", "bcamInformationScreen", 3},
    // A word of one enumeration means nothing to another.
    {"ChargingManagementCore_valueControls_type", "frontLeft1PlugLockState", std::nullopt},
    {"ChargingManagementCore_views_type", "off", std::nullopt},
    {"ChargingManagementCore_chargingPlugs_type", "frontLeft1PlugLockState", std::nullopt},
};

TEST(MappingTablesSpotCheckTest, InverseLookupsCompareWholeWordsExactly) {
  for (const auto& c : kInverseCases) {
    SCOPED_TRACE(std::string(c.table) + " word \"" + c.word + "\"");
    const auto& pair = Pair(c.table);
    EXPECT_EQ(pair.inverse(c.word), c.value);
    if (!c.value) {
      EXPECT_THROW(pair.inverse_at(c.word), std::out_of_range);
    }
  }
}

TEST(MappingTablesSpotCheckTest, MissesLeaveTheTablesUnchangedAndRepeatTheSameAnswer) {
  using cmc::datatypes::DT_ChargingManagementCore_switchControls_restrictionReason;
  const auto& direct = cmc::mapDT_ChargingManagementCore_switchControls_restrictionReason_Direct;
  const auto& inverse = cmc::mapDT_ChargingManagementCore_switchControls_restrictionReason_Inv;
  const auto missing_value = static_cast<DT_ChargingManagementCore_switchControls_restrictionReason>(2);
  for (int attempt = 0; attempt < 2; ++attempt) {
    EXPECT_EQ(direct.find(missing_value), direct.end());
    EXPECT_THROW((void)direct.at(missing_value), std::out_of_range);
    EXPECT_EQ(inverse.find("Error"), inverse.end());
    EXPECT_THROW((void)inverse.at("Error"), std::out_of_range);
    EXPECT_EQ(direct.size(), 13u);
    EXPECT_EQ(inverse.size(), 13u);
  }
  EXPECT_EQ(direct.at(DT_ChargingManagementCore_switchControls_restrictionReason::wiredChargingActive),
            "wiredChargingActive");
  EXPECT_EQ(inverse.at("wiredChargingActive"),
            DT_ChargingManagementCore_switchControls_restrictionReason::wiredChargingActive);
}

TEST(MappingTablesSpotCheckTest, MisspeltEnumerationNamesAreTheTableNames) {
  using cmc::datatypes::DT_ChargingManagementCore_statistics_confirmendByUser;
  using cmc::datatypes::DT_ChargingManagementCore_statistics_statisicsType;
  EXPECT_EQ(cmc::mapDT_ChargingManagementCore_statistics_statisicsType_Direct.at(
                DT_ChargingManagementCore_statistics_statisicsType::bidiQuota),
            "bidiQuota");
  EXPECT_EQ(cmc::mapDT_ChargingManagementCore_statistics_confirmendByUser_Inv.at("confirmed"),
            DT_ChargingManagementCore_statistics_confirmendByUser::confirmed);
}

}  // namespace
}  // namespace mapping_tables_test
