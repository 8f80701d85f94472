#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "ara/com/provider.h"
#include "ara/com/runtime.h"
#include "ara/log/capture_sink.h"
#include "ara/log/logging.h"
#include "service_types/chargingmanagementcore/proxy/chargingmanagementcore_proxy.h"
#include "service_types/routebasedenergycontents/proxy/routebasedenergycontents_proxy.h"

namespace {

namespace cmc = zrt::services::chargingmanagementcore;
namespace rbec = zrt::services::routebasedenergycontents;
using ara::com::EventCacheUpdatePolicy;
using ara::log::LogLevel;

constexpr std::chrono::seconds kTimeout{20};
const std::vector<std::uint8_t> kEmptyValue{0, 0, 0, 0};  // a field value without elements

class Flag {
 public:
  // Notifies under the lock: a waiter that returns may end the object's life at once.
  void Set() {
    std::lock_guard lock(mutex_);
    set_ = true;
    changed_.notify_all();
  }
  bool Wait() {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, kTimeout, [&] { return set_; });
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  bool set_ = false;
};

// What one field member of a proxy is tested through, whatever its element structure.
template <typename Proxy>
struct Row {
  std::string field;
  int eventIndex;
  int getIndex;
  std::optional<int> setIndex;
  std::function<void(Proxy&, std::function<void()>)> subscribe;
  std::function<void(Proxy&)> unsubscribe;
  std::function<std::future_status(Proxy&)> get;
  std::function<std::future_status(Proxy&)> set;
};

template <typename Proxy, auto Member>
Row<Proxy> MakeRow(std::string field, int eventIndex, int getIndex, std::optional<int> setIndex = std::nullopt) {
  Row<Proxy> row{std::move(field), eventIndex, getIndex, setIndex, {}, {}, {}, {}};
  row.subscribe = [](Proxy& p, std::function<void()> handler) {
    (p.*Member).SetReceiveHandler(std::move(handler));
    (p.*Member).Subscribe(EventCacheUpdatePolicy::kNewestN, 1);
  };
  row.unsubscribe = [](Proxy& p) { (p.*Member).Unsubscribe(); };
  row.get = [](Proxy& p) { return (p.*Member).Get().wait_for(kTimeout); };
  if constexpr (requires(Proxy & p) { (p.*Member).Set({}); }) {
    row.set = [](Proxy& p) { return (p.*Member).Set({}).wait_for(kTimeout); };
  }
  return row;
}

template <typename Proxy, typename Service>
class ProxyFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    ara::log::SetConsoleEnabled(false);
    runtime = std::make_unique<ara::com::RuntimeComponent>(ara::com::RuntimeOptions{});
    provider = std::make_unique<ara::com::ServiceProvider>(Service::DefaultDeployment(), 3);
    for (auto methodId : provider->Deployment().methodIds) {
      provider->SetMethodHandler(methodId, [](const auto&, auto responder) { responder.Reply(0, kEmptyValue); });
    }
    provider->Offer();
    std::promise<typename Proxy::HandleType> found;
    bool done = false;
    auto search = Proxy::StartFindService(
        [&](std::vector<typename Proxy::HandleType> handles) {
          if (!handles.empty() && !done) {
            done = true;
            found.set_value(handles.front());
          }
        },
        ara::com::InstanceIdentifier("*"));
    auto future = found.get_future();
    ASSERT_EQ(future.wait_for(kTimeout), std::future_status::ready);
    search.Stop();
    auto handle = future.get();
    proxy = std::make_unique<Proxy>(handle);
  }
  void TearDown() override {
    proxy.reset();
    provider.reset();
    runtime.reset();
    ara::log::SetConsoleEnabled(true);
  }

  // The ids the provider sees for the indices, under the built-in deployment.
  static std::uint16_t EventId(int index) { return static_cast<std::uint16_t>(0x8001 + index); }
  static std::uint16_t EventgroupId(int index) { return static_cast<std::uint16_t>(1 + index); }
  static std::uint16_t MethodId(int index) { return static_cast<std::uint16_t>(1 + index); }

  std::uint16_t LastMethodId() const { return provider->Requests().back().methodId; }

  void CheckRow(const Row<Proxy>& row) {
    SCOPED_TRACE(row.field);
    Flag received;
    row.subscribe(*proxy, [&] { received.Set(); });
    ASSERT_TRUE(provider->WaitFor(
        [&](const auto& r) {
          return r.subscribers.size() == 1 && r.subscribers.contains(EventgroupId(row.eventIndex));
        },
        kTimeout));
    provider->Notify(EventId(row.eventIndex), kEmptyValue);
    EXPECT_TRUE(received.Wait());
    row.unsubscribe(*proxy);
    ASSERT_TRUE(provider->WaitFor([](const auto& r) { return r.subscribers.empty(); }, kTimeout));

    ASSERT_EQ(row.get(*proxy), std::future_status::ready);
    EXPECT_EQ(LastMethodId(), MethodId(row.getIndex));
    ASSERT_EQ(row.setIndex.has_value(), static_cast<bool>(row.set));
    if (row.set) {
      ASSERT_EQ(row.set(*proxy), std::future_status::ready);
      EXPECT_EQ(LastMethodId(), MethodId(*row.setIndex));
    }
  }

  ara::log::ScopedCapture capture;
  std::unique_ptr<ara::com::RuntimeComponent> runtime;
  std::unique_ptr<ara::com::ServiceProvider> provider;
  std::unique_ptr<Proxy> proxy;
};

using CmcProxy = cmc::proxy::ChargingManagementCoreProxy;
using RbecProxy = rbec::proxy::RouteBasedEnergyContentsProxy;
using ChargingManagementCoreProxyTest = ProxyFixture<CmcProxy, cmc::ChargingManagementCore>;
using RouteBasedEnergyContentsProxyTest = ProxyFixture<RbecProxy, rbec::RouteBasedEnergyContents>;

TEST_F(ChargingManagementCoreProxyTest, EveryFieldUsesItsEventAndMethodIds) {
  using P = CmcProxy;
  const std::vector<Row<P>> rows = {
      MakeRow<P, &P::batteryCareModes>("batteryCareModes", 0, 0),
      MakeRow<P, &P::batteryPreconditioningEnergies>("batteryPreconditioningEnergies", 1, 1),
      MakeRow<P, &P::batteryPreconditionings>("batteryPreconditionings", 2, 2),
      MakeRow<P, &P::bidirectionalChargingModes>("bidirectionalChargingModes", 3, 3),
      MakeRow<P, &P::chargeModes>("chargeModes", 4, 4),
      MakeRow<P, &P::chargingPlugs>("chargingPlugs", 5, 5),
      MakeRow<P, &P::chargingProcessInformation>("chargingProcessInformation", 6, 6),
      MakeRow<P, &P::immediateActions>("immediateActions", 7, 7),
      MakeRow<P, &P::immediateChargingOptions>("immediateChargingOptions", 8, 8),
      MakeRow<P, &P::notificationMarkers>("notificationMarkers", 9, 9),
      MakeRow<P, &P::notifications>("notifications", 10, 10),
      MakeRow<P, &P::oruUpdateApprovals>("oruUpdateApprovals", 11, 11),
      MakeRow<P, &P::pastErrorInformation>("pastErrorInformation", 12, 12, 13),
      MakeRow<P, &P::resetToFactoryData>("resetToFactoryData", 13, 14, 15),
      MakeRow<P, &P::statistics>("statistics", 14, 16, 17),
      MakeRow<P, &P::switchControls>("switchControls", 15, 18, 19),
      MakeRow<P, &P::valueControls>("valueControls", 16, 20, 21),
      MakeRow<P, &P::valueIndications>("valueIndications", 17, 22),
      MakeRow<P, &P::views>("views", 18, 23, 24),
  };
  ASSERT_EQ(rows.size(), cmc::ChargingManagementCore::kDescription.events);
  for (const auto& row : rows) {
    CheckRow(row);
  }
  EXPECT_EQ(provider->Requests().size(), 25u);
}

TEST_F(RouteBasedEnergyContentsProxyTest, EveryFieldUsesItsEventAndMethodIds) {
  using P = RbecProxy;
  const std::vector<Row<P>> rows = {
      MakeRow<P, &P::destinations>("destinations", 0, 0),
      MakeRow<P, &P::rangeOnRouteValues>("rangeOnRouteValues", 1, 1),
      MakeRow<P, &P::routeBasedResidualEnergyValues>("routeBasedResidualEnergyValues", 2, 2),
      MakeRow<P, &P::rwmStatus>("rwmStatus", 3, 3),
      MakeRow<P, &P::targetSocChargings>("targetSocChargings", 4, 4),
  };
  for (const auto& row : rows) {
    CheckRow(row);
  }
  EXPECT_EQ(provider->Requests().size(), 5u);
}

TEST_F(ChargingManagementCoreProxyTest, DescriptionAndDeploymentCountEventsAndMethods) {
  EXPECT_EQ(cmc::ChargingManagementCore::kDescription.events, 19);
  EXPECT_EQ(cmc::ChargingManagementCore::kDescription.methods, 25);
  EXPECT_EQ(rbec::RouteBasedEnergyContents::kDescription.events, 5);
  EXPECT_EQ(rbec::RouteBasedEnergyContents::kDescription.methods, 5);
  EXPECT_EQ(cmc::ChargingManagementCore::DefaultDeployment().serviceId, 0x4101);
  EXPECT_EQ(rbec::RouteBasedEnergyContents::DefaultDeployment().serviceId, 0x4102);
}

TEST_F(ChargingManagementCoreProxyTest, ReturnCodesOfAReplyDecideTheOutcome) {
  struct Case {
    std::uint8_t returnCode;
    std::vector<std::uint8_t> payload;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {0, kEmptyValue, "0 elements"},           {255, kEmptyValue, "Service not available exception"},
      {1, kEmptyValue, "Transport exception"},  {0x80, {}, "Transport exception"},
      {0, {0, 0, 0, 9}, "Transport exception"},  // array length past the end
  };
  const auto viewsSet = provider->Deployment().MethodId(24);
  for (const auto& c : cases) {
    SCOPED_TRACE(int{c.returnCode});
    provider->SetMethodHandler(viewsSet,
                               [&](const auto&, auto responder) { responder.Reply(c.returnCode, c.payload); });
    auto future = proxy->views.Set({});
    ASSERT_EQ(future.wait_for(kTimeout), std::future_status::ready);
    try {
      EXPECT_EQ(std::to_string(future.get().size()) + " elements", c.expected);
    } catch (const std::exception& e) {
      EXPECT_EQ(std::string(e.what()), c.expected);
    }
  }
  EXPECT_TRUE(
      capture->Contains("ACOM", LogLevel::kError,
                        "Method_call_deserializer_exception: Deserialization calculated invalid end position."));
}

TEST_F(ChargingManagementCoreProxyTest, AWrittenValueTravelsEncodedBothWays) {
  const auto viewsSet = provider->Deployment().MethodId(24);
  provider->SetMethodHandler(viewsSet,
                             [](const auto& request, auto responder) { responder.Reply(0, request.payload); });
  std::vector<cmc::datatypes::DT_views_struct> value(2);
  value[0].type = static_cast<cmc::datatypes::DT_ChargingManagementCore_views_type>(1);
  value[1].visibility = static_cast<cmc::datatypes::DT_ChargingManagementCore_views_visibility>(0);
  auto future = proxy->views.Set(value);
  ASSERT_EQ(future.wait_for(kTimeout), std::future_status::ready);
  const auto echoed = future.get();
  ASSERT_EQ(echoed.size(), 2u);
  EXPECT_EQ(echoed[0].type, value[0].type);
  EXPECT_FALSE(echoed[0].visibility.has_value());
  EXPECT_FALSE(echoed[1].type.has_value());
  EXPECT_EQ(echoed[1].visibility, value[1].visibility);
  EXPECT_EQ(provider->Requests().back().payload, zrt::services::tlv::encode_field_value(value));
}

TEST_F(ChargingManagementCoreProxyTest, AMalformedNotificationIsDroppedAndTraced) {
  Flag received;
  std::vector<std::size_t> sizes;
  proxy->views.SetReceiveHandler([&] {
    proxy->views.Update();
    for (const auto& sample : proxy->views.GetCachedSamples()) {
      sizes.push_back(sample->size());
    }
    proxy->views.Cleanup();
    received.Set();
  });
  proxy->views.Subscribe(EventCacheUpdatePolicy::kNewestN, 5);
  ASSERT_TRUE(provider->WaitFor([](const auto& r) { return !r.subscribers.empty(); }, kTimeout));
  provider->Notify(EventId(18), {0, 0, 0, 9});
  provider->Notify(EventId(18), kEmptyValue);
  ASSERT_TRUE(received.Wait());
  proxy.reset();  // waits for the handler: `sizes` is settled
  EXPECT_EQ(sizes, std::vector<std::size_t>{0});
  EXPECT_TRUE(capture->Contains("ACOM", LogLevel::kError,
                                "Event_deserialize_exception: Deserialization calculated invalid end position."));
}

TEST_F(RouteBasedEnergyContentsProxyTest, AReadOfAnInstanceNotOfferedThrowsAndSendsNothing) {
  Flag gone;
  auto search = RbecProxy::StartFindService(
      [&](auto handles) {
        if (handles.empty()) {
          gone.Set();
        }
      },
      ara::com::InstanceIdentifier("*"));
  provider->StopOffer();
  ASSERT_TRUE(gone.Wait());
  try {
    proxy->targetSocChargings.Get();
    ADD_FAILURE() << "no exception";
  } catch (const ara::com::ServiceNotAvailableException& e) {
    EXPECT_STREQ(e.what(), "Service not available exception");
  }
  EXPECT_TRUE(provider->Requests().empty());
}

}  // namespace
