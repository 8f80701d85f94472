#include <gtest/gtest.h>

#include <boost/variant/get.hpp>
#include <future>

#include "ara/com/exceptions.h"
#include "service_fixture.h"
#include "someip_client/cmc/charging_management_core_proxy_wrapper.h"
#include "someip_client/rbec/route_based_energy_contents_proxy_wrapper.h"

namespace someip_client_test {
namespace {

using ara::log::LogLevel;
using orik::chargingManagementCoreListener::ChargingManagementCoreProxyWrapper;
using orik::chargingManagementCoreListener::CmcGetVariant;
using orik::chargingManagementCoreListener::CmcSamplePtrs;
using orik::chargingManagementCoreListener::CmcServiceHandle;
using orik::chargingManagementCoreListener::CmcSetVariant;
using orik::routeBasedEnergyContents::RbecGetVariant;
using orik::routeBasedEnergyContents::RbecServiceHandle;
using orik::routeBasedEnergyContents::RouteBasedEnergyContentsProxyWrapper;
using R = SOMEIP_RESOURCE_TYPE;

TEST(CmcWrapperWithoutRuntime, FailedSearchStartIsLoggedAndReportedFalse) {
  ara::log::ScopedCapture capture;
  ChargingManagementCoreProxyWrapper wrapper;
  EXPECT_FALSE(wrapper.StartFindService([](std::vector<CmcServiceHandle>) {}));
  EXPECT_EQ(
      capture->Texts("PXWRP"),
      (std::vector<std::string>{
          "[cmcwrapper] ChargingManagementCoreProxyWrapper - StartFindService",
          "[cmcwrapper] ChargingManagementCoreProxyWrapper::StartFindService - StartFindService - FAILLED - "
          "catch error block",
          "[cmcwrapper] ChargingManagementCoreProxyWrapper::StartFindService - Error: ServiceHandlePtr is NULL"}));
  RouteBasedEnergyContentsProxyWrapper route;
  EXPECT_FALSE(route.StartFindService([](std::vector<RbecServiceHandle>) {}));
  EXPECT_EQ(capture->Texts("RBEWRP").back(),
            "[rbewrapper] RouteBasedEnergyContentsProxyWrapper::StartFindService - Error: ServiceHandlePtr is NULL");
}

TEST(CmcWrapperWithoutRuntime, OperationsNeedingAProxyThrowServiceNotAvailable) {
  ChargingManagementCoreProxyWrapper wrapper;
  EXPECT_TRUE(wrapper.IsProxyNull());
  EXPECT_THROW(wrapper.PrepareGets(), ara::com::ServiceNotAvailableException);
  EXPECT_THROW(wrapper.Subscribe(R::VIEWS), ara::com::ServiceNotAvailableException);
  EXPECT_THROW(wrapper.Update(R::VIEWS), ara::com::ServiceNotAvailableException);
  EXPECT_THROW(wrapper.SomeIp_Set(R::VIEWS, CmcSetVariant{cmc::DT_views_struct{}}, std::chrono::seconds(1)),
               ara::com::ServiceNotAvailableException);
  RouteBasedEnergyContentsProxyWrapper route;
  EXPECT_THROW(route.PrepareGets(), ara::com::ServiceNotAvailableException);
}

TEST(RbecWrapperWithoutRuntime, TypesOtherThanTheNavigationTargetAreLoggedAndIgnored) {
  ara::log::ScopedCapture capture;
  RouteBasedEnergyContentsProxyWrapper route;
  const RbecGetVariant got = route.SomeIp_Get(R::VIEWS, 0ms);
  EXPECT_EQ(got.which(), 0);  // rwmStatus, empty
  EXPECT_TRUE(boost::get<std::vector<rbec::DT_rwmStatus_struct>>(got).empty());
  route.Update(R::VIEWS);
  route.Subscribe(R::VIEWS);
  EXPECT_EQ(route.GetCachedSamples(R::VIEWS).which(), 0);  // targetSocChargings, empty
  route.SetReceiveHandler(R::VIEWS, [] {});
  route.Cleanup(R::VIEWS);  // no effect, no line
  EXPECT_EQ(capture->Texts("RBEWRP"), (std::vector<std::string>{
                                          "[rbecwrapper] Get not implemented for this someip data type.",
                                          "[rbewrapper] Update not implemented for this data type.",
                                          "[rbewrapper] Subscribe not implemented for this data type.",
                                          "[rbewrapper] GetCachedSamples not implemented for this data type.",
                                          "[rbewrapper] SetReceiveHandler not implemented for this data type.",
                                      }));
  try {
    route.SomeIp_Get(R::TARGET_SOC_CHARGINGS, 0ms);
    ADD_FAILURE() << "no read was issued";
  } catch (const std::future_error& e) {
    EXPECT_EQ(e.code(), std::future_errc::no_state);
  }
}

struct CmcWrapper : ::testing::Test, ServiceFixture {
  void Connect() {
    HandleCatcher<CmcServiceHandle> catcher;
    ASSERT_TRUE(wrapper->StartFindService(catcher.Handler()));
    wrapper->CreateServiceProxy(catcher.Wait());
    ASSERT_FALSE(wrapper->IsProxyNull());
  }
  std::vector<std::string> Logs() const { return capture->Texts("PXWRP"); }

  std::shared_ptr<ChargingManagementCoreProxyWrapper> wrapper = std::make_shared<ChargingManagementCoreProxyWrapper>();
};

TEST_F(CmcWrapper, SearchStartLogsSuccess) {
  Connect();
  EXPECT_EQ(Logs(), (std::vector<std::string>{"[cmcwrapper] ChargingManagementCoreProxyWrapper - StartFindService",
                                              "[cmcwrapper] ChargingManagementCoreProxyWrapper::StartFindService - "
                                              "StartFindService - STARTED SUCCESSFULLY"}));
}

// Sends cap+1 notifications (sample k holds k elements) and checks that the cache keeps the
// newest `cap` of them.
template <typename Element>
void ExpectCacheSize(CmcWrapper& t, R type, const std::string& field, std::size_t cap) {
  SCOPED_TRACE(field);
  struct Runs {
    std::mutex mutex;
    std::condition_variable changed;
    int count = 0;
  };
  auto runs = std::make_shared<Runs>();
  t.wrapper->SetReceiveHandler(type, [runs] {
    std::lock_guard lock(runs->mutex);
    ++runs->count;
    runs->changed.notify_all();
  });
  t.wrapper->Subscribe(type);
  const auto group = t.CmcEventgroup(field);
  ASSERT_TRUE(
      t.cmc.WaitFor([&](const auto& r) { return r.subscribers.count(group) && r.subscribers.at(group) > 0; }, kBound));
  for (std::size_t k = 1; k <= cap + 1; ++k) {
    t.cmc.Notify(t.CmcEvent(field), zrt::services::tlv::encode_field_value(std::vector<Element>(k)));
  }
  const auto deadline = std::chrono::steady_clock::now() + kBound;
  while (true) {
    int seen;
    {
      std::lock_guard lock(runs->mutex);
      seen = runs->count;
    }
    t.wrapper->Update(type);
    const auto cached = t.wrapper->GetCachedSamples(type);
    const auto samples = boost::get<CmcSamplePtrs<Element>>(cached);
    if (!samples.empty() && samples.back()->size() == cap + 1) {
      EXPECT_EQ(samples.size(), cap);
      EXPECT_EQ(samples.front()->size(), 2u);
      break;
    }
    std::unique_lock lock(runs->mutex);
    ASSERT_TRUE(runs->changed.wait_until(lock, deadline, [&] { return runs->count > seen; }))
        << "newest sample did not arrive";
  }
  t.wrapper->Cleanup(type);
  EXPECT_TRUE(boost::get<CmcSamplePtrs<Element>>(t.wrapper->GetCachedSamples(type)).empty());
  t.wrapper->SetReceiveHandler(type, {});
}

TEST_F(CmcWrapper, SubscriptionsKeepTheFieldsCacheSizes) {
  Connect();
  ExpectCacheSize<cmc::DT_chargingPlugs_struct>(*this, R::CHARGING_PLUGS, "chargingPlugs", 2);
  ExpectCacheSize<cmc::DT_valueControls_struct>(*this, R::VALUE_CONTROLS, "valueControls", 11);
  ExpectCacheSize<cmc::DT_switchControls_struct>(*this, R::SWITCH_CONTROLS, "switchControls", 9);
  ExpectCacheSize<cmc::DT_views_struct>(*this, R::VIEWS, "views", 1);
  ExpectCacheSize<cmc::DT_notificationMarkers_struct>(*this, R::NOTIFICATION_MARKERS, "notificationMarkers", 3);
  ExpectCacheSize<cmc::DT_oruUpdateApprovals_struct>(*this, R::ORU_UPDATE_APPROVALS, "oruUpdateApprovals", 1);
  ExpectCacheSize<cmc::DT_notifications_struct>(*this, R::NOTIFICATIONS, "notifications", 6);
  ExpectCacheSize<cmc::DT_resetToFactoryData_struct>(*this, R::RESET_TO_FACTORY_DATA, "resetToFactoryData", 1);
  ExpectCacheSize<cmc::DT_chargingProcessInformation_struct>(*this, R::CHARGING_PROCESS_INFORMATION,
                                                             "chargingProcessInformation", 9);
  ExpectCacheSize<cmc::DT_valueIndications_struct>(*this, R::VALUE_INDICATIONS, "valueIndications", 8);
  ExpectCacheSize<cmc::DT_pastErrorInformation_struct>(*this, R::PAST_ERROR_INFORMATION, "pastErrorInformation", 3);
  ExpectCacheSize<cmc::DT_batteryCareModes_struct>(*this, R::BATTERY_CARE_MODES, "batteryCareModes", 1);
  ExpectCacheSize<cmc::DT_bidirectionalChargingModes_struct>(*this, R::BIDIRECTIONAL_CHARGING_MODES,
                                                             "bidirectionalChargingModes", 1);
  ExpectCacheSize<cmc::DT_batteryPreconditionings_struct>(*this, R::BATTERY_PRECONDITIONINGS, "batteryPreconditionings",
                                                          1);
  ExpectCacheSize<cmc::DT_batteryPreconditioningEnergies_struct>(*this, R::BATTERY_PRECONDITIONING_ENERGIES,
                                                                 "batteryPreconditioningEnergies", 1);
}

TEST_F(CmcWrapper, ReadSlotsHoldOneResultEach) {
  Connect();
  HeldReplies views;
  AnswerEveryCmcGetEmpty();
  cmc.SetMethodHandler(CmcGetMethod("views"), views.Handler());
  cmc.SetMethodHandler(CmcGetMethod("chargingPlugs"), [](const ara::com::transport::Message&,
                                                         ara::com::ServiceProvider::Responder r) { r.Reply(0xFF); });

  EXPECT_THROW(wrapper->SomeIp_Get(R::VIEWS, 0ms), std::future_error);  // no read issued
  wrapper->PrepareGets();
  ASSERT_TRUE(views.WaitForCount(1));
  // Not answered yet: the field's alternative, empty; the read stays collectable.
  EXPECT_TRUE(boost::get<std::vector<cmc::DT_views_struct>>(wrapper->SomeIp_Get(R::VIEWS, 0ms)).empty());
  cmc::DT_views_struct view;
  Put(view.type, 2);
  views.At(0).Reply(0, zrt::services::tlv::encode_field_value(std::vector<cmc::DT_views_struct>{view, view}));
  EXPECT_EQ(boost::get<std::vector<cmc::DT_views_struct>>(wrapper->SomeIp_Get(R::VIEWS, kBound)).size(), 2u);
  try {
    wrapper->SomeIp_Get(R::VIEWS, 0ms);
    ADD_FAILURE() << "a collected read must not be collected twice";
  } catch (const std::future_error& e) {
    EXPECT_EQ(e.code(), std::future_errc::no_state);
  }
  // An error answer is rethrown to the caller; an empty answer is an empty vector.
  EXPECT_THROW(wrapper->SomeIp_Get(R::CHARGING_PLUGS, kBound), ara::com::ServiceNotAvailableException);
  EXPECT_TRUE(
      boost::get<std::vector<cmc::DT_switchControls_struct>>(wrapper->SomeIp_Get(R::SWITCH_CONTROLS, kBound)).empty());
}

TEST_F(CmcWrapper, TypesAnOperationDoesNotServeAreLoggedAndIgnored) {
  Connect();
  capture->Clear();
  // 12 and 13 fall inside the range of served types, 17 and 255 past its end.
  const std::vector<R> unserved{R::TARGET_SOC_CHARGINGS, static_cast<R>(13), static_cast<R>(17), static_cast<R>(255)};
  for (auto type : unserved) {
    const CmcGetVariant got = wrapper->SomeIp_Get(type, 0ms);
    EXPECT_EQ(got.which(), 0);
    EXPECT_TRUE(boost::get<std::vector<cmc::DT_chargingPlugs_struct>>(got).empty());
    wrapper->Update(type);
    wrapper->Subscribe(type);
    EXPECT_EQ(wrapper->GetCachedSamples(type).which(), 0);
    wrapper->SetReceiveHandler(type, [] {});
    wrapper->Cleanup(type);
  }
  const std::vector<R> unwritten{R::CHARGING_PLUGS,
                                 R::NOTIFICATION_MARKERS,
                                 R::ORU_UPDATE_APPROVALS,
                                 R::NOTIFICATIONS,
                                 R::CHARGING_PROCESS_INFORMATION,
                                 R::VALUE_INDICATIONS,
                                 R::BATTERY_CARE_MODES,
                                 R::BIDIRECTIONAL_CHARGING_MODES,
                                 R::BATTERY_PRECONDITIONINGS,
                                 R::BATTERY_PRECONDITIONING_ENERGIES,
                                 R::TARGET_SOC_CHARGINGS,
                                 static_cast<R>(255)};
  for (auto type : unwritten) {
    EXPECT_TRUE(wrapper->SomeIp_Set(type, CmcSetVariant{}, 1s));
  }
  const std::vector<std::string> perType{
      "[cmcwrapper] Get not implemented for this someip data type.",
      "[cmcwrapper] Update not implemented for this data type.",
      "[cmcwrapper] Subscribe not implemented for this data type.",
      "[cmcwrapper] GetCachedSamples not implemented for this data type.",
      "[cmcwrapper] SetReceiveHandler not implemented for this data type.",
      "[cmcwrapper] Cleanup not implemented for this data type.",
  };
  std::vector<std::string> expected;
  for (std::size_t i = 0; i < unserved.size(); ++i) {
    expected.insert(expected.end(), perType.begin(), perType.end());
  }
  expected.insert(expected.end(), unwritten.size(), "[cmcwrapper] Set not implemented for this data type.");
  EXPECT_EQ(Logs(), expected);

  // A union holding another field's element is refused before anything is sent.
  EXPECT_THROW(wrapper->SomeIp_Set(R::SWITCH_CONTROLS, CmcSetVariant{cmc::DT_valueControls_struct{}}, 1s),
               boost::bad_get);
  EXPECT_TRUE(cmc.Requests().empty());
}

TEST_F(CmcWrapper, AWriteSendsTheOneElementAndReportsTheAnswer) {
  Connect();
  HeldReplies sets;
  cmc.SetMethodHandler(CmcSetMethod("views"), sets.Handler());
  cmc::DT_views_struct view;
  Put(view.type, 1);
  Put(view.content, 2);

  // Never answered within the wait.
  EXPECT_TRUE(wrapper->SomeIp_Set(R::VIEWS, CmcSetVariant{view}, 0s));
  ASSERT_TRUE(sets.WaitForCount(1));
  const auto sent = zrt::services::tlv::decode_field_value<cmc::DT_views_struct>(sets.At(0).Request().payload);
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(Text(sent[0].type), "1");
  EXPECT_EQ(Text(sent[0].content), "2");
  EXPECT_FALSE(sent[0].visibility.has_value());

  // Two overlapping writes: each caller gets its own answer, whichever comes first.
  auto first = std::async(std::launch::async, [&] { return wrapper->SomeIp_Set(R::VIEWS, CmcSetVariant{view}, 30s); });
  ASSERT_TRUE(sets.WaitForCount(2));
  auto second = std::async(std::launch::async, [&] { return wrapper->SomeIp_Set(R::VIEWS, CmcSetVariant{view}, 30s); });
  ASSERT_TRUE(sets.WaitForCount(3));
  sets.At(2).Reply(0, zrt::services::tlv::encode_field_value(std::vector<cmc::DT_views_struct>{view}));
  EXPECT_FALSE(second.get());
  sets.At(1).Reply(0xFF);
  EXPECT_THROW(first.get(), ara::com::ServiceNotAvailableException);
  sets.At(0).Reply(0);  // a late answer to the first write is dropped quietly
}

}  // namespace
}  // namespace someip_client_test
