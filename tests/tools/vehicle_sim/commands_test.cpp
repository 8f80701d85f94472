#include "tools/vehicle_sim/commands.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

namespace {

using namespace orik::vehicleSim;
using namespace std::chrono_literals;
using nlohmann::json;

TEST(Commands, NotifyCarriesTheCanonicalValue) {
  const Command command =
      ParseCommand(json::parse(R"({"command": "notify", "field": "views", "value": [{"type": 0, "visibility": 1}]})"));
  EXPECT_EQ(command.kind, Command::Kind::kNotify);
  EXPECT_EQ(command.field, FindField("views"));
  EXPECT_EQ(command.value, json::parse(R"([{"type": "popup", "visibility": "requestedViewVisible"}])"));
}

TEST(Commands, AnswerModeKeysDefaultToAnImmediateSuccess) {
  const Command plain = ParseCommand(json::parse(R"({"command": "answer", "field": "views", "method": "Set"})"));
  EXPECT_EQ(plain.kind, Command::Kind::kAnswer);
  EXPECT_EQ(plain.method, Method::kSet);
  EXPECT_EQ(plain.answer.delay, 0ms);
  EXPECT_EQ(plain.answer.returnCode, 0);
  EXPECT_FALSE(plain.answer.never);

  const Command full = ParseCommand(json::parse(
      R"({"command": "answer", "field": "valueControls", "method": "Get", "delay_ms": 1500, "return_code": 255, "never": true})"));
  EXPECT_EQ(full.method, Method::kGet);
  EXPECT_EQ(full.answer.delay, 1500ms);
  EXPECT_EQ(full.answer.returnCode, 255);
  EXPECT_TRUE(full.answer.never);
}

TEST(Commands, OfferWithoutServiceMeansBoth) {
  EXPECT_FALSE(ParseCommand(json::parse(R"({"command": "offer"})")).service.has_value());
  const Command stop = ParseCommand(json::parse(R"({"command": "stop_offer", "service": "RouteBasedEnergyContents"})"));
  EXPECT_EQ(stop.kind, Command::Kind::kStopOffer);
  EXPECT_EQ(stop.service, Service::kRouteBasedEnergyContents);
}

struct BadCommand {
  const char* name;
  const char* text;
  const char* message;
  friend void PrintTo(const BadCommand& command, std::ostream* out) { *out << command.name; }
};

class BadCommands : public ::testing::TestWithParam<BadCommand> {};

TEST_P(BadCommands, AreRefusedWithAReason) {
  try {
    ParseCommand(json::parse(GetParam().text));
    FAIL() << "accepted " << GetParam().text;
  } catch (const CommandError& e) {
    EXPECT_THAT(e.what(), ::testing::HasSubstr(GetParam().message));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, BadCommands,
    ::testing::Values(
        BadCommand{"NotAnObject", "[1]", "command: expected a JSON object"},
        BadCommand{"NoCommand", R"({"field": "views"})", "needs \"command\""},
        BadCommand{"UnknownCommand", R"({"command": "reboot"})", "unknown command \"reboot\""},
        BadCommand{"UnknownKey", R"({"command": "quit", "now": true})", "unknown key \"now\""},
        BadCommand{"UnknownField", R"({"command": "notify", "field": "doors", "value": []})",
                   "unknown field \"doors\""},
        BadCommand{"NotifyWithoutValue", R"({"command": "notify", "field": "views"})", "notify needs \"value\""},
        BadCommand{"NotifyBadMember", R"({"command": "notify", "field": "views", "value": [{"type": true}]})",
                   "command: views[0].type: expected"},
        BadCommand{"AnswerWithoutMethod", R"({"command": "answer", "field": "views"})",
                   "\"method\": \"Get\" or \"Set\""},
        BadCommand{"AnswerSetOfReadOnlyField", R"({"command": "answer", "field": "chargingPlugs", "method": "Set"})",
                   "field chargingPlugs has no Set"},
        BadCommand{"NegativeDelay", R"({"command": "answer", "field": "views", "method": "Set", "delay_ms": -1})",
                   "\"delay_ms\" must be an unsigned integer"},
        BadCommand{"ReturnCodeTooLarge",
                   R"({"command": "answer", "field": "views", "method": "Set", "return_code": 256})",
                   "\"return_code\" must be an unsigned integer up to 255"},
        BadCommand{"NeverNotBool", R"({"command": "answer", "field": "views", "method": "Set", "never": 1})",
                   "\"never\" must be true or false"},
        BadCommand{"UnknownService", R"({"command": "offer", "service": "Doors"})", "\"service\" must be"}),
    [](const ::testing::TestParamInfo<BadCommand>& info) { return std::string(info.param.name); });

TEST(Scenario, ReadsEverySection) {
  const Scenario scenario = ParseScenario(json::parse(R"({
    "fields": {"views": [{"type": "popup"}], "targetSocChargings": [{"type": 0, "targetSoc": 70}]},
    "answers": [{"field": "valueControls", "method": "Set", "never": true}],
    "timeline": [{"at_ms": 100, "command": "stop_offer"}, {"at_ms": 50, "command": "offer"}],
    "loop_ms": 200,
    "offer_at_start": false})"));
  EXPECT_EQ(scenario.fields.at(FindField("targetSocChargings")),
            json::parse(R"([{"type": "targetSocCharging", "targetSoc": 70}])"));
  ASSERT_EQ(scenario.answers.size(), 1u);
  EXPECT_TRUE(scenario.answers[0].answer.never);
  ASSERT_EQ(scenario.timeline.size(), 2u);
  EXPECT_EQ(scenario.timeline[0].at, 100ms);
  EXPECT_EQ(scenario.timeline[0].command.kind, Command::Kind::kStopOffer);
  EXPECT_EQ(scenario.loop, 200ms);
  EXPECT_FALSE(scenario.offerAtStart);
}

TEST(Scenario, RefusalsNameTheirPlace) {
  const auto refusal = [](const char* text) {
    try {
      ParseScenario(json::parse(text));
    } catch (const CommandError& e) {
      return std::string(e.what());
    }
    return std::string("accepted");
  };
  EXPECT_THAT(refusal(R"({"field": {}})"), ::testing::HasSubstr("scenario: unknown key \"field\""));
  EXPECT_THAT(refusal(R"({"fields": {"views": [{"type": "popup", "size": 1}]}})"),
              ::testing::HasSubstr("scenario.fields: views[0]: unknown member \"size\""));
  EXPECT_THAT(refusal(R"({"timeline": [{"command": "quit"}]})"),
              ::testing::HasSubstr("scenario.timeline[0]: needs \"at_ms\""));
  EXPECT_THAT(refusal(R"({"answers": [{"field": "views", "method": "Put"}]})"),
              ::testing::HasSubstr("scenario.answers[0]: answer needs \"method\""));
  EXPECT_THAT(refusal(R"({"timeline": [{"at_ms": 300, "command": "quit"}], "loop_ms": 300})"),
              ::testing::HasSubstr("must come before loop_ms"));
}

TEST(Scenario, TheDefaultScenarioLoadsAndGivesTheDemoItsValues) {
  const Scenario scenario = LoadScenario(std::string(ORIK_SIM_SCENARIO_DIR) + "/default.json");
  EXPECT_EQ(scenario.fields.at(FindField("chargingPlugs"))[0]["plugConnectionState"], "connected");
  EXPECT_EQ(scenario.fields.at(FindField("chargingProcessInformation"))[0]["currentChargeState"], "chargingHvBattery");
  EXPECT_EQ(scenario.fields.at(FindField("targetSocChargings"))[0]["type"], "targetSocCharging");
  EXPECT_GT(scenario.loop, 0ms);
  EXPECT_FALSE(scenario.timeline.empty());
}

TEST(Scenario, AMissingFileIsNamed) {
  EXPECT_THAT(
      [] { LoadScenario("/nonexistent/scenario.json"); },
      ::testing::ThrowsMessage<CommandError>(::testing::HasSubstr("/nonexistent/scenario.json: cannot be read")));
}

}  // namespace
