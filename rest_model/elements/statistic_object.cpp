#include "rest_model/elements/statistic_object.h"

#include <utility>

#include "rest_model/elements/element_support.h"
#include "rest_model/elements/element_vocabulary.h"
#include "rest_model/validators/validator_rules.h"

namespace rubo::server::charging_management_core {

namespace vocabulary = rubo::server::vocabulary;
using rubo::server::ValueList;

StatisticObject::StatisticObject(const ara::rest::Uri& uri, const ara::rest::Uuid& uuid, std::string name)
    : rubo::ServerElement(uuid, uri, std::move(name)),
      lists_{{"notification", vocabulary::kStatisticObjectNotification},
             {"unit", vocabulary::kStatisticObjectUnit},
             {"confirmendByUser", vocabulary::kStatisticObjectConfirmendByUser},
             {"statisicsType", vocabulary::kStatisticObjectStatisicsType}},
      writable_(std::make_shared<const ValueList>(rubo::server::MakeValueList(vocabulary::kStatisticObjectWritable))) {
  SetPreUpdateCallback(rubo::server::MakeModelValidator(writable_, rubo::server::validation::kStatisticBody));
  SetPreGetCallback(rubo::server::AllowRead);
}

StatisticObject::~StatisticObject() = default;

std::shared_ptr<StatisticObject> StatisticObject::Make(std::string name, const ara::rest::Uuid& uuid,
                                                       const ara::rest::Uri& uri) {
  return rubo::server::MakeElementAt<StatisticObject>(kPathPrefix, std::move(name), uuid, uri);
}

bool StatisticObject::SetListedText(const std::string& property, const std::string& value) {
  return rubo::server::SetListedText(*this, lists_.For(property), property, value);
}

}  // namespace rubo::server::charging_management_core
