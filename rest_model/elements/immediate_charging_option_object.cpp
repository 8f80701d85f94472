#include "rest_model/elements/immediate_charging_option_object.h"

#include <utility>

#include "rest_model/elements/element_support.h"
#include "rest_model/elements/element_vocabulary.h"

namespace rubo::server::charging_management_core {

namespace vocabulary = rubo::server::vocabulary;

ImmediateChargingOptionObject::ImmediateChargingOptionObject(const ara::rest::Uri& uri, const ara::rest::Uuid& uuid,
                                                             std::string name)
    : rubo::ServerElement(uuid, uri, std::move(name)),
      lists_{{"type", vocabulary::kImmediateChargingOptionObjectType}} {
  SetPreGetCallback(rubo::server::AllowRead);
}

ImmediateChargingOptionObject::~ImmediateChargingOptionObject() = default;

std::shared_ptr<ImmediateChargingOptionObject> ImmediateChargingOptionObject::Make(std::string name,
                                                                                   const ara::rest::Uuid& uuid,
                                                                                   const ara::rest::Uri& uri) {
  return rubo::server::MakeElementAt<ImmediateChargingOptionObject>(kPathPrefix, std::move(name), uuid, uri);
}

bool ImmediateChargingOptionObject::SetListedText(const std::string& property, const std::string& value) {
  return rubo::server::SetListedText(*this, lists_.For(property), property, value);
}

bool ImmediateChargingOptionObject::SetType(const std::string& value) {
  return SetListedText("type", value);
}

bool ImmediateChargingOptionObject::SetAutounlockAc(std::shared_ptr<SwitchControlObject> element) {
  return rubo::server::SetLink(*this, GetObjectMutex(), autounlockAc_, std::move(element), "autounlockAc");
}

std::shared_ptr<SwitchControlObject> ImmediateChargingOptionObject::GetAutounlockAc() const {
  return rubo::server::LoadLink(GetObjectMutex(), autounlockAc_);
}

bool ImmediateChargingOptionObject::SetTargetSoc(std::shared_ptr<ValueControlObject> element) {
  return rubo::server::SetLink(*this, GetObjectMutex(), targetSoc_, std::move(element), "targetSoc");
}

std::shared_ptr<ValueControlObject> ImmediateChargingOptionObject::GetTargetSoc() const {
  return rubo::server::LoadLink(GetObjectMutex(), targetSoc_);
}

bool ImmediateChargingOptionObject::SetAutounlockDc(std::shared_ptr<SwitchControlObject> element) {
  return rubo::server::SetLink(*this, GetObjectMutex(), autounlockDc_, std::move(element), "autounlockDc");
}

std::shared_ptr<SwitchControlObject> ImmediateChargingOptionObject::GetAutounlockDc() const {
  return rubo::server::LoadLink(GetObjectMutex(), autounlockDc_);
}

bool ImmediateChargingOptionObject::SetMaxChargeCurrentAc(std::shared_ptr<SwitchControlObject> element) {
  return rubo::server::SetLink(*this, GetObjectMutex(), maxChargeCurrentAc_, std::move(element), "maxChargeCurrentAc");
}

std::shared_ptr<SwitchControlObject> ImmediateChargingOptionObject::GetMaxChargeCurrentAc() const {
  return rubo::server::LoadLink(GetObjectMutex(), maxChargeCurrentAc_);
}

bool ImmediateChargingOptionObject::SetAcceptItSystemPeRange(std::shared_ptr<SwitchControlObject> element) {
  return rubo::server::SetLink(*this, GetObjectMutex(), acceptItSystemPeRange_, std::move(element),
                               "acceptItSystemPeRange");
}

std::shared_ptr<SwitchControlObject> ImmediateChargingOptionObject::GetAcceptItSystemPeRange() const {
  return rubo::server::LoadLink(GetObjectMutex(), acceptItSystemPeRange_);
}

bool ImmediateChargingOptionObject::SetTargetRange(std::shared_ptr<ValueControlObject> element) {
  return rubo::server::SetLink(*this, GetObjectMutex(), targetRange_, std::move(element), "targetRange");
}

std::shared_ptr<ValueControlObject> ImmediateChargingOptionObject::GetTargetRange() const {
  return rubo::server::LoadLink(GetObjectMutex(), targetRange_);
}

bool ImmediateChargingOptionObject::SetChargeModeSelection(std::shared_ptr<SwitchControlObject> element) {
  return rubo::server::SetLink(*this, GetObjectMutex(), chargeModeSelection_, std::move(element),
                               "chargeModeSelection");
}

std::shared_ptr<SwitchControlObject> ImmediateChargingOptionObject::GetChargeModeSelection() const {
  return rubo::server::LoadLink(GetObjectMutex(), chargeModeSelection_);
}

bool ImmediateChargingOptionObject::SetNavTargetSoc(std::shared_ptr<ValueControlObject> element) {
  return rubo::server::SetLink(*this, GetObjectMutex(), navTargetSoc_, std::move(element), "navTargetSoc");
}

std::shared_ptr<ValueControlObject> ImmediateChargingOptionObject::GetNavTargetSoc() const {
  return rubo::server::LoadLink(GetObjectMutex(), navTargetSoc_);
}

ara::rest::Pointer<ara::rest::ogm::Object> ImmediateChargingOptionObject::ToOGM() const {
  auto rendering = rubo::ServerElement::ToOGM();
  rubo::server::ExpandLink(*rendering, "autounlockAc", GetAutounlockAc().get());
  rubo::server::ExpandLink(*rendering, "targetSoc", GetTargetSoc().get());
  rubo::server::ExpandLink(*rendering, "autounlockDc", GetAutounlockDc().get());
  rubo::server::ExpandLink(*rendering, "maxChargeCurrentAc", GetMaxChargeCurrentAc().get());
  rubo::server::ExpandLink(*rendering, "acceptItSystemPeRange", GetAcceptItSystemPeRange().get());
  rubo::server::ExpandLink(*rendering, "targetRange", GetTargetRange().get());
  rubo::server::ExpandLink(*rendering, "chargeModeSelection", GetChargeModeSelection().get());
  rubo::server::ExpandLink(*rendering, "navTargetSoc", GetNavTargetSoc().get());
  return rendering;
}

}  // namespace rubo::server::charging_management_core
