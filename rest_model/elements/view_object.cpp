#include "rest_model/elements/view_object.h"

#include <utility>

#include "rest_model/elements/element_support.h"
#include "rest_model/elements/element_vocabulary.h"
#include "rest_model/validators/validator_rules.h"

namespace rubo::server::charging_management_core {

namespace vocabulary = rubo::server::vocabulary;
using rubo::server::ValueList;

ViewObject::ViewObject(const ara::rest::Uri& uri, const ara::rest::Uuid& uuid, std::string name)
    : rubo::ServerElement(uuid, uri, std::move(name)),
      lists_{{"visibility", vocabulary::kViewObjectVisibility},
             {"type", vocabulary::kViewObjectType},
             {"content", vocabulary::kViewObjectContent}},
      writable_(std::make_shared<const ValueList>(rubo::server::MakeValueList(vocabulary::kViewObjectWritable))) {
  SetPreUpdateCallback(rubo::server::MakeModelValidator(writable_, rubo::server::validation::kViewBody));
  SetPreGetCallback(rubo::server::AllowRead);
}

ViewObject::~ViewObject() = default;

std::shared_ptr<ViewObject> ViewObject::Make(std::string name, const ara::rest::Uuid& uuid, const ara::rest::Uri& uri) {
  return rubo::server::MakeElementAt<ViewObject>(kPathPrefix, std::move(name), uuid, uri);
}

bool ViewObject::SetListedText(const std::string& property, const std::string& value) {
  return rubo::server::SetListedText(*this, lists_.For(property), property, value);
}

bool ViewObject::SetType(const std::string& value) {
  return SetListedText("type", value);
}

bool ViewObject::SetContent(const std::string& value) {
  return SetListedText("content", value);
}

std::string ViewObject::GetContent() const {
  return rubo::server::GetTextOrEmpty(*this, "content");
}

}  // namespace rubo::server::charging_management_core
