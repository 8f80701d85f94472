#include "rest_model/collections/value_indications.h"

#include <utility>

#include "rest_model/collections/collection_support.h"

namespace rubo::server::charging_management_core {

ValueIndications::ValueIndications()
    : rubo::ServerResource(ara::rest::Uuid::MakeV5(kPath), rubo::server::PathUri(kPath), std::string(kName)) {
  rubo::server::DescribeCollection(*this, kName);
}

ValueIndications::~ValueIndications() = default;

std::shared_ptr<rubo::ServerElement> ValueIndications::MakeElement(const ara::rest::Uuid& uuid,
                                                                   const ara::rest::Uri& uri, std::string name) {
  return ValueIndicationObject::Make(std::move(name), uuid, uri);
}

}  // namespace rubo::server::charging_management_core
