#pragma once

#include "rest_model/collections/collection.h"
#include "rest_model/elements/immediate_action_object.h"

namespace rubo::server::charging_management_core {

// The "immediateActions" collection; its elements are ImmediateActionObjects.
class ImmediateActions : public Collection<"/ChargingManagementCore/immediateActions", ImmediateActionObject> {};

}  // namespace rubo::server::charging_management_core
