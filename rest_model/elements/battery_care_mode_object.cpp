#include "rest_model/elements/battery_care_mode_object.h"

#include <utility>

#include "rest_model/elements/element_support.h"
#include "rest_model/elements/element_vocabulary.h"

namespace rubo::server::charging_management_core {

namespace vocabulary = rubo::server::vocabulary;

BatteryCareModeObject::BatteryCareModeObject(const ara::rest::Uri& uri, const ara::rest::Uuid& uuid, std::string name)
    : rubo::ServerElement(uuid, uri, std::move(name)),
      lists_{{"notification", vocabulary::kBatteryCareModeObjectNotification},
             {"popup", vocabulary::kBatteryCareModeObjectPopup},
             {"type", vocabulary::kBatteryCareModeObjectType}} {
  SetPreGetCallback(rubo::server::AllowRead);
}

BatteryCareModeObject::~BatteryCareModeObject() = default;

std::shared_ptr<BatteryCareModeObject> BatteryCareModeObject::Make(std::string name, const ara::rest::Uuid& uuid,
                                                                   const ara::rest::Uri& uri) {
  return rubo::server::MakeElementAt<BatteryCareModeObject>(kPathPrefix, std::move(name), uuid, uri);
}

bool BatteryCareModeObject::SetListedText(const std::string& property, const std::string& value) {
  return rubo::server::SetListedText(*this, lists_.For(property), property, value);
}

bool BatteryCareModeObject::SetType(const std::string& value) {
  return SetListedText("type", value);
}

bool BatteryCareModeObject::SetBcamScore(std::shared_ptr<ValueIndicationObject> element) {
  return rubo::server::SetLink(*this, GetObjectMutex(), bcamScore_, std::move(element), "bcamScore");
}

std::shared_ptr<ValueIndicationObject> BatteryCareModeObject::GetBcamScore() const {
  return rubo::server::LoadLink(GetObjectMutex(), bcamScore_);
}

bool BatteryCareModeObject::SetBcamActivation(std::shared_ptr<SwitchControlObject> element) {
  return rubo::server::SetLink(*this, GetObjectMutex(), bcamActivation_, std::move(element), "bcamActivation");
}

std::shared_ptr<SwitchControlObject> BatteryCareModeObject::GetBcamActivation() const {
  return rubo::server::LoadLink(GetObjectMutex(), bcamActivation_);
}

ara::rest::Pointer<ara::rest::ogm::Object> BatteryCareModeObject::ToOGM() const {
  auto rendering = rubo::ServerElement::ToOGM();
  rubo::server::ExpandLink(*rendering, "bcamScore", GetBcamScore().get());
  rubo::server::ExpandLink(*rendering, "bcamActivation", GetBcamActivation().get());
  return rendering;
}

}  // namespace rubo::server::charging_management_core
