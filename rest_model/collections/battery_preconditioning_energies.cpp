#include "rest_model/collections/battery_preconditioning_energies.h"

#include <utility>

#include "rest_model/collections/collection_support.h"

namespace rubo::server::charging_management_core {

BatteryPreconditioningEnergies::BatteryPreconditioningEnergies()
    : rubo::ServerResource(ara::rest::Uuid::MakeV5(kPath), rubo::server::PathUri(kPath), std::string(kName)) {
  rubo::server::DescribeCollection(*this, kName);
}

BatteryPreconditioningEnergies::~BatteryPreconditioningEnergies() = default;

std::shared_ptr<rubo::ServerElement> BatteryPreconditioningEnergies::MakeElement(const ara::rest::Uuid& uuid,
                                                                                 const ara::rest::Uri& uri,
                                                                                 std::string name) {
  return BatteryPreconditioningEnergyObject::Make(std::move(name), uuid, uri);
}

}  // namespace rubo::server::charging_management_core
