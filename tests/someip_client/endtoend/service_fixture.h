#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <future>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "ara/com/provider.h"
#include "ara/com/runtime.h"
#include "ara/log/capture_sink.h"
#include "listener/fakes.h"
#include "service_types/chargingmanagementcore/proxy/chargingmanagementcore_proxy.h"
#include "service_types/routebasedenergycontents/proxy/routebasedenergycontents_proxy.h"
#include "service_types/tlv/codec.h"

namespace someip_client_test {

using namespace std::chrono_literals;
constexpr std::chrono::milliseconds kBound = 30s;

// Ids of one field in the service deployment, by field name.
struct FieldIds {
  std::size_t event;
  std::size_t get;
  int set;  // -1: no setter
};

#define ORIK_TEST_SETTER_NONE -1
#define ORIK_TEST_SETTER_SET(n) n
#define ORIK_TEST_FIELD_ROW(field, element, eventIndex, getIndex, setter) \
  {#field, FieldIds{eventIndex, getIndex, ORIK_TEST_SETTER_##setter}},

inline const std::map<std::string, FieldIds>& CmcFieldIds() {
  static const std::map<std::string, FieldIds> ids{ORIK_CMC_PROXY_FIELDS(ORIK_TEST_FIELD_ROW)};
  return ids;
}
inline const std::map<std::string, FieldIds>& RbecFieldIds() {
  static const std::map<std::string, FieldIds> ids{ORIK_RBEC_PROXY_FIELDS(ORIK_TEST_FIELD_ROW)};
  return ids;
}

// A runtime and an offered instance of each service on the in-process bus.
class ServiceFixture {
 public:
  ServiceFixture() {
    cmc.Offer();
    rbec.Offer();
  }

  std::uint16_t CmcEvent(const std::string& field) const {
    return cmc.Deployment().Event(CmcFieldIds().at(field).event).eventId;
  }
  std::uint16_t CmcEventgroup(const std::string& field) const {
    return cmc.Deployment().Event(CmcFieldIds().at(field).event).eventgroupId;
  }
  std::uint16_t CmcGetMethod(const std::string& field) const {
    return cmc.Deployment().MethodId(CmcFieldIds().at(field).get);
  }
  std::uint16_t CmcSetMethod(const std::string& field) const {
    return cmc.Deployment().MethodId(static_cast<std::size_t>(CmcFieldIds().at(field).set));
  }
  std::uint16_t RbecEvent(const std::string& field) const {
    return rbec.Deployment().Event(RbecFieldIds().at(field).event).eventId;
  }
  std::uint16_t RbecGetMethod(const std::string& field) const {
    return rbec.Deployment().MethodId(RbecFieldIds().at(field).get);
  }

  // Answers every read of the service with an empty field value.
  void AnswerEveryCmcGetEmpty() {
    // An empty field value is encoded alike for every element structure.
    const auto empty = zrt::services::tlv::encode_field_value(
        std::vector<zrt::services::chargingmanagementcore::datatypes::DT_views_struct>{});
    for (const auto& [name, ids] : CmcFieldIds()) {
      cmc.SetMethodHandler(
          cmc.Deployment().MethodId(ids.get),
          [empty](const ara::com::transport::Message&, ara::com::ServiceProvider::Responder r) { r.Reply(0, empty); });
    }
  }

  ara::log::ScopedCapture capture;
  ara::com::RuntimeComponent runtime{[] {
    ara::com::RuntimeOptions options;
    options.threads = 2;
    return options;
  }()};
  ara::com::ServiceProvider cmc{zrt::services::chargingmanagementcore::ChargingManagementCore::DefaultDeployment(), 1};
  ara::com::ServiceProvider rbec{zrt::services::routebasedenergycontents::RouteBasedEnergyContents::DefaultDeployment(),
                                 1};
};

// Collects responders of one method so that a test decides when (and whether) to answer.
class HeldReplies {
 public:
  void Hold(ara::com::ServiceProvider::Responder responder) {
    std::lock_guard lock(mutex_);
    held_.push_back(std::move(responder));
    changed_.notify_all();
  }
  bool WaitForCount(std::size_t n) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, kBound, [&] { return held_.size() >= n; });
  }
  ara::com::ServiceProvider::Responder At(std::size_t i) {
    std::lock_guard lock(mutex_);
    return held_.at(i);
  }
  ara::com::ServiceProvider::MethodHandler Handler() {
    return [this](const ara::com::transport::Message&, ara::com::ServiceProvider::Responder r) { Hold(r); };
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<ara::com::ServiceProvider::Responder> held_;
};

// Waits for the first non-empty find-service result.
template <typename Handle>
class HandleCatcher {
 public:
  std::function<void(std::vector<Handle>)> Handler() {
    return [this](std::vector<Handle> handles) {
      std::lock_guard lock(mutex_);
      if (!handles.empty() && !handle_) {
        handle_ = std::make_unique<Handle>(handles.front());
        changed_.notify_all();
      }
    };
  }
  Handle Wait() {
    std::unique_lock lock(mutex_);
    if (!changed_.wait_for(lock, kBound, [&] { return handle_ != nullptr; })) {
      throw std::runtime_error("service not found in time");
    }
    return *handle_;
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::unique_ptr<Handle> handle_;
};

}  // namespace someip_client_test
