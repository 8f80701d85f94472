#include "rest_model/collections/bidirectional_charging_modes.h"

#include <utility>

#include "rest_model/collections/collection_support.h"

namespace rubo::server::charging_management_core {

BidirectionalChargingModes::BidirectionalChargingModes()
    : rubo::ServerResource(ara::rest::Uuid::MakeV5(kPath), rubo::server::PathUri(kPath), std::string(kName)) {
  rubo::server::DescribeCollection(*this, kName);
}

BidirectionalChargingModes::~BidirectionalChargingModes() = default;

std::shared_ptr<rubo::ServerElement> BidirectionalChargingModes::MakeElement(const ara::rest::Uuid& uuid,
                                                                             const ara::rest::Uri& uri,
                                                                             std::string name) {
  return BidirectionalChargingModeObject::Make(std::move(name), uuid, uri);
}

}  // namespace rubo::server::charging_management_core
