#include "rest_model/collections/notification_markers.h"

#include <utility>

#include "rest_model/collections/collection_support.h"

namespace rubo::server::charging_management_core {

NotificationMarkers::NotificationMarkers()
    : rubo::ServerResource(ara::rest::Uuid::MakeV5(kPath), rubo::server::PathUri(kPath), std::string(kName)) {
  rubo::server::DescribeCollection(*this, kName);
}

NotificationMarkers::~NotificationMarkers() = default;

std::shared_ptr<rubo::ServerElement> NotificationMarkers::MakeElement(const ara::rest::Uuid& uuid,
                                                                      const ara::rest::Uri& uri, std::string name) {
  return NotificationMarkerObject::Make(std::move(name), uuid, uri);
}

}  // namespace rubo::server::charging_management_core
