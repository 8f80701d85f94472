#pragma once

#include "rest_model/collections/collection.h"
#include "rest_model/elements/battery_preconditioning_energy_object.h"

namespace rubo::server::charging_management_core {

// The "batteryPreconditioningEnergies" collection; its elements are BatteryPreconditioningEnergyObjects.
class BatteryPreconditioningEnergies
    : public Collection<"/ChargingManagementCore/batteryPreconditioningEnergies", BatteryPreconditioningEnergyObject> {
};

}  // namespace rubo::server::charging_management_core
