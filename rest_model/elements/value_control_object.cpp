#include "rest_model/elements/value_control_object.h"

#include <cstdint>
#include <stdexcept>
#include <utility>

#include "rest_model/elements/element_support.h"
#include "rest_model/elements/element_vocabulary.h"
#include "rest_model/validators/validator_rules.h"

namespace rubo::server::charging_management_core {

namespace vocabulary = rubo::server::vocabulary;
using rubo::server::ValueList;

ValueControlObject::ValueControlObject(const ara::rest::Uri& uri, const ara::rest::Uuid& uuid, std::string name)
    : rubo::ServerElement(uuid, uri, std::move(name)),
      lists_{{"restrictionReason", vocabulary::kValueControlObjectRestrictionReason},
             {"type", vocabulary::kValueControlObjectType},
             {"unitPercent", vocabulary::kValueControlObjectUnitPercent},
             {"specialState", vocabulary::kValueControlObjectSpecialState},
             {"unitDistance", vocabulary::kValueControlObjectUnitDistance},
             {"specialStateConfiguration", vocabulary::kValueControlObjectSpecialStateConfigurationItems},
             {"unitTime", vocabulary::kValueControlObjectUnitTime}},
      writable_(
          std::make_shared<const ValueList>(rubo::server::MakeValueList(vocabulary::kValueControlObjectWritable))) {
  SetPreUpdateCallback(rubo::server::MakeModelValidator(writable_, rubo::server::validation::kValueControlBody));
  SetPreGetCallback(rubo::server::AllowRead);
}

ValueControlObject::~ValueControlObject() = default;

std::shared_ptr<ValueControlObject> ValueControlObject::Make(std::string name, const ara::rest::Uuid& uuid,
                                                             const ara::rest::Uri& uri) {
  return rubo::server::MakeElementAt<ValueControlObject>(kPathPrefix, std::move(name), uuid, uri);
}

bool ValueControlObject::SetListedText(const std::string& property, const std::string& value) {
  return rubo::server::SetListedText(*this, lists_.For(property), property, value);
}

bool ValueControlObject::SetType(const std::string& value) {
  return SetListedText("type", value);
}

bool ValueControlObject::SetCurrentValue(std::int64_t value) {
  // Taken as unsigned, so that every negative value is out of range as well.
  if (static_cast<std::uint64_t>(value) > rubo::server::validation::kMaxCurrentValue) {
    throw std::domain_error("Value out of range");
  }
  const bool added = !HasField("currentValue");
  if (added) {
    AddField<ara::rest::ogm::Int>("currentValue");
  }
  return SetFieldValue<ara::rest::ogm::Int>("currentValue", value, added);
}

bool ValueControlObject::SetSpecialStateConfiguration(const ValueList& values) {
  return rubo::server::SetListedArray(*this, lists_.For("specialStateConfiguration"), "specialStateConfiguration",
                                      values);
}

ValueList ValueControlObject::GetSpecialStateConfiguration() const {
  return rubo::server::GetTextItems(*this, "specialStateConfiguration");
}

}  // namespace rubo::server::charging_management_core
