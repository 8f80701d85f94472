#include <gtest/gtest.h>

#include <boost/variant.hpp>
#include <stdexcept>

#include "listener_fixture.h"

namespace someip_client_test {
namespace {

constexpr std::string_view kCpiLinePrefix = "[SomeIp] chargingProcessInformation - ";

Lines WithoutCpiMemberLines(const Lines& lines) {
  Lines out;
  for (const auto& line : lines) {
    if (line.rfind(kCpiLinePrefix, 0) != 0) {
      out.push_back(line);
    }
  }
  return out;
}

CmcCachedSamplesVariant Emptied(CmcCachedSamplesVariant samples) {
  boost::apply_visitor([](auto& pointers) { pointers.clear(); }, samples);
  return samples;
}

class Notification : public ::testing::TestWithParam<FieldCase>, public CmcListenerFixture {};

TEST_P(Notification, RelaysTypedElementsOfEverySampleThenReleasesTheCache) {
  const FieldCase& c = GetParam();
  wrapper->proxyNull = false;
  wrapper->cached[c.type] = c.samples();

  ((*listener).*c.handler)();

  Lines expectedLogs{c.received, c.countPrefix + "2elements in the CachedSamples..."};
  if (!c.noType.empty()) {
    expectedLogs.push_back(c.noType);
  }
  EXPECT_EQ(WithoutCpiMemberLines(Logs()), expectedLogs);
  EXPECT_EQ(Relays(), c.relays);
  EXPECT_EQ(WrapperCalls(),
            (Lines{"Update " + Type(c.type), "GetCachedSamples " + Type(c.type), "Cleanup " + Type(c.type)}));
}

TEST_P(Notification, EmptyCacheReturnsWithoutCleanup) {
  const FieldCase& c = GetParam();
  wrapper->proxyNull = false;
  wrapper->cached[c.type] = Emptied(c.samples());

  ((*listener).*c.handler)();

  EXPECT_EQ(Logs(), (Lines{c.received, c.empty}));
  EXPECT_TRUE(Relays().empty());
  EXPECT_EQ(WrapperCalls(), (Lines{"Update " + Type(c.type), "GetCachedSamples " + Type(c.type)}));
}

TEST_P(Notification, WithoutProxyOnlyThreeFieldsStopAfterTheirFirstLine) {
  const FieldCase& c = GetParam();
  wrapper->proxyNull = true;
  wrapper->cached[c.type] = c.samples();

  ((*listener).*c.handler)();

  if (c.needsProxy) {
    EXPECT_EQ(Logs(), Lines{c.received});
    EXPECT_TRUE(WrapperCalls().empty());
    EXPECT_TRUE(Relays().empty());
  } else {
    EXPECT_EQ(Relays(), c.relays);
  }
}

TEST_P(Notification, ExceptionFromMediatorKeepsSamplesForTheNextNotification) {
  const FieldCase& c = GetParam();
  wrapper->proxyNull = false;
  wrapper->cached[c.type] = c.samples();
  int seen = 0;
  mediator->before = [&seen](const std::string&) {
    if (++seen == 2) {
      throw std::runtime_error("mediator failed");
    }
  };

  EXPECT_THROW(((*listener).*c.handler)(), std::runtime_error);
  EXPECT_EQ(Relays(), Lines{c.relays.front()});
  EXPECT_EQ(WrapperCalls(), (Lines{"Update " + Type(c.type), "GetCachedSamples " + Type(c.type)}));

  ClearRecords();
  ((*listener).*c.handler)();  // the kept samples come again, then are released
  EXPECT_EQ(Relays(), c.relays);
  EXPECT_EQ(WrapperCalls().back(), "Cleanup " + Type(c.type));
}

TEST_P(Notification, WrongAlternativeLeavesTheHandlerWithoutCleanup) {
  const FieldCase& c = GetParam();
  wrapper->proxyNull = false;
  // What the wrapper answers for a type it does not serve: the first alternative.
  wrapper->cached[c.type] = c.type == SOMEIP_RESOURCE_TYPE::CHARGING_PLUGS
                                ? CmcCachedSamplesVariant{CmcSamplePtrs<cmc::DT_views_struct>{}}
                                : CmcCachedSamplesVariant{};
  EXPECT_THROW(((*listener).*c.handler)(), boost::bad_get);
  EXPECT_TRUE(Relays().empty());
  EXPECT_EQ(WrapperCalls(), (Lines{"Update " + Type(c.type), "GetCachedSamples " + Type(c.type)}));
}

INSTANTIATE_TEST_SUITE_P(Fields, Notification, ::testing::ValuesIn(AllFieldCases()),
                         [](const auto& info) { return info.param.name; });

struct CmcListener : ::testing::Test, CmcListenerFixture {};

TEST_F(CmcListener, ViewsWithTwoSamplesOfThreeElementsOneUntyped) {
  wrapper->proxyNull = false;
  cmc::DT_views_struct typed;
  Put(typed.type, 1);
  const std::vector<cmc::DT_views_struct> first{typed, cmc::DT_views_struct{}, typed};
  const std::vector<cmc::DT_views_struct> second{typed, typed, typed};
  wrapper->cached[SOMEIP_RESOURCE_TYPE::VIEWS] = CmcCachedSamplesVariant{
      CmcSamplePtrs<cmc::DT_views_struct>{std::make_shared<const std::vector<cmc::DT_views_struct>>(first),
                                          std::make_shared<const std::vector<cmc::DT_views_struct>>(second)}};

  listener->OnReceived_Views();

  EXPECT_EQ(Relays().size(), 5u);
  EXPECT_TRUE(
      capture->Contains("ORIK", ara::log::LogLevel::kInfo,
                        "[SomeIp][SomeIp -> Rubo] Views notification: There are 2elements in the CachedSamples..."));
  EXPECT_EQ(capture->Count([](const auto& r) {
    return r.text == "[SomeIp][SomeIp -> Rubo] View object has no type... Ignoring notification...";
  }),
            1u);
}

TEST_F(CmcListener, ChargingProcessInformationNotificationLogsEachRelayedElement) {
  wrapper->proxyNull = false;
  using E = cmc::DT_chargingProcessInformation_struct;
  E sparse;
  Put(sparse.type, 3);
  Put(sparse.evseid, std::string("DE*XYZ*E1"));
  const FieldCase full = AllFieldCases()[1];
  ASSERT_EQ(full.name, "ChargingProcessInformation");
  auto samples = boost::get<CmcSamplePtrs<E>>(full.samples());
  samples.push_back(std::make_shared<const std::vector<E>>(std::vector<E>{sparse}));
  wrapper->cached[SOMEIP_RESOURCE_TYPE::CHARGING_PROCESS_INFORMATION] = CmcCachedSamplesVariant{samples};

  listener->OnReceived_chargingProcessInformation();

  Lines memberLines;
  for (const auto& line : Logs()) {
    if (line.rfind(kCpiLinePrefix, 0) == 0) {
      memberLines.push_back(line);
    }
  }
  // Wide values are printed whole (3000000000 is not wrapped to a negative number).
  EXPECT_EQ(memberLines, (Lines{"[SomeIp] chargingProcessInformation - type = 3, currentChargeState = 1, "
                                "chargeBulkThreshold = 3000000000, chargeMode = 2, profileChargeReason = 3, "
                                "chargeType = 4, chargingScenario = 5, activeTargetSoc = 6, chargeTimeDisplay = 7, "
                                "evseid = DE*ABC, chargeRateCuteness = 8",
                                "[SomeIp] chargingProcessInformation - type = 9",
                                "[SomeIp] chargingProcessInformation - type = 3, evseid = DE*XYZ*E1"}));
}

TEST_F(CmcListener, RelaysAfterTheMediatorWasUnwiredAreDropped) {
  wrapper->proxyNull = false;
  const FieldCase views = AllFieldCases()[8];
  ASSERT_EQ(views.name, "Views");
  wrapper->cached[views.type] = views.samples();
  listener->SetCommunicationsManager(nullptr);

  listener->OnReceived_Views();

  EXPECT_TRUE(Relays().empty());
  EXPECT_EQ(WrapperCalls().back(), "Cleanup 3");
}

// ---- discovery

const Lines kSubscribedLines{
    "[SomeIp] Subscribed to ChargingPlugs resource..",
    "[SomeIp] Subscribed to ValueControls resource..",
    "[SomeIp] Subscribed to SwitchControls resource..",
    "[SomeIp] Subscribed to Views resource..",
    "[SomeIp] Subscribed to NotificationMarkers resource..",
    "[SomeIp] Subscribed to OruUpdateApprovals resource..",
    "[SomeIp] Subscribed to Notifications resource..",
    "[SomeIp] Subscribed to FactoryResetData resource..",
    "[SomeIp] Subscribed to chargingProcessInformation resource..",
    "[SomeIp] Subscribed to valueIndications resource..",
    "[SomeIp] Subscribed to pastErrorInformation resource..",
    "[SomeIp] Subscribed to BatteryCareModes resource..",
    "[SomeIp] Subscribed to BatteryPreconditionings resource..",
    "[SomeIp] Subscribed to BatteryPreconditioningEnergies resource..",
    "[SomeIp] Subscribed to BidirectionalChargingModes resource..",
};
const std::vector<int> kSubscriptionOrder{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 15, 16, 14};

TEST_F(CmcListener, DiscoverySequenceCreatesOneProxyAndReportsLossAndReturn) {
  wrapper->startFindServiceResult = false;  // not examined
  listener->StartListener();
  EXPECT_EQ(Logs(), Lines{"Find Service started..."});
  ASSERT_TRUE(wrapper->findHandler);

  struct Step {
    std::vector<std::uint16_t> instances;
    Lines logs;
    Lines relays;
  };
  Lines firstFound{"OnServiceFound  step 1 reached...", "OnServiceFound  step 2 reached...",
                   "OnServiceFound  step 3 reached..."};
  firstFound.insert(firstFound.end(), kSubscribedLines.begin(), kSubscribedLines.end());
  const std::vector<Step> steps{
      {{}, {"OnServiceFound  step 1 reached...", "OnServiceFound No service available"}, {}},
      {{7, 8, 9}, firstFound, {}},
      {{}, {"OnServiceFound  step 1 reached...", "OnServiceFound No service available"}, {"Registry(false)"}},
      {{8},
       {"OnServiceFound  step 1 reached...", "OnServiceFound  step 2 reached...",
        "OnServiceFound  step 3 not reached..."},
       {"Registry(true)"}},
      {{}, {"OnServiceFound  step 1 reached...", "OnServiceFound No service available"}, {"Registry(false)"}},
      {{}, {"OnServiceFound  step 1 reached...", "OnServiceFound No service available"}, {"Registry(false)"}},
  };
  for (std::size_t i = 0; i < steps.size(); ++i) {
    SCOPED_TRACE("step " + std::to_string(i));
    ClearRecords();
    std::vector<orik::chargingManagementCoreListener::CmcServiceHandle> handles;
    for (auto id : steps[i].instances) {
      handles.push_back(CmcHandle(id));
    }
    wrapper->findHandler(handles);
    EXPECT_EQ(Logs(), steps[i].logs);
    EXPECT_EQ(Relays(), steps[i].relays);
    if (i == 1) {
      Lines expectedCalls{"CreateServiceProxy 7"};
      for (int type : kSubscriptionOrder) {
        expectedCalls.push_back("SetReceiveHandler " + std::to_string(type));
        expectedCalls.push_back("Subscribe " + std::to_string(type));
      }
      EXPECT_EQ(WrapperCalls(), expectedCalls);
    } else {
      EXPECT_TRUE(WrapperCalls().empty());
    }
  }
}

TEST_F(CmcListener, FailedSubscriptionOfOneFieldLeavesTheOthersSubscribed) {
  wrapper->onSubscribe = [](SOMEIP_RESOURCE_TYPE type) {
    if (type == SOMEIP_RESOURCE_TYPE::VIEWS) {
      throw std::runtime_error("subscribe refused");
    }
    if (type == SOMEIP_RESOURCE_TYPE::NOTIFICATIONS) {
      throw 7;
    }
  };
  listener->StartListener();
  wrapper->findHandler({CmcHandle(1)});

  for (std::size_t i = 0; i < kSubscribedLines.size(); ++i) {
    const bool failed = kSubscriptionOrder[i] == 3 || kSubscriptionOrder[i] == 6;
    EXPECT_EQ(capture->Contains("ORIK", ara::log::LogLevel::kInfo, kSubscribedLines[i]), !failed) << i;
  }
  EXPECT_TRUE(capture->Contains("ORIK", ara::log::LogLevel::kInfo,
                                "[SomeIp] Subscription failed for resource type 3: subscribe refused"));
  EXPECT_TRUE(capture->Contains("ORIK", ara::log::LogLevel::kInfo,
                                "[SomeIp] Subscription failed for resource type 6: Unknown"));
  EXPECT_EQ(wrapper->receiveHandlers.size(), 15u);
}

TEST_F(CmcListener, LateCallbacksAfterTheListenerIsGoneDoNothing) {
  listener->StartListener();
  wrapper->findHandler({CmcHandle(1)});
  wrapper->proxyNull = false;
  const auto views = AllFieldCases()[8];
  wrapper->cached[views.type] = views.samples();
  auto viewsHandler = wrapper->receiveHandlers.at(SOMEIP_RESOURCE_TYPE::VIEWS);
  viewsHandler();  // bound while alive: relays
  EXPECT_EQ(Relays(), views.relays);

  ClearRecords();
  listener.reset();
  viewsHandler();
  wrapper->findHandler({});
  wrapper->findHandler({CmcHandle(2)});
  EXPECT_TRUE(Relays().empty());
  EXPECT_TRUE(WrapperCalls().empty());
  EXPECT_TRUE(Logs().empty());
}

}  // namespace
}  // namespace someip_client_test
