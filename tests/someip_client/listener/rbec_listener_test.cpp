#include <gtest/gtest.h>

#include <boost/variant.hpp>
#include <stdexcept>

#include "ara/com/exceptions.h"
#include "ara/log/capture_sink.h"
#include "fakes.h"
#include "someip_client/rbec/route_based_energy_contents_listener.h"

namespace someip_client_test {
namespace {

using orik::routeBasedEnergyContents::RbecCachedSamplesVariant;
using orik::routeBasedEnergyContents::RbecGetVariant;
using orik::routeBasedEnergyContents::RbecSamplePtrs;
using orik::routeBasedEnergyContents::RouteBasedEnergyContentsListener;
using Lines = std::vector<std::string>;
using Target = rbec::DT_targetSocChargings_struct;

Target MakeTarget(std::optional<std::uint32_t> type, std::optional<std::uint8_t> soc) {
  Target t;
  if (type) {
    t.type = static_cast<rbec::DT_RouteBasedEnergyContents_targetSocChargings_type>(*type);
  }
  t.targetSoc = soc;
  return t;
}

struct RbecListener : ::testing::Test {
  RbecListener() { listener->SetCommunicationsManager(mediator); }
  Lines Logs() const { return capture->Texts("RBECL"); }
  void Clear() {
    capture->Clear();
    wrapper->calls.Clear();
    mediator->calls.Clear();
  }

  ara::log::ScopedCapture capture;
  std::shared_ptr<FakeRbecWrapper> wrapper = std::make_shared<FakeRbecWrapper>();
  std::shared_ptr<FakeRbecMediator> mediator = std::make_shared<FakeRbecMediator>();
  std::shared_ptr<RouteBasedEnergyContentsListener> listener =
      std::make_shared<RouteBasedEnergyContentsListener>(wrapper);
};

// A mixture of relayed and skipped elements: only type 0 with a state of charge goes through.
const std::vector<Target> kMixed{MakeTarget(0, 80), MakeTarget(std::nullopt, 70), MakeTarget(1, 60),
                                 MakeTarget(0, std::nullopt), MakeTarget(0, 255)};
const Lines kMixedRelays{"Rubo(80)", "SomeIp(80)", "Rubo(255)", "SomeIp(255)"};

TEST_F(RbecListener, DiscoverySubscribesOnceAndReportsNothingOnLoss) {
  listener->StartListener();
  EXPECT_EQ(Logs(), Lines{"Find Service started..."});
  Clear();
  wrapper->findHandler({});
  EXPECT_EQ(Logs(), (Lines{"OnServiceFound  step 1 reached...", "OnServiceFound No service available"}));
  Clear();
  wrapper->findHandler({RbecHandle(4), RbecHandle(5)});
  EXPECT_EQ(Logs(), (Lines{"OnServiceFound  step 1 reached...", "OnServiceFound  step 2 reached...",
                           "OnServiceFound  step 3 reached...",
                           "[RBEC_Listener] Subscribed to TargetSocChargings resource.."}));
  EXPECT_EQ(wrapper->calls.Entries(), (Lines{"CreateServiceProxy 4", "SetReceiveHandler 12", "Subscribe 12"}));
  Clear();
  wrapper->findHandler({});
  wrapper->findHandler({RbecHandle(5)});
  EXPECT_EQ(Logs(), (Lines{"OnServiceFound  step 1 reached...", "OnServiceFound No service available",
                           "OnServiceFound  step 1 reached...", "OnServiceFound  step 2 reached...",
                           "OnServiceFound  step 3 not reached..."}));
  EXPECT_TRUE(wrapper->calls.Entries().empty());
  EXPECT_TRUE(mediator->calls.Entries().empty());
}

TEST_F(RbecListener, NotificationRelaysEveryMatchingElementTwiceThenReleases) {
  wrapper->cached = RbecCachedSamplesVariant{
      RbecSamplePtrs<Target>{std::make_shared<const std::vector<Target>>(kMixed),
                             std::make_shared<const std::vector<Target>>(std::vector<Target>{MakeTarget(0, 42)})}};
  listener->OnReceived_TargetSocChargings();
  Lines expected = kMixedRelays;
  expected.insert(expected.end(), {"Rubo(42)", "SomeIp(42)"});
  EXPECT_EQ(mediator->calls.Entries(), expected);
  EXPECT_EQ(Logs(), (Lines{"[RBEC_Listener][SomeIp -> Rubo] Received notification regarding TargetSocChargings..",
                           "[RBEC_Listener][SomeIp -> Rubo] TargetSocChargings notification: There are 2elements in "
                           "the CachedSamples..."}));
  EXPECT_EQ(wrapper->calls.Entries(), (Lines{"Update 12", "GetCachedSamples 12", "Cleanup 12"}));
}

TEST_F(RbecListener, EmptyCacheReturnsWithoutCleanup) {
  listener->OnReceived_TargetSocChargings();
  EXPECT_EQ(Logs().back(),
            "[RBEC_Listener][SomeIp -> Rubo] TargetSocChargings notification: There are no elements in the "
            "CachedSamples. Returning...");
  EXPECT_EQ(wrapper->calls.Entries(), (Lines{"Update 12", "GetCachedSamples 12"}));
}

TEST_F(RbecListener, WrongAlternativeLeavesTheHandler) {
  wrapper->cached = RbecCachedSamplesVariant{RbecSamplePtrs<rbec::DT_rwmStatus_struct>{}};
  EXPECT_THROW(listener->OnReceived_TargetSocChargings(), boost::bad_get);
  EXPECT_TRUE(mediator->calls.Entries().empty());
}

TEST_F(RbecListener, PollRelaysTheReadWithTheReadWait) {
  wrapper->proxyNull = false;
  wrapper->read = RbecGetVariant{kMixed};
  listener->FetchData();
  EXPECT_EQ(mediator->calls.Entries(), kMixedRelays);
  EXPECT_EQ(wrapper->calls.Entries(), (Lines{"PrepareGets", "Get 12 2000"}));
  EXPECT_EQ(Logs(), (Lines{"[RBEC_Listener][SomeIpGET -> Rubo] Entered fetch here...",
                           "[RBEC_Listener][SomeIpGET -> Rubo] Getting data from the someip server..."}));
}

TEST_F(RbecListener, PollWithoutProxyAndPollFailures) {
  listener->FetchData();
  EXPECT_EQ(Logs(), Lines{"[RBEC_Listener][SomeIpGET -> Rubo] Cant get... Service not found..."});
  EXPECT_TRUE(wrapper->calls.Entries().empty());

  wrapper->proxyNull = false;
  struct Case {
    std::function<void()> fail;
    std::string line;
  };
  const std::vector<Case> cases{
      {[] { throw ara::com::ServiceNotAvailableException(); },
       "[RBEC_Listener][SomeIpGET -> Rubo] Cant get... Service lost - Service not available exception"},
      {[] { throw std::runtime_error("odd"); }, "[RBEC_Listener][SomeIpGET -> Rubo] Exception - odd"},
      {[] { throw 1; }, "[RBEC_Listener][SomeIpGET -> Rubo] Exception - Unknown"},
  };
  for (const auto& c : cases) {
    Clear();
    wrapper->onPrepareGets = c.fail;
    EXPECT_NO_THROW(listener->FetchData());
    EXPECT_EQ(Logs().back(), c.line);
  }
  Clear();
  wrapper->onPrepareGets = nullptr;
  wrapper->read = RbecGetVariant{};  // the other alternative
  listener->FetchData();
  EXPECT_EQ(Logs().back().rfind("[RBEC_Listener][SomeIpGET -> Rubo] Exception - ", 0), 0u);
}

TEST_F(RbecListener, LateCallbacksAndUnwiredMediatorAreDropped) {
  listener->StartListener();
  wrapper->findHandler({RbecHandle(1)});
  wrapper->cached = RbecCachedSamplesVariant{
      RbecSamplePtrs<Target>{std::make_shared<const std::vector<Target>>(std::vector<Target>{MakeTarget(0, 9)})}};
  listener->SetCommunicationsManager(nullptr);
  wrapper->receiveHandler();
  EXPECT_TRUE(mediator->calls.Entries().empty());

  auto handler = wrapper->receiveHandler;
  listener->SetCommunicationsManager(mediator);
  listener.reset();
  Clear();
  handler();
  wrapper->findHandler({RbecHandle(2)});
  EXPECT_TRUE(mediator->calls.Entries().empty());
  EXPECT_TRUE(wrapper->calls.Entries().empty());
}

}  // namespace
}  // namespace someip_client_test
