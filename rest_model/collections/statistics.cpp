#include "rest_model/collections/statistics.h"

#include <utility>

#include "rest_model/collections/collection_support.h"

namespace rubo::server::charging_management_core {

Statistics::Statistics()
    : rubo::ServerResource(ara::rest::Uuid::MakeV5(kPath), rubo::server::PathUri(kPath), std::string(kName)) {
  rubo::server::DescribeCollection(*this, kName);
}

Statistics::~Statistics() = default;

std::shared_ptr<rubo::ServerElement> Statistics::MakeElement(const ara::rest::Uuid& uuid, const ara::rest::Uri& uri,
                                                             std::string name) {
  return StatisticObject::Make(std::move(name), uuid, uri);
}

}  // namespace rubo::server::charging_management_core
