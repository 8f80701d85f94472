#include "rest_model/elements/battery_preconditioning_object.h"

#include <utility>

#include "rest_model/elements/element_support.h"
#include "rest_model/elements/element_vocabulary.h"

namespace rubo::server::charging_management_core {

namespace vocabulary = rubo::server::vocabulary;

BatteryPreconditioningObject::BatteryPreconditioningObject(const ara::rest::Uri& uri, const ara::rest::Uuid& uuid,
                                                           std::string name)
    : rubo::ServerElement(uuid, uri, std::move(name)),
      lists_{{"preconditioningState", vocabulary::kBatteryPreconditioningObjectPreconditioningState},
             {"type", vocabulary::kBatteryPreconditioningObjectType}} {
  SetPreGetCallback(rubo::server::AllowRead);
}

BatteryPreconditioningObject::~BatteryPreconditioningObject() = default;

std::shared_ptr<BatteryPreconditioningObject> BatteryPreconditioningObject::Make(std::string name,
                                                                                 const ara::rest::Uuid& uuid,
                                                                                 const ara::rest::Uri& uri) {
  return rubo::server::MakeElementAt<BatteryPreconditioningObject>(kPathPrefix, std::move(name), uuid, uri);
}

bool BatteryPreconditioningObject::SetListedText(const std::string& property, const std::string& value) {
  return rubo::server::SetListedText(*this, lists_.For(property), property, value);
}

bool BatteryPreconditioningObject::SetType(const std::string& value) {
  return SetListedText("type", value);
}

bool BatteryPreconditioningObject::SetRemainingTimeFinished(std::shared_ptr<ValueIndicationObject> element) {
  return rubo::server::SetLink(*this, GetObjectMutex(), remainingTimeFinished_, std::move(element),
                               "remainingTimeFinished");
}

std::shared_ptr<ValueIndicationObject> BatteryPreconditioningObject::GetRemainingTimeFinished() const {
  return rubo::server::LoadLink(GetObjectMutex(), remainingTimeFinished_);
}

bool BatteryPreconditioningObject::SetBatteryTemperature(std::shared_ptr<ValueIndicationObject> element) {
  return rubo::server::SetLink(*this, GetObjectMutex(), batteryTemperature_, std::move(element), "batteryTemperature");
}

std::shared_ptr<ValueIndicationObject> BatteryPreconditioningObject::GetBatteryTemperature() const {
  return rubo::server::LoadLink(GetObjectMutex(), batteryTemperature_);
}

bool BatteryPreconditioningObject::SetPreconditioningActivation(std::shared_ptr<SwitchControlObject> element) {
  return rubo::server::SetLink(*this, GetObjectMutex(), preconditioningActivation_, std::move(element),
                               "preconditioningActivation");
}

std::shared_ptr<SwitchControlObject> BatteryPreconditioningObject::GetPreconditioningActivation() const {
  return rubo::server::LoadLink(GetObjectMutex(), preconditioningActivation_);
}

bool BatteryPreconditioningObject::SetRemainingTimeToStart(std::shared_ptr<ValueIndicationObject> element) {
  return rubo::server::SetLink(*this, GetObjectMutex(), remainingTimeToStart_, std::move(element),
                               "remainingTimeToStart");
}

std::shared_ptr<ValueIndicationObject> BatteryPreconditioningObject::GetRemainingTimeToStart() const {
  return rubo::server::LoadLink(GetObjectMutex(), remainingTimeToStart_);
}

bool BatteryPreconditioningObject::SetAutoModeActivation(std::shared_ptr<SwitchControlObject> element) {
  return rubo::server::SetLink(*this, GetObjectMutex(), autoModeActivation_, std::move(element), "autoModeActivation");
}

std::shared_ptr<SwitchControlObject> BatteryPreconditioningObject::GetAutoModeActivation() const {
  return rubo::server::LoadLink(GetObjectMutex(), autoModeActivation_);
}

ara::rest::Pointer<ara::rest::ogm::Object> BatteryPreconditioningObject::ToOGM() const {
  auto rendering = rubo::ServerElement::ToOGM();
  rubo::server::ExpandLink(*rendering, "remainingTimeFinished", GetRemainingTimeFinished().get());
  rubo::server::ExpandLink(*rendering, "batteryTemperature", GetBatteryTemperature().get());
  rubo::server::ExpandLink(*rendering, "preconditioningActivation", GetPreconditioningActivation().get());
  rubo::server::ExpandLink(*rendering, "remainingTimeToStart", GetRemainingTimeToStart().get());
  rubo::server::ExpandLink(*rendering, "autoModeActivation", GetAutoModeActivation().get());
  return rendering;
}

}  // namespace rubo::server::charging_management_core
