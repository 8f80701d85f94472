#include <gmock/gmock.h>

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "tests/rest_server/rest_server_fixture.h"

namespace orik::ruboServer::test {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::StartsWith;
using Strings = std::vector<std::string>;

constexpr const char* kCmc = "/ChargingManagementCore/";

const std::vector<std::pair<std::string, Strings>> kTypesPerCollection = {
    {"valueControls",
     {"notificationMarker1notificationSocValue", "notificationMarker1notificationRangeValue",
      "notificationMarker1notificationTimeValue", "notificationMarker2notificationSocValue",
      "notificationMarker2notificationRangeValue", "notificationMarker2notificationTimeValue",
      "notificationMarker3notificationSocValue", "notificationMarker3notificationRangeValue",
      "notificationMarker3notificationTimeValue", "bidirectionalChargingModesMinSoc",
      "bidirectionalChargingModesMaxSoc", "immediateChargingOptionsTargetSoc", "immediateChargingOptionsNavTargetSoc",
      "immediateActionImmediateActionTime"}},
    {"valueIndications",
     {"chargingProcessInformationCurrentSoc",
      "chargingProcessInformationRemainingChargeTimeBulk",
      "chargingProcessInformationRemainingChargeTimeComplete",
      "chargingProcessInformationChargeEnergy",
      "chargingProcessInformationChargeRate",
      "chargingProcessInformationChargePower",
      "chargingProcessInformationMaxPowerChargingStation",
      "chargingProcessInformationRemainingChargeTimeFull",
      "chargingProcessInformationRemainingChargeTimeNav",
      "chargingProcessInformationMaxPowerDc",
      "chargingProcessInformationMaxPowerAc",
      "chargingProcessInformationMaxChargePowerCurrent",
      "chargingProcessInformationMaxChargePowerOptimalTemperature",
      "batteryCareModesBcamScore",
      "bidirectionalChargingModesOperatingHours",
      "bidirectionalChargingModesNumbersOfCycles",
      "bidirectionalChargingModesAmountOfEnergy",
      "bidirectionalChargingModesQuota",
      "batteryPreconditioningRemainingTimeFinished",
      "batteryPreconditioningRemainingTimeToStart",
      "batteryPreconditioningBatteryTemperature"}},
    {"switchControls",
     {"batteryCareModesBcamActivation", "immediateChargingOptionsMaxChargeCurrentAc",
      "immediateChargingOptionsAutounlockAc", "immediateChargingOptionsAutounlockDc",
      "immediateChargingOptionsChargeModeSelection", "immediateActionStartStopCharging",
      "batteryPreconditioningAutoModeActivation", "batteryPreconditioningPreconditioningActivation"}},
    {"notificationMarkers", {"notificationMarker1", "notificationMarker2", "notificationMarker3"}},
    {"notifications",
     {"chargingNotification1", "chargingNotification2", "chargingNotification3", "chargingNotification4",
      "chargingNotification5", "chargingNotification6"}},
    {"pastErrorInformation", {"pastErrorInformation1", "pastErrorInformation2", "pastErrorInformation3"}},
    {"chargingProcessInformation", {"chargingProcessInformation"}},
    {"immediateChargingOptions", {"immediateChargingOption"}},
    {"immediateActions", {"immediateAction"}},
    {"batteryCareModes", {"batteryCareMode"}},
    {"batteryPreconditionings", {"batteryPreconditioning"}},
    {"bidirectionalChargingModes", {"bidirectionalChargingMode"}},
    {"batteryPreconditioningEnergies", {"batteryPreconditioningEnergy1"}},
    {"oruUpdateApprovals", {"oruUpdateApproval"}},
    {"views", {}},
    {"chargingPlugs", {}},
    {"chargeModes", {}},
    {"statistics", {}},
};

// Composite elements: each linked property in the order it is rendered, with the linked type.
const std::vector<std::pair<std::string, std::vector<std::pair<std::string, std::string>>>> kLinks = {
    {"notificationMarkers",
     {{"notificationSocValue", "notificationMarker1notificationSocValue"},
      {"notificationRangeValue", "notificationMarker1notificationRangeValue"},
      {"notificationTimeValue", "notificationMarker1notificationTimeValue"}}},
    {"chargingProcessInformation",
     {{"currentSoc", "chargingProcessInformationCurrentSoc"},
      {"remainingChargeTimeBulk", "chargingProcessInformationRemainingChargeTimeBulk"},
      {"remainingChargeTimeComplete", "chargingProcessInformationRemainingChargeTimeComplete"},
      {"remainingChargeTimeFull", "chargingProcessInformationRemainingChargeTimeFull"},
      {"remainingChargeTimeNav", "chargingProcessInformationRemainingChargeTimeNav"},
      {"chargeEnergy", "chargingProcessInformationChargeEnergy"},
      {"chargeRate", "chargingProcessInformationChargeRate"},
      {"chargePower", "chargingProcessInformationChargePower"},
      {"maxPowerChargingStation", "chargingProcessInformationMaxPowerChargingStation"},
      {"maxPowerDc", "chargingProcessInformationMaxPowerDc"},
      {"maxPowerAc", "chargingProcessInformationMaxPowerAc"},
      {"maxChargePowerCurrent", "chargingProcessInformationMaxChargePowerCurrent"},
      {"maxChargePowerOptimalTemperature", "chargingProcessInformationMaxChargePowerOptimalTemperature"}}},
    {"batteryCareModes",
     {{"bcamScore", "batteryCareModesBcamScore"}, {"bcamActivation", "batteryCareModesBcamActivation"}}},
    {"bidirectionalChargingModes",
     {{"minSoc", "bidirectionalChargingModesMinSoc"},
      {"maxSoc", "bidirectionalChargingModesMaxSoc"},
      {"operatingHours", "bidirectionalChargingModesOperatingHours"},
      {"numbersOfCycles", "bidirectionalChargingModesNumbersOfCycles"},
      {"amountOfEnergy", "bidirectionalChargingModesAmountOfEnergy"},
      {"quota", "bidirectionalChargingModesQuota"}}},
    {"immediateChargingOptions",
     {{"targetSoc", "immediateChargingOptionsTargetSoc"},
      {"navTargetSoc", "immediateChargingOptionsNavTargetSoc"},
      {"maxChargeCurrentAc", "immediateChargingOptionsMaxChargeCurrentAc"},
      {"autounlockAc", "immediateChargingOptionsAutounlockAc"},
      {"autounlockDc", "immediateChargingOptionsAutounlockDc"},
      {"chargeModeSelection", "immediateChargingOptionsChargeModeSelection"}}},
    {"immediateActions",
     {{"immediateActionTime", "immediateActionImmediateActionTime"},
      {"startStopCharging", "immediateActionStartStopCharging"}}},
    {"batteryPreconditionings",
     {{"autoModeActivation", "batteryPreconditioningAutoModeActivation"},
      {"preconditioningActivation", "batteryPreconditioningPreconditioningActivation"},
      {"remainingTimeFinished", "batteryPreconditioningRemainingTimeFinished"},
      {"remainingTimeToStart", "batteryPreconditioningRemainingTimeToStart"},
      {"batteryTemperature", "batteryPreconditioningBatteryTemperature"}}},
};

const std::vector<std::pair<std::string, std::string>> kDescriptions = {
    {"chargingPlugs",
     "charging plug informs about the position and state of plugs connected to the cars charging socket"},
    {"chargingProcessInformation",
     "informs the user about the active chargeMode and detailed information about a running charging process"},
    {"immediateActions",
     "immediateActions stop a running charging process or can start a chargingprocess with a defined charging end "
     "criteria. The charging end criteria is only valid once"},
    {"immediateChargingOptions",
     "immediateChargingOptions let the user control options for immediate charging processes"},
    {"notificationMarkers",
     "notificationMarkers inform when a defined charging criteria is reached. It is only one charging criteria, "
     "notificationSocValue, notificationRangeValue, notificationTimeValue, per element allowed"},
    {"notifications", "This are the charging notifications"},
    {"oruUpdateApprovals", "indicates the approval status for online remote updates"},
    {"pastErrorInformation", "past errors of a charging process"},
    {"switchControls", "This resource contains the mode of a function that can accept one out of many values."},
    {"valueControls",
     "This resource describes the control elements of functions that can accept a value and/or may have a special "
     "state."},
    {"valueIndications",
     "This resource describes the control elements of functions that can report a value and may also accept special "
     "states."},
    {"views", "informs about views for charging"},
};

const Strings kStartLines = {"Starting the server population...",
                             "Registered preupdate callbacks...",
                             "Removing rubo server service ResetToFactoryData...",
                             "Starting Rubo server...",
                             "Starting SomeIP listeners...",
                             "Completed start of SomeIP listeners..."};

using StartupTest = RestServerTest;

TEST_F(StartupTest, EveryCollectionHoldsItsStartElementsInOrderAtTheirOwnPaths) {
  Start();
  for (const auto& [collection, types] : kTypesPerCollection) {
    SCOPED_TRACE(collection);
    const std::string path = kCmc + collection;
    Strings seen;
    for (const auto& element : Elements(path)) {
      seen.push_back(element.value("type", std::string("<none>")));
      const std::string id = element.value("id", std::string{});
      EXPECT_EQ(element.value("uri", std::string{}), path + "/" + id);
      ASSERT_EQ(id.size(), 36u);
      EXPECT_EQ(id[14], '4') << "random identity expected: " << id;
    }
    EXPECT_EQ(seen, types);
  }
}

TEST_F(StartupTest, CompositesLinkTheirChildrenInOrder) {
  Start();
  for (const auto& [collection, links] : kLinks) {
    SCOPED_TRACE(collection);
    const auto elements = Elements(kCmc + collection);
    ASSERT_FALSE(elements.empty());
    const auto& composite = elements.front();
    Strings properties;
    for (const auto& item : composite.items()) {
      if (item.value().is_object()) {
        properties.push_back(item.key());
      }
    }
    Strings expected;
    for (const auto& [property, linkedType] : links) {
      expected.push_back(property);
      EXPECT_EQ(composite[property].value("type", std::string{}), linkedType) << property;
    }
    EXPECT_EQ(properties, expected);
  }
}

TEST_F(StartupTest, ResetElementHasItsCategoryAndNameButNoType) {
  Start();
  const auto resets = Elements("/FactoryReset/resets");
  ASSERT_EQ(resets.size(), 1u);
  EXPECT_EQ(resets[0].value("category", std::string{}), "eCharging");
  EXPECT_EQ(resets[0].value("name", std::string{}), "ChargingManagementCore");
  EXPECT_FALSE(resets[0].contains("type"));
  EXPECT_THAT(resets[0].value("uri", std::string{}), StartsWith("/FactoryReset/resets/"));
}

TEST_F(StartupTest, ViewsAreHeldBackWithTheirContents) {
  Start();
  EXPECT_TRUE(Elements("/ChargingManagementCore/views").empty());
  for (const auto& [key, type, content] : std::vector<std::tuple<std::string, std::string, std::string>>{
           {"popup", "popup", ""},
           {"bcamInformationScreen", "bcamScreen", "bcamInformationScreen"},
           {"bcamInitialInformationScreen", "bcamScreen", "bcamInitialInformationScreen"},
           {"itSystemScreen", "itSystemScreen", ""}}) {
    SCOPED_TRACE(key);
    const auto view = ORIKRuboServerTestPeer::View(*app_, key);
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->GetFieldValue<ara::rest::ogm::String>("type"), type);
    EXPECT_EQ(view->GetContent(), content);
    EXPECT_THAT(view->GetUri().ToString(false), StartsWith("/ChargingManagementCore/views/"));
  }
}

TEST_F(StartupTest, ServicesCarryVersionsAndDescriptionsWithoutResetToFactoryData) {
  Start();
  const auto cmc = GetJson("/ChargingManagementCore");
  EXPECT_EQ(cmc["versions"], Json::array({"0.10.1"}));
  Strings resources;
  for (const auto& resource : cmc["resources"]) {
    resources.push_back(resource.value("name", std::string{}));
  }
  EXPECT_EQ(resources.size(), 19u - 1u);
  EXPECT_THAT(resources, ::testing::Not(::testing::Contains("resetToFactoryData")));
  EXPECT_EQ(client_->Get("/ChargingManagementCore/resetToFactoryData").status, 404u);
  EXPECT_EQ(GetJson("/FactoryReset")["versions"], Json::array({"1.3.0"}));
  for (const auto& [collection, description] : kDescriptions) {
    EXPECT_EQ(GetJson(kCmc + collection).value("description", std::string{}), description) << collection;
  }
}

TEST_F(StartupTest, StartLogsSixLinesInOrderAndStartsTheListenersOnce) {
  Start();
  EXPECT_EQ(ServerLines(*log_), kStartLines);
  EXPECT_TRUE(ServerLines(*log_, ara::log::LogLevel::kError).empty());
  EXPECT_THAT(fake_->Calls(), ElementsAre("StartListener()"));
}

// How a start can fail, and what the log and the listeners see of it.
struct StartFailure {
  const char* name;
  std::function<void(RestServerTest&, ORIKRuboServer::Seams&)> arrange;
  std::function<void(const std::string&)> checkError;
  std::size_t infoLines;  // leading lines of kStartLines that were written
  bool listenerCalled;
};

class StartFailureTest : public RestServerTest, public ::testing::WithParamInterface<StartFailure> {};

TEST_P(StartFailureTest, LogsOneErrorAndStopsWhereItFailed) {
  ORIKRuboServer::Seams seams;
  GetParam().arrange(*this, seams);
  Make(std::move(seams));
  if (std::string(GetParam().name) == "Unwired") {
    app_->SetCommunicationsManager(nullptr);
  }
  app_->StartServer();
  const auto errors = ServerLines(*log_, ara::log::LogLevel::kError);
  ASSERT_EQ(errors.size(), 1u) << ::testing::PrintToString(errors);
  GetParam().checkError(errors[0]);
  EXPECT_EQ(ServerLines(*log_), Strings(kStartLines.begin(), kStartLines.begin() + GetParam().infoLines));
  EXPECT_EQ(!fake_->Calls().empty(), GetParam().listenerCalled);
}

const StartFailure kStartFailures[] = {
    {"PopulationStep",
     [](RestServerTest&, ORIKRuboServer::Seams& seams) {
       // A root without its collections: the first element cannot be added.
       seams.makeRoot = [](const std::string& name, const std::string& path) {
         return ara::rest::MakeSharedPointer<rubo::server::RuboServer>(name, path);
       };
     },
     [](const std::string& error) {
       EXPECT_EQ(error, "Failed to start server:Collection valueControls was not built");
     },
     1, false},
    {"ListenerStartThrowsStandard",
     [](RestServerTest& test, ORIKRuboServer::Seams&) {
       test.Fake().SetOnStartListener([] { throw std::runtime_error("no proxy"); });
     },
     [](const std::string& error) { EXPECT_EQ(error, "Failed to start server:no proxy"); }, 5, true},
    {"ListenerStartThrowsOther",
     [](RestServerTest& test, ORIKRuboServer::Seams&) { test.Fake().SetOnStartListener([] { throw 7; }); },
     [](const std::string& error) { EXPECT_EQ(error, "Failed to start server: reason unknown"); }, 5, true},
    {"Unwired", [](RestServerTest&, ORIKRuboServer::Seams&) {},
     [](const std::string& error) { EXPECT_THAT(error, StartsWith("Failed to start server:")); }, 5, false},
};

INSTANTIATE_TEST_SUITE_P(Start, StartFailureTest, ::testing::ValuesIn(kStartFailures),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(StartupTest, StartWithoutRootLogsTheStartFailureToo) {
  ORIKRuboServer::Seams seams;
  seams.makeRoot = [](const std::string&, const std::string&) -> std::shared_ptr<rubo::server::RuboServer> {
    throw std::bad_alloc();
  };
  Make(std::move(seams));
  app_->StartServer();
  EXPECT_THAT(ServerLines(*log_, ara::log::LogLevel::kError),
              ElementsAre("Failed to start server: Make for Rubo threw exception",
                          ::testing::StartsWith("Failed to start server:")));
  EXPECT_TRUE(fake_->Calls().empty());
}

}  // namespace
}  // namespace orik::ruboServer::test
