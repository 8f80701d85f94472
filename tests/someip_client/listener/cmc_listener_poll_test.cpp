#include <gtest/gtest.h>

#include <stdexcept>

#include "ara/com/exceptions.h"
#include "listener_fixture.h"

namespace someip_client_test {
namespace {

const Lines kFetchIntro{"[SomeIp][SomeIpGET -> Rubo] Entered fetch here...",
                        "[SomeIp][SomeIpGET -> Rubo] Getting data from the someip server..."};

struct CmcPoll : ::testing::Test, CmcListenerFixture {
  CmcPoll() { wrapper->proxyNull = false; }
};

TEST_F(CmcPoll, WithoutProxyLogsOneLineAndReadsNothing) {
  wrapper->proxyNull = true;
  listener->FetchData();
  EXPECT_EQ(Logs(), Lines{"[SomeIp][SomeIpGET -> Rubo] Cant get... Service not found..."});
  EXPECT_TRUE(WrapperCalls().empty());
}

TEST_F(CmcPoll, EveryReadTimingOutCollectsAllFieldsInOrderWithTheReadWait) {
  listener->FetchData();
  Lines expectedCalls{"PrepareGets"};
  Lines expectedLogs = kFetchIntro;
  for (const auto& c : AllFieldCases()) {
    expectedCalls.push_back("Get " + Type(c.type) + " 2000");
    expectedLogs.push_back(c.getFailed);
  }
  EXPECT_EQ(WrapperCalls(), expectedCalls);
  EXPECT_EQ(Logs(), expectedLogs);
  EXPECT_TRUE(Relays().empty());
}

TEST_F(CmcPoll, AnsweredReadsAreRelayedLikeNotifications) {
  const auto cases = AllFieldCases();
  Lines expectedLogs = kFetchIntro;
  Lines expectedRelays;
  for (const auto& c : cases) {
    wrapper->reads[c.type] = c.read();
    expectedLogs.push_back("[SomeIp][SomeIpGET -> Rubo] There are 3" + c.getCountSuffix);
    if (!c.getNoType.empty()) {
      expectedLogs.push_back(c.getNoType);
    }
    expectedRelays.insert(expectedRelays.end(), c.relays.begin(), c.relays.end());
  }
  listener->FetchData();
  // The poll writes no per-element line for charging process information.
  EXPECT_EQ(Logs(), expectedLogs);
  EXPECT_EQ(Relays(), expectedRelays);
}

TEST_F(CmcPoll, StepsPassTheWaitTheyAreGiven) {
  const auto views = AllFieldCases()[8];
  wrapper->reads[views.type] = views.read();
  listener->ProcessGet_Views(std::chrono::milliseconds(17));
  EXPECT_EQ(WrapperCalls(), Lines{"Get 3 17"});
  EXPECT_EQ(Relays(), views.relays);
}

TEST_F(CmcPoll, MediatorExceptionAtTheThirdStepEndsThePoll) {
  for (const auto& c : AllFieldCases()) {
    wrapper->reads[c.type] = c.read();
  }
  mediator->before = [](const std::string& name) {
    if (name == "NotificationMarkers") {
      throw std::runtime_error("no such marker");
    }
  };
  listener->FetchData();
  EXPECT_EQ(WrapperCalls(), (Lines{"PrepareGets", "Get 0 2000", "Get 8 2000", "Get 4 2000"}));
  EXPECT_EQ(Logs().back(), "[SomeIp][SomeIpGET -> Rubo] Exception - no such marker");
  const auto relays = Relays();
  ASSERT_FALSE(relays.empty());
  EXPECT_EQ(relays.back(), "ChargingProcessInformation(9,-,-,-,-,-,-,-,-,-,-)");
}

TEST_F(CmcPoll, EachKindOfExceptionIsLoggedAndSwallowed) {
  struct Case {
    std::string name;
    std::function<void()> fail;
    std::string line;
  };
  const std::vector<Case> cases{
      {"service lost", [] { throw ara::com::ServiceNotAvailableException(); },
       "[SomeIp][SomeIpGET -> Rubo] Cant get, service lost - Service not available exception"},
      {"standard", [] { throw ara::com::TransportException(); },
       "[SomeIp][SomeIpGET -> Rubo] Exception - Transport exception"},
      {"future error", [] { throw std::future_error(std::future_errc::no_state); }, ""},
      {"other", [] { throw 5; }, "[SomeIp][SomeIpGET -> Rubo] Exception - Unknown"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ClearRecords();
    wrapper->onPrepareGets = c.fail;
    EXPECT_NO_THROW(listener->FetchData());
    EXPECT_EQ(WrapperCalls(), Lines{"PrepareGets"});
    const auto logs = Logs();
    ASSERT_EQ(logs.size(), 3u);
    if (c.line.empty()) {
      EXPECT_EQ(logs.back().rfind("[SomeIp][SomeIpGET -> Rubo] Exception - ", 0), 0u) << logs.back();
    } else {
      EXPECT_EQ(logs.back(), c.line);
    }
  }
}

TEST_F(CmcPoll, WrongAlternativeFromTheWrapperEndsThePoll) {
  wrapper->reads[SOMEIP_RESOURCE_TYPE::CHARGING_PLUGS] = CmcGetVariant{std::vector<cmc::DT_views_struct>{}};
  listener->FetchData();
  EXPECT_EQ(WrapperCalls(), (Lines{"PrepareGets", "Get 0 2000"}));
  EXPECT_EQ(Logs().back().rfind("[SomeIp][SomeIpGET -> Rubo] Exception - ", 0), 0u);
}

}  // namespace
}  // namespace someip_client_test
