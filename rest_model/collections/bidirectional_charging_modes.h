#pragma once

#include "rest_model/collections/collection.h"
#include "rest_model/elements/bidirectional_charging_mode_object.h"

namespace rubo::server::charging_management_core {

// The "bidirectionalChargingModes" collection; its elements are BidirectionalChargingModeObjects.
class BidirectionalChargingModes
    : public Collection<"/ChargingManagementCore/bidirectionalChargingModes", BidirectionalChargingModeObject> {};

}  // namespace rubo::server::charging_management_core
