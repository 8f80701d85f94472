#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "ara/rest/ogm.h"
#include "ara/rest/uri.h"
#include "ara/rest/uuid.h"
#include "rest_model/elements/value_indication_object.h"
#include "rest_model/elements/value_lists.h"
#include "rubo/server_xobject.h"

namespace rubo::server::charging_management_core {

// The active charge mode and the details of a running charging process.
class ChargingProcessInformationObject : public rubo::ServerElement {
 public:
  static constexpr std::string_view kPathPrefix = "/ChargingManagementCore/chargingProcessInformation/";

  ChargingProcessInformationObject(const ara::rest::Uri& uri, const ara::rest::Uuid& uuid, std::string name);
  ~ChargingProcessInformationObject() override;

  // An empty uri becomes kPathPrefix followed by the UUID text.
  static std::shared_ptr<ChargingProcessInformationObject> Make(std::string name, const ara::rest::Uuid& uuid,
                                                                const ara::rest::Uri& uri);

  // Sets a String property after checking the value against the property's own list;
  // std::domain_error "Unsupported type: " + value, the element unchanged, when it is not in it.
  bool SetListedText(const std::string& property, const std::string& value);
  bool SetType(const std::string& value);
  bool SetCurrentChargeState(const std::string& value);
  bool SetChargeMode(const std::string& value);
  bool SetProfileChargeReason(const std::string& value);
  bool SetChargeType(const std::string& value);
  bool SetChargingScenario(const std::string& value);
  bool SetActiveTargetSoc(const std::string& value);
  bool SetChargeTimeDisplay(const std::string& value);
  bool SetChargeRateCuteness(const std::string& value);

  // Links (an empty pointer unlinks, and the property's value is cleared).
  bool SetMaxPowerChargingStation(std::shared_ptr<ValueIndicationObject> element);
  std::shared_ptr<ValueIndicationObject> GetMaxPowerChargingStation() const;
  bool SetRemainingChargeTimeNav(std::shared_ptr<ValueIndicationObject> element);
  std::shared_ptr<ValueIndicationObject> GetRemainingChargeTimeNav() const;
  bool SetChargeEnergy(std::shared_ptr<ValueIndicationObject> element);
  std::shared_ptr<ValueIndicationObject> GetChargeEnergy() const;
  bool SetRemainingChargeTimeBulk(std::shared_ptr<ValueIndicationObject> element);
  std::shared_ptr<ValueIndicationObject> GetRemainingChargeTimeBulk() const;
  bool SetCurrentSoc(std::shared_ptr<ValueIndicationObject> element);
  std::shared_ptr<ValueIndicationObject> GetCurrentSoc() const;
  bool SetMaxPowerAc(std::shared_ptr<ValueIndicationObject> element);
  std::shared_ptr<ValueIndicationObject> GetMaxPowerAc() const;
  bool SetRemainingChargeTimeFull(std::shared_ptr<ValueIndicationObject> element);
  std::shared_ptr<ValueIndicationObject> GetRemainingChargeTimeFull() const;
  bool SetChargePower(std::shared_ptr<ValueIndicationObject> element);
  std::shared_ptr<ValueIndicationObject> GetChargePower() const;
  bool SetRemainingChargeTimeComplete(std::shared_ptr<ValueIndicationObject> element);
  std::shared_ptr<ValueIndicationObject> GetRemainingChargeTimeComplete() const;
  bool SetChargeTargetTime(std::shared_ptr<ValueIndicationObject> element);
  std::shared_ptr<ValueIndicationObject> GetChargeTargetTime() const;
  bool SetMaxChargePowerCurrent(std::shared_ptr<ValueIndicationObject> element);
  std::shared_ptr<ValueIndicationObject> GetMaxChargePowerCurrent() const;
  bool SetChargeRate(std::shared_ptr<ValueIndicationObject> element);
  std::shared_ptr<ValueIndicationObject> GetChargeRate() const;
  bool SetChargeTargetTimeOffset(std::shared_ptr<ValueIndicationObject> element);
  std::shared_ptr<ValueIndicationObject> GetChargeTargetTimeOffset() const;
  bool SetMaxChargePowerOptimalTemperature(std::shared_ptr<ValueIndicationObject> element);
  std::shared_ptr<ValueIndicationObject> GetMaxChargePowerOptimalTemperature() const;
  bool SetMaxPowerDc(std::shared_ptr<ValueIndicationObject> element);
  std::shared_ptr<ValueIndicationObject> GetMaxPowerDc() const;

  ara::rest::Pointer<ara::rest::ogm::Object> ToOGM() const override;

  const ValueLists& GetValueLists() const noexcept { return lists_; }

 private:
  ValueLists lists_;
  std::shared_ptr<ValueIndicationObject> maxPowerChargingStation_;
  std::shared_ptr<ValueIndicationObject> remainingChargeTimeNav_;
  std::shared_ptr<ValueIndicationObject> chargeEnergy_;
  std::shared_ptr<ValueIndicationObject> remainingChargeTimeBulk_;
  std::shared_ptr<ValueIndicationObject> currentSoc_;
  std::shared_ptr<ValueIndicationObject> maxPowerAc_;
  std::shared_ptr<ValueIndicationObject> remainingChargeTimeFull_;
  std::shared_ptr<ValueIndicationObject> chargePower_;
  std::shared_ptr<ValueIndicationObject> remainingChargeTimeComplete_;
  std::shared_ptr<ValueIndicationObject> chargeTargetTime_;
  std::shared_ptr<ValueIndicationObject> maxChargePowerCurrent_;
  std::shared_ptr<ValueIndicationObject> chargeRate_;
  std::shared_ptr<ValueIndicationObject> chargeTargetTimeOffset_;
  std::shared_ptr<ValueIndicationObject> maxChargePowerOptimalTemperature_;
  std::shared_ptr<ValueIndicationObject> maxPowerDc_;
};

}  // namespace rubo::server::charging_management_core
