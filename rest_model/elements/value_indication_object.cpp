#include "rest_model/elements/value_indication_object.h"

#include <utility>

#include "rest_model/elements/element_support.h"
#include "rest_model/elements/element_vocabulary.h"

namespace rubo::server::charging_management_core {

namespace vocabulary = rubo::server::vocabulary;

ValueIndicationObject::ValueIndicationObject(const ara::rest::Uri& uri, const ara::rest::Uuid& uuid, std::string name)
    : rubo::ServerElement(uuid, uri, std::move(name)),
      lists_{{"unitPower", vocabulary::kValueIndicationObjectUnitPower},
             {"restrictionReason", vocabulary::kValueIndicationObjectRestrictionReason},
             {"type", vocabulary::kValueIndicationObjectType},
             {"unitSpeed", vocabulary::kValueIndicationObjectUnitSpeed},
             {"unitEnergy", vocabulary::kValueIndicationObjectUnitEnergy},
             {"unitPercent", vocabulary::kValueIndicationObjectUnitPercent},
             {"unitTemperature", vocabulary::kValueIndicationObjectUnitTemperature},
             {"unitTime", vocabulary::kValueIndicationObjectUnitTime}} {
  SetPreGetCallback(rubo::server::AllowRead);
}

ValueIndicationObject::~ValueIndicationObject() = default;

std::shared_ptr<ValueIndicationObject> ValueIndicationObject::Make(std::string name, const ara::rest::Uuid& uuid,
                                                                   const ara::rest::Uri& uri) {
  return rubo::server::MakeElementAt<ValueIndicationObject>(kPathPrefix, std::move(name), uuid, uri);
}

bool ValueIndicationObject::SetListedText(const std::string& property, const std::string& value) {
  return rubo::server::SetListedText(*this, lists_.For(property), property, value);
}

bool ValueIndicationObject::SetType(const std::string& value) {
  return SetListedText("type", value);
}

bool ValueIndicationObject::SetUnitPercent(const std::string& value) {
  return SetListedText("unitPercent", value);
}

bool ValueIndicationObject::SetUnitTime(const std::string& value) {
  return SetListedText("unitTime", value);
}

bool ValueIndicationObject::SetUnitSpeed(const std::string& value) {
  return SetListedText("unitSpeed", value);
}

bool ValueIndicationObject::SetUnitPower(const std::string& value) {
  return SetListedText("unitPower", value);
}

bool ValueIndicationObject::SetUnitEnergy(const std::string& value) {
  return SetListedText("unitEnergy", value);
}

bool ValueIndicationObject::SetRestrictionReason(const std::string& value) {
  return SetListedText("restrictionReason", value);
}

}  // namespace rubo::server::charging_management_core
