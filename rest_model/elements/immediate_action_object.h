#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "ara/rest/ogm.h"
#include "ara/rest/uri.h"
#include "ara/rest/uuid.h"
#include "rest_model/elements/switch_control_object.h"
#include "rest_model/elements/value_control_object.h"
#include "rest_model/elements/value_lists.h"
#include "rubo/server_xobject.h"

namespace rubo::server::charging_management_core {

// Actions that stop or start a charging process with an end criterion.
class ImmediateActionObject : public rubo::ServerElement {
 public:
  static constexpr std::string_view kPathPrefix = "/ChargingManagementCore/immediateActions/";

  ImmediateActionObject(const ara::rest::Uri& uri, const ara::rest::Uuid& uuid, std::string name);
  ~ImmediateActionObject() override;

  // An empty uri becomes kPathPrefix followed by the UUID text.
  static std::shared_ptr<ImmediateActionObject> Make(std::string name, const ara::rest::Uuid& uuid,
                                                     const ara::rest::Uri& uri);

  // Sets a String property after checking the value against the property's own list;
  // std::domain_error "Unsupported type: " + value, the element unchanged, when it is not in it.
  bool SetListedText(const std::string& property, const std::string& value);
  bool SetType(const std::string& value);

  // Links (an empty pointer unlinks, and the property's value is cleared).
  bool SetImmediateActionRange(std::shared_ptr<ValueControlObject> element);
  std::shared_ptr<ValueControlObject> GetImmediateActionRange() const;
  bool SetImmediateActionSoc(std::shared_ptr<ValueControlObject> element);
  std::shared_ptr<ValueControlObject> GetImmediateActionSoc() const;
  bool SetStartStopCharging(std::shared_ptr<SwitchControlObject> element);
  std::shared_ptr<SwitchControlObject> GetStartStopCharging() const;
  bool SetImmediateActionTime(std::shared_ptr<ValueControlObject> element);
  std::shared_ptr<ValueControlObject> GetImmediateActionTime() const;

  ara::rest::Pointer<ara::rest::ogm::Object> ToOGM() const override;

  const ValueLists& GetValueLists() const noexcept { return lists_; }

 private:
  ValueLists lists_;
  std::shared_ptr<ValueControlObject> immediateActionRange_;
  std::shared_ptr<ValueControlObject> immediateActionSoc_;
  std::shared_ptr<SwitchControlObject> startStopCharging_;
  std::shared_ptr<ValueControlObject> immediateActionTime_;
};

}  // namespace rubo::server::charging_management_core
