#include "rest_model/elements/oru_update_approval_object.h"

#include <utility>

#include "rest_model/elements/element_support.h"
#include "rest_model/elements/element_vocabulary.h"

namespace rubo::server::charging_management_core {

namespace vocabulary = rubo::server::vocabulary;

OruUpdateApprovalObject::OruUpdateApprovalObject(const ara::rest::Uri& uri, const ara::rest::Uuid& uuid,
                                                 std::string name)
    : rubo::ServerElement(uuid, uri, std::move(name)), lists_{{"type", vocabulary::kOruUpdateApprovalObjectType}} {
  SetPreGetCallback(rubo::server::AllowRead);
}

OruUpdateApprovalObject::~OruUpdateApprovalObject() = default;

std::shared_ptr<OruUpdateApprovalObject> OruUpdateApprovalObject::Make(std::string name, const ara::rest::Uuid& uuid,
                                                                       const ara::rest::Uri& uri) {
  return rubo::server::MakeElementAt<OruUpdateApprovalObject>(kPathPrefix, std::move(name), uuid, uri);
}

bool OruUpdateApprovalObject::SetListedText(const std::string& property, const std::string& value) {
  return rubo::server::SetListedText(*this, lists_.For(property), property, value);
}

bool OruUpdateApprovalObject::SetType(const std::string& value) {
  return SetListedText("type", value);
}

}  // namespace rubo::server::charging_management_core
