#pragma once

#include "rest_model/collections/collection.h"
#include "rest_model/elements/view_object.h"

namespace rubo::server::charging_management_core {

// The "views" collection; its elements are ViewObjects.
class Views : public Collection<"/ChargingManagementCore/views", ViewObject> {};

}  // namespace rubo::server::charging_management_core
