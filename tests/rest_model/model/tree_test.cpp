#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "ara/rest/allocator.h"
#include "ara/rest/ogm.h"
#include "ara/rest/uuid.h"
#include "rest_model/rubo_server.h"
#include "tests/rest_model/model/element_cases.h"

namespace rubo::server {
namespace {

namespace ogm = ara::rest::ogm;
using namespace charging_management_core;
using factory_reset::ResetObject;

std::shared_ptr<RuboServer> MakeServer() {
  return ara::rest::MakeSharedPointer<RuboServer>("charging_management_core", "/nonexistent/config.json");
}

std::vector<std::string> NamesOf(const auto& children) {
  std::vector<std::string> names;
  for (const auto& child : children) {
    names.push_back(child->GetName());
  }
  return names;
}

TEST(RuboServerTree, HoldsTwoServicesAndTheirCollectionsInOrder) {
  const auto server = MakeServer();
  server->InitServices();
  EXPECT_EQ(NamesOf(server->GetChildren()), (std::vector<std::string>{"ChargingManagementCore", "FactoryReset"}));
  EXPECT_EQ(
      NamesOf(server->GetChargingManagementCore()->GetChildren()),
      (std::vector<std::string>{
          "switchControls", "notificationMarkers", "pastErrorInformation", "batteryPreconditioningEnergies",
          "bidirectionalChargingModes", "immediateChargingOptions", "valueIndications", "oruUpdateApprovals",
          "resetToFactoryData", "immediateActions", "chargingPlugs", "chargingProcessInformation", "valueControls",
          "batteryCareModes", "chargeModes", "notifications", "views", "batteryPreconditionings", "statistics"}));
  EXPECT_EQ(NamesOf(server->GetFactoryReset()->GetChildren()), std::vector<std::string>{"resets"});
}

TEST(RuboServerTree, ServicesAndCollectionsCarryTheirIdentityAndDescription) {
  const auto server = MakeServer();
  server->InitServices();
  const auto cmc = server->GetChargingManagementCore();
  const auto reset = server->GetFactoryReset();
  EXPECT_EQ(cmc->GetUuid(), ara::rest::Uuid());
  EXPECT_EQ(reset->GetUuid(), ara::rest::Uuid());
  EXPECT_EQ(cmc->GetUri().ToString(), "/ChargingManagementCore");
  EXPECT_EQ(reset->GetFieldValue<ogm::String>("description"),
            "Implemented by resettable services to receive factory reset triggers.");
  ASSERT_NE(cmc->GetSpec(), nullptr);
  EXPECT_EQ(ogm::Get<ogm::String>(*cmc->GetSpec(), "name").GetValue(), "ChargingManagementCore");

  const auto views = server->GetChargingManagementCoreViews();
  EXPECT_EQ(views->GetName(), "views");
  EXPECT_EQ(views->GetUri().ToString(), "/ChargingManagementCore/views");
  EXPECT_EQ(views->GetUuid(), ara::rest::Uuid::MakeV5("/ChargingManagementCore/views"));
  EXPECT_EQ(views->GetSize(), 0u);
  EXPECT_EQ(server->GetFactoryResetResets()->GetName(), "resets");
  EXPECT_EQ(server->GetChargingManagementCoreImmediateActions()->GetFieldValue<ogm::String>("description").back(), ' ');
  ASSERT_NE(views->GetSpec(), nullptr);
  EXPECT_TRUE(views->GetSpec()->HasField("views"));

  // Name-based: a second tree gives its collections the same identities.
  const auto other = MakeServer();
  other->InitServices();
  EXPECT_EQ(other->GetChargingManagementCoreSwitchControls()->GetUuid(),
            server->GetChargingManagementCoreSwitchControls()->GetUuid());
  rubo::ServerReply reply;
  EXPECT_TRUE(views->GetPreGetCallback()(views, reply));
  EXPECT_FALSE(reply.IsSent());
}

TEST(RuboServerTree, GettersAreStableAndEmptyBeforeInit) {
  const auto server = MakeServer();
  EXPECT_EQ(server->GetChargingManagementCore(), nullptr);
  EXPECT_EQ(server->GetChargingManagementCoreStatistics(), nullptr);
  EXPECT_EQ(server->GetFactoryResetResets(), nullptr);
  server->InitServices();
  EXPECT_NE(server->GetChargingManagementCoreStatistics(), nullptr);
  EXPECT_EQ(server->GetChargingManagementCoreStatistics(), server->GetChargingManagementCoreStatistics());
  EXPECT_EQ(server->GetFactoryReset(), server->GetFactoryReset());
}

TEST(RuboServerTree, AddRoutesEachElementToItsOwnCollectionOnly) {
  const auto server = MakeServer();
  server->InitServices();
  const auto view = ViewObject::Make("ViewObject", ara::rest::Uuid::MakeV4(), {});
  const auto reset = ResetObject::Make("ResetObject", ara::rest::Uuid::MakeV4(), {});
  const auto control = ValueControlObject::Make("ValueControlObject", ara::rest::Uuid::MakeV4(), {});
  server->Add(view);
  server->Add(reset);
  server->Add(control);

  std::size_t holding = 0;
  for (const auto& service : server->GetChildren()) {
    for (const auto& collection : service->GetChildren()) {
      holding += collection->GetSize();
    }
  }
  EXPECT_EQ(holding, 3u);
  EXPECT_EQ(server->GetChargingManagementCoreViews()->GetElements().front(), view);
  EXPECT_EQ(server->GetFactoryResetResets()->GetResetObjects().front(), reset);
  EXPECT_EQ(server->GetChargingManagementCoreValueControls()->GetValueControlObjects().front(), control);

  server->Remove(view);
  EXPECT_EQ(server->GetChargingManagementCoreViews()->GetSize(), 0u);
}

TEST(RuboServerTree, EveryElementClassGoesToItsOwnCollection) {
  const auto server = MakeServer();
  server->InitServices();
  const auto cases = testing::AllElementCases();
  for (const auto& c : cases) {
    c.addTo(*server, c.make(ara::rest::Uuid::MakeV4(), {}));
  }
  std::size_t collections = 0;
  for (const auto& service : server->GetChildren()) {
    for (const auto& collection : service->GetChildren()) {
      ++collections;
      SCOPED_TRACE(collection->GetName());
      ASSERT_EQ(collection->GetSize(), 1u);
      const auto element = collection->GetElements().front();
      const auto owner =
          std::find_if(cases.begin(), cases.end(), [&](const auto& c) { return c.className == element->GetName(); });
      ASSERT_NE(owner, cases.end());
      EXPECT_EQ(owner->collection, collection->GetName());
    }
  }
  EXPECT_EQ(collections, cases.size());
}

TEST(RuboServerTree, TypedListsSkipElementsOfAnotherClass) {
  const auto server = MakeServer();
  server->InitServices();
  const auto switches = server->GetChargingManagementCoreSwitchControls();
  const auto control = SwitchControlObject::Make("SwitchControlObject", ara::rest::Uuid::MakeV4(), {});
  switches->Add(control);
  switches->Add(ViewObject::Make("ViewObject", ara::rest::Uuid::MakeV4(), {}));
  const auto typed = switches->GetSwitchControlObjects();
  ASSERT_EQ(typed.size(), 1u);
  EXPECT_EQ(typed.front(), control);
}

TEST(RuboServerTree, AddAndRemoveWithoutTheirCollectionAreRefused) {
  const auto server = MakeServer();
  const auto view = ViewObject::Make("ViewObject", ara::rest::Uuid::MakeV4(), {});
  EXPECT_THROW(server->Add(view), std::logic_error);
  EXPECT_THROW(server->Remove(view), std::logic_error);
}

}  // namespace
}  // namespace rubo::server
