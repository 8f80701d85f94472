#include "rest_model/elements/charging_process_information_object.h"

#include <utility>

#include "rest_model/elements/element_support.h"
#include "rest_model/elements/element_vocabulary.h"

namespace rubo::server::charging_management_core {

namespace vocabulary = rubo::server::vocabulary;

ChargingProcessInformationObject::ChargingProcessInformationObject(const ara::rest::Uri& uri,
                                                                   const ara::rest::Uuid& uuid, std::string name)
    : rubo::ServerElement(uuid, uri, std::move(name)),
      lists_{{"chargeTimeDisplay", vocabulary::kChargingProcessInformationObjectChargeTimeDisplay},
             {"chargeType", vocabulary::kChargingProcessInformationObjectChargeType},
             {"chargeRateCuteness", vocabulary::kChargingProcessInformationObjectChargeRateCuteness},
             {"type", vocabulary::kChargingProcessInformationObjectType},
             {"activeTargetSoc", vocabulary::kChargingProcessInformationObjectActiveTargetSoc},
             {"chargingScenario", vocabulary::kChargingProcessInformationObjectChargingScenario},
             {"currentChargeState", vocabulary::kChargingProcessInformationObjectCurrentChargeState},
             {"chargeMode", vocabulary::kChargingProcessInformationObjectChargeMode},
             {"profileChargeReason", vocabulary::kChargingProcessInformationObjectProfileChargeReason}} {
  SetPreGetCallback(rubo::server::AllowRead);
}

ChargingProcessInformationObject::~ChargingProcessInformationObject() = default;

std::shared_ptr<ChargingProcessInformationObject> ChargingProcessInformationObject::Make(std::string name,
                                                                                         const ara::rest::Uuid& uuid,
                                                                                         const ara::rest::Uri& uri) {
  return rubo::server::MakeElementAt<ChargingProcessInformationObject>(kPathPrefix, std::move(name), uuid, uri);
}

bool ChargingProcessInformationObject::SetListedText(const std::string& property, const std::string& value) {
  return rubo::server::SetListedText(*this, lists_.For(property), property, value);
}

bool ChargingProcessInformationObject::SetType(const std::string& value) {
  return SetListedText("type", value);
}

bool ChargingProcessInformationObject::SetCurrentChargeState(const std::string& value) {
  return SetListedText("currentChargeState", value);
}

bool ChargingProcessInformationObject::SetChargeMode(const std::string& value) {
  return SetListedText("chargeMode", value);
}

bool ChargingProcessInformationObject::SetProfileChargeReason(const std::string& value) {
  return SetListedText("profileChargeReason", value);
}

bool ChargingProcessInformationObject::SetChargeType(const std::string& value) {
  return SetListedText("chargeType", value);
}

bool ChargingProcessInformationObject::SetChargingScenario(const std::string& value) {
  return SetListedText("chargingScenario", value);
}

bool ChargingProcessInformationObject::SetActiveTargetSoc(const std::string& value) {
  return SetListedText("activeTargetSoc", value);
}

bool ChargingProcessInformationObject::SetChargeTimeDisplay(const std::string& value) {
  return SetListedText("chargeTimeDisplay", value);
}

bool ChargingProcessInformationObject::SetChargeRateCuteness(const std::string& value) {
  return SetListedText("chargeRateCuteness", value);
}

bool ChargingProcessInformationObject::SetMaxPowerChargingStation(std::shared_ptr<ValueIndicationObject> element) {
  return rubo::server::SetLink(*this, GetObjectMutex(), maxPowerChargingStation_, std::move(element),
                               "maxPowerChargingStation");
}

std::shared_ptr<ValueIndicationObject> ChargingProcessInformationObject::GetMaxPowerChargingStation() const {
  return rubo::server::LoadLink(GetObjectMutex(), maxPowerChargingStation_);
}

bool ChargingProcessInformationObject::SetRemainingChargeTimeNav(std::shared_ptr<ValueIndicationObject> element) {
  return rubo::server::SetLink(*this, GetObjectMutex(), remainingChargeTimeNav_, std::move(element),
                               "remainingChargeTimeNav");
}

std::shared_ptr<ValueIndicationObject> ChargingProcessInformationObject::GetRemainingChargeTimeNav() const {
  return rubo::server::LoadLink(GetObjectMutex(), remainingChargeTimeNav_);
}

bool ChargingProcessInformationObject::SetChargeEnergy(std::shared_ptr<ValueIndicationObject> element) {
  return rubo::server::SetLink(*this, GetObjectMutex(), chargeEnergy_, std::move(element), "chargeEnergy");
}

std::shared_ptr<ValueIndicationObject> ChargingProcessInformationObject::GetChargeEnergy() const {
  return rubo::server::LoadLink(GetObjectMutex(), chargeEnergy_);
}

bool ChargingProcessInformationObject::SetRemainingChargeTimeBulk(std::shared_ptr<ValueIndicationObject> element) {
  return rubo::server::SetLink(*this, GetObjectMutex(), remainingChargeTimeBulk_, std::move(element),
                               "remainingChargeTimeBulk");
}

std::shared_ptr<ValueIndicationObject> ChargingProcessInformationObject::GetRemainingChargeTimeBulk() const {
  return rubo::server::LoadLink(GetObjectMutex(), remainingChargeTimeBulk_);
}

bool ChargingProcessInformationObject::SetCurrentSoc(std::shared_ptr<ValueIndicationObject> element) {
  return rubo::server::SetLink(*this, GetObjectMutex(), currentSoc_, std::move(element), "currentSoc");
}

std::shared_ptr<ValueIndicationObject> ChargingProcessInformationObject::GetCurrentSoc() const {
  return rubo::server::LoadLink(GetObjectMutex(), currentSoc_);
}

bool ChargingProcessInformationObject::SetMaxPowerAc(std::shared_ptr<ValueIndicationObject> element) {
  return rubo::server::SetLink(*this, GetObjectMutex(), maxPowerAc_, std::move(element), "maxPowerAc");
}

std::shared_ptr<ValueIndicationObject> ChargingProcessInformationObject::GetMaxPowerAc() const {
  return rubo::server::LoadLink(GetObjectMutex(), maxPowerAc_);
}

bool ChargingProcessInformationObject::SetRemainingChargeTimeFull(std::shared_ptr<ValueIndicationObject> element) {
  return rubo::server::SetLink(*this, GetObjectMutex(), remainingChargeTimeFull_, std::move(element),
                               "remainingChargeTimeFull");
}

std::shared_ptr<ValueIndicationObject> ChargingProcessInformationObject::GetRemainingChargeTimeFull() const {
  return rubo::server::LoadLink(GetObjectMutex(), remainingChargeTimeFull_);
}

bool ChargingProcessInformationObject::SetChargePower(std::shared_ptr<ValueIndicationObject> element) {
  return rubo::server::SetLink(*this, GetObjectMutex(), chargePower_, std::move(element), "chargePower");
}

std::shared_ptr<ValueIndicationObject> ChargingProcessInformationObject::GetChargePower() const {
  return rubo::server::LoadLink(GetObjectMutex(), chargePower_);
}

bool ChargingProcessInformationObject::SetRemainingChargeTimeComplete(std::shared_ptr<ValueIndicationObject> element) {
  return rubo::server::SetLink(*this, GetObjectMutex(), remainingChargeTimeComplete_, std::move(element),
                               "remainingChargeTimeComplete");
}

std::shared_ptr<ValueIndicationObject> ChargingProcessInformationObject::GetRemainingChargeTimeComplete() const {
  return rubo::server::LoadLink(GetObjectMutex(), remainingChargeTimeComplete_);
}

bool ChargingProcessInformationObject::SetChargeTargetTime(std::shared_ptr<ValueIndicationObject> element) {
  return rubo::server::SetLink(*this, GetObjectMutex(), chargeTargetTime_, std::move(element), "chargeTargetTime");
}

std::shared_ptr<ValueIndicationObject> ChargingProcessInformationObject::GetChargeTargetTime() const {
  return rubo::server::LoadLink(GetObjectMutex(), chargeTargetTime_);
}

bool ChargingProcessInformationObject::SetMaxChargePowerCurrent(std::shared_ptr<ValueIndicationObject> element) {
  return rubo::server::SetLink(*this, GetObjectMutex(), maxChargePowerCurrent_, std::move(element),
                               "maxChargePowerCurrent");
}

std::shared_ptr<ValueIndicationObject> ChargingProcessInformationObject::GetMaxChargePowerCurrent() const {
  return rubo::server::LoadLink(GetObjectMutex(), maxChargePowerCurrent_);
}

bool ChargingProcessInformationObject::SetChargeRate(std::shared_ptr<ValueIndicationObject> element) {
  return rubo::server::SetLink(*this, GetObjectMutex(), chargeRate_, std::move(element), "chargeRate");
}

std::shared_ptr<ValueIndicationObject> ChargingProcessInformationObject::GetChargeRate() const {
  return rubo::server::LoadLink(GetObjectMutex(), chargeRate_);
}

bool ChargingProcessInformationObject::SetChargeTargetTimeOffset(std::shared_ptr<ValueIndicationObject> element) {
  return rubo::server::SetLink(*this, GetObjectMutex(), chargeTargetTimeOffset_, std::move(element),
                               "chargeTargetTimeOffset");
}

std::shared_ptr<ValueIndicationObject> ChargingProcessInformationObject::GetChargeTargetTimeOffset() const {
  return rubo::server::LoadLink(GetObjectMutex(), chargeTargetTimeOffset_);
}

bool ChargingProcessInformationObject::SetMaxChargePowerOptimalTemperature(
    std::shared_ptr<ValueIndicationObject> element) {
  return rubo::server::SetLink(*this, GetObjectMutex(), maxChargePowerOptimalTemperature_, std::move(element),
                               "maxChargePowerOptimalTemperature");
}

std::shared_ptr<ValueIndicationObject> ChargingProcessInformationObject::GetMaxChargePowerOptimalTemperature() const {
  return rubo::server::LoadLink(GetObjectMutex(), maxChargePowerOptimalTemperature_);
}

bool ChargingProcessInformationObject::SetMaxPowerDc(std::shared_ptr<ValueIndicationObject> element) {
  return rubo::server::SetLink(*this, GetObjectMutex(), maxPowerDc_, std::move(element), "maxPowerDc");
}

std::shared_ptr<ValueIndicationObject> ChargingProcessInformationObject::GetMaxPowerDc() const {
  return rubo::server::LoadLink(GetObjectMutex(), maxPowerDc_);
}

ara::rest::Pointer<ara::rest::ogm::Object> ChargingProcessInformationObject::ToOGM() const {
  auto rendering = rubo::ServerElement::ToOGM();
  rubo::server::ExpandLink(*rendering, "maxPowerChargingStation", GetMaxPowerChargingStation().get());
  rubo::server::ExpandLink(*rendering, "remainingChargeTimeNav", GetRemainingChargeTimeNav().get());
  rubo::server::ExpandLink(*rendering, "chargeEnergy", GetChargeEnergy().get());
  rubo::server::ExpandLink(*rendering, "remainingChargeTimeBulk", GetRemainingChargeTimeBulk().get());
  rubo::server::ExpandLink(*rendering, "currentSoc", GetCurrentSoc().get());
  rubo::server::ExpandLink(*rendering, "maxPowerAc", GetMaxPowerAc().get());
  rubo::server::ExpandLink(*rendering, "remainingChargeTimeFull", GetRemainingChargeTimeFull().get());
  rubo::server::ExpandLink(*rendering, "chargePower", GetChargePower().get());
  rubo::server::ExpandLink(*rendering, "remainingChargeTimeComplete", GetRemainingChargeTimeComplete().get());
  rubo::server::ExpandLink(*rendering, "chargeTargetTime", GetChargeTargetTime().get());
  rubo::server::ExpandLink(*rendering, "maxChargePowerCurrent", GetMaxChargePowerCurrent().get());
  rubo::server::ExpandLink(*rendering, "chargeRate", GetChargeRate().get());
  rubo::server::ExpandLink(*rendering, "chargeTargetTimeOffset", GetChargeTargetTimeOffset().get());
  rubo::server::ExpandLink(*rendering, "maxChargePowerOptimalTemperature", GetMaxChargePowerOptimalTemperature().get());
  rubo::server::ExpandLink(*rendering, "maxPowerDc", GetMaxPowerDc().get());
  return rendering;
}

}  // namespace rubo::server::charging_management_core
