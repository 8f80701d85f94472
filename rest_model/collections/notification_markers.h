#pragma once

#include "rest_model/collections/collection.h"
#include "rest_model/elements/notification_marker_object.h"

namespace rubo::server::charging_management_core {

// The "notificationMarkers" collection; its elements are NotificationMarkerObjects.
class NotificationMarkers : public Collection<"/ChargingManagementCore/notificationMarkers", NotificationMarkerObject> {
};

}  // namespace rubo::server::charging_management_core
