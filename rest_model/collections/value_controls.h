#pragma once

#include <memory>

#include "ara/rest/allocator.h"
#include "rest_model/collections/collection.h"
#include "rest_model/elements/value_control_object.h"

namespace rubo::server::charging_management_core {

// The "valueControls" collection; its elements are ValueControlObjects.
class ValueControls : public Collection<"/ChargingManagementCore/valueControls", ValueControlObject> {
 public:
  // Snapshot of the elements of this collection's class, in collection order.
  ara::rest::Vector<std::shared_ptr<ValueControlObject>> GetValueControlObjects() const { return Elements(); }
};

}  // namespace rubo::server::charging_management_core
