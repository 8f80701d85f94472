#pragma once

#include "rest_model/collections/collection.h"
#include "rest_model/elements/charging_plug_object.h"

namespace rubo::server::charging_management_core {

// The "chargingPlugs" collection; its elements are ChargingPlugObjects.
class ChargingPlugs : public Collection<"/ChargingManagementCore/chargingPlugs", ChargingPlugObject> {};

}  // namespace rubo::server::charging_management_core
