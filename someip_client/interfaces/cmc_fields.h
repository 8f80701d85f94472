#pragma once

#include <cstddef>
#include <string_view>
#include <tuple>

#include "interfaces/comm_mngr/comm_mngr_someip_side_interface.h"
#include "interfaces/enums/someip_types.h"
#include "service_types/chargingmanagementcore/datatypes.h"
#include "someip_client/interfaces/field_list.h"

// One record per relayed ChargingManagementCore field, and the one list of them (at the end).
// A record holds every fact of its field: resource type, element structure, sample cache size,
// whether it is written, its places in the three variants that cross the wrapper interface and
// in the poll, the proxy member behind it, its log texts and the mediator call that relays one
// element. The wrapper's tables and slots, the variants, the subscriptions, the receive
// handlers and the poll steps are all expanded from the list.
namespace orik::chargingManagementCoreListener {
namespace cmcTypes = zrt::services::chargingmanagementcore::datatypes;
}  // namespace orik::chargingManagementCoreListener

namespace orik::chargingManagementCoreListener::fields {

using Resource = orik::enums::SOMEIP_RESOURCE_TYPE;
using Mediator = orik::commMngr::CommMngrSomeipSideInterface;

// kSetIndex of a field whose structure is not an alternative of CmcSetVariant.
inline constexpr int kNotInSetVariant = -1;

// The per-field facts, explained once:
//   kCacheSize   samples the notifier subscription keeps;
//   kWritable    the wrapper writes the field (through the proxy member's setter);
//   kGetIndex    its alternative in CmcGetVariant;
//   kSetIndex    its alternative in CmcSetVariant, or kNotInSetVariant;
//   kPollStep    its place in the poll (PrepareGets and FetchData);
//   Member       the proxy member of the field (getter, setter and notifier);
// its place in CmcCachedSamplesVariant and in the subscriptions is its place in the list.

// An empty text means "no log line" for that case.
struct FieldTexts {
  std::string_view subscribed;
  std::string_view received;
  std::string_view countPrefix;
  std::string_view noType;
  std::string_view empty;
  std::string_view getCountSuffix;
  std::string_view getFailed;
  std::string_view getNoType;
};

struct ChargingPlugs {
  using Element = cmcTypes::DT_chargingPlugs_struct;
  static constexpr Resource kResource = Resource::CHARGING_PLUGS;
  static constexpr bool kHasType = true;
  static constexpr bool kNeedsProxy = false;
  static constexpr std::size_t kCacheSize = 2;
  static constexpr bool kWritable = false;
  static constexpr int kGetIndex = 0;
  static constexpr int kSetIndex = 0;
  static constexpr int kPollStep = 0;
  template <typename Proxy>
  static auto& Member(Proxy& proxy) {
    return proxy.chargingPlugs;
  }
  static constexpr FieldTexts kTexts{
      "[SomeIp] Subscribed to ChargingPlugs resource..",
      "[SomeIp] Received notification regarding chargingPlugs..",
      "[SomeIp] ChargingPlugs notification: There are ",
      "",
      "[SomeIp] ChargingPlugs notification: There are no elements in the CachedSamples. Returning...",
      " elements in the chargingPlugs Get vector...",
      "[SomeIp][SomeIpGET -> Rubo] Get failed for chargingPlugs OR 0 elements retrieved...",
      "[SomeIp] ChargingPlug object has no type... Ignoring struct...",
  };
  static void Relay(Mediator& m, const Element& e) {
    m.TellRuboToUpdate_ChargingPlugs(e.type, e.infrastructureState, e.plugConnectionState, e.plugType);
  }
};

struct ValueControls {
  using Element = cmcTypes::DT_valueControls_struct;
  static constexpr Resource kResource = Resource::VALUE_CONTROLS;
  static constexpr bool kHasType = true;
  static constexpr bool kNeedsProxy = false;
  static constexpr std::size_t kCacheSize = 11;
  static constexpr bool kWritable = true;
  static constexpr int kGetIndex = 1;
  static constexpr int kSetIndex = 1;
  static constexpr int kPollStep = 10;
  template <typename Proxy>
  static auto& Member(Proxy& proxy) {
    return proxy.valueControls;
  }
  static constexpr FieldTexts kTexts{
      "[SomeIp] Subscribed to ValueControls resource..",
      "[SomeIp][SomeIp -> Rubo] Received notification regarding valueControls..",
      "[SomeIp][SomeIp -> Rubo] ValueControls notification: There are ",
      "[SomeIp][SomeIp -> Rubo] ValueControl object has no type... Ignoring notification...",
      "[SomeIp][SomeIp -> Rubo] ValueControls notification: There are no elements in the CachedSamples. Returning...",
      " elements in the ValueControl Get vector...",
      "[SomeIp][SomeIpGET -> Rubo] Get failed for ValueControl OR 0 elements retrieved...",
      "[SomeIp][SomeIpGET -> Rubo] ValueControl object has no type... Ignoring struct...",
  };
  static void Relay(Mediator& m, const Element& e) {
    m.TellRuboToUpdate_ValueControls(std::tie(e.type, e.currentValue, e.minValue, e.maxValue, e.unitPercent,
                                              e.unitDistance, e.unitTime, e.resolution, e.restrictionReason,
                                              e.specialState, e.specialStateConfiguration));
  }
};

struct SwitchControls {
  using Element = cmcTypes::DT_switchControls_struct;
  static constexpr Resource kResource = Resource::SWITCH_CONTROLS;
  static constexpr bool kHasType = true;
  static constexpr bool kNeedsProxy = false;
  static constexpr std::size_t kCacheSize = 9;
  static constexpr bool kWritable = true;
  static constexpr int kGetIndex = 2;
  static constexpr int kSetIndex = 2;
  static constexpr int kPollStep = 6;
  template <typename Proxy>
  static auto& Member(Proxy& proxy) {
    return proxy.switchControls;
  }
  static constexpr FieldTexts kTexts{
      "[SomeIp] Subscribed to SwitchControls resource..",
      "[SomeIp] Received notification regarding switchControls..",
      "[SomeIp] SwitchControls notification: There are ",
      "",
      "[SomeIp] SwitchControls notification: There are no elements in the CachedSamples. Returning...",
      " elements in the switchControls Get vector...",
      "[SomeIp][SomeIpGET -> Rubo] Get failed for switchControls OR 0 elements retrieved...",
      "",
  };
  static void Relay(Mediator& m, const Element& e) {
    m.TellRuboToUpdate_SwitchControls(e.type, e.restrictionReason, e.switchValue, e.switchValueConfiguration);
  }
};

struct Views {
  using Element = cmcTypes::DT_views_struct;
  static constexpr Resource kResource = Resource::VIEWS;
  static constexpr bool kHasType = true;
  static constexpr bool kNeedsProxy = false;
  static constexpr std::size_t kCacheSize = 1;
  static constexpr bool kWritable = true;
  static constexpr int kGetIndex = 3;
  static constexpr int kSetIndex = 3;
  static constexpr int kPollStep = 8;
  template <typename Proxy>
  static auto& Member(Proxy& proxy) {
    return proxy.views;
  }
  static constexpr FieldTexts kTexts{
      "[SomeIp] Subscribed to Views resource..",
      "[SomeIp][SomeIp -> Rubo] Received notification regarding views..",
      "[SomeIp][SomeIp -> Rubo] Views notification: There are ",
      "[SomeIp][SomeIp -> Rubo] View object has no type... Ignoring notification...",
      "[SomeIp][SomeIp -> Rubo] Views notification: There are no elements in the CachedSamples. Returning...",
      " elements in the views Get vector...",
      "[SomeIp][SomeIpGET -> Rubo] Get failed for views OR 0 elements retrieved...",
      "[SomeIp][SomeIp -> Rubo] View object has no type... Ignoring notification...",
  };
  static void Relay(Mediator& m, const Element& e) { m.TellRuboToUpdate_Views(e.type, e.content, e.visibility); }
};

struct NotificationMarkers {
  using Element = cmcTypes::DT_notificationMarkers_struct;
  static constexpr Resource kResource = Resource::NOTIFICATION_MARKERS;
  static constexpr bool kHasType = true;
  static constexpr bool kNeedsProxy = false;
  static constexpr std::size_t kCacheSize = 3;
  static constexpr bool kWritable = false;
  static constexpr int kGetIndex = 4;
  static constexpr int kSetIndex = 4;
  static constexpr int kPollStep = 2;
  template <typename Proxy>
  static auto& Member(Proxy& proxy) {
    return proxy.notificationMarkers;
  }
  static constexpr FieldTexts kTexts{
      "[SomeIp] Subscribed to NotificationMarkers resource..",
      "[SomeIp] Received notification regarding notificationMarkers..",
      "[SomeIp] NotificationMarkers notification: There are ",
      "[SomeIp] NotificationMarker object has no type... Ignoring notification...",
      "[SomeIp] NotificationMarkers notification: There are no elements in the CachedSamples. Returning...",
      " elements in the notificationMarkers Get vector...",
      "[SomeIp][SomeIpGET -> Rubo] Get failed for notificationMarkers OR 0 elements retrieved...",
      "[SomeIp] NotificationMarker object has no type... Ignoring struct...",
  };
  static void Relay(Mediator& m, const Element& e) { m.TellRuboToUpdate_NotificationMarkers(e.type, e.isToBeNotified); }
};

struct OruUpdateApprovals {
  using Element = cmcTypes::DT_oruUpdateApprovals_struct;
  static constexpr Resource kResource = Resource::ORU_UPDATE_APPROVALS;
  static constexpr bool kHasType = true;
  static constexpr bool kNeedsProxy = false;
  static constexpr std::size_t kCacheSize = 1;
  static constexpr bool kWritable = false;
  static constexpr int kGetIndex = 5;
  static constexpr int kSetIndex = 5;
  static constexpr int kPollStep = 4;
  template <typename Proxy>
  static auto& Member(Proxy& proxy) {
    return proxy.oruUpdateApprovals;
  }
  static constexpr FieldTexts kTexts{
      "[SomeIp] Subscribed to OruUpdateApprovals resource..",
      "[SomeIp] Received notification regarding oruUpdateApprovals..",
      "[SomeIp] OruUpdateApprovals notification: There are ",
      "[SomeIp] OruUpdateApproval object has no type... Ignoring notification...",
      "[SomeIp] OruUpdateApprovals notification: There are no elements in the CachedSamples. Returning...",
      " elements in the oruUpdateApprovals Get vector...",
      "[SomeIp][SomeIpGET -> Rubo] Get failed for oruUpdateApprovals OR 0 elements retrieved...",
      "[SomeIp] OruUpdateApproval object has no type... Ignoring struct...",
  };
  static void Relay(Mediator& m, const Element& e) { m.TellRuboToUpdate_OruUpdateApprovals(e.type, e.updateApproval); }
};

struct Notifications {
  using Element = cmcTypes::DT_notifications_struct;
  static constexpr Resource kResource = Resource::NOTIFICATIONS;
  static constexpr bool kHasType = true;
  static constexpr bool kNeedsProxy = false;
  static constexpr std::size_t kCacheSize = 6;
  static constexpr bool kWritable = false;
  static constexpr int kGetIndex = 6;
  static constexpr int kSetIndex = 6;
  static constexpr int kPollStep = 3;
  template <typename Proxy>
  static auto& Member(Proxy& proxy) {
    return proxy.notifications;
  }
  static constexpr FieldTexts kTexts{
      "[SomeIp] Subscribed to Notifications resource..",
      "[SomeIp] Received notification regarding notifications..",
      "[SomeIp] Notifications notification: There are ",
      "[SomeIp] Notification object has no type... Ignoring notification...",
      "[SomeIp] Notifications notification: There are no elements in the CachedSamples. Returning...",
      " elements in the notifications Get vector...",
      "[SomeIp][SomeIpGET -> Rubo] Get failed for notifications OR 0 elements retrieved...",
      "[SomeIp] Notification object has no type... Ignoring struct...",
  };
  static void Relay(Mediator& m, const Element& e) {
    m.TellRuboToUpdate_Notifications(e.type, e.additionalInformation, e.value);
  }
};

// The reset element has no type: every element is forwarded.
struct ResetToFactoryData {
  using Element = cmcTypes::DT_resetToFactoryData_struct;
  static constexpr Resource kResource = Resource::RESET_TO_FACTORY_DATA;
  static constexpr bool kHasType = false;
  static constexpr bool kNeedsProxy = false;
  static constexpr std::size_t kCacheSize = 1;
  static constexpr bool kWritable = true;
  static constexpr int kGetIndex = 7;
  static constexpr int kSetIndex = 7;
  static constexpr int kPollStep = 9;
  template <typename Proxy>
  static auto& Member(Proxy& proxy) {
    return proxy.resetToFactoryData;
  }
  static constexpr FieldTexts kTexts{
      "[SomeIp] Subscribed to FactoryResetData resource..",
      "[SomeIp][SomeIp -> Rubo] Received notification regarding factoryResetData..",
      "[SomeIp][SomeIp -> Rubo] FactoryResetData notification: There are ",
      "",
      "[SomeIp][SomeIp -> Rubo] FactoryResetData notification: There are no elements in the CachedSamples. "
      "Returning...",
      " elements in the resetToFactory Get vector...",
      "[SomeIp][SomeIpGET -> Rubo] Get failed for resetToFactory OR 0 elements retrieved...",
      "",
  };
  static void Relay(Mediator& m, const Element& e) {
    m.TellRuboToUpdate_ResetToFactoryData(e.resetToFactoryData, e.lastReset);
  }
};

struct ChargingProcessInformation {
  using Element = cmcTypes::DT_chargingProcessInformation_struct;
  static constexpr Resource kResource = Resource::CHARGING_PROCESS_INFORMATION;
  static constexpr bool kHasType = true;
  static constexpr bool kNeedsProxy = true;
  static constexpr std::size_t kCacheSize = 9;
  static constexpr bool kWritable = false;
  static constexpr int kGetIndex = 8;
  static constexpr int kSetIndex = 8;
  static constexpr int kPollStep = 1;
  template <typename Proxy>
  static auto& Member(Proxy& proxy) {
    return proxy.chargingProcessInformation;
  }
  static constexpr FieldTexts kTexts{
      "[SomeIp] Subscribed to chargingProcessInformation resource..",
      "[SomeIp] Received notification regarding chargingProcessInformation...",
      "[SomeIp] ChargingProcessInformation notification: There are ",
      "",
      "[SomeIp] ChargingProcessInformation notification: There are no elements in the CachedSamples. Returning...",
      " elements in the chargingProcessInformation Get vector...",
      "[SomeIp][SomeIpGET -> Rubo] Get failed for chargingProcessInformation OR 0 elements retrieved...",
      "",
  };
  static void Relay(Mediator& m, const Element& e) {
    m.TellRuboToUpdate_chargingProcessInformation(orik::commMngr::ChargingProcessInformationMembers{
        e.type, e.currentChargeState, e.chargeBulkThreshold, e.chargeMode, e.profileChargeReason, e.chargeType,
        e.chargingScenario, e.activeTargetSoc, e.chargeTimeDisplay, e.evseid, e.chargeRateCuteness});
  }
};

struct ValueIndications {
  using Element = cmcTypes::DT_valueIndications_struct;
  static constexpr Resource kResource = Resource::VALUE_INDICATIONS;
  static constexpr bool kHasType = true;
  static constexpr bool kNeedsProxy = true;
  static constexpr std::size_t kCacheSize = 8;
  static constexpr bool kWritable = false;
  static constexpr int kGetIndex = 9;
  static constexpr int kSetIndex = 9;
  static constexpr int kPollStep = 7;
  template <typename Proxy>
  static auto& Member(Proxy& proxy) {
    return proxy.valueIndications;
  }
  static constexpr FieldTexts kTexts{
      "[SomeIp] Subscribed to valueIndications resource..",
      "[SomeIp] Received notification regarding valueIndications...",
      "[SomeIp] ValueIndications notification: There are ",
      "",
      "[SomeIp] ValueIndications notification: There are no elements in the CachedSamples. Returning...",
      " elements in the valueIndications Get vector...",
      "[SomeIp][SomeIpGET -> Rubo] Get failed for valueIndications OR 0 elements retrieved...",
      "",
  };
  static void Relay(Mediator& m, const Element& e) {
    m.TellRuboToUpdate_valueIndications(orik::commMngr::ValueIndicationsMembers{
        e.type, e.currentValue, e.maxValue, e.minValue, e.currentTimeDateValue, e.unitPercent, e.unitTime, e.unitSpeed,
        e.unitPower, e.unitEnergy, e.restrictionReason});
  }
};

struct PastErrorInformation {
  using Element = cmcTypes::DT_pastErrorInformation_struct;
  static constexpr Resource kResource = Resource::PAST_ERROR_INFORMATION;
  static constexpr bool kHasType = true;
  static constexpr bool kNeedsProxy = true;
  static constexpr std::size_t kCacheSize = 3;
  static constexpr bool kWritable = true;
  static constexpr int kGetIndex = 10;
  static constexpr int kSetIndex = 10;
  static constexpr int kPollStep = 5;
  template <typename Proxy>
  static auto& Member(Proxy& proxy) {
    return proxy.pastErrorInformation;
  }
  static constexpr FieldTexts kTexts{
      "[SomeIp] Subscribed to pastErrorInformation resource..",
      "[SomeIp][SomeIp -> Rubo] Received notification regarding pastErrorInformation...",
      "[SomeIp] PastErrorInformation notification: There are ",
      "[SomeIp][SomeIp -> Rubo] PastErrorInformation_str object has no type... Ignoring notification...",
      "[SomeIp][SomeIp -> Rubo] PastErrorInformation notification: There are no elements in the CachedSamples. "
      "Returning...",
      " elements in the pastErrorInformation Get vector...",
      "[SomeIp][SomeIpGET -> Rubo] Get failed for pastErrorInformation OR 0 elements retrieved...",
      "[SomeIp][SomeIp -> Rubo] PastErrorInformation has no type... Ignoring struct...",
  };
  static void Relay(Mediator& m, const Element& e) {
    m.TellRuboToUpdate_pastErrorInformation(e.type, e.value, e.additionalInformation, e.confirmedByUser);
  }
};

struct BatteryCareModes {
  using Element = cmcTypes::DT_batteryCareModes_struct;
  static constexpr Resource kResource = Resource::BATTERY_CARE_MODES;
  static constexpr bool kHasType = true;
  static constexpr bool kNeedsProxy = false;
  static constexpr std::size_t kCacheSize = 1;
  static constexpr bool kWritable = false;
  static constexpr int kGetIndex = 11;
  static constexpr int kSetIndex = kNotInSetVariant;
  static constexpr int kPollStep = 12;
  template <typename Proxy>
  static auto& Member(Proxy& proxy) {
    return proxy.batteryCareModes;
  }
  static constexpr FieldTexts kTexts{
      "[SomeIp] Subscribed to BatteryCareModes resource..",
      "[SomeIp][SomeIp -> Rubo] Received notification regarding BatteryCareModes..",
      "[SomeIp][SomeIp -> Rubo] BatteryCareModes notification: There are ",
      "[SomeIp][SomeIp -> Rubo] BatteryCareModes object has no type... Ignoring notification...",
      "[SomeIp][SomeIp -> Rubo] BatteryCareModes notification: There are no elements in the CachedSamples. "
      "Returning...",
      " elements in the BatteryCareModes Get vector...",
      "[SomeIp][SomeIpGET -> Rubo] Get failed for BatteryCareModes OR 0 elements retrieved...",
      "[SomeIp][SomeIp -> Rubo] BatteryCareModes object has no type... Ignoring notification...",
  };
  static void Relay(Mediator& m, const Element& e) {
    m.TellRuboToUpdate_BatteryCareModes(e.type, e.chargeBcamThreshold, e.notification, e.popup, e.bcamScoreThreshold);
  }
};

struct BatteryPreconditionings {
  using Element = cmcTypes::DT_batteryPreconditionings_struct;
  static constexpr Resource kResource = Resource::BATTERY_PRECONDITIONINGS;
  static constexpr bool kHasType = true;
  static constexpr bool kNeedsProxy = false;
  static constexpr std::size_t kCacheSize = 1;
  static constexpr bool kWritable = false;
  static constexpr int kGetIndex = 13;
  static constexpr int kSetIndex = kNotInSetVariant;
  static constexpr int kPollStep = 13;
  template <typename Proxy>
  static auto& Member(Proxy& proxy) {
    return proxy.batteryPreconditionings;
  }
  static constexpr FieldTexts kTexts{
      "[SomeIp] Subscribed to BatteryPreconditionings resource..",
      "[SomeIp][SomeIp -> Rubo] Received notification regarding BatteryPreconditionings..",
      "[SomeIp][SomeIp -> Rubo] BatteryPreconditionings notification: There are ",
      "[SomeIp][SomeIp -> Rubo] BatteryPreconditionings object has no type... Ignoring notification...",
      "[SomeIp][SomeIp -> Rubo] BatteryPreconditionings notification: There are no elements in the CachedSamples. "
      "Returning...",
      " elements in the BatteryPreconditionings Get vector...",
      "[SomeIp][SomeIpGET -> Rubo] Get failed for BatteryPreconditionings OR 0 elements retrieved...",
      "[SomeIp][SomeIp -> Rubo] BatteryPreconditionings object has no type... Ignoring notification...",
  };
  static void Relay(Mediator& m, const Element& e) {
    m.TellRuboToUpdate_BatteryPreconditionings(e.type, e.preconditioningState);
  }
};

struct BatteryPreconditioningEnergies {
  using Element = cmcTypes::DT_batteryPreconditioningEnergies_struct;
  static constexpr Resource kResource = Resource::BATTERY_PRECONDITIONING_ENERGIES;
  static constexpr bool kHasType = true;
  static constexpr bool kNeedsProxy = false;
  static constexpr std::size_t kCacheSize = 1;
  static constexpr bool kWritable = false;
  static constexpr int kGetIndex = 14;
  static constexpr int kSetIndex = kNotInSetVariant;
  static constexpr int kPollStep = 14;
  template <typename Proxy>
  static auto& Member(Proxy& proxy) {
    return proxy.batteryPreconditioningEnergies;
  }
  static constexpr FieldTexts kTexts{
      "[SomeIp] Subscribed to BatteryPreconditioningEnergies resource..",
      "[SomeIp][SomeIp -> Rubo] Received notification regarding BatteryPreconditioningEnergies..",
      "[SomeIp][SomeIp -> Rubo] BatteryPreconditioningEnergies notification: There are ",
      "[SomeIp][SomeIp -> Rubo] BatteryPreconditioningEnergies object has no type... Ignoring notification...",
      "[SomeIp][SomeIp -> Rubo] BatteryPreconditioningEnergies notification: There are no elements in the "
      "CachedSamples. Returning...",
      " elements in the BatteryPreconditioningEnergies Get vector...",
      "[SomeIp][SomeIpGET -> Rubo] Get failed for BatteryPreconditioningEnergies OR 0 elements retrieved...",
      "[SomeIp][SomeIp -> Rubo] BatteryPreconditioningEnergies object has no type... Ignoring notification...",
  };
  static void Relay(Mediator& m, const Element& e) {
    m.TellRuboToUpdate_BatteryPreconditioningEnergies(e.type, e.firstStop, e.nextStops);
  }
};

struct BidirectionalChargingModes {
  using Element = cmcTypes::DT_bidirectionalChargingModes_struct;
  static constexpr Resource kResource = Resource::BIDIRECTIONAL_CHARGING_MODES;
  static constexpr bool kHasType = true;
  static constexpr bool kNeedsProxy = false;
  static constexpr std::size_t kCacheSize = 1;
  static constexpr bool kWritable = false;
  static constexpr int kGetIndex = 12;
  static constexpr int kSetIndex = kNotInSetVariant;
  static constexpr int kPollStep = 11;
  template <typename Proxy>
  static auto& Member(Proxy& proxy) {
    return proxy.bidirectionalChargingModes;
  }
  static constexpr FieldTexts kTexts{
      "[SomeIp] Subscribed to BidirectionalChargingModes resource..",
      "[SomeIp][SomeIp -> Rubo] Received notification regarding BidirectionalChargingModes..",
      "[SomeIp][SomeIp -> Rubo] BidirectionalChargingModes notification: There are ",
      "[SomeIp][SomeIp -> Rubo] BidirectionalChargingModes object has no type... Ignoring notification...",
      "[SomeIp][SomeIp -> Rubo] BidirectionalChargingModes notification: There are no elements in the "
      "CachedSamples. Returning...",
      " elements in the BidirectionalChargingModes Get vector...",
      "[SomeIp][SomeIpGET -> Rubo] Get failed for BidirectionalChargingModes OR 0 elements retrieved...",
      "[SomeIp][SomeIpGET -> Rubo] BidirectionalChargingModes object has no type... Ignoring struct...",
  };
  static void Relay(Mediator& m, const Element& e) {
    m.TellRuboToUpdate_BidirectionalChargingModes(std::tie(e.type, e.information, e.notification, e.chargingMode,
                                                           e.operatingHoursThreshold, e.numbersOfCyclesThreshold,
                                                           e.amountOfEnergyThreshold, e.quotaThreshold));
  }
};

// The one list of relayed fields, in subscription order: record, receive handler, poll step.
// Adding a field is one record above and one line here.
#define ORIK_CMC_FIELDS(FIELD)                                                                                    \
  FIELD(ChargingPlugs, OnReceived_ChargingPlugs, ProcessGet_ChargingPlugs)                                        \
  FIELD(ValueControls, OnReceived_ValueControls, ProcessGet_ValueControls)                                        \
  FIELD(SwitchControls, OnReceived_SwitchControls, ProcessGet_SwitchControls)                                     \
  FIELD(Views, OnReceived_Views, ProcessGet_Views)                                                                \
  FIELD(NotificationMarkers, OnReceived_NotificationMarkers, ProcessGet_NotificationMarkers)                      \
  FIELD(OruUpdateApprovals, OnReceived_OruUpdateApprovals, ProcessGet_OruUpdateApprovals)                         \
  FIELD(Notifications, OnReceived_Notifications, ProcessGet_Notifications)                                        \
  FIELD(ResetToFactoryData, OnReceived_FactoryResetData, ProcessGet_Resets)                                       \
  FIELD(ChargingProcessInformation, OnReceived_chargingProcessInformation, ProcessGet_ChargingProcessInformation) \
  FIELD(ValueIndications, OnReceived_valueIndications, ProcessGet_ValueIndications)                               \
  FIELD(PastErrorInformation, OnReceived_pastErrorInformation, ProcessGet_PastErrorInformation)                   \
  FIELD(BatteryCareModes, OnReceived_BatteryCareModes, ProcessGet_BatteryCareModes)                               \
  FIELD(BatteryPreconditionings, OnReceived_BatteryPreconditionings, ProcessGet_BatteryPreconditionings)          \
  FIELD(BatteryPreconditioningEnergies, OnReceived_BatteryPreconditioningEnergies,                                \
        ProcessGet_BatteryPreconditioningEnergies)                                                                \
  FIELD(BidirectionalChargingModes, OnReceived_BidirectionalChargingModes, ProcessGet_BidirectionalChargingModes)

namespace detail {
template <typename First, typename... Records>
struct ListOf {
  using type = orik::someipClient::FieldList<Records...>;
};
}  // namespace detail

#define ORIK_CMC_FIELD_RECORD(Record, Handler, Step) , Record
using All = detail::ListOf<void ORIK_CMC_FIELDS(ORIK_CMC_FIELD_RECORD)>::type;
#undef ORIK_CMC_FIELD_RECORD

// Keys that order the fields in the variants and in the poll.
struct ByGetIndex {
  template <typename F>
  static constexpr int Of() {
    return F::kGetIndex;
  }
};
struct BySetIndex {
  template <typename F>
  static constexpr int Of() {
    return F::kSetIndex;
  }
};
struct ByPollStep {
  template <typename F>
  static constexpr int Of() {
    return F::kPollStep;
  }
};

using InPollOrder = orik::someipClient::OrderedBy<All, ByPollStep>;

}  // namespace orik::chargingManagementCoreListener::fields
