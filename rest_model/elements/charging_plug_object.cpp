#include "rest_model/elements/charging_plug_object.h"

#include <utility>

#include "rest_model/elements/element_support.h"
#include "rest_model/elements/element_vocabulary.h"

namespace rubo::server::charging_management_core {

namespace vocabulary = rubo::server::vocabulary;

ChargingPlugObject::ChargingPlugObject(const ara::rest::Uri& uri, const ara::rest::Uuid& uuid, std::string name)
    : rubo::ServerElement(uuid, uri, std::move(name)),
      lists_{{"plugConnectionState", vocabulary::kChargingPlugObjectPlugConnectionState},
             {"plugType", vocabulary::kChargingPlugObjectPlugType},
             {"type", vocabulary::kChargingPlugObjectType},
             {"infrastructureState", vocabulary::kChargingPlugObjectInfrastructureState}} {
  SetPreGetCallback(rubo::server::AllowRead);
}

ChargingPlugObject::~ChargingPlugObject() = default;

std::shared_ptr<ChargingPlugObject> ChargingPlugObject::Make(std::string name, const ara::rest::Uuid& uuid,
                                                             const ara::rest::Uri& uri) {
  return rubo::server::MakeElementAt<ChargingPlugObject>(kPathPrefix, std::move(name), uuid, uri);
}

bool ChargingPlugObject::SetListedText(const std::string& property, const std::string& value) {
  return rubo::server::SetListedText(*this, lists_.For(property), property, value);
}

bool ChargingPlugObject::SetType(const std::string& value) {
  return SetListedText("type", value);
}

bool ChargingPlugObject::SetPlugLockState(std::shared_ptr<SwitchControlObject> element) {
  return rubo::server::SetLink(*this, GetObjectMutex(), plugLockState_, std::move(element), "plugLockState");
}

std::shared_ptr<SwitchControlObject> ChargingPlugObject::GetPlugLockState() const {
  return rubo::server::LoadLink(GetObjectMutex(), plugLockState_);
}

bool ChargingPlugObject::SetFlapState(std::shared_ptr<SwitchControlObject> element) {
  return rubo::server::SetLink(*this, GetObjectMutex(), flapState_, std::move(element), "flapState");
}

std::shared_ptr<SwitchControlObject> ChargingPlugObject::GetFlapState() const {
  return rubo::server::LoadLink(GetObjectMutex(), flapState_);
}

bool ChargingPlugObject::SetFlapLockState(std::shared_ptr<SwitchControlObject> element) {
  return rubo::server::SetLink(*this, GetObjectMutex(), flapLockState_, std::move(element), "flapLockState");
}

std::shared_ptr<SwitchControlObject> ChargingPlugObject::GetFlapLockState() const {
  return rubo::server::LoadLink(GetObjectMutex(), flapLockState_);
}

ara::rest::Pointer<ara::rest::ogm::Object> ChargingPlugObject::ToOGM() const {
  auto rendering = rubo::ServerElement::ToOGM();
  rubo::server::ExpandLink(*rendering, "plugLockState", GetPlugLockState().get());
  rubo::server::ExpandLink(*rendering, "flapState", GetFlapState().get());
  rubo::server::ExpandLink(*rendering, "flapLockState", GetFlapLockState().get());
  return rendering;
}

}  // namespace rubo::server::charging_management_core
