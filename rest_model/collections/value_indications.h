#pragma once

#include "rest_model/collections/collection.h"
#include "rest_model/elements/value_indication_object.h"

namespace rubo::server::charging_management_core {

// The "valueIndications" collection; its elements are ValueIndicationObjects.
class ValueIndications : public Collection<"/ChargingManagementCore/valueIndications", ValueIndicationObject> {};

}  // namespace rubo::server::charging_management_core
