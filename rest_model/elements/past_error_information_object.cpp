#include "rest_model/elements/past_error_information_object.h"

#include <utility>

#include "rest_model/elements/element_support.h"
#include "rest_model/elements/element_vocabulary.h"
#include "rest_model/validators/validator_rules.h"

namespace rubo::server::charging_management_core {

namespace vocabulary = rubo::server::vocabulary;
using rubo::server::ValueList;

PastErrorInformationObject::PastErrorInformationObject(const ara::rest::Uri& uri, const ara::rest::Uuid& uuid,
                                                       std::string name)
    : rubo::ServerElement(uuid, uri, std::move(name)),
      lists_{{"additionalInformation", vocabulary::kPastErrorInformationObjectAdditionalInformation},
             {"type", vocabulary::kPastErrorInformationObjectType},
             {"value", vocabulary::kPastErrorInformationObjectValue}},
      writable_(std::make_shared<const ValueList>(
          rubo::server::MakeValueList(vocabulary::kPastErrorInformationObjectWritable))) {
  SetPreUpdateCallback(
      rubo::server::MakeModelValidator(writable_, rubo::server::validation::kPastErrorInformationBody));
  SetPreGetCallback(rubo::server::AllowRead);
}

PastErrorInformationObject::~PastErrorInformationObject() = default;

std::shared_ptr<PastErrorInformationObject> PastErrorInformationObject::Make(std::string name,
                                                                             const ara::rest::Uuid& uuid,
                                                                             const ara::rest::Uri& uri) {
  return rubo::server::MakeElementAt<PastErrorInformationObject>(kPathPrefix, std::move(name), uuid, uri);
}

bool PastErrorInformationObject::SetListedText(const std::string& property, const std::string& value) {
  return rubo::server::SetListedText(*this, lists_.For(property), property, value);
}

bool PastErrorInformationObject::SetType(const std::string& value) {
  return SetListedText("type", value);
}

}  // namespace rubo::server::charging_management_core
