#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ara/rest/uri.h"
#include "ara/rest/uuid.h"
#include "rest_model/elements/elements.h"
#include "rest_model/rubo_server.h"

namespace rubo::server::testing {

// One element class seen through what every class offers, so that one table covers all 20.
struct ElementCase {
  std::string className;
  std::string collection;  // the collection (and model) the class belongs to
  std::string pathPrefix;
  bool hasValidator;
  std::function<std::shared_ptr<rubo::ServerElement>(const ara::rest::Uuid&, const ara::rest::Uri&)> make;
  std::function<const ValueLists&(const rubo::ServerElement&)> lists;
  // Empty for the four classes without a "type".
  std::function<bool(rubo::ServerElement&, const std::string&)> setType;
  std::string someType;
  std::string otherType;
  // Null for classes without a writable-property list.
  std::function<const ValueList*(const rubo::ServerElement&)> writable;
  // RuboServer::Add for this class.
  std::function<void(RuboServer&, const std::shared_ptr<rubo::ServerElement>&)> addTo;
};

// Test names and failure messages show the class, not the bytes of the case.
inline void PrintTo(const ElementCase& c, std::ostream* os) {
  *os << c.className;
}

template <typename E>
ElementCase CaseOf(std::string className, std::string collection, std::string someType = {},
                   std::string otherType = {}) {
  ElementCase c;
  c.className = std::move(className);
  c.collection = std::move(collection);
  c.pathPrefix = std::string(E::kPathPrefix);
  c.make = [name = c.className](const ara::rest::Uuid& uuid, const ara::rest::Uri& uri) {
    return E::Make(name, uuid, uri);
  };
  c.lists = [](const rubo::ServerElement& element) -> const ValueLists& {
    return dynamic_cast<const E&>(element).GetValueLists();
  };
  if constexpr (requires(E & e) { e.SetType(std::string()); }) {
    c.setType = [](rubo::ServerElement& element, const std::string& value) {
      return dynamic_cast<E&>(element).SetType(value);
    };
  }
  c.someType = std::move(someType);
  c.otherType = std::move(otherType);
  if constexpr (requires(const E& e) { e.GetWritableProperties(); }) {
    c.hasValidator = true;
    c.writable = [](const rubo::ServerElement& element) -> const ValueList* {
      return &dynamic_cast<const E&>(element).GetWritableProperties();
    };
  } else {
    c.hasValidator = false;
    c.writable = [](const rubo::ServerElement&) -> const ValueList* { return nullptr; };
  }
  c.addTo = [](RuboServer& server, const std::shared_ptr<rubo::ServerElement>& element) {
    server.Add(std::dynamic_pointer_cast<E>(element));
  };
  return c;
}

inline std::vector<ElementCase> AllElementCases() {
  using namespace charging_management_core;
  return {
      CaseOf<BidirectionalChargingModeObject>("BidirectionalChargingModeObject", "bidirectionalChargingModes",
                                              "bidirectionalChargingMode"),
      CaseOf<BatteryPreconditioningObject>("BatteryPreconditioningObject", "batteryPreconditionings",
                                           "batteryPreconditioning"),
      CaseOf<BatteryPreconditioningEnergyObject>("BatteryPreconditioningEnergyObject", "batteryPreconditioningEnergies",
                                                 "batteryPreconditioningEnergy1"),
      CaseOf<BatteryCareModeObject>("BatteryCareModeObject", "batteryCareModes", "batteryCareMode"),
      CaseOf<ViewObject>("ViewObject", "views", "popup", "bcamScreen"),
      CaseOf<ValueIndicationObject>("ValueIndicationObject", "valueIndications", "chargingProcessInformationCurrentSoc",
                                    "batteryCareModesBcamScore"),
      CaseOf<ValueControlObject>("ValueControlObject", "valueControls", "immediateChargingOptionsNavTargetSoc",
                                 "notificationMarker1notificationSocValue"),
      CaseOf<SwitchControlObject>("SwitchControlObject", "switchControls", "frontLeft1PlugLockState",
                                  "immediateActionStartStopCharging"),
      CaseOf<PastErrorInformationObject>("PastErrorInformationObject", "pastErrorInformation", "pastErrorInformation1",
                                         "pastErrorInformation3"),
      CaseOf<OruUpdateApprovalObject>("OruUpdateApprovalObject", "oruUpdateApprovals", "oruUpdateApproval"),
      CaseOf<NotificationObject>("NotificationObject", "notifications", "chargingNotification1",
                                 "chargingNotification6"),
      CaseOf<NotificationMarkerObject>("NotificationMarkerObject", "notificationMarkers", "notificationMarker1",
                                       "notificationMarker3"),
      CaseOf<ImmediateChargingOptionObject>("ImmediateChargingOptionObject", "immediateChargingOptions",
                                            "immediateChargingOption"),
      CaseOf<ImmediateActionObject>("ImmediateActionObject", "immediateActions", "immediateAction"),
      CaseOf<ChargingProcessInformationObject>("ChargingProcessInformationObject", "chargingProcessInformation",
                                               "chargingProcessInformation"),
      CaseOf<ChargingPlugObject>("ChargingPlugObject", "chargingPlugs", "frontLeft1", "rearRight2"),
      CaseOf<ResetToFactoryDataObject>("ResetToFactoryDataObject", "resetToFactoryData"),
      CaseOf<ChargeModeObject>("ChargeModeObject", "chargeModes"),
      CaseOf<StatisticObject>("StatisticObject", "statistics"),
      CaseOf<factory_reset::ResetObject>("ResetObject", "resets"),
  };
}

}  // namespace rubo::server::testing
