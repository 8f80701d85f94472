#include "rest_model/elements/immediate_action_object.h"

#include <utility>

#include "rest_model/elements/element_support.h"
#include "rest_model/elements/element_vocabulary.h"

namespace rubo::server::charging_management_core {

namespace vocabulary = rubo::server::vocabulary;

ImmediateActionObject::ImmediateActionObject(const ara::rest::Uri& uri, const ara::rest::Uuid& uuid, std::string name)
    : rubo::ServerElement(uuid, uri, std::move(name)), lists_{{"type", vocabulary::kImmediateActionObjectType}} {
  SetPreGetCallback(rubo::server::AllowRead);
}

ImmediateActionObject::~ImmediateActionObject() = default;

std::shared_ptr<ImmediateActionObject> ImmediateActionObject::Make(std::string name, const ara::rest::Uuid& uuid,
                                                                   const ara::rest::Uri& uri) {
  return rubo::server::MakeElementAt<ImmediateActionObject>(kPathPrefix, std::move(name), uuid, uri);
}

bool ImmediateActionObject::SetListedText(const std::string& property, const std::string& value) {
  return rubo::server::SetListedText(*this, lists_.For(property), property, value);
}

bool ImmediateActionObject::SetType(const std::string& value) {
  return SetListedText("type", value);
}

bool ImmediateActionObject::SetImmediateActionRange(std::shared_ptr<ValueControlObject> element) {
  return rubo::server::SetLink(*this, GetObjectMutex(), immediateActionRange_, std::move(element),
                               "immediateActionRange");
}

std::shared_ptr<ValueControlObject> ImmediateActionObject::GetImmediateActionRange() const {
  return rubo::server::LoadLink(GetObjectMutex(), immediateActionRange_);
}

bool ImmediateActionObject::SetImmediateActionSoc(std::shared_ptr<ValueControlObject> element) {
  return rubo::server::SetLink(*this, GetObjectMutex(), immediateActionSoc_, std::move(element), "immediateActionSoc");
}

std::shared_ptr<ValueControlObject> ImmediateActionObject::GetImmediateActionSoc() const {
  return rubo::server::LoadLink(GetObjectMutex(), immediateActionSoc_);
}

bool ImmediateActionObject::SetStartStopCharging(std::shared_ptr<SwitchControlObject> element) {
  return rubo::server::SetLink(*this, GetObjectMutex(), startStopCharging_, std::move(element), "startStopCharging");
}

std::shared_ptr<SwitchControlObject> ImmediateActionObject::GetStartStopCharging() const {
  return rubo::server::LoadLink(GetObjectMutex(), startStopCharging_);
}

bool ImmediateActionObject::SetImmediateActionTime(std::shared_ptr<ValueControlObject> element) {
  return rubo::server::SetLink(*this, GetObjectMutex(), immediateActionTime_, std::move(element),
                               "immediateActionTime");
}

std::shared_ptr<ValueControlObject> ImmediateActionObject::GetImmediateActionTime() const {
  return rubo::server::LoadLink(GetObjectMutex(), immediateActionTime_);
}

ara::rest::Pointer<ara::rest::ogm::Object> ImmediateActionObject::ToOGM() const {
  auto rendering = rubo::ServerElement::ToOGM();
  rubo::server::ExpandLink(*rendering, "immediateActionRange", GetImmediateActionRange().get());
  rubo::server::ExpandLink(*rendering, "immediateActionSoc", GetImmediateActionSoc().get());
  rubo::server::ExpandLink(*rendering, "startStopCharging", GetStartStopCharging().get());
  rubo::server::ExpandLink(*rendering, "immediateActionTime", GetImmediateActionTime().get());
  return rendering;
}

}  // namespace rubo::server::charging_management_core
