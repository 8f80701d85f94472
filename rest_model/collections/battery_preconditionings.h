#pragma once

#include "rest_model/collections/collection.h"
#include "rest_model/elements/battery_preconditioning_object.h"

namespace rubo::server::charging_management_core {

// The "batteryPreconditionings" collection; its elements are BatteryPreconditioningObjects.
class BatteryPreconditionings
    : public Collection<"/ChargingManagementCore/batteryPreconditionings", BatteryPreconditioningObject> {};

}  // namespace rubo::server::charging_management_core
