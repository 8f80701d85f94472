#pragma once

#include <memory>

#include "ara/rest/allocator.h"
#include "rest_model/collections/collection.h"
#include "rest_model/elements/switch_control_object.h"

namespace rubo::server::charging_management_core {

// The "switchControls" collection; its elements are SwitchControlObjects.
class SwitchControls : public Collection<"/ChargingManagementCore/switchControls", SwitchControlObject> {
 public:
  // Snapshot of the elements of this collection's class, in collection order.
  ara::rest::Vector<std::shared_ptr<SwitchControlObject>> GetSwitchControlObjects() const { return Elements(); }
};

}  // namespace rubo::server::charging_management_core
