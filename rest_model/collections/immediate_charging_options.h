#pragma once

#include "rest_model/collections/collection.h"
#include "rest_model/elements/immediate_charging_option_object.h"

namespace rubo::server::charging_management_core {

// The "immediateChargingOptions" collection; its elements are ImmediateChargingOptionObjects.
class ImmediateChargingOptions
    : public Collection<"/ChargingManagementCore/immediateChargingOptions", ImmediateChargingOptionObject> {};

}  // namespace rubo::server::charging_management_core
