#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "ara/rest/ogm.h"
#include "ara/rest/uri.h"
#include "ara/rest/uuid.h"
#include "rest_model/elements/value_control_object.h"
#include "rest_model/elements/value_indication_object.h"
#include "rest_model/elements/value_lists.h"
#include "rubo/server_xobject.h"

namespace rubo::server::charging_management_core {

// The bidirectional charging mode with its thresholds and the value controls and indications it bundles.
class BidirectionalChargingModeObject : public rubo::ServerElement {
 public:
  static constexpr std::string_view kPathPrefix = "/ChargingManagementCore/bidirectionalChargingModes/";

  BidirectionalChargingModeObject(const ara::rest::Uri& uri, const ara::rest::Uuid& uuid, std::string name);
  ~BidirectionalChargingModeObject() override;

  // An empty uri becomes kPathPrefix followed by the UUID text.
  static std::shared_ptr<BidirectionalChargingModeObject> Make(std::string name, const ara::rest::Uuid& uuid,
                                                               const ara::rest::Uri& uri);

  // Sets a String property after checking the value against the property's own list;
  // std::domain_error "Unsupported type: " + value, the element unchanged, when it is not in it.
  bool SetListedText(const std::string& property, const std::string& value);
  bool SetType(const std::string& value);

  // Links (an empty pointer unlinks, and the property's value is cleared).
  bool SetMaxSoc(std::shared_ptr<ValueControlObject> element);
  std::shared_ptr<ValueControlObject> GetMaxSoc() const;
  bool SetMinSoc(std::shared_ptr<ValueControlObject> element);
  std::shared_ptr<ValueControlObject> GetMinSoc() const;
  bool SetNumbersOfCycles(std::shared_ptr<ValueIndicationObject> element);
  std::shared_ptr<ValueIndicationObject> GetNumbersOfCycles() const;
  bool SetAmountOfEnergy(std::shared_ptr<ValueIndicationObject> element);
  std::shared_ptr<ValueIndicationObject> GetAmountOfEnergy() const;
  bool SetOperatingHours(std::shared_ptr<ValueIndicationObject> element);
  std::shared_ptr<ValueIndicationObject> GetOperatingHours() const;
  bool SetQuota(std::shared_ptr<ValueIndicationObject> element);
  std::shared_ptr<ValueIndicationObject> GetQuota() const;

  ara::rest::Pointer<ara::rest::ogm::Object> ToOGM() const override;

  const ValueLists& GetValueLists() const noexcept { return lists_; }

 private:
  ValueLists lists_;
  std::shared_ptr<ValueControlObject> maxSoc_;
  std::shared_ptr<ValueControlObject> minSoc_;
  std::shared_ptr<ValueIndicationObject> numbersOfCycles_;
  std::shared_ptr<ValueIndicationObject> amountOfEnergy_;
  std::shared_ptr<ValueIndicationObject> operatingHours_;
  std::shared_ptr<ValueIndicationObject> quota_;
};

}  // namespace rubo::server::charging_management_core
