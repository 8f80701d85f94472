#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "ara/rest/ogm.h"
#include "ara/rest/uri.h"
#include "ara/rest/uuid.h"
#include "rest_model/elements/switch_control_object.h"
#include "rest_model/elements/value_indication_object.h"
#include "rest_model/elements/value_lists.h"
#include "rubo/server_xobject.h"

namespace rubo::server::charging_management_core {

// Battery preconditioning: its state, the switches that activate it and the indications of its progress.
class BatteryPreconditioningObject : public rubo::ServerElement {
 public:
  static constexpr std::string_view kPathPrefix = "/ChargingManagementCore/batteryPreconditionings/";

  BatteryPreconditioningObject(const ara::rest::Uri& uri, const ara::rest::Uuid& uuid, std::string name);
  ~BatteryPreconditioningObject() override;

  // An empty uri becomes kPathPrefix followed by the UUID text.
  static std::shared_ptr<BatteryPreconditioningObject> Make(std::string name, const ara::rest::Uuid& uuid,
                                                            const ara::rest::Uri& uri);

  // Sets a String property after checking the value against the property's own list;
  // std::domain_error "Unsupported type: " + value, the element unchanged, when it is not in it.
  bool SetListedText(const std::string& property, const std::string& value);
  bool SetType(const std::string& value);

  // Links (an empty pointer unlinks, and the property's value is cleared).
  bool SetRemainingTimeFinished(std::shared_ptr<ValueIndicationObject> element);
  std::shared_ptr<ValueIndicationObject> GetRemainingTimeFinished() const;
  bool SetBatteryTemperature(std::shared_ptr<ValueIndicationObject> element);
  std::shared_ptr<ValueIndicationObject> GetBatteryTemperature() const;
  bool SetPreconditioningActivation(std::shared_ptr<SwitchControlObject> element);
  std::shared_ptr<SwitchControlObject> GetPreconditioningActivation() const;
  bool SetRemainingTimeToStart(std::shared_ptr<ValueIndicationObject> element);
  std::shared_ptr<ValueIndicationObject> GetRemainingTimeToStart() const;
  bool SetAutoModeActivation(std::shared_ptr<SwitchControlObject> element);
  std::shared_ptr<SwitchControlObject> GetAutoModeActivation() const;

  ara::rest::Pointer<ara::rest::ogm::Object> ToOGM() const override;

  const ValueLists& GetValueLists() const noexcept { return lists_; }

 private:
  ValueLists lists_;
  std::shared_ptr<ValueIndicationObject> remainingTimeFinished_;
  std::shared_ptr<ValueIndicationObject> batteryTemperature_;
  std::shared_ptr<SwitchControlObject> preconditioningActivation_;
  std::shared_ptr<ValueIndicationObject> remainingTimeToStart_;
  std::shared_ptr<SwitchControlObject> autoModeActivation_;
};

}  // namespace rubo::server::charging_management_core
