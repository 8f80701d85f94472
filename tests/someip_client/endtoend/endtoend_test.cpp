#include <gtest/gtest.h>

#include <future>

#include "service_fixture.h"
#include "someip_client/cmc/charging_management_core_listener.h"
#include "someip_client/cmc/charging_management_core_proxy_wrapper.h"
#include "someip_client/rbec/route_based_energy_contents_listener.h"
#include "someip_client/rbec/route_based_energy_contents_proxy_wrapper.h"

namespace someip_client_test {
namespace {

using orik::chargingManagementCoreListener::ChargingManagementCoreListener;
using orik::chargingManagementCoreListener::ChargingManagementCoreProxyWrapper;
using orik::enums::SOMEIP_RESPONSE_TYPE;
using orik::routeBasedEnergyContents::RouteBasedEnergyContentsListener;
using orik::routeBasedEnergyContents::RouteBasedEnergyContentsProxyWrapper;
using Lines = std::vector<std::string>;

const std::vector<std::string> kUsedFields{"chargingPlugs",
                                           "valueControls",
                                           "switchControls",
                                           "views",
                                           "notificationMarkers",
                                           "oruUpdateApprovals",
                                           "notifications",
                                           "resetToFactoryData",
                                           "chargingProcessInformation",
                                           "valueIndications",
                                           "pastErrorInformation",
                                           "batteryCareModes",
                                           "bidirectionalChargingModes",
                                           "batteryPreconditionings",
                                           "batteryPreconditioningEnergies"};

cmc::DT_views_struct SampleView() {
  cmc::DT_views_struct view;
  Put(view.type, 1);
  Put(view.content, 2);
  Put(view.visibility, 3);
  return view;
}

struct EndToEnd : ::testing::Test, ServiceFixture {
  // A listener with the given write wait; reads wait up to the test bound (answers end them early).
  std::shared_ptr<ChargingManagementCoreListener> StartListener(std::chrono::seconds writeWait) {
    auto listener = std::make_shared<ChargingManagementCoreListener>(
        wrapper, std::chrono::duration_cast<std::chrono::milliseconds>(kBound), writeWait);
    listener->SetCommunicationsManager(mediator);
    listener->StartListener();
    EXPECT_TRUE(capture->WaitFor(
        [](const auto& r) { return r.text == "[SomeIp] Subscribed to BidirectionalChargingModes resource.."; },
        kBound));
    return listener;
  }

  std::shared_ptr<ChargingManagementCoreProxyWrapper> wrapper = std::make_shared<ChargingManagementCoreProxyWrapper>();
  std::shared_ptr<FakeSomeipMediator> mediator = std::make_shared<FakeSomeipMediator>();
};

TEST_F(EndToEnd, SubscribesTheUsedFieldsAndRelaysANotification) {
  auto listener = StartListener(1s);
  ASSERT_TRUE(cmc.WaitFor(
      [&](const auto& r) {
        for (const auto& field : kUsedFields) {
          const auto group = CmcEventgroup(field);
          if (!r.subscribers.count(group) || r.subscribers.at(group) == 0) {
            return false;
          }
        }
        return true;
      },
      kBound));
  for (const std::string unused : {"chargeModes", "immediateActions", "immediateChargingOptions", "statistics"}) {
    const auto groups = cmc.SubscribedEventgroups();
    EXPECT_EQ(std::count(groups.begin(), groups.end(), CmcEventgroup(unused)), 0) << unused;
  }

  cmc.Notify(CmcEvent("views"), zrt::services::tlv::encode_field_value(
                                    std::vector<cmc::DT_views_struct>{SampleView(), cmc::DT_views_struct{}}));
  ASSERT_TRUE(mediator->calls.WaitForSize(1));
  EXPECT_EQ(mediator->calls.Entries(), Lines{"Views(1,2,3)"});
  EXPECT_TRUE(capture->WaitFor(
      [](const auto& r) {
        return r.text == "[SomeIp][SomeIp -> Rubo] View object has no type... Ignoring notification...";
      },
      kBound));
}

TEST_F(EndToEnd, APollIsAnsweredAndRelayed) {
  auto listener = StartListener(1s);
  AnswerEveryCmcGetEmpty();
  cmc.SetMethodHandler(
      CmcGetMethod("views"), [](const ara::com::transport::Message&, ara::com::ServiceProvider::Responder r) {
        r.Reply(0, zrt::services::tlv::encode_field_value(std::vector<cmc::DT_views_struct>{SampleView()}));
      });
  listener->FetchData();
  EXPECT_EQ(mediator->calls.Entries(), Lines{"Views(1,2,3)"});
  EXPECT_TRUE(capture->Contains("ORIK", ara::log::LogLevel::kInfo,
                                "[SomeIp][SomeIpGET -> Rubo] There are 1 elements in the views Get vector..."));
  EXPECT_TRUE(
      capture->Contains("ORIK", ara::log::LogLevel::kInfo,
                        "[SomeIp][SomeIpGET -> Rubo] Get failed for switchControls OR 0 elements retrieved..."));
}

TEST_F(EndToEnd, WriteOutcomes) {
  struct Case {
    std::string name;
    std::chrono::seconds wait;
    // What the service does with the write: answer with this code at once, or hold it.
    std::optional<std::uint8_t> answer;
    SOMEIP_RESPONSE_TYPE result;
    std::string lastLine;
  };
  const std::vector<Case> cases{
      {"answered in time", 30s, 0, SOMEIP_RESPONSE_TYPE::RESPONSE_RECEIVED,
       "[SomeIp][Rubo -> Someip] Views Set response received."},
      {"late", 0s, std::nullopt, SOMEIP_RESPONSE_TYPE::RESPONSE_TIMEOUT, "[SomeIp][Rubo -> Someip] Views Set timeout."},
      {"never", 0s, std::nullopt, SOMEIP_RESPONSE_TYPE::RESPONSE_TIMEOUT,
       "[SomeIp][Rubo -> Someip] Views Set timeout."},
      {"refused, not available", 30s, 0xFF, SOMEIP_RESPONSE_TYPE::RESPONSE_ERROR,
       "[SomeIp][Rubo -> Someip] Exception caught while setting a View in SomeIp: Service not available exception"},
      {"refused, other error", 30s, 0x01, SOMEIP_RESPONSE_TYPE::RESPONSE_ERROR,
       "[SomeIp][Rubo -> Someip] Exception caught while setting a View in SomeIp: Transport exception"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    HeldReplies held;
    const auto answer = c.answer;
    cmc.SetMethodHandler(CmcSetMethod("views"), [&held, answer](const ara::com::transport::Message&,
                                                                ara::com::ServiceProvider::Responder r) {
      if (answer) {
        // A value answer carries the field value as the service holds it.
        r.Reply(*answer, *answer == 0
                             ? zrt::services::tlv::encode_field_value(std::vector<cmc::DT_views_struct>{SampleView()})
                             : std::vector<std::uint8_t>{});
      }
      held.Hold(r);
    });
    auto listener = StartListener(c.wait);
    EXPECT_EQ(listener->Update_Views(cmc::DT_ChargingManagementCore_views_type{1},
                                     cmc::DT_ChargingManagementCore_views_content{2}, std::nullopt),
              c.result);
    EXPECT_EQ(capture->Texts("ORIK").back(), c.lastLine);
    ASSERT_TRUE(held.WaitForCount(1));
    if (c.name == "late") {
      held.At(0).Reply(0);  // the answer after the wait changes nothing
    }
    const auto sent = zrt::services::tlv::decode_field_value<cmc::DT_views_struct>(held.At(0).Request().payload);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(Text(sent[0].type), "1");
    EXPECT_FALSE(sent[0].visibility.has_value());
    listener.reset();
    wrapper = std::make_shared<ChargingManagementCoreProxyWrapper>();
    capture->Clear();
  }
}

TEST_F(EndToEnd, NavigationTargetIsRelayedByNotificationAndPoll) {
  auto routeWrapper = std::make_shared<RouteBasedEnergyContentsProxyWrapper>();
  auto route = std::make_shared<RouteBasedEnergyContentsListener>(
      routeWrapper, std::chrono::duration_cast<std::chrono::milliseconds>(kBound));
  auto routeMediator = std::make_shared<FakeRbecMediator>();
  route->SetCommunicationsManager(routeMediator);
  route->StartListener();
  ASSERT_TRUE(capture->WaitFor(
      [](const auto& r) { return r.text == "[RBEC_Listener] Subscribed to TargetSocChargings resource.."; }, kBound));
  const auto group = rbec.Deployment().Event(RbecFieldIds().at("targetSocChargings").event).eventgroupId;
  ASSERT_TRUE(
      rbec.WaitFor([&](const auto& r) { return r.subscribers.count(group) && r.subscribers.at(group) > 0; }, kBound));

  rbec::DT_targetSocChargings_struct target;
  Put(target.type, 0);
  Put(target.targetSoc, 80);
  rbec.Notify(RbecEvent("targetSocChargings"),
              zrt::services::tlv::encode_field_value(std::vector<rbec::DT_targetSocChargings_struct>{target}));
  ASSERT_TRUE(routeMediator->calls.WaitForSize(2));
  EXPECT_EQ(routeMediator->calls.Entries(), (Lines{"Rubo(80)", "SomeIp(80)"}));

  routeMediator->calls.Clear();
  Put(target.targetSoc, 55);
  rbec.SetMethodHandler(RbecGetMethod("targetSocChargings"), [target](const ara::com::transport::Message&,
                                                                      ara::com::ServiceProvider::Responder r) {
    r.Reply(0, zrt::services::tlv::encode_field_value(std::vector<rbec::DT_targetSocChargings_struct>{target}));
  });
  route->FetchData();
  EXPECT_EQ(routeMediator->calls.Entries(), (Lines{"Rubo(55)", "SomeIp(55)"}));
}

}  // namespace
}  // namespace someip_client_test
