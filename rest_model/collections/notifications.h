#pragma once

#include "rest_model/collections/collection.h"
#include "rest_model/elements/notification_object.h"

namespace rubo::server::charging_management_core {

// The "notifications" collection; its elements are NotificationObjects.
class Notifications : public Collection<"/ChargingManagementCore/notifications", NotificationObject> {};

}  // namespace rubo::server::charging_management_core
