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

// Options of immediate charging, each a linked switch or value control.
class ImmediateChargingOptionObject : public rubo::ServerElement {
 public:
  static constexpr std::string_view kPathPrefix = "/ChargingManagementCore/immediateChargingOptions/";

  ImmediateChargingOptionObject(const ara::rest::Uri& uri, const ara::rest::Uuid& uuid, std::string name);
  ~ImmediateChargingOptionObject() override;

  // An empty uri becomes kPathPrefix followed by the UUID text.
  static std::shared_ptr<ImmediateChargingOptionObject> Make(std::string name, const ara::rest::Uuid& uuid,
                                                             const ara::rest::Uri& uri);

  // Sets a String property after checking the value against the property's own list;
  // std::domain_error "Unsupported type: " + value, the element unchanged, when it is not in it.
  bool SetListedText(const std::string& property, const std::string& value);
  bool SetType(const std::string& value);

  // Links (an empty pointer unlinks, and the property's value is cleared).
  bool SetAutounlockAc(std::shared_ptr<SwitchControlObject> element);
  std::shared_ptr<SwitchControlObject> GetAutounlockAc() const;
  bool SetTargetSoc(std::shared_ptr<ValueControlObject> element);
  std::shared_ptr<ValueControlObject> GetTargetSoc() const;
  bool SetAutounlockDc(std::shared_ptr<SwitchControlObject> element);
  std::shared_ptr<SwitchControlObject> GetAutounlockDc() const;
  bool SetMaxChargeCurrentAc(std::shared_ptr<SwitchControlObject> element);
  std::shared_ptr<SwitchControlObject> GetMaxChargeCurrentAc() const;
  bool SetAcceptItSystemPeRange(std::shared_ptr<SwitchControlObject> element);
  std::shared_ptr<SwitchControlObject> GetAcceptItSystemPeRange() const;
  bool SetTargetRange(std::shared_ptr<ValueControlObject> element);
  std::shared_ptr<ValueControlObject> GetTargetRange() const;
  bool SetChargeModeSelection(std::shared_ptr<SwitchControlObject> element);
  std::shared_ptr<SwitchControlObject> GetChargeModeSelection() const;
  bool SetNavTargetSoc(std::shared_ptr<ValueControlObject> element);
  std::shared_ptr<ValueControlObject> GetNavTargetSoc() const;

  ara::rest::Pointer<ara::rest::ogm::Object> ToOGM() const override;

  const ValueLists& GetValueLists() const noexcept { return lists_; }

 private:
  ValueLists lists_;
  std::shared_ptr<SwitchControlObject> autounlockAc_;
  std::shared_ptr<ValueControlObject> targetSoc_;
  std::shared_ptr<SwitchControlObject> autounlockDc_;
  std::shared_ptr<SwitchControlObject> maxChargeCurrentAc_;
  std::shared_ptr<SwitchControlObject> acceptItSystemPeRange_;
  std::shared_ptr<ValueControlObject> targetRange_;
  std::shared_ptr<SwitchControlObject> chargeModeSelection_;
  std::shared_ptr<ValueControlObject> navTargetSoc_;
};

}  // namespace rubo::server::charging_management_core
