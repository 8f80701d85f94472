#pragma once

#include "rest_model/collections/collection.h"
#include "rest_model/elements/battery_care_mode_object.h"

namespace rubo::server::charging_management_core {

// The "batteryCareModes" collection; its elements are BatteryCareModeObjects.
class BatteryCareModes : public Collection<"/ChargingManagementCore/batteryCareModes", BatteryCareModeObject> {};

}  // namespace rubo::server::charging_management_core
