#include "rest_model/elements/reset_object.h"

#include <mutex>
#include <utility>

#include "rest_model/elements/element_support.h"
#include "rest_model/elements/element_vocabulary.h"
#include "rest_model/validators/validator_rules.h"

namespace rubo::server::factory_reset {

namespace {

const std::string kLastReset = "lastReset";

void ShowLastReset(rubo::BaseType& element, const std::string& text) {
  if (!element.HasField(kLastReset)) {
    element.AddField<ara::rest::ogm::String>(kLastReset);
  }
  element.SetFieldValue<ara::rest::ogm::String>(kLastReset, text, false);
}

}  // namespace

namespace vocabulary = rubo::server::vocabulary;
using rubo::server::ValueList;

ResetObject::ResetObject(const ara::rest::Uri& uri, const ara::rest::Uuid& uuid, std::string name)
    : rubo::ServerElement(uuid, uri, std::move(name)),
      lastReset_(1970, 1, 1, 0, 0, 0, 0, "+00:00"),
      lists_{{"restrictionReason", vocabulary::kResetObjectRestrictionReason},
             {"category", vocabulary::kResetObjectCategory}},
      writable_(std::make_shared<const ValueList>(rubo::server::MakeValueList(vocabulary::kResetObjectWritable))) {
  SetPreUpdateCallback(rubo::server::MakeModelValidator(writable_, rubo::server::validation::kResetBody));
  SetPreGetCallback(rubo::server::AllowRead);
}

ResetObject::~ResetObject() = default;

std::shared_ptr<ResetObject> ResetObject::Make(std::string name, const ara::rest::Uuid& uuid,
                                               const ara::rest::Uri& uri) {
  return rubo::server::MakeElementAt<ResetObject>(kPathPrefix, std::move(name), uuid, uri);
}

bool ResetObject::SetListedText(const std::string& property, const std::string& value) {
  return rubo::server::SetListedText(*this, lists_.For(property), property, value);
}

void ResetObject::SetLastReset(const rubo::format::DateTime& dateTime) {
  std::string text;
  {
    std::lock_guard lock(GetObjectMutex());
    lastReset_ = dateTime;
    // Always this element's own callback: one copied along with a date-time of another
    // element would write "lastReset" there.
    lastReset_.SetPostValueChangeCallback([weak = weak_from_this()](const std::string& changed) {
      if (const auto self = weak.lock()) {
        ShowLastReset(*self, changed);
      }
    });
    text = lastReset_.GetValue();
  }
  ShowLastReset(*this, text);
}

rubo::format::DateTime ResetObject::GetLastReset() const {
  std::lock_guard lock(GetObjectMutex());
  return lastReset_;
}

ara::rest::Pointer<ara::rest::ogm::Object> ResetObject::ToOGM() const {
  auto rendering = rubo::ServerElement::ToOGM();
  if (auto* field = rendering->GetField(kLastReset)) {
    const std::string text = GetLastReset().GetValue();
    const auto* shown = ara::rest::ogm::As<ara::rest::ogm::String>(field->GetValue());
    if (shown == nullptr || shown->GetValue() != text) {
      field->SetValue(ara::rest::ogm::String::Make(text));
    }
  }
  return rendering;
}

}  // namespace rubo::server::factory_reset
