#include <gmock/gmock.h>

#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "ara/rest/serialize/json_serializer.h"
#include "tests/rest_server/rest_server_fixture.h"

namespace orik::ruboServer::test {
namespace {

namespace ogm = ara::rest::ogm;
using ::testing::ElementsAre;
using Strings = std::vector<std::string>;

constexpr const char* kOutOfRange = "Bad Request: value not in allowed range";
constexpr const char* kInternal = "Internal Server Error";

void SetInt(rubo::BaseXObject& element, const std::string& name, std::int64_t value) {
  if (!element.HasField(name)) {
    element.AddField<ogm::Int>(name);
  }
  element.SetFieldValue<ogm::Int>(name, value, true);
}

void SetTexts(rubo::BaseXObject& element, const std::string& name, const Strings& values) {
  auto array = ogm::Array::Make();
  for (const auto& value : values) {
    array->Append(ogm::String::Make(value));
  }
  if (!element.HasField(name)) {
    element.AddField<ogm::Array>(name);
  }
  element.SetFieldValue<ogm::Field, ogm::Array>(name, std::move(array));
}

class PostTestBase : public RestServerTest {
 protected:
  // Serves the "popup" view, which start-up holds back.
  std::string ShowPopup() {
    const auto view = ORIKRuboServerTestPeer::View(*app_, "popup");
    root_->Add(view);
    return view->GetUri().ToString(false);
  }
  std::string ResetPath() { return Elements("/FactoryReset/resets")[0].value("uri", std::string{}); }
  std::shared_ptr<rubo::BaseXObject> Object(const std::string& path) { return root_->FindByUriRecursive(path); }

  // Path of the element a case names: a collection and a type, or one of the special ones.
  std::string PathFor(const std::string& collection, const std::string& type) {
    if (collection == "views") {
      return ShowPopup();
    }
    if (collection == "resets") {
      return ResetPath();
    }
    return PathOf("/ChargingManagementCore/" + collection, type);
  }
};

// ---- One accepted body per element kind, against every vehicle outcome ----

struct Kind {
  const char* name;
  const char* collection;
  const char* type;
  const char* body;
  const char* call;
  const char* property;  // what the framework applies on success; nullptr: never applied
  const char* topic;     // the name Evaluate_SetStatus logs
  const char* successLine;
  const char* failureLine;
};

const Kind kKinds[] = {
    {"ValueControl", "valueControls", "immediateChargingOptionsTargetSoc", R"({"currentValue": 50})",
     "ValueControls(immediateChargingOptionsTargetSoc,50,-)", "currentValue", "ValueControl",
     "[Rubo][Rubo -> SomeIp] ValueControl Success", "[Rubo][Rubo -> SomeIp] ValueControl Internal error"},
    {"SpecialState", "valueControls", "immediateChargingOptionsTargetSoc", R"({"specialState": "off"})",
     "ValueControls(immediateChargingOptionsTargetSoc,-,off)", "specialState", "ValueControl",
     "[Rubo][Rubo -> SomeIp] ValueControl Success", "[Rubo][Rubo -> SomeIp] ValueControl Internal error"},
    {"SwitchControl", "switchControls", "immediateChargingOptionsAutounlockAc", R"({"switchValue": "activated"})",
     "SwitchControls(immediateChargingOptionsAutounlockAc,activated)", "switchValue", "SwitchValue",
     "[Rubo][Rubo -> SomeIp] SwitchControl POST successful",
     "[Rubo][Rubo -> SomeIp] SwitchControl POST failed due to someip update failure"},
    {"StartStop", "switchControls", "immediateActionStartStopCharging", R"({"switchValue": "stopCharging"})",
     "SwitchControls(immediateActionStartStopCharging,stopCharging)", "switchValue", "SwitchValue",
     "[Rubo][Rubo -> SomeIp] SwitchControl POST successful",
     "[Rubo][Rubo -> SomeIp] SwitchControl POST failed due to someip update failure"},
    {"View", "views", "popup", R"({"visibility": "newRequest"})", "Views(popup,-,newRequest)", "visibility", "View",
     "[Rubo][Rubo -> SomeIp] View Success", "[Rubo][Rubo -> SomeIp] View Internal error"},
    {"PastError", "pastErrorInformation", "pastErrorInformation2", R"({"confirmedByUser": true})",
     "pastErrorInformation(pastErrorInformation2,true)", "confirmedByUser", "PastErrorInformation",
     "[Rubo][Rubo -> SomeIp] PastErrInfo Success", "[Rubo][Rubo -> SomeIp] PastErrInfo Internal error"},
    {"Reset", "resets", "", R"({"isFactoryDefault": true})", "ResetStatus(origin)", nullptr, "ResetToFactoryData",
     "[Rubo][Rubo -> SomeIp] ResetToFactory Accepted", "[Rubo][Rubo -> SomeIp] ResetToFactory Internal error"},
};

struct Outcome {
  const char* name;
  SOMEIP_RESPONSE_TYPE result;
  const char* statusText;
};

const Outcome kOutcomes[] = {
    {"Received", kReceived, " - Set response received."},
    {"Timeout", kTimeout, " - Response not received from the setter in due time."},
    {"Error", kError, " - Error while setting values on the someip."},
};

class PostOutcomeTest : public PostTestBase, public ::testing::WithParamInterface<std::tuple<Kind, Outcome>> {};

TEST_P(PostOutcomeTest, ReplyAndElementFollowTheVehicle) {
  const auto& [kind, outcome] = GetParam();
  Start();
  const std::string path = PathFor(kind.collection, kind.type);
  ASSERT_FALSE(path.empty());
  fake_->ClearCalls();
  fake_->Script({outcome.result});
  log_->Clear();

  const auto reply = Post(path, kind.body);

  EXPECT_THAT(fake_->Calls(), ElementsAre(kind.call));
  const bool written = outcome.result == kReceived;
  const auto element = GetJson(path);
  if (!written) {
    EXPECT_EQ(reply.status, 500u);
    EXPECT_EQ(reply.body, kInternal);
  } else if (kind.property == nullptr) {
    EXPECT_EQ(reply.status, 202u);
    EXPECT_EQ(reply.body, "Accepted");
  } else {
    EXPECT_EQ(reply.status, 200u);
    const auto answered = Json::parse(reply.body, nullptr, false);
    EXPECT_EQ(answered, element) << "the reply shows the element as applied";
  }
  const auto body = Json::parse(kind.body);
  for (const auto& item : body.items()) {
    if (written && kind.property != nullptr) {
      EXPECT_EQ(element[item.key()], item.value());
    } else {
      EXPECT_FALSE(element.contains(item.key())) << item.key() << " applied although not written";
    }
  }
  const auto lines = ServerLines(*log_);
  EXPECT_THAT(lines, ::testing::Contains(std::string("[Rubo][Rubo -> Someip] ") + kind.topic + outcome.statusText));
  EXPECT_THAT(lines, ::testing::Contains(written ? kind.successLine : kind.failureLine));
}

INSTANTIATE_TEST_SUITE_P(Post, PostOutcomeTest,
                         ::testing::Combine(::testing::ValuesIn(kKinds), ::testing::ValuesIn(kOutcomes)),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param).name) + "_" + std::get<1>(info.param).name;
                         });

// ---- The application's rules and the order of the checks ----

struct Rule {
  const char* name;
  const char* collection;
  const char* type;
  std::function<void(rubo::BaseXObject&)> arrange;
  const char* body;
  unsigned status;
  const char* text;  // the reply's text when refused
  const char* call;  // the write when accepted
};

const auto kNone = [](rubo::BaseXObject&) {};
constexpr const char* kTarget = "immediateChargingOptionsTargetSoc";
constexpr const char* kAutounlock = "immediateChargingOptionsAutounlockAc";
constexpr const char* kStartStop = "immediateActionStartStopCharging";

const Rule kRules[] = {
    // Value controls: model validator first, then range, resolution and special-state rules.
    {"VcModelAbove", "valueControls", kTarget, kNone, R"({"currentValue": 3001})", 400, kOutOfRange, nullptr},
    {"VcModelNegative", "valueControls", kTarget, kNone, R"({"currentValue": -1})", 400, kOutOfRange, nullptr},
    {"VcModelNotInteger", "valueControls", kTarget, kNone, R"({"currentValue": "5"})", 400, "Bad Message", nullptr},
    {"VcModelNotWritable", "valueControls", kTarget, kNone, R"({"minValue": 1})", 409,
     "Conflict: not allowed parameter(s) included", nullptr},
    {"VcModelSpecialState", "valueControls", kTarget, kNone, R"({"specialState": "Off"})", 400, kOutOfRange, nullptr},
    {"VcNothingToWrite", "valueControls", kTarget, kNone, R"({})", 400, kOutOfRange, nullptr},
    {"VcDefaultMaximum", "valueControls", kTarget, kNone, R"({"currentValue": 3000})", 200, nullptr,
     "ValueControls(immediateChargingOptionsTargetSoc,3000,-)"},
    {"VcDefaultMinimum", "valueControls", kTarget, kNone, R"({"currentValue": 0})", 200, nullptr,
     "ValueControls(immediateChargingOptionsTargetSoc,0,-)"},
    {"VcBelowMinimum", "valueControls", kTarget, [](auto& e) { SetInt(e, "minValue", 10); }, R"({"currentValue": 9})",
     400, kOutOfRange, nullptr},
    {"VcAtMinimum", "valueControls", kTarget, [](auto& e) { SetInt(e, "minValue", 10); }, R"({"currentValue": 10})",
     200, nullptr, "ValueControls(immediateChargingOptionsTargetSoc,10,-)"},
    {"VcAboveMaximum", "valueControls", kTarget, [](auto& e) { SetInt(e, "maxValue", 80); }, R"({"currentValue": 81})",
     400, kOutOfRange, nullptr},
    {"VcAtMaximum", "valueControls", kTarget, [](auto& e) { SetInt(e, "maxValue", 80); }, R"({"currentValue": 80})",
     200, nullptr, "ValueControls(immediateChargingOptionsTargetSoc,80,-)"},
    {"VcOffResolution", "valueControls", kTarget, [](auto& e) { SetInt(e, "resolution", 5); }, R"({"currentValue": 7})",
     400, kOutOfRange, nullptr},
    {"VcOnResolution", "valueControls", kTarget, [](auto& e) { SetInt(e, "resolution", 5); }, R"({"currentValue": 10})",
     200, nullptr, "ValueControls(immediateChargingOptionsTargetSoc,10,-)"},
    {"VcResolutionZero", "valueControls", kTarget, [](auto& e) { SetInt(e, "resolution", 0); },
     R"({"currentValue": 10})", 400, kOutOfRange, nullptr},
    {"VcSpecialStateNotConfigured", "valueControls", kTarget,
     [](auto& e) { SetTexts(e, "specialStateConfiguration", {}); }, R"({"specialState": "off"})", 400, kOutOfRange,
     nullptr},
    {"VcConfiguredSpecialStateBeatsRange", "valueControls", kTarget,
     [](auto& e) {
       SetTexts(e, "specialStateConfiguration", {"off"});
       SetInt(e, "maxValue", 80);
     },
     R"({"currentValue": 90, "specialState": "off"})", 200, nullptr,
     "ValueControls(immediateChargingOptionsTargetSoc,90,off)"},
    // Switch controls: the configuration, when there is one, lists what may be written.
    {"ScUnlisted", "switchControls", kAutounlock, kNone, R"({"switchValue": "Activated"})", 400, kOutOfRange, nullptr},
    {"ScMissing", "switchControls", kAutounlock, kNone, R"({})", 400, kOutOfRange, nullptr},
    {"ScNotConfigured", "switchControls", kAutounlock,
     [](auto& e) { SetTexts(e, "switchValueConfiguration", {"activated"}); }, R"({"switchValue": "deactivated"})", 400,
     kOutOfRange, nullptr},
    {"ScConfigured", "switchControls", kAutounlock,
     [](auto& e) { SetTexts(e, "switchValueConfiguration", {"activated"}); }, R"({"switchValue": "activated"})", 200,
     nullptr, "SwitchControls(immediateChargingOptionsAutounlockAc,activated)"},
    {"ScEmptyConfiguration", "switchControls", kAutounlock,
     [](auto& e) { SetTexts(e, "switchValueConfiguration", {}); }, R"({"switchValue": "activated"})", 400, kOutOfRange,
     nullptr},
    // The start/stop switch checks its four values before the model validator.
    {"StartStopMissing", "switchControls", kStartStop, kNone, R"({})", 400, kOutOfRange, nullptr},
    {"StartStopOtherValue", "switchControls", kStartStop, kNone, R"({"switchValue": "activated"})", 400, kOutOfRange,
     nullptr},
    {"StartStopNotText", "switchControls", kStartStop, kNone, R"({"switchValue": 5})", 400, kOutOfRange, nullptr},
    {"StartStopThenModel", "switchControls", kStartStop, kNone, R"({"switchValue": "stopCharging", "extra": 1})", 409,
     "Conflict: not allowed parameter(s) included", nullptr},
    {"PastErrorMissing", "pastErrorInformation", "pastErrorInformation1", kNone, R"({})", 400,
     "Bad Request: *confirmedByUser* field is missing", nullptr},
    {"PastErrorNotBool", "pastErrorInformation", "pastErrorInformation1", kNone, R"({"confirmedByUser": "true"})", 400,
     "Bad Message", nullptr},
    {"ResetMissing", "resets", "", kNone, R"({})", 409, "Conflict: required parameter(s) missing", nullptr},
    {"ResetFalse", "resets", "", kNone, R"({"isFactoryDefault": false})", 400, kOutOfRange, nullptr},
    {"ViewEmpty", "views", "popup", kNone, R"({})", 400, kOutOfRange, nullptr},
    {"ViewContent", "views", "popup", kNone, R"({"content": "x"})", 409, "Conflict: not allowed parameter(s) included",
     nullptr},
    {"ViewUnlisted", "views", "popup", kNone, R"({"visibility": "shown"})", 400, kOutOfRange, nullptr},
};

class PostRuleTest : public PostTestBase, public ::testing::WithParamInterface<Rule> {};

TEST_P(PostRuleTest, RefusesOrWritesAsTheRulesSay) {
  const auto& rule = GetParam();
  Start();
  const std::string path = PathFor(rule.collection, rule.type);
  ASSERT_FALSE(path.empty());
  rule.arrange(*Object(path));
  fake_->ClearCalls();
  const auto before = GetJson(path);

  const auto reply = Post(path, rule.body);

  EXPECT_EQ(reply.status, rule.status) << reply.body;
  if (rule.call == nullptr) {
    EXPECT_EQ(reply.body, rule.text);
    EXPECT_TRUE(fake_->Calls().empty()) << ::testing::PrintToString(fake_->Calls());
    EXPECT_EQ(GetJson(path), before) << "a refused body is not applied";
  } else {
    EXPECT_THAT(fake_->Calls(), ElementsAre(rule.call));
  }
}

INSTANTIATE_TEST_SUITE_P(Post, PostRuleTest, ::testing::ValuesIn(kRules),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- What a POST logs ----

struct Lines {
  const char* name;
  const char* collection;
  const char* type;
  std::function<void(rubo::BaseXObject&)> arrange;
  const char* body;
  Strings lines;
};

const Lines kLines[] = {
    {"ValueControl",
     "valueControls",
     kTarget,
     kNone,
     R"({"currentValue": 50})",
     {"[Rubo][Rubo -> SomeIp] ValueControl Result for the validation checks: true!",
      "[Rubo][Rubo -> SomeIp] {Type - Value - SpecialState} : {immediateChargingOptionsTargetSoc - 50 - no_value}",
      "[Rubo][Rubo -> Someip] ValueControl - Set response received.", "[Rubo][Rubo -> SomeIp] ValueControl Success"}},
    {"SpecialState",
     "valueControls",
     kTarget,
     kNone,
     R"({"specialState": "off"})",
     {"[Rubo][Rubo -> SomeIp] ValueControl Result for the validation checks: true!",
      "[Rubo][Rubo -> SomeIp] {Type - Value - SpecialState} : {immediateChargingOptionsTargetSoc - 100000 - off}",
      "[Rubo][Rubo -> Someip] ValueControl - Set response received.", "[Rubo][Rubo -> SomeIp] ValueControl Success"}},
    {"ValueControlRefused",
     "valueControls",
     kTarget,
     [](auto& e) { SetInt(e, "resolution", 5); },
     R"({"currentValue": 7})",
     {"[Rubo][Rubo -> SomeIp] ValueControl Result for the validation checks: false!",
      "[Rubo][Rubo -> SomeIp] ValueControl Invalid range"}},
    {"SwitchControl",
     "switchControls",
     kAutounlock,
     kNone,
     R"({"switchValue": "activated"})",
     {"[Rubo] Type - SwitchValue: immediateChargingOptionsAutounlockAc - activated",
      "[Rubo][Rubo -> Someip] SwitchValue - Set response received.",
      "[Rubo] Result for the switchcontrol validation checks: true!",
      "[Rubo][Rubo -> SomeIp] SwitchControl POST successful"}},
    {"SwitchControlRefused",
     "switchControls",
     kAutounlock,
     [](auto& e) { SetTexts(e, "switchValueConfiguration", {}); },
     R"({"switchValue": "activated"})",
     {"[Rubo] Result for the switchcontrol validation checks: false!",
      "[Rubo][Rubo -> SomeIp] SwitchControl POST failed due to validation"}},
    {"View",
     "views",
     "popup",
     kNone,
     R"({"visibility": "newRequest"})",
     {"[Rubo][Rubo -> SomeIp] View - Result for the payload validation checks: true!",
      "[Rubo][Rubo -> SomeIp] View - {Type - Content - Visibility} : {popup - no_value - newRequest}",
      "[Rubo][Rubo -> Someip] View - Set response received.", "[Rubo][Rubo -> SomeIp] View Success"}},
    {"ViewRefused",
     "views",
     "popup",
     kNone,
     R"({})",
     {"[Rubo][Rubo -> SomeIp] View - Result for the payload validation checks: false!",
      "[Rubo][Rubo -> SomeIp] View Invalid params"}},
    {"PastError",
     "pastErrorInformation",
     "pastErrorInformation2",
     kNone,
     R"({"confirmedByUser": false})",
     {"[Rubo][Rubo -> SomeIp] PastErrorInformation - Result for the payload_exists_check checks: true!",
      "[Rubo][Rubo -> SomeIp] PastErrorInformation - {Type - ConfirmedByUser} : {pastErrorInformation2 - false}",
      "[Rubo][Rubo -> Someip] PastErrorInformation - Set response received.",
      "[Rubo][Rubo -> SomeIp] PastErrInfo Success"}},
    {"PastErrorRefused",
     "pastErrorInformation",
     "pastErrorInformation2",
     kNone,
     R"({})",
     {"[Rubo][Rubo -> SomeIp] PastErrorInformation - Result for the payload_exists_check checks: false!",
      "[Rubo][Rubo -> SomeIp] PastErrInfo confirmedByUser field is missing from the payload."}},
    {"Reset",
     "resets",
     "",
     kNone,
     R"({"isFactoryDefault": true})",
     {"[Rubo] Type - resetDataValue:  - 1", "[Rubo][Rubo -> Someip] ResetToFactoryData - Set response received.",
      "[Rubo][Rubo -> SomeIp] ResetToFactory Accepted"}},
    {"ResetRefused",
     "resets",
     "",
     kNone,
     R"({"isFactoryDefault": false})",
     {"[Rubo] Type - resetDataValue:  - 0", "[Rubo][Rubo -> SomeIp] ResetToFactory wrong value in the payload."}},
};

class PostLinesTest : public PostTestBase, public ::testing::WithParamInterface<Lines> {};

TEST_P(PostLinesTest, LogsItsLinesInOrder) {
  const auto& param = GetParam();
  Start();
  const std::string path = PathFor(param.collection, param.type);
  param.arrange(*Object(path));
  log_->Clear();
  Post(path, param.body);
  EXPECT_EQ(ServerLines(*log_), param.lines);
}

INSTANTIATE_TEST_SUITE_P(Post, PostLinesTest, ::testing::ValuesIn(kLines),
                         [](const auto& info) { return std::string(info.param.name); });

// Outcomes the listener never produces are failures too.
TEST_F(PostTestBase, UnexpectedOutcomesAreInternalErrors) {
  Start();
  const std::string path = PathOf("/ChargingManagementCore/valueControls", kTarget);
  for (const auto& [result, line] : std::vector<std::pair<SOMEIP_RESPONSE_TYPE, std::string>>{
           {SOMEIP_RESPONSE_TYPE::RESPONSE_DATA_MISMATCH,
            "[Rubo][Rubo -> Someip] ValueControl - Response data does not match. Not implemented."},
           {static_cast<SOMEIP_RESPONSE_TYPE>(3),
            "[Rubo][Rubo -> Someip] Set Status Case unknown. Returning false."}}) {
    fake_->Script({result});
    log_->Clear();
    const auto reply = Post(path, R"({"currentValue": 5})");
    EXPECT_EQ(reply.status, 500u);
    EXPECT_THAT(ServerLines(*log_), ::testing::Contains(line));
  }
  EXPECT_FALSE(GetJson(path).contains("currentValue"));
}

// ---- Lock-state switch controls made by updates ----

struct LockState {
  const char* name;
  bool forPlug;  // made for a charging plug: an unlisted value is an internal error
  const char* body;
  unsigned status;
  const char* text;
};

const LockState kLockStates[] = {
    {"UpdateLocking", false, R"({"switchValue": "locking"})", 200, nullptr},
    {"UpdateUnlisted", false, R"({"switchValue": "opening"})", 400, kOutOfRange},
    {"UpdateMissing", false, R"({})", 400, kOutOfRange},
    {"PlugUnlocking", true, R"({"switchValue": "unlocking"})", 200, nullptr},
    {"PlugUnlisted", true, R"({"switchValue": "opening"})", 500, kInternal},
    {"PlugNotText", true, R"({"switchValue": true})", 500, kInternal},
};

class LockStateTest : public PostTestBase, public ::testing::WithParamInterface<LockState> {};

TEST_P(LockStateTest, LockValueIsCheckedFirst) {
  const auto& param = GetParam();
  Start();
  using SwitchControlObject = rubo::server::charging_management_core::SwitchControlObject;
  auto control =
      SwitchControlObject::Make("SwitchControlObject", ara::rest::Uuid::MakeV4(), ara::rest::Uri::Builder().ToUri());
  control->SetType("frontLeft1FlapLockState");
  ORIKRuboServerTestPeer::InitSetup(*app_, control);
  if (param.forPlug) {
    ORIKRuboServerTestPeer::LayerChargingPlugLockState(*app_, control);
  } else {
    ORIKRuboServerTestPeer::LayerPlugflaplockstate(*app_, control);
  }
  root_->Add(control);
  fake_->ClearCalls();

  const auto reply = Post(control->GetUri().ToString(false), param.body);

  EXPECT_EQ(reply.status, param.status) << reply.body;
  if (param.text == nullptr) {
    const auto value = Json::parse(param.body)["switchValue"].get<std::string>();
    EXPECT_THAT(fake_->Calls(), ElementsAre("SwitchControls(frontLeft1FlapLockState," + value + ")"));
  } else {
    EXPECT_EQ(reply.body, param.text);
    EXPECT_TRUE(fake_->Calls().empty());
  }
}

INSTANTIATE_TEST_SUITE_P(Post, LockStateTest, ::testing::ValuesIn(kLockStates),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- Mediator wiring and element lifetime ----

TEST_F(PostTestBase, UnwiredMediatorIsAFailedWrite) {
  Start();
  app_->SetCommunicationsManager(nullptr);
  const std::string path = PathOf("/ChargingManagementCore/valueControls", kTarget);
  const auto reply = Post(path, R"({"currentValue": 5})");
  EXPECT_EQ(reply.status, 500u);
  EXPECT_EQ(reply.body, kInternal);
  EXPECT_FALSE(GetJson(path).contains("currentValue"));
  EXPECT_THAT(ServerLines(*log_),
              ::testing::Contains("[Rubo][Rubo -> Someip] ValueControl - Error while setting values on the someip."));
}

TEST_F(PostTestBase, ElementIsNotKeptAliveByItsHook) {
  Start();
  const auto valueControls = root_->GetChargingManagementCoreValueControls();
  // The immediate-action time control: held by its collection and by the immediate action.
  auto element = valueControls->GetValueControlObjects().back();
  const auto hook = element->GetPreUpdateCallback();
  std::weak_ptr<rubo::BaseXObject> watch = element;
  valueControls->Remove(element->GetUuid());
  const auto actions = root_->GetChargingManagementCoreImmediateActions();
  for (const auto& action : actions->GetElements()) {
    actions->Remove(action->GetUuid());
  }
  element.reset();
  EXPECT_TRUE(watch.expired()) << "the hook must not own its element";

  rubo::ServerReply reply;
  const auto body = ara::rest::serialize::JSONSerializer{}.Deserialize(R"({"currentValue": 5})");
  EXPECT_FALSE(hook(nullptr, *body, reply));
  EXPECT_EQ(reply.GetStatus(), 500u);
  EXPECT_TRUE(fake_->Calls().size() == 1u) << "only the listener start, no write";
}

}  // namespace
}  // namespace orik::ruboServer::test
