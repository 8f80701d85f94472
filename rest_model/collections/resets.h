#pragma once

#include <memory>

#include "ara/rest/allocator.h"
#include "rest_model/collections/collection.h"
#include "rest_model/elements/reset_object.h"

namespace rubo::server::factory_reset {

// The "resets" collection; its elements are ResetObjects.
class Resets : public Collection<"/FactoryReset/resets", ResetObject> {
 public:
  // Snapshot of the elements of this collection's class, in collection order.
  ara::rest::Vector<std::shared_ptr<ResetObject>> GetResetObjects() const { return Elements(); }
};

}  // namespace rubo::server::factory_reset
