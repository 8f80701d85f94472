#include "rest_model/collections/battery_care_modes.h"

#include <utility>

#include "rest_model/collections/collection_support.h"

namespace rubo::server::charging_management_core {

BatteryCareModes::BatteryCareModes()
    : rubo::ServerResource(ara::rest::Uuid::MakeV5(kPath), rubo::server::PathUri(kPath), std::string(kName)) {
  rubo::server::DescribeCollection(*this, kName);
}

BatteryCareModes::~BatteryCareModes() = default;

std::shared_ptr<rubo::ServerElement> BatteryCareModes::MakeElement(const ara::rest::Uuid& uuid,
                                                                   const ara::rest::Uri& uri, std::string name) {
  return BatteryCareModeObject::Make(std::move(name), uuid, uri);
}

}  // namespace rubo::server::charging_management_core
