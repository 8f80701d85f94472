#pragma once

// Recording stand-ins for the mediator's three partners. Every call is rendered as one text,
// e.g. "Update_Views(popup,nothing,-)", so expectations read like the call they describe:
// "-" is an absent optional, lists are "[a,b]", enumerations are their numbers.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <tuple>
#include <type_traits>
#include <utility>
#include <vector>

#include "app/comm_mngr/communications_manager.h"
#include "ara/core/optional.h"
#include "ara/log/capture_sink.h"
#include "ara/log/logging.h"

namespace orik::commMngr::test {

template <typename T>
struct IsOptional : std::false_type {};
template <typename T>
struct IsOptional<ara::core::Optional<T>> : std::true_type {};
template <typename T>
struct IsVector : std::false_type {};
template <typename T>
struct IsVector<std::vector<T>> : std::true_type {};
template <typename T>
struct IsTuple : std::false_type {};
template <typename... T>
struct IsTuple<std::tuple<T...>> : std::true_type {};

template <typename T>
void Render(std::ostream& out, const T& value) {
  if constexpr (IsOptional<T>::value) {
    if (!value) {
      out << "-";
    } else {
      Render(out, *value);
    }
  } else if constexpr (IsVector<T>::value) {
    out << "[";
    for (std::size_t i = 0; i < value.size(); ++i) {
      out << (i == 0 ? "" : ",");
      Render(out, value[i]);
    }
    out << "]";
  } else if constexpr (IsTuple<T>::value) {
    std::apply(
        [&out](const auto&... items) {
          bool first = true;
          ((out << (first ? "" : ","), first = false, Render(out, items)), ...);
        },
        value);
  } else if constexpr (std::is_enum_v<T>) {
    out << static_cast<std::uint64_t>(value);
  } else if constexpr (std::is_same_v<T, bool>) {
    out << (value ? "true" : "false");
  } else if constexpr (std::is_same_v<T, std::uint8_t>) {
    out << static_cast<unsigned>(value);
  } else {
    out << value;
  }
}

template <typename... Args>
std::string Call(const std::string& name, const Args&... args) {
  std::ostringstream out;
  out << name << "(";
  bool first = true;
  ((out << (first ? "" : ","), first = false, Render(out, args)), ...);
  out << ")";
  return out.str();
}

// Shared by the fakes: the calls in order, and a hook run inside each call after it was recorded
// (to block or throw). Set the hook before other threads use the fake.
class Recorder {
 public:
  std::function<void(const std::string&)> hook;

  void Record(const std::string& call) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      calls_.push_back(call);
    }
    if (hook) {
      hook(call);
    }
  }
  std::vector<std::string> Calls() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return calls_;
  }
  void Clear() {
    std::lock_guard<std::mutex> lock(mutex_);
    calls_.clear();
  }

 private:
  mutable std::mutex mutex_;
  std::vector<std::string> calls_;
};

class FakeRubo : public orik::ruboServer::ORIKRuboServerInterface, public Recorder {
 public:
  using Str = ara::core::Optional<std::string>;
  void Update_Registry(bool available) override { Record(Call("Update_Registry", available)); }
  void Update_ValueControls(orik::ruboServer::ValueControlsUpdate&& u) override {
    Record(Call("Update_ValueControls", u));
  }
  void Update_SwitchControls(const Str& type, const Str& switchValue, const Str& restrictionReason,
                             const ara::core::Optional<std::vector<std::string>>& configuration) override {
    Record(Call("Update_SwitchControls", type, switchValue, restrictionReason, configuration));
  }
  void Update_ChargingPlugs(const Str& type, const Str& connection, const Str& infrastructure,
                            const Str& plugType) override {
    Record(Call("Update_ChargingPlugs", type, connection, infrastructure, plugType));
  }
  void Update_Views(const Str& type, const Str& content, const Str& visibility) override {
    Record(Call("Update_Views", type, content, visibility));
  }
  void Update_Notifications(const Str& type, const Str& value, const Str& additionalInformation) override {
    Record(Call("Update_Notifications", type, value, additionalInformation));
  }
  void Update_NotificationMarkers(const Str& type, const ara::core::Optional<bool>& isToBeNotified) override {
    Record(Call("Update_NotificationMarkers", type, isToBeNotified));
  }
  void Update_OruUpdateApprovals(const Str& type, const ara::core::Optional<bool>& approval) override {
    Record(Call("Update_OruUpdateApprovals", type, approval));
  }
  void Update_chargingProcessInformation(orik::ruboServer::ChargingProcessInformationUpdate&& u) override {
    Record(Call("Update_chargingProcessInformation", u));
  }
  void Update_valueIndications(orik::ruboServer::ValueIndicationsUpdate&& u) override {
    Record(Call("Update_valueIndications", u));
  }
  void Update_pastErrorInformation(const Str& type, const Str& value, const Str& additionalInformation,
                                   const ara::core::Optional<bool>& confirmedByUser) override {
    Record(Call("Update_pastErrorInformation", type, value, additionalInformation, confirmedByUser));
  }
  void Update_resetToFactoryData(const Str& reset, const ara::core::Optional<std::uint64_t>& lastReset) override {
    Record(Call("Update_resetToFactoryData", reset, lastReset));
  }
  void Update_batteryCareModes(const Str& type, const Str& notification, const Str& popup,
                               const ara::core::Optional<std::uint32_t>& threshold,
                               const ara::core::Optional<float>& score) override {
    Record(Call("Update_batteryCareModes", type, notification, popup, threshold, score));
  }
  void Update_batteryPreconditionings(const Str& type, const Str& state) override {
    Record(Call("Update_batteryPreconditionings", type, state));
  }
  void Update_batteryPreconditioningEnergies(const Str& type, const ara::core::Optional<std::uint32_t>& firstStop,
                                             const ara::core::Optional<std::uint32_t>& nextStops) override {
    Record(Call("Update_batteryPreconditioningEnergies", type, firstStop, nextStops));
  }
  void Update_BidirectionalChargingModes(orik::ruboServer::BidirectionalChargingModesUpdate&& u) override {
    Record(Call("Update_BidirectionalChargingModes", u));
  }
  void Update_NavTargetSoc(const std::uint8_t& soc) override { Record(Call("Update_NavTargetSoc", soc)); }
};

namespace cmc = zrt::services::chargingmanagementcore::datatypes;

class FakeListener : public orik::chargingManagementCoreListener::ORIKListenerInterface, public Recorder {
 public:
  using Result = orik::enums::SOMEIP_RESPONSE_TYPE;
  std::atomic<Result> result{Result::RESPONSE_RECEIVED};

  void StartListener() override { Record("StartListener()"); }
  Result Update_ValueControls(
      cmc::DT_ChargingManagementCore_valueControls_type type, const ara::core::Optional<std::uint32_t>& value,
      const ara::core::Optional<cmc::DT_ChargingManagementCore_valueControls_specialState>& state,
      const std::string& origin) override {
    Record(Call("Update_ValueControls", type, value, state, origin));
    return result.load();
  }
  Result Update_SwitchControls(
      cmc::DT_ChargingManagementCore_switchControls_type type,
      const ara::core::Optional<cmc::DT_ChargingManagementCore_switchControls_switchValue>& value) override {
    Record(Call("Update_SwitchControls", type, value));
    return result.load();
  }
  Result Update_Views(cmc::DT_ChargingManagementCore_views_type type,
                      const ara::core::Optional<cmc::DT_ChargingManagementCore_views_content>& content,
                      const ara::core::Optional<cmc::DT_ChargingManagementCore_views_visibility>& visibility) override {
    Record(Call("Update_Views", type, content, visibility));
    return result.load();
  }
  Result Update_pastErrorInformation(cmc::DT_ChargingManagementCore_pastErrorInformation_type type,
                                     const ara::core::Optional<bool>& confirmedByUser) override {
    Record(Call("Update_pastErrorInformation", type, confirmedByUser));
    return result.load();
  }
  Result Update_FactoryResetInfo(cmc::DT_ChargingManagementCore_resetToFactoryData_resetToFactoryData reset) override {
    Record(Call("Update_FactoryResetInfo", reset));
    return result.load();
  }
};

class FakeRbecListener : public orik::routeBasedEnergyContents::RouteBasedEnergyContentsListenerInterface,
                         public Recorder {
 public:
  void StartListener() override { Record("StartListener()"); }
};

// A wired mediator, its fakes, and the records of the "ORIK" context at every level.
class MediatorFixture {
 public:
  MediatorFixture() {
    ara::log::SetConsoleEnabled(false);
    ara::log::InitLogging("ORIK", "ORIK Application", ara::log::LogLevel::kVerbose, ara::log::LogMode::kRemote, "");
    mediator->SetRubo(rubo);
    mediator->SetSomeIp(listener);
    mediator->SetRbec(rbec);
  }
  ~MediatorFixture() {
    ara::log::InitLogging("ORIK", "ORIK Application", ara::log::LogLevel::kInfo, ara::log::LogMode::kRemote, "");
    ara::log::SetConsoleEnabled(true);
  }

  // "I " or "D " followed by the text, for every record of the mediator's context.
  std::vector<std::string> Logs() const {
    std::vector<std::string> out;
    for (const auto& record : capture->Records()) {
      if (record.contextId == "ORIK") {
        out.push_back(std::string(ara::log::LevelName(record.level)).substr(0, 1) + " " + record.text);
      }
    }
    return out;
  }
  void ClearAll() {
    capture->Clear();
    rubo->Clear();
    listener->Clear();
    rbec->Clear();
  }

  ara::log::ScopedCapture capture;
  std::shared_ptr<FakeRubo> rubo = std::make_shared<FakeRubo>();
  std::shared_ptr<FakeListener> listener = std::make_shared<FakeListener>();
  std::shared_ptr<FakeRbecListener> rbec = std::make_shared<FakeRbecListener>();
  std::shared_ptr<CommunicationsManager> mediator = std::make_shared<CommunicationsManager>();
};

// A gate that calls block in until the test opens it.
class Gate {
 public:
  void Pass() {
    std::unique_lock<std::mutex> lock(mutex_);
    ++waiting_;
    changed_.notify_all();
    changed_.wait(lock, [this] { return open_; });
  }
  bool WaitUntilWaiting(int count, std::chrono::seconds timeout = std::chrono::seconds(20)) {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return waiting_ >= count; });
  }
  void Open() {
    std::lock_guard<std::mutex> lock(mutex_);
    open_ = true;
    changed_.notify_all();
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  int waiting_ = 0;
  bool open_ = false;
};

// Runs fn on its own thread and reports whether it finished within the timeout. A call that never
// returns (a lock left held) is left behind on a detached thread so that the test can fail instead
// of hanging; fn must therefore own what it touches.
inline bool FinishesWithin(std::function<void()> fn, std::chrono::seconds timeout = std::chrono::seconds(20)) {
  auto done = std::make_shared<std::promise<void>>();
  auto finished = done->get_future();
  std::thread worker([fn = std::move(fn), done] {
    try {
      fn();
    } catch (...) {
    }
    done->set_value();
  });
  if (finished.wait_for(timeout) != std::future_status::ready) {
    worker.detach();
    return false;
  }
  worker.join();
  return true;
}

}  // namespace orik::commMngr::test
