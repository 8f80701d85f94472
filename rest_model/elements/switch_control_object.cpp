#include "rest_model/elements/switch_control_object.h"

#include <utility>

#include "rest_model/elements/element_support.h"
#include "rest_model/elements/element_vocabulary.h"
#include "rest_model/validators/validator_rules.h"

namespace rubo::server::charging_management_core {

namespace vocabulary = rubo::server::vocabulary;
using rubo::server::ValueList;

SwitchControlObject::SwitchControlObject(const ara::rest::Uri& uri, const ara::rest::Uuid& uuid, std::string name)
    : rubo::ServerElement(uuid, uri, std::move(name)),
      lists_{{"switchValueConfiguration", vocabulary::kSwitchControlObjectSwitchValueConfigurationItems},
             {"switchValue", vocabulary::kSwitchControlObjectSwitchValue},
             {"restrictionReason", vocabulary::kSwitchControlObjectRestrictionReason},
             {"type", vocabulary::kSwitchControlObjectType}},
      writable_(
          std::make_shared<const ValueList>(rubo::server::MakeValueList(vocabulary::kSwitchControlObjectWritable))) {
  SetPreUpdateCallback(rubo::server::MakeModelValidator(writable_, rubo::server::validation::kSwitchControlBody));
  SetPreGetCallback(rubo::server::AllowRead);
}

SwitchControlObject::~SwitchControlObject() = default;

std::shared_ptr<SwitchControlObject> SwitchControlObject::Make(std::string name, const ara::rest::Uuid& uuid,
                                                               const ara::rest::Uri& uri) {
  return rubo::server::MakeElementAt<SwitchControlObject>(kPathPrefix, std::move(name), uuid, uri);
}

bool SwitchControlObject::SetListedText(const std::string& property, const std::string& value) {
  return rubo::server::SetListedText(*this, lists_.For(property), property, value);
}

bool SwitchControlObject::SetType(const std::string& value) {
  return SetListedText("type", value);
}

bool SwitchControlObject::SetSwitchValueConfiguration(const ValueList& values) {
  return rubo::server::SetListedArray(*this, lists_.For("switchValueConfiguration"), "switchValueConfiguration",
                                      values);
}

std::string SwitchControlObject::GetType() const {
  return rubo::server::GetTextOrEmpty(*this, "type");
}

ValueList SwitchControlObject::GetSwitchValueConfiguration() const {
  return rubo::server::GetTextItems(*this, "switchValueConfiguration");
}

}  // namespace rubo::server::charging_management_core
