#pragma once

#include "rest_model/collections/collection.h"
#include "rest_model/elements/oru_update_approval_object.h"

namespace rubo::server::charging_management_core {

// The "oruUpdateApprovals" collection; its elements are OruUpdateApprovalObjects.
class OruUpdateApprovals : public Collection<"/ChargingManagementCore/oruUpdateApprovals", OruUpdateApprovalObject> {};

}  // namespace rubo::server::charging_management_core
