// Switch controls and charging plugs made when missing, and views shown and hidden.

#include <string>
#include <thread>

#include "tests/rest_server/updates_test_support.h"

namespace orik::ruboServer::test {
namespace {

using ara::core::Optional;
using Texts = std::vector<std::string>;

const char* const kSwitchCreated = "[Rubo][Someip -> Rubo] SwitchControl object not found. It shall be created.";
const char* const kPlugCreated = "[Rubo][Someip -> Rubo] ChargingPlug object not found. It shall be created.";
const char* const kViewAdded = "[Rubo][SomeIp -> Rubo] Added View object";
const char* const kSwitchRefused = "[Rubo] Domain error exception caught while updating switchControl object: ";

std::string AddressOf(const rubo::BaseXObject& element) {
  return element.GetUri().ToString();
}

class CreatingTest : public UpdatesTest {
 protected:
  std::shared_ptr<cmc::SwitchControls> Switches() { return root_->GetChargingManagementCoreSwitchControls(); }
  std::shared_ptr<cmc::SwitchControlObject> Switch(const std::string& type) {
    return FirstOfType<cmc::SwitchControlObject>(Switches(), type);
  }
  std::size_t SwitchCount() { return Switches()->GetElements().size(); }
  std::shared_ptr<cmc::ChargingPlugObject> Plug(const std::string& type) {
    return FirstOfType<cmc::ChargingPlugObject>(root_->GetChargingManagementCoreChargingPlugs(), type);
  }
  std::vector<std::shared_ptr<cmc::ViewObject>> Shown() {
    const auto all = rubo::server::ElementsOf<cmc::ViewObject>(*root_->GetChargingManagementCoreViews());
    return {all.begin(), all.end()};
  }
};

// ---- switch controls

struct SwitchCase {
  std::string name;
  Optional<std::string> value;
  Optional<std::string> restriction;
  Optional<Texts> configuration;
  Json expected;
  std::string line;
};

// Test names carry the case name; the listing shows it too instead of the bytes.
void PrintTo(const SwitchCase& param, std::ostream* out) {
  *out << param.name;
}

std::vector<SwitchCase> SwitchCases() {
  const Json before = {{"switchValue", "activated"},
                       {"restrictionReason", "calculating"},
                       {"switchValueConfiguration", {"activated", "deactivated"}}};
  return {
      {"AllWritten",
       "deactivated",
       "error",
       Texts{"off", "once"},
       {{"switchValue", "deactivated"}, {"restrictionReason", "error"}, {"switchValueConfiguration", {"off", "once"}}},
       ""},
      {"AbsentValuesRemove",
       "off",
       std::nullopt,
       std::nullopt,
       {{"switchValue", "off"}, {"restrictionReason", nullptr}, {"switchValueConfiguration", nullptr}},
       ""},
      {"UnlistedValueWritesNothing", "Off", "error", Texts{"off"}, before,
       kSwitchRefused + std::string("Unsupported type: Off")},
      {"UnlistedRestrictionKeepsTheValue",
       "off",
       "tooHot",
       Texts{"off"},
       {{"switchValue", "off"},
        {"restrictionReason", "calculating"},
        {"switchValueConfiguration", {"activated", "deactivated"}}},
       kSwitchRefused + std::string("Unsupported type: tooHot")},
      {"UnlistedConfigurationItemKeepsTheArray",
       "off",
       "error",
       Texts{"off", "chargingImmediateActionTime"},
       {{"switchValue", "off"},
        {"restrictionReason", "error"},
        {"switchValueConfiguration", {"activated", "deactivated"}}},
       kSwitchRefused + std::string("Unsupported type: chargingImmediateActionTime")},
  };
}

class SwitchUpdateTest : public CreatingTest, public ::testing::WithParamInterface<SwitchCase> {};

TEST_P(SwitchUpdateTest, ExistingSwitchControl) {
  Populate();
  const std::string type = "immediateChargingOptionsAutounlockAc";
  app_->Update_SwitchControls(type, "activated", "calculating", Texts{"activated", "deactivated"});
  const auto count = SwitchCount();
  log_->Clear();
  app_->Update_SwitchControls(type, GetParam().value, GetParam().restriction, GetParam().configuration);
  ExpectProps(*Switch(type), GetParam().expected);
  EXPECT_EQ(SwitchCount(), count);
  EXPECT_EQ(Lines(), GetParam().line.empty() ? std::vector<std::string>{} : std::vector<std::string>{GetParam().line});
}

INSTANTIATE_TEST_SUITE_P(Updates, SwitchUpdateTest, ::testing::ValuesIn(SwitchCases()),
                         [](const auto& info) { return info.param.name; });

TEST_F(CreatingTest, MissingSwitchControlIsMadeWithOnlyThePresentValues) {
  Populate();
  const auto count = SwitchCount();
  app_->Update_SwitchControls("frontFlapLockState", "locked", std::nullopt, Texts{"locked", "unlocked"});
  ASSERT_EQ(SwitchCount(), count + 1);
  const auto made = Switch("frontFlapLockState");
  ASSERT_TRUE(made);
  ExpectProps(*made, {{"switchValue", "locked"},
                      {"restrictionReason", nullptr},
                      {"switchValueConfiguration", {"locked", "unlocked"}}});
  EXPECT_EQ(AddressOf(*made), "/ChargingManagementCore/switchControls/" + made->GetUuid().ToString());
  EXPECT_EQ(made->GetName(), "SwitchControlObject");
  EXPECT_EQ(Lines(), std::vector<std::string>{kSwitchCreated});
  // The next update finds it.
  app_->Update_SwitchControls("frontFlapLockState", "unlocked", std::nullopt, std::nullopt);
  EXPECT_EQ(SwitchCount(), count + 1);
  ExpectProps(*made, {{"switchValue", "unlocked"}, {"switchValueConfiguration", nullptr}});
}

TEST_F(CreatingTest, SwitchControlOfAnUnknownTypeIsNotMade) {
  Populate();
  const auto count = SwitchCount();
  EXPECT_THROW(app_->Update_SwitchControls("frontFlap", "locked", std::nullopt, std::nullopt), std::domain_error);
  EXPECT_EQ(SwitchCount(), count);
  // The server mutex was released on the way out.
  app_->Update_SwitchControls("frontFlapState", "open", std::nullopt, std::nullopt);
  EXPECT_EQ(SwitchCount(), count + 1);
}

TEST_F(CreatingTest, OnlyTheFirstOfTwoSwitchControlsOfOneTypeIsUpdated) {
  Populate();
  auto twin = cmc::SwitchControlObject::Make("twin", ara::rest::Uuid::MakeV4(), ara::rest::Uri::Builder().ToUri());
  twin->SetType("immediateActionStartStopCharging");
  root_->Add(twin);
  app_->Update_SwitchControls("immediateActionStartStopCharging", "stopCharging", std::nullopt, std::nullopt);
  ExpectProps(*Switch("immediateActionStartStopCharging"), {{"switchValue", "stopCharging"}});
  ExpectProps(*twin, {{"switchValue", nullptr}});
}

// ---- charging plugs

TEST_F(CreatingTest, NewPlugBringsItsTwoLockStateControls) {
  Populate();
  const auto count = SwitchCount();
  app_->Update_ChargingPlugs("frontLeft1", "connected", "ready", "Typ2Ac");
  const auto plug = Plug("frontLeft1");
  ASSERT_TRUE(plug);
  ExpectProps(*plug, {{"type", "frontLeft1"},
                      {"plugConnectionState", "connected"},
                      {"infrastructureState", "ready"},
                      {"plugType", "Typ2Ac"}});
  EXPECT_EQ(AddressOf(*plug), "/ChargingManagementCore/chargingPlugs/" + plug->GetUuid().ToString());
  EXPECT_EQ(SwitchCount(), count + 2);
  const auto flapLock = Switch("frontLeft1FlapLockState");
  const auto plugLock = Switch("frontLeft1PlugLockState");
  ASSERT_TRUE(flapLock && plugLock);
  EXPECT_EQ(plug->GetFlapLockState(), flapLock);
  EXPECT_EQ(plug->GetPlugLockState(), plugLock);
  const Json props = Props(*plug);
  EXPECT_EQ(props["flapLockState"]["type"], "frontLeft1FlapLockState");
  EXPECT_EQ(props["plugLockState"]["type"], "frontLeft1PlugLockState");
  // A lock-state control gets no other property.
  ExpectProps(*flapLock, {{"switchValue", nullptr}, {"restrictionReason", nullptr}});
  EXPECT_EQ(Lines(), std::vector<std::string>{kPlugCreated});
}

TEST_F(CreatingTest, NewPlugReusesALockStateControlThatExists) {
  Populate();
  app_->Update_SwitchControls("rearRight2PlugLockState", "locked", std::nullopt, std::nullopt);
  const auto existing = Switch("rearRight2PlugLockState");
  const auto count = SwitchCount();
  app_->Update_ChargingPlugs("rearRight2", std::nullopt, std::nullopt, std::nullopt);
  EXPECT_EQ(SwitchCount(), count + 1);
  EXPECT_EQ(OfType<cmc::SwitchControlObject>(Switches(), "rearRight2PlugLockState").size(), 1u);
  EXPECT_EQ(Plug("rearRight2")->GetPlugLockState(), existing);
  EXPECT_EQ(Props(*Plug("rearRight2"))["plugLockState"]["switchValue"], "locked");
}

TEST_F(CreatingTest, LaterPlugUpdatesTouchOnlyItsStates) {
  Populate();
  app_->Update_ChargingPlugs("front", "connected", "active", "GbtDc");
  const auto plug = Plug("front");
  const auto flapLock = Switch("frontFlapLockState");
  root_->Remove(flapLock);
  const auto count = SwitchCount();
  log_->Clear();
  app_->Update_ChargingPlugs("front", "disconnected", std::nullopt, std::nullopt);
  EXPECT_EQ(Plug("front"), plug);
  ExpectProps(*plug,
              {{"plugConnectionState", "disconnected"}, {"infrastructureState", nullptr}, {"plugType", nullptr}});
  EXPECT_EQ(SwitchCount(), count);
  EXPECT_TRUE(Lines().empty());
}

TEST_F(CreatingTest, PlugOfAnUnknownPositionIsNotMade) {
  Populate();
  const auto count = SwitchCount();
  EXPECT_THROW(app_->Update_ChargingPlugs("rear", "connected", std::nullopt, std::nullopt), std::domain_error);
  EXPECT_TRUE(root_->GetChargingManagementCoreChargingPlugs()->GetElements().empty());
  EXPECT_EQ(SwitchCount(), count);
}

TEST_F(CreatingTest, NewPlugWithAnUnlistedStateIsStillMade) {
  Populate();
  app_->Update_ChargingPlugs("frontRight2", "plugged", "ready", "Typ2Ac");
  const auto plug = Plug("frontRight2");
  ASSERT_TRUE(plug);
  ExpectProps(*plug, {{"plugConnectionState", nullptr}, {"infrastructureState", nullptr}});
  EXPECT_TRUE(plug->GetFlapLockState());
  EXPECT_EQ(Lines(), (std::vector<std::string>{
                         kPlugCreated,
                         "[Rubo] Domain error exception caught while updating chargingPlug object: Unsupported type: "
                         "plugged"}));
}

// ---- views

TEST_F(CreatingTest, ViewIsShownUpdatedHiddenAndShownAgainUnderANewAddress) {
  Populate();
  EXPECT_TRUE(Shown().empty());
  app_->Update_Views("popup", "chargingInformationScreen", "newRequest");
  ASSERT_EQ(Shown().size(), 1u);
  const auto view = Shown().front();
  const std::string firstPath = AddressOf(*view);
  EXPECT_EQ(firstPath, "/ChargingManagementCore/views/" + view->GetUuid().ToString());
  ExpectProps(*view, {{"type", "popup"}, {"content", "chargingInformationScreen"}, {"visibility", "newRequest"}});
  EXPECT_EQ(Lines(), std::vector<std::string>{kViewAdded});

  app_->Update_Views("popup", "chargingInformationScreen", std::nullopt);
  ASSERT_EQ(Shown().size(), 1u);
  EXPECT_EQ(AddressOf(*Shown().front()), firstPath);
  ExpectProps(*view, {{"visibility", nullptr}});

  app_->Update_Views("popup", "chargingInformationScreen", "noView");
  EXPECT_TRUE(Shown().empty());
  app_->Update_Views("popup", "chargingInformationScreen", "requestedViewVisible");
  ASSERT_EQ(Shown().size(), 1u);
  EXPECT_EQ(Shown().front(), view);
  EXPECT_NE(AddressOf(*view), firstPath);
  EXPECT_EQ(AddressOf(*view), "/ChargingManagementCore/views/" + view->GetUuid().ToString());
}

struct HideCase {
  std::string name;
  Optional<std::string> content;
  Optional<std::string> visibility;
};

// Test names carry the case name; the listing shows it too instead of the bytes.
void PrintTo(const HideCase& param, std::ostream* out) {
  *out << param.name;
}

class ViewHideTest : public CreatingTest, public ::testing::WithParamInterface<HideCase> {};

TEST_P(ViewHideTest, HidesAShownViewAndLeavesAHiddenOneHidden) {
  Populate();
  app_->Update_Views("itSystemScreen", GetParam().content, GetParam().visibility);
  EXPECT_TRUE(Shown().empty());
  app_->Update_Views("itSystemScreen", "itSystemPeInformationScreen", "newRequest");
  ASSERT_EQ(Shown().size(), 1u);
  app_->Update_Views("itSystemScreen", GetParam().content, GetParam().visibility);
  EXPECT_TRUE(Shown().empty());
  EXPECT_EQ(Lines(), std::vector<std::string>{kViewAdded});
}

INSTANTIATE_TEST_SUITE_P(Updates, ViewHideTest,
                         ::testing::Values(HideCase{"ContentNothing", "nothing", "newRequest"},
                                           HideCase{"VisibilityNoView", "itSystemPeInformationScreen", "noView"},
                                           HideCase{"NoContent", std::nullopt, "newRequest"}),
                         [](const auto& info) { return info.param.name; });

TEST_F(CreatingTest, BcamScreensSwapAndUpdateInPlace) {
  Populate();
  app_->Update_Views("bcamScreen", "bcamInformationScreen", "newRequest");
  ASSERT_EQ(Shown().size(), 1u);
  const auto information = Shown().front();
  ExpectProps(*information, {{"content", "bcamInformationScreen"}});

  app_->Update_Views("bcamScreen", "bcamInitialInformationScreen", "newRequest");
  ASSERT_EQ(Shown().size(), 1u);
  const auto initial = Shown().front();
  EXPECT_NE(initial, information);
  EXPECT_NE(initial->GetUuid().ToString(), information->GetUuid().ToString());
  ExpectProps(*initial, {{"content", "bcamInitialInformationScreen"}});

  const std::string path = AddressOf(*initial);
  app_->Update_Views("bcamScreen", "bcamInitialInformationScreen", "requestedViewVisible");
  ASSERT_EQ(Shown().size(), 1u);
  EXPECT_EQ(AddressOf(*Shown().front()), path);
  ExpectProps(*initial, {{"visibility", "requestedViewVisible"}});
  EXPECT_EQ(Lines(), (std::vector<std::string>{kViewAdded, kViewAdded}));
}

TEST_F(CreatingTest, BcamScreenWithAnotherContentShowsTheInitialScreenElement) {
  Populate();
  app_->Update_Views("bcamScreen", "chargingInformationScreen", std::nullopt);
  ASSERT_EQ(Shown().size(), 1u);
  ExpectProps(*Shown().front(), {{"type", "bcamScreen"}, {"content", "chargingInformationScreen"}});
  // Shown under another content, it is updated in place rather than swapped.
  app_->Update_Views("bcamScreen", "bcamInformationScreen", std::nullopt);
  ASSERT_EQ(Shown().size(), 1u);
  ExpectProps(*Shown().front(), {{"content", "bcamInformationScreen"}});
}

TEST_F(CreatingTest, RefusedVisibilityKeepsAViewHidden) {
  Populate();
  app_->Update_Views("popup", "chargingInformationScreen", "visible");
  EXPECT_TRUE(Shown().empty());
  EXPECT_EQ(Lines(), std::vector<std::string>{"[Rubo][SomeIp -> Rubo] Domain error exception caught while updating "
                                              "View object: Unsupported type: visible"});
}

TEST_F(CreatingTest, UnknownViewTypeIsIgnored) {
  Populate();
  app_->Update_Views("chargingScreen", "chargingInformationScreen", "newRequest");
  EXPECT_TRUE(Shown().empty());
  EXPECT_TRUE(Lines().empty());
}

// ---- what the created elements answer to a client

TEST_F(CreatingTest, SwitchControlMadeByAnUpdateAcceptsOnlyLockValues) {
  Start();
  fake_->ClearCalls();
  app_->Update_SwitchControls("rearLeft1FlapLockState", "locked", std::nullopt, std::nullopt);
  const std::string path = AddressOf(*Switch("rearLeft1FlapLockState"));

  const auto refused = Post(path, R"({"switchValue": "open"})");
  EXPECT_EQ(refused.status, 400u);
  EXPECT_NE(refused.body.find("Bad Request: value not in allowed range"), std::string::npos) << refused.body;
  EXPECT_TRUE(fake_->Calls().empty());

  const auto accepted = Post(path, R"({"switchValue": "unlocking"})");
  EXPECT_EQ(accepted.status / 100, 2u) << accepted.body;
  EXPECT_EQ(fake_->Calls(), std::vector<std::string>{"SwitchControls(rearLeft1FlapLockState,unlocking)"});
  EXPECT_EQ(GetJson(path)["switchValue"], "unlocking");
}

TEST_F(CreatingTest, PlugLockStateControlAnswersAnUnlistedValueWithTheInternalError) {
  Start();
  fake_->ClearCalls();
  app_->Update_ChargingPlugs("frontRight1", "connected", "ready", "Typ2Ac");
  const std::string path = AddressOf(*Switch("frontRight1PlugLockState"));
  EXPECT_EQ(Post(path, R"({"switchValue": "locked"})").status, 500u);
  EXPECT_TRUE(fake_->Calls().empty());
  EXPECT_EQ(Post(path, R"({"switchValue": "locking"})").status / 100, 2u);
  EXPECT_EQ(fake_->Calls(), std::vector<std::string>{"SwitchControls(frontRight1PlugLockState,locking)"});
}

TEST_F(CreatingTest, ViewShownAgainKeepsItsHook) {
  Start();
  fake_->ClearCalls();
  app_->Update_Views("popup", "chargingInformationScreen", "newRequest");
  app_->Update_Views("popup", "nothing", std::nullopt);
  app_->Update_Views("popup", "chargingInformationScreen", "newRequest");
  const std::string path = AddressOf(*Shown().front());
  EXPECT_EQ(Post(path, R"({"visibility": "requestedViewVisible"})").status / 100, 2u);
  EXPECT_EQ(fake_->Calls().size(), 1u);
  EXPECT_EQ(GetJson(path)["visibility"], "requestedViewVisible");
}

}  // namespace
}  // namespace orik::ruboServer::test
