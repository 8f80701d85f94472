#pragma once

#include "rest_model/collections/collection.h"
#include "rest_model/elements/charge_mode_object.h"

namespace rubo::server::charging_management_core {

// The "chargeModes" collection; its elements are ChargeModeObjects.
class ChargeModes : public Collection<"/ChargingManagementCore/chargeModes", ChargeModeObject> {};

}  // namespace rubo::server::charging_management_core
