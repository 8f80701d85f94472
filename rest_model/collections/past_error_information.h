#pragma once

#include <memory>

#include "ara/rest/allocator.h"
#include "rest_model/collections/collection.h"
#include "rest_model/elements/past_error_information_object.h"

namespace rubo::server::charging_management_core {

// The "pastErrorInformation" collection; its elements are PastErrorInformationObjects.
class PastErrorInformation
    : public Collection<"/ChargingManagementCore/pastErrorInformation", PastErrorInformationObject> {
 public:
  // Snapshot of the elements of this collection's class, in collection order.
  ara::rest::Vector<std::shared_ptr<PastErrorInformationObject>> GetPastErrorInformationObjects() const {
    return Elements();
  }
};

}  // namespace rubo::server::charging_management_core
