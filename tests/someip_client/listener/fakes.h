#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <sstream>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "ara/com/internal/runtime_core.h"
#include "interfaces/comm_mngr/comm_mngr_rbec_side_interface.h"
#include "interfaces/comm_mngr/comm_mngr_someip_side_interface.h"
#include "someip_client/interfaces/charging_management_core_proxy_interface.h"
#include "someip_client/interfaces/route_based_energy_contents_proxy_interface.h"

namespace someip_client_test {

using orik::enums::SOMEIP_RESOURCE_TYPE;
namespace cmc = zrt::services::chargingmanagementcore::datatypes;
namespace rbec = zrt::services::routebasedenergycontents::datatypes;

// Sets an optional member from a plain number (enumerations included).
template <typename Opt, typename V>
void Put(Opt& member, V value) {
  member = static_cast<typename Opt::value_type>(value);
}

inline unsigned Num(SOMEIP_RESOURCE_TYPE type) {
  return static_cast<unsigned>(type);
}

template <typename T>
struct IsVector : std::false_type {};
template <typename T>
struct IsVector<std::vector<T>> : std::true_type {};

// Renders one value as the tests expect it: enumerations as numbers, "-" for absent.
template <typename T>
std::string Text(const T& value) {
  if constexpr (std::is_enum_v<T>) {
    return std::to_string(static_cast<std::uint32_t>(value));
  } else if constexpr (std::is_same_v<T, bool>) {
    return value ? "true" : "false";
  } else if constexpr (std::is_same_v<T, std::string>) {
    return value;
  } else if constexpr (std::is_floating_point_v<T>) {
    std::ostringstream out;
    out << value;
    return out.str();
  } else if constexpr (IsVector<T>::value) {
    std::string out = "[";
    for (std::size_t i = 0; i < value.size(); ++i) {
      out += (i ? "," : "") + Text(value[i]);
    }
    return out + "]";
  } else {
    return std::to_string(value);
  }
}

template <typename T>
std::string Text(const ara::core::Optional<T>& value) {
  return value.has_value() ? Text(*value) : std::string("-");
}

template <typename... Args>
std::string Call(const std::string& name, const Args&... args) {
  std::string out = name + "(";
  bool first = true;
  ((out += (first ? "" : ",") + Text(args), first = false), ...);
  return out + ")";
}

template <typename Tuple>
std::string CallTuple(const std::string& name, const Tuple& tuple) {
  return std::apply([&](const auto&... args) { return Call(name, args...); }, tuple);
}

class Recorder {
 public:
  void Add(std::string entry) {
    std::lock_guard lock(mutex_);
    entries_.push_back(std::move(entry));
    changed_.notify_all();
  }
  // Waits until at least n entries were recorded; false on timeout.
  bool WaitForSize(std::size_t n, std::chrono::milliseconds timeout = std::chrono::seconds(30)) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return entries_.size() >= n; });
  }
  std::vector<std::string> Entries() const {
    std::lock_guard lock(mutex_);
    return entries_;
  }
  void Clear() {
    std::lock_guard lock(mutex_);
    entries_.clear();
  }

 private:
  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  std::vector<std::string> entries_;
};

// Records every relay with its arguments in the interface's order; can throw on a chosen call.
class FakeSomeipMediator : public orik::commMngr::CommMngrSomeipSideInterface {
 public:
  Recorder calls;
  // Called with the name of each relay before it is recorded; may throw.
  std::function<void(const std::string&)> before;

  void Record(std::string entry, const std::string& name) {
    if (before) {
      before(name);
    }
    calls.Add(std::move(entry));
  }

  void TellRuboToUpdate_chargingProcessInformation(orik::commMngr::ChargingProcessInformationMembers&& m) override {
    Record(CallTuple("ChargingProcessInformation", m), "ChargingProcessInformation");
  }
  void TellRuboToUpdate_NotificationMarkers(
      const ara::core::Optional<cmc::DT_ChargingManagementCore_notificationMarkers_type>& type,
      const ara::core::Optional<bool>& flag) override {
    Record(Call("NotificationMarkers", type, flag), "NotificationMarkers");
  }
  void TellRuboToUpdate_Notifications(
      const ara::core::Optional<cmc::DT_ChargingManagementCore_notifications_type>& type,
      const ara::core::Optional<cmc::DT_ChargingManagementCore_notifications_additionalInformation>& info,
      const ara::core::Optional<cmc::DT_ChargingManagementCore_notifications_value>& value) override {
    Record(Call("Notifications", type, info, value), "Notifications");
  }
  void TellRuboToUpdate_OruUpdateApprovals(
      const ara::core::Optional<cmc::DT_ChargingManagementCore_oruUpdateApprovals_type>& type,
      const ara::core::Optional<bool>& approval) override {
    Record(Call("OruUpdateApprovals", type, approval), "OruUpdateApprovals");
  }
  void TellRuboToUpdate_pastErrorInformation(
      const ara::core::Optional<cmc::DT_ChargingManagementCore_pastErrorInformation_type>& type,
      const ara::core::Optional<cmc::DT_ChargingManagementCore_pastErrorInformation_value>& value,
      const ara::core::Optional<cmc::DT_ChargingManagementCore_pastErrorInformation_additionalInformation>& info,
      const ara::core::Optional<bool>& confirmed) override {
    Record(Call("PastErrorInformation", type, value, info, confirmed), "PastErrorInformation");
  }
  void TellRuboToUpdate_SwitchControls(
      const ara::core::Optional<cmc::DT_ChargingManagementCore_switchControls_type>& type,
      const ara::core::Optional<cmc::DT_ChargingManagementCore_switchControls_restrictionReason>& reason,
      const ara::core::Optional<cmc::DT_ChargingManagementCore_switchControls_switchValue>& value,
      const ara::core::Optional<std::vector<cmc::DT_ChargingManagementCore_switchControls_switchValueConfiguration>>&
          configuration) override {
    Record(Call("SwitchControls", type, reason, value, configuration), "SwitchControls");
  }
  void TellRuboToUpdate_valueIndications(orik::commMngr::ValueIndicationsMembers&& m) override {
    Record(CallTuple("ValueIndications", m), "ValueIndications");
  }
  void TellRuboToUpdate_Views(
      const ara::core::Optional<cmc::DT_ChargingManagementCore_views_type>& type,
      const ara::core::Optional<cmc::DT_ChargingManagementCore_views_content>& content,
      const ara::core::Optional<cmc::DT_ChargingManagementCore_views_visibility>& visibility) override {
    Record(Call("Views", type, content, visibility), "Views");
  }
  void TellRuboToUpdate_ResetToFactoryData(
      const ara::core::Optional<cmc::DT_ChargingManagementCore_resetToFactoryData_resetToFactoryData>& reset,
      const ara::core::Optional<std::uint64_t>& lastReset) override {
    Record(Call("ResetToFactoryData", reset, lastReset), "ResetToFactoryData");
  }
  void TellRuboToUpdate_ValueControls(orik::commMngr::ValueControlsMembers&& m) override {
    Record(CallTuple("ValueControls", m), "ValueControls");
  }
  void TellRuboToUpdate_Registry(bool available) override { Record(Call("Registry", available), "Registry"); }
  void TellRuboToUpdate_ChargingPlugs(
      const ara::core::Optional<cmc::DT_ChargingManagementCore_chargingPlugs_type>& type,
      const ara::core::Optional<cmc::DT_ChargingManagementCore_chargingPlugs_infrastructureState>& infrastructure,
      const ara::core::Optional<cmc::DT_ChargingManagementCore_chargingPlugs_plugConnectionState>& connection,
      const ara::core::Optional<cmc::DT_ChargingManagementCore_chargingPlugs_plugType>& plugType) override {
    Record(Call("ChargingPlugs", type, infrastructure, connection, plugType), "ChargingPlugs");
  }
  void TellRuboToUpdate_BatteryCareModes(
      const ara::core::Optional<cmc::DT_ChargingManagementCore_batteryCareModes_type>& type,
      const ara::core::Optional<std::uint32_t>& threshold,
      const ara::core::Optional<cmc::DT_ChargingManagementCore_batteryCareModes_notification>& notification,
      const ara::core::Optional<cmc::DT_ChargingManagementCore_batteryCareModes_popup>& popup,
      const ara::core::Optional<float>& score) override {
    Record(Call("BatteryCareModes", type, threshold, notification, popup, score), "BatteryCareModes");
  }
  void TellRuboToUpdate_BatteryPreconditionings(
      const ara::core::Optional<cmc::DT_ChargingManagementCore_batteryPreconditionings_type>& type,
      const ara::core::Optional<cmc::DT_ChargingManagementCore_batteryPreconditionings_preconditioningState>& state)
      override {
    Record(Call("BatteryPreconditionings", type, state), "BatteryPreconditionings");
  }
  void TellRuboToUpdate_BatteryPreconditioningEnergies(
      const ara::core::Optional<cmc::DT_ChargingManagementCore_batteryPreconditioningEnergies_type>& type,
      const ara::core::Optional<std::uint32_t>& firstStop,
      const ara::core::Optional<std::uint32_t>& nextStops) override {
    Record(Call("BatteryPreconditioningEnergies", type, firstStop, nextStops), "BatteryPreconditioningEnergies");
  }
  void TellRuboToUpdate_BidirectionalChargingModes(orik::commMngr::BidirectionalChargingModesMembers&& m) override {
    Record(CallTuple("BidirectionalChargingModes", m), "BidirectionalChargingModes");
  }
};

inline std::shared_ptr<const ara::com::internal::ServiceInstanceInfo> InstanceInfo(std::uint16_t serviceId,
                                                                                   std::uint16_t instanceId) {
  return std::make_shared<const ara::com::internal::ServiceInstanceInfo>(ara::com::internal::ServiceInstanceInfo{
      "test", serviceId, instanceId, ara::com::InstanceIdentifier(std::to_string(instanceId))});
}

inline orik::chargingManagementCoreListener::CmcServiceHandle CmcHandle(std::uint16_t instanceId) {
  return orik::chargingManagementCoreListener::CmcServiceHandle(InstanceInfo(0x4101, instanceId));
}

inline orik::routeBasedEnergyContents::RbecServiceHandle RbecHandle(std::uint16_t instanceId) {
  return orik::routeBasedEnergyContents::RbecServiceHandle(InstanceInfo(0x4102, instanceId));
}

// A recording stand-in for the ChargingManagementCore proxy wrapper.
class FakeCmcWrapper : public orik::chargingManagementCoreListener::ChargingManagementCoreProxyInterface {
 public:
  using Listener = orik::chargingManagementCoreListener::CmcFindServiceHandler;

  Recorder calls;
  bool proxyNull = true;
  bool startFindServiceResult = true;
  Listener findHandler;
  std::map<SOMEIP_RESOURCE_TYPE, orik::chargingManagementCoreListener::ReceiveHandler> receiveHandlers;
  std::map<SOMEIP_RESOURCE_TYPE, orik::chargingManagementCoreListener::CmcCachedSamplesVariant> cached;
  std::map<SOMEIP_RESOURCE_TYPE, orik::chargingManagementCoreListener::CmcGetVariant> reads;
  // Hooks that may throw; called with the operation's resource type.
  std::function<void(SOMEIP_RESOURCE_TYPE)> onSubscribe;
  std::function<void()> onPrepareGets;
  std::function<bool(SOMEIP_RESOURCE_TYPE, const orik::chargingManagementCoreListener::CmcSetVariant&)> onSet;
  std::vector<orik::chargingManagementCoreListener::CmcSetVariant> written;

  bool StartFindService(Listener handler) override {
    calls.Add("StartFindService");
    findHandler = std::move(handler);
    return startFindServiceResult;
  }
  void Update(SOMEIP_RESOURCE_TYPE type) override { calls.Add("Update " + std::to_string(Num(type))); }
  void Subscribe(SOMEIP_RESOURCE_TYPE type) override {
    calls.Add("Subscribe " + std::to_string(Num(type)));
    if (onSubscribe) {
      onSubscribe(type);
    }
  }
  orik::chargingManagementCoreListener::CmcCachedSamplesVariant GetCachedSamples(SOMEIP_RESOURCE_TYPE type) override {
    calls.Add("GetCachedSamples " + std::to_string(Num(type)));
    const auto it = cached.find(type);
    return it == cached.end() ? orik::chargingManagementCoreListener::CmcCachedSamplesVariant{} : it->second;
  }
  void SetReceiveHandler(SOMEIP_RESOURCE_TYPE type,
                         orik::chargingManagementCoreListener::ReceiveHandler handler) override {
    calls.Add("SetReceiveHandler " + std::to_string(Num(type)));
    receiveHandlers[type] = std::move(handler);
  }
  void Cleanup(SOMEIP_RESOURCE_TYPE type) override { calls.Add("Cleanup " + std::to_string(Num(type))); }
  void PrepareGets() override {
    calls.Add("PrepareGets");
    if (onPrepareGets) {
      onPrepareGets();
    }
  }
  orik::chargingManagementCoreListener::CmcGetVariant SomeIp_Get(SOMEIP_RESOURCE_TYPE type,
                                                                 const std::chrono::milliseconds& wait) override {
    calls.Add("Get " + std::to_string(Num(type)) + " " + std::to_string(wait.count()));
    const auto it = reads.find(type);
    if (it != reads.end()) {
      return it->second;
    }
    return EmptyRead(type);
  }
  bool SomeIp_Set(SOMEIP_RESOURCE_TYPE type, const orik::chargingManagementCoreListener::CmcSetVariant& value,
                  const std::chrono::seconds& wait) override {
    calls.Add("Set " + std::to_string(Num(type)) + " " + std::to_string(wait.count()));
    written.push_back(value);
    return onSet ? onSet(type, value) : false;
  }
  bool IsProxyNull() override { return proxyNull; }
  void CreateServiceProxy(orik::chargingManagementCoreListener::CmcServiceHandle handle) override {
    calls.Add("CreateServiceProxy " + std::string(handle.GetInstanceId().ToString()));
    proxyNull = false;
  }

  // What a read that timed out gives: the field's alternative, empty. Defined in fakes.cpp, so
  // that building the fifteen alternatives is compiled once for all the tests.
  static orik::chargingManagementCoreListener::CmcGetVariant EmptyRead(SOMEIP_RESOURCE_TYPE type);
};

class FakeRbecMediator : public orik::commMngr::CommMngrRBECSideInterface {
 public:
  Recorder calls;
  void TellRuboToUpdate_NavTargetSoc(const std::uint32_t& soc) override { calls.Add(Call("Rubo", soc)); }
  orik::enums::SOMEIP_RESPONSE_TYPE TellSomeIpToUpdate_NavTargetSoc(const std::uint32_t& soc) override {
    calls.Add(Call("SomeIp", soc));
    return orik::enums::SOMEIP_RESPONSE_TYPE::RESPONSE_RECEIVED;
  }
};

class FakeRbecWrapper : public orik::routeBasedEnergyContents::RouteBasedEnergyContentsProxyInterface {
 public:
  using Handler = orik::routeBasedEnergyContents::RbecFindServiceHandler;

  Recorder calls;
  bool proxyNull = true;
  Handler findHandler;
  orik::routeBasedEnergyContents::ReceiveHandler receiveHandler;
  orik::routeBasedEnergyContents::RbecCachedSamplesVariant cached;
  orik::routeBasedEnergyContents::RbecGetVariant read{std::vector<rbec::DT_targetSocChargings_struct>{}};
  std::function<void()> onPrepareGets;

  bool StartFindService(Handler handler) override {
    calls.Add("StartFindService");
    findHandler = std::move(handler);
    return true;
  }
  void Update(SOMEIP_RESOURCE_TYPE type) override { calls.Add("Update " + std::to_string(Num(type))); }
  void Subscribe(SOMEIP_RESOURCE_TYPE type) override { calls.Add("Subscribe " + std::to_string(Num(type))); }
  orik::routeBasedEnergyContents::RbecCachedSamplesVariant GetCachedSamples(SOMEIP_RESOURCE_TYPE type) override {
    calls.Add("GetCachedSamples " + std::to_string(Num(type)));
    return cached;
  }
  void SetReceiveHandler(SOMEIP_RESOURCE_TYPE type, orik::routeBasedEnergyContents::ReceiveHandler handler) override {
    calls.Add("SetReceiveHandler " + std::to_string(Num(type)));
    receiveHandler = std::move(handler);
  }
  void Cleanup(SOMEIP_RESOURCE_TYPE type) override { calls.Add("Cleanup " + std::to_string(Num(type))); }
  void PrepareGets() override {
    calls.Add("PrepareGets");
    if (onPrepareGets) {
      onPrepareGets();
    }
  }
  orik::routeBasedEnergyContents::RbecGetVariant SomeIp_Get(SOMEIP_RESOURCE_TYPE type,
                                                            const std::chrono::milliseconds& wait) override {
    calls.Add("Get " + std::to_string(Num(type)) + " " + std::to_string(wait.count()));
    return read;
  }
  bool IsProxyNull() override { return proxyNull; }
  void CreateServiceProxy(orik::routeBasedEnergyContents::RbecServiceHandle handle) override {
    calls.Add("CreateServiceProxy " + std::string(handle.GetInstanceId().ToString()));
    proxyNull = false;
  }
};

}  // namespace someip_client_test
