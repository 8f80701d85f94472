#include "rest_model/collections/charging_plugs.h"

#include <utility>

#include "rest_model/collections/collection_support.h"

namespace rubo::server::charging_management_core {

ChargingPlugs::ChargingPlugs()
    : rubo::ServerResource(ara::rest::Uuid::MakeV5(kPath), rubo::server::PathUri(kPath), std::string(kName)) {
  rubo::server::DescribeCollection(*this, kName);
}

ChargingPlugs::~ChargingPlugs() = default;

std::shared_ptr<rubo::ServerElement> ChargingPlugs::MakeElement(const ara::rest::Uuid& uuid, const ara::rest::Uri& uri,
                                                                std::string name) {
  return ChargingPlugObject::Make(std::move(name), uuid, uri);
}

}  // namespace rubo::server::charging_management_core
