#include "rest_model/collections/charge_modes.h"

#include <utility>

#include "rest_model/collections/collection_support.h"

namespace rubo::server::charging_management_core {

ChargeModes::ChargeModes()
    : rubo::ServerResource(ara::rest::Uuid::MakeV5(kPath), rubo::server::PathUri(kPath), std::string(kName)) {
  rubo::server::DescribeCollection(*this, kName);
}

ChargeModes::~ChargeModes() = default;

std::shared_ptr<rubo::ServerElement> ChargeModes::MakeElement(const ara::rest::Uuid& uuid, const ara::rest::Uri& uri,
                                                              std::string name) {
  return ChargeModeObject::Make(std::move(name), uuid, uri);
}

}  // namespace rubo::server::charging_management_core
