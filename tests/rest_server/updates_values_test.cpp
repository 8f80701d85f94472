// The checks of the updates: lists, inclusive ranges, values that are not numbers, and an
// update that stops at its first refused value with the earlier properties written.

#include <functional>
#include <string>

#include "tests/rest_server/updates_test_support.h"

namespace orik::ruboServer::test {
namespace {

using rubo::server::RuboServer;
using Apply = std::function<void(ORIKRuboServer&)>;
using Target = std::function<std::shared_ptr<rubo::BaseType>(RuboServer&)>;
using ara::core::Optional;
using Texts = std::vector<std::string>;

template <typename E, typename Collection>
Target Element(std::shared_ptr<Collection> (RuboServer::*collection)() const, std::string type) {
  return [collection, type](RuboServer& root) -> std::shared_ptr<rubo::BaseType> {
    return FirstOfType<E>((root.*collection)(), type);
  };
}

const Target kNotification =
    Element<cmc::NotificationObject>(&RuboServer::GetChargingManagementCoreNotifications, "chargingNotification1");
const Target kPastError = Element<cmc::PastErrorInformationObject>(
    &RuboServer::GetChargingManagementCorePastErrorInformation, "pastErrorInformation1");
const Target kPreconditioning = Element<cmc::BatteryPreconditioningObject>(
    &RuboServer::GetChargingManagementCoreBatteryPreconditionings, "batteryPreconditioning");
const Target kEnergy = Element<cmc::BatteryPreconditioningEnergyObject>(
    &RuboServer::GetChargingManagementCoreBatteryPreconditioningEnergies, "batteryPreconditioningEnergy1");
const Target kCareMode =
    Element<cmc::BatteryCareModeObject>(&RuboServer::GetChargingManagementCoreBatteryCareModes, "batteryCareMode");
const Target kBidi = Element<cmc::BidirectionalChargingModeObject>(
    &RuboServer::GetChargingManagementCoreBidirectionalChargingModes, "bidirectionalChargingMode");
const Target kValueControl = Element<cmc::ValueControlObject>(&RuboServer::GetChargingManagementCoreValueControls,
                                                              "notificationMarker2notificationSocValue");
const Target kIndication = Element<cmc::ValueIndicationObject>(&RuboServer::GetChargingManagementCoreValueIndications,
                                                               "chargingProcessInformationCurrentSoc");
const Target kProcess = Element<cmc::ChargingProcessInformationObject>(
    &RuboServer::GetChargingManagementCoreChargingProcessInformation, "chargingProcessInformation");

Apply Notification(Optional<std::string> value, Optional<std::string> additional) {
  return [=](ORIKRuboServer& app) { app.Update_Notifications("chargingNotification1", value, additional); };
}
Apply PastError(Optional<std::string> value, Optional<std::string> additional, Optional<bool> confirmed) {
  return [=](ORIKRuboServer& app) {
    app.Update_pastErrorInformation("pastErrorInformation1", value, additional, confirmed);
  };
}
Apply Preconditioning(Optional<std::string> state) {
  return [=](ORIKRuboServer& app) { app.Update_batteryPreconditionings("batteryPreconditioning", state); };
}
Apply Energy(Optional<std::uint32_t> first, Optional<std::uint32_t> next) {
  return [=](ORIKRuboServer& app) {
    app.Update_batteryPreconditioningEnergies("batteryPreconditioningEnergy1", first, next);
  };
}
Apply CareMode(Optional<std::string> notification, Optional<std::string> popup, Optional<std::uint32_t> threshold,
               Optional<float> score) {
  return [=](ORIKRuboServer& app) {
    app.Update_batteryCareModes("batteryCareMode", notification, popup, threshold, score);
  };
}
Apply Bidi(Optional<std::string> information, float hours, float cycles, float energy, float quota) {
  return [=](ORIKRuboServer& app) {
    app.Update_BidirectionalChargingModes(
        {"bidirectionalChargingMode", information, "maximumQuotaWarning", "discharging", hours, cycles, energy, quota});
  };
}
Apply ValueControl(Optional<std::uint32_t> current, Optional<std::uint32_t> min, Optional<std::uint32_t> max,
                   Optional<std::uint32_t> resolution, Optional<Texts> configuration = Texts{"off"}) {
  return [=](ORIKRuboServer& app) {
    app.Update_ValueControls({"notificationMarker2notificationSocValue", current, min, max, "percent", "miles", "min",
                              resolution, "notNeeded", "off", configuration});
  };
}
Apply Indication(Optional<float> current, Optional<float> max, Optional<float> min,
                 Optional<std::string> unitTime = "h") {
  return [=](ORIKRuboServer& app) {
    app.Update_valueIndications({"chargingProcessInformationCurrentSoc", current, max, min, "2024-01-02T03:04:05Z",
                                 "percent", unitTime, "kmPerHour", "kW", "kWh", "pluggedIn"});
  };
}
Apply Process(Optional<std::uint32_t> threshold, Optional<std::string> evseid) {
  return [=](ORIKRuboServer& app) {
    app.Update_chargingProcessInformation({"chargingProcessInformation", "chargingError", threshold, "extendedProfile",
                                           "minSoc", "dc", "errorLock", "targetSoc", "remainingChargeTimeNav", evseid,
                                           "limitedHighSoc"});
  };
}

struct ValueCase {
  std::string name;
  Target target;
  Apply before;  // may be empty
  Apply update;
  Json expected;     // property -> value; null: absent
  std::string line;  // the one Info line of the update; empty: none
};

// Test names carry the case name; the listing shows it too instead of the bytes.
void PrintTo(const ValueCase& param, std::ostream* out) {
  *out << param.name;
}

const char* const kNotificationRefused = "[Rubo] Domain error exception caught while updating notification object: ";
const char* const kPastErrorRefused =
    "[Rubo][SomeIp -> Rubo] Domain error exception caught while updating pastErrorInformation object: ";
const char* const kBidiRefused =
    "[Rubo][SomeIp -> Rubo] Domain error exception caught while updating BidirectionalChargingModes object: ";
const char* const kValueControlRefused =
    "[Rubo][SomeIp -> Rubo] Domain error exception caught while updating valueControl object: ";
const char* const kIndicationRefused = "[Rubo] Domain error exception caught while updating valueIndication object: ";
const char* const kProcessRefused =
    "[Rubo] Domain error exception caught while updating ChargingProcessInformation object: ";
const std::string kOutOfRange = "Value out of range";

std::vector<ValueCase> Cases() {
  return {
      {"NotificationUnlistedValueWritesNothing",
       kNotification,
       Notification("generalError", "other"),
       Notification("generalerror", "startInhibit"),
       {{"value", "generalError"}, {"additionalInformation", "other"}},
       kNotificationRefused + std::string("Unsupported type: generalerror")},
      {"NotificationUnlistedAdditionalKeepsTheValue",
       kNotification,
       Notification("generalError", "other"),
       Notification("failedByPe", "bogus"),
       {{"value", "failedByPe"}, {"additionalInformation", "other"}},
       kNotificationRefused + std::string("Unsupported type: bogus")},
      {"PastErrorStopsBeforeTheFlag",
       kPastError,
       PastError("generalError", "other", false),
       PastError("failedByPe", "aborted", true),
       {{"value", "failedByPe"}, {"additionalInformation", "other"}, {"confirmedByUser", false}},
       kPastErrorRefused + std::string("Unsupported type: aborted")},
      {"PreconditioningUnlistedState",
       kPreconditioning,
       Preconditioning("running"),
       Preconditioning("Running"),
       {{"preconditioningState", "running"}},
       "[Rubo] batteryPreconditionings - preconditioningState - Unsupported type: Running"},
      {"EnergyBoundsInclusive", kEnergy, nullptr, Energy(0, 100000), {{"firstStop", 0}, {"nextStops", 100000}}, ""},
      {"EnergyFirstStopAboveRangeStops",
       kEnergy,
       Energy(5, 6),
       Energy(100001, 7),
       {{"firstStop", 5}, {"nextStops", 6}},
       "[Rubo] batteryPreconditioningEnergies - firstStop - Value out of range"},
      {"EnergyNextStopAboveRangeKeepsFirst",
       kEnergy,
       Energy(5, 6),
       Energy(7, 100001),
       {{"firstStop", 7}, {"nextStops", 6}},
       "[Rubo] batteryPreconditioningEnergies - nextStops - Value out of range"},
      {"CareModeBoundsInclusive",
       kCareMode,
       nullptr,
       CareMode(std::nullopt, std::nullopt, 100, 3000.0F),
       {{"chargeBcamThreshold", 100}, {"bcamScoreThreshold", 3000.0}},
       ""},
      {"CareModeLowerBoundsInclusive",
       kCareMode,
       nullptr,
       CareMode(std::nullopt, std::nullopt, 0, 0.0F),
       {{"chargeBcamThreshold", 0}, {"bcamScoreThreshold", 0.0}},
       ""},
      {"CareModeThresholdAboveRangeStops",
       kCareMode,
       CareMode("bcamScoreValueWarning", std::nullopt, 50, 10.0F),
       CareMode("bcamScoreValueReached", "bcamInitialInformationScreen", 101, 20.0F),
       {{"notification", "bcamScoreValueReached"},
        {"popup", "bcamInitialInformationScreen"},
        {"chargeBcamThreshold", 50},
        {"bcamScoreThreshold", 10.0}},
       "[Rubo] batteryCareModes - chargeBcamThreshold - Value out of range"},
      {"CareModeScoreBelowRange",
       kCareMode,
       CareMode(std::nullopt, std::nullopt, 50, 10.0F),
       CareMode(std::nullopt, std::nullopt, 60, -0.5F),
       {{"chargeBcamThreshold", 60}, {"bcamScoreThreshold", 10.0}},
       "[Rubo] batteryCareModes - bcamScoreThreshold - Value out of range"},
      {"CareModeScoreAboveRange",
       kCareMode,
       nullptr,
       CareMode(std::nullopt, std::nullopt, 60, 3000.5F),
       {{"bcamScoreThreshold", nullptr}},
       "[Rubo] batteryCareModes - bcamScoreThreshold - Value out of range"},
      {"CareModeScoreNaN",
       kCareMode,
       nullptr,
       CareMode(std::nullopt, std::nullopt, 60, kNaN),
       {{"bcamScoreThreshold", nullptr}},
       "[Rubo] batteryCareModes - bcamScoreThreshold - Value out of range"},
      {"BidiBoundsInclusive",
       kBidi,
       nullptr,
       Bidi("bidiStoppedUser", 10000.0F, 500.0F, 100000.0F, 1000000.0F),
       {{"information", "bidiStoppedUser"},
        {"chargingMode", "discharging"},
        {"operatingHoursThreshold", 10000.0},
        {"numbersOfCyclesThreshold", 500.0},
        {"amountOfEnergyThreshold", 100000.0},
        {"quotaThreshold", 1000000.0}},
       ""},
      {"BidiQuotaAboveRangeKeepsEarlier",
       kBidi,
       nullptr,
       Bidi("bidiStoppedUser", 0.0F, 0.0F, 0.0F, 1000000.5F),
       {{"amountOfEnergyThreshold", 0.0}, {"quotaThreshold", nullptr}},
       kBidiRefused + kOutOfRange},
      {"BidiNaNStopsTheRest",
       kBidi,
       nullptr,
       Bidi("bidiStoppedUser", kNaN, 1.0F, 1.0F, 1.0F),
       {{"chargingMode", "discharging"}, {"operatingHoursThreshold", nullptr}, {"numbersOfCyclesThreshold", nullptr}},
       kBidiRefused + kOutOfRange},
      {"BidiUnlistedInformationWritesNothing",
       kBidi,
       nullptr,
       Bidi("bidistoppeduser", 1.0F, 1.0F, 1.0F, 1.0F),
       {{"information", nullptr}, {"notification", nullptr}},
       kBidiRefused + std::string("Unsupported type: bidistoppeduser")},
      {"ValueControlBoundsInclusive",
       kValueControl,
       nullptr,
       ValueControl(3000, 0, 3000, 100),
       {{"currentValue", 3000}, {"minValue", 0}, {"maxValue", 3000}, {"resolution", 100}},
       ""},
      {"ValueControlResolutionOne",
       kValueControl,
       nullptr,
       ValueControl(0, 0, 0, 1),
       {{"currentValue", 0}, {"resolution", 1}, {"restrictionReason", "notNeeded"}},
       ""},
      {"ValueControlCurrentAboveRangeWritesNothing",
       kValueControl,
       nullptr,
       ValueControl(3001, 1, 2, 5),
       {{"currentValue", nullptr}, {"minValue", nullptr}, {"unitPercent", nullptr}},
       kValueControlRefused + kOutOfRange},
      {"ValueControlMinAboveRangeStopsBeforeMax",
       kValueControl,
       ValueControl(1, 2, 3, 5),
       ValueControl(10, 3001, 20, 5),
       {{"currentValue", 10}, {"minValue", 2}, {"maxValue", 3}},
       kValueControlRefused + kOutOfRange},
      {"ValueControlResolutionZeroRefused",
       kValueControl,
       nullptr,
       ValueControl(10, 1, 20, 0),
       {{"unitTime", "min"}, {"resolution", nullptr}, {"restrictionReason", nullptr}},
       kValueControlRefused + kOutOfRange},
      {"ValueControlResolutionAboveRangeRefused",
       kValueControl,
       nullptr,
       ValueControl(10, 1, 20, 101),
       {{"resolution", nullptr}},
       kValueControlRefused + kOutOfRange},
      {"ValueControlAnyConfigurationShowsOff",
       kValueControl,
       nullptr,
       ValueControl(1, 1, 1, 1, Texts{"reduced", "maximum"}),
       {{"specialState", "off"}, {"specialStateConfiguration", Json::array({"off"})}},
       ""},
      {"ValueControlEmptyConfigurationStaysEmpty",
       kValueControl,
       ValueControl(1, 1, 1, 1),
       ValueControl(1, 1, 1, 1, Texts{}),
       {{"specialStateConfiguration", Json::array()}},
       ""},
      {"ValueControlAbsentConfigurationRemoves",
       kValueControl,
       ValueControl(1, 1, 1, 1),
       ValueControl(1, 1, 1, 1, std::nullopt),
       {{"specialStateConfiguration", nullptr}},
       ""},
      {"IndicationBoundsInclusive",
       kIndication,
       nullptr,
       Indication(1000000.0F, -1000000.0F, 0.25F),
       {{"currentValue", 1000000.0}, {"maxValue", -1000000.0}, {"minValue", 0.25}},
       ""},
      {"IndicationAboveRangeWritesNothing",
       kIndication,
       nullptr,
       Indication(1000000.5F, 1.0F, 1.0F),
       {{"currentValue", nullptr}, {"maxValue", nullptr}},
       kIndicationRefused + kOutOfRange},
      {"IndicationNaNStopsTheRest",
       kIndication,
       Indication(1.0F, 2.0F, 3.0F),
       Indication(4.0F, kNaN, 5.0F),
       {{"currentValue", 4.0}, {"maxValue", 2.0}, {"minValue", 3.0}},
       kIndicationRefused + kOutOfRange},
      {"IndicationUnlistedUnitStopsAtIt",
       kIndication,
       nullptr,
       Indication(1.0F, 2.0F, 3.0F, "hours"),
       {{"minValue", 3.0},
        {"currentTimeDateValue", "2024-01-02T03:04:05Z"},
        {"unitPercent", "percent"},
        {"unitTime", nullptr},
        {"unitSpeed", nullptr},
        {"restrictionReason", nullptr}},
       kIndicationRefused + std::string("Unsupported type: hours")},
      {"ProcessThresholdBoundInclusive",
       kProcess,
       nullptr,
       Process(100, "DE*ABC"),
       {{"chargeBulkThreshold", 100}, {"evseid", "DE*ABC"}, {"chargeRateCuteness", "limitedHighSoc"}},
       ""},
      {"ProcessThresholdAboveRangeStops",
       kProcess,
       nullptr,
       Process(101, "DE*ABC"),
       {{"currentChargeState", "chargingError"}, {"chargeBulkThreshold", nullptr}, {"chargeMode", nullptr}},
       kProcessRefused + kOutOfRange},
      {"ProcessEmptyEvseidRemoves",
       kProcess,
       Process(1, "DE*ABC"),
       Process(1, ""),
       {{"evseid", nullptr}, {"chargeRateCuteness", "limitedHighSoc"}},
       ""},
  };
}

class ValueCaseTest : public UpdatesTest, public ::testing::WithParamInterface<ValueCase> {};

TEST_P(ValueCaseTest, PropertiesAndLine) {
  Populate();
  const auto& param = GetParam();
  const auto target = param.target(*root_);
  ASSERT_TRUE(target);
  if (param.before) {
    param.before(*app_);
    ASSERT_TRUE(Lines().empty()) << Lines().front();
  }
  param.update(*app_);
  ExpectProps(*target, param.expected);
  const auto lines = Lines();
  if (param.line.empty()) {
    EXPECT_TRUE(lines.empty()) << lines.front();
  } else {
    EXPECT_EQ(lines, std::vector<std::string>{param.line});
  }
}

INSTANTIATE_TEST_SUITE_P(Updates, ValueCaseTest, ::testing::ValuesIn(Cases()),
                         [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace orik::ruboServer::test
