#include "rest_model/elements/charge_mode_object.h"

#include <utility>

#include "rest_model/elements/element_support.h"
#include "rest_model/elements/element_vocabulary.h"

namespace rubo::server::charging_management_core {

namespace vocabulary = rubo::server::vocabulary;

ChargeModeObject::ChargeModeObject(const ara::rest::Uri& uri, const ara::rest::Uuid& uuid, std::string name)
    : rubo::ServerElement(uuid, uri, std::move(name)),
      lists_{{"chargeModesType", vocabulary::kChargeModeObjectChargeModesType},
             {"stateInformation", vocabulary::kChargeModeObjectStateInformation},
             {"state", vocabulary::kChargeModeObjectState}} {
  SetPreGetCallback(rubo::server::AllowRead);
}

ChargeModeObject::~ChargeModeObject() = default;

std::shared_ptr<ChargeModeObject> ChargeModeObject::Make(std::string name, const ara::rest::Uuid& uuid,
                                                         const ara::rest::Uri& uri) {
  return rubo::server::MakeElementAt<ChargeModeObject>(kPathPrefix, std::move(name), uuid, uri);
}

bool ChargeModeObject::SetListedText(const std::string& property, const std::string& value) {
  return rubo::server::SetListedText(*this, lists_.For(property), property, value);
}

bool ChargeModeObject::SetStartStopCharging(std::shared_ptr<SwitchControlObject> element) {
  return rubo::server::SetLink(*this, GetObjectMutex(), startStopCharging_, std::move(element), "startStopCharging");
}

std::shared_ptr<SwitchControlObject> ChargeModeObject::GetStartStopCharging() const {
  return rubo::server::LoadLink(GetObjectMutex(), startStopCharging_);
}

bool ChargeModeObject::SetChargeModeSelection(std::shared_ptr<SwitchControlObject> element) {
  return rubo::server::SetLink(*this, GetObjectMutex(), chargeModeSelection_, std::move(element),
                               "chargeModeSelection");
}

std::shared_ptr<SwitchControlObject> ChargeModeObject::GetChargeModeSelection() const {
  return rubo::server::LoadLink(GetObjectMutex(), chargeModeSelection_);
}

ara::rest::Pointer<ara::rest::ogm::Object> ChargeModeObject::ToOGM() const {
  auto rendering = rubo::ServerElement::ToOGM();
  rubo::server::ExpandLink(*rendering, "startStopCharging", GetStartStopCharging().get());
  rubo::server::ExpandLink(*rendering, "chargeModeSelection", GetChargeModeSelection().get());
  return rendering;
}

}  // namespace rubo::server::charging_management_core
