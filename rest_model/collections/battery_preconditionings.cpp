#include "rest_model/collections/battery_preconditionings.h"

#include <utility>

#include "rest_model/collections/collection_support.h"

namespace rubo::server::charging_management_core {

BatteryPreconditionings::BatteryPreconditionings()
    : rubo::ServerResource(ara::rest::Uuid::MakeV5(kPath), rubo::server::PathUri(kPath), std::string(kName)) {
  rubo::server::DescribeCollection(*this, kName);
}

BatteryPreconditionings::~BatteryPreconditionings() = default;

std::shared_ptr<rubo::ServerElement> BatteryPreconditionings::MakeElement(const ara::rest::Uuid& uuid,
                                                                          const ara::rest::Uri& uri, std::string name) {
  return BatteryPreconditioningObject::Make(std::move(name), uuid, uri);
}

}  // namespace rubo::server::charging_management_core
