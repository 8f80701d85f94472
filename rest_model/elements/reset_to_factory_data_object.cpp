#include "rest_model/elements/reset_to_factory_data_object.h"

#include <utility>

#include "rest_model/elements/element_support.h"
#include "rest_model/elements/element_vocabulary.h"
#include "rest_model/validators/validator_rules.h"

namespace rubo::server::charging_management_core {

namespace vocabulary = rubo::server::vocabulary;
using rubo::server::ValueList;

ResetToFactoryDataObject::ResetToFactoryDataObject(const ara::rest::Uri& uri, const ara::rest::Uuid& uuid,
                                                   std::string name)
    : rubo::ServerElement(uuid, uri, std::move(name)),
      lists_{{"resetToFactoryData", vocabulary::kResetToFactoryDataObjectResetToFactoryData}},
      writable_(std::make_shared<const ValueList>(
          rubo::server::MakeValueList(vocabulary::kResetToFactoryDataObjectWritable))) {
  SetPreUpdateCallback(rubo::server::MakeModelValidator(writable_, rubo::server::validation::kResetToFactoryDataBody));
  SetPreGetCallback(rubo::server::AllowRead);
}

ResetToFactoryDataObject::~ResetToFactoryDataObject() = default;

std::shared_ptr<ResetToFactoryDataObject> ResetToFactoryDataObject::Make(std::string name, const ara::rest::Uuid& uuid,
                                                                         const ara::rest::Uri& uri) {
  return rubo::server::MakeElementAt<ResetToFactoryDataObject>(kPathPrefix, std::move(name), uuid, uri);
}

bool ResetToFactoryDataObject::SetListedText(const std::string& property, const std::string& value) {
  return rubo::server::SetListedText(*this, lists_.For(property), property, value);
}

}  // namespace rubo::server::charging_management_core
