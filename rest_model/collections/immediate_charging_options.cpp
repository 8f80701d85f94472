#include "rest_model/collections/immediate_charging_options.h"

#include <utility>

#include "rest_model/collections/collection_support.h"

namespace rubo::server::charging_management_core {

ImmediateChargingOptions::ImmediateChargingOptions()
    : rubo::ServerResource(ara::rest::Uuid::MakeV5(kPath), rubo::server::PathUri(kPath), std::string(kName)) {
  rubo::server::DescribeCollection(*this, kName);
}

ImmediateChargingOptions::~ImmediateChargingOptions() = default;

std::shared_ptr<rubo::ServerElement> ImmediateChargingOptions::MakeElement(const ara::rest::Uuid& uuid,
                                                                           const ara::rest::Uri& uri,
                                                                           std::string name) {
  return ImmediateChargingOptionObject::Make(std::move(name), uuid, uri);
}

}  // namespace rubo::server::charging_management_core
