#include "rest_model/collections/notifications.h"

#include <utility>

#include "rest_model/collections/collection_support.h"

namespace rubo::server::charging_management_core {

Notifications::Notifications()
    : rubo::ServerResource(ara::rest::Uuid::MakeV5(kPath), rubo::server::PathUri(kPath), std::string(kName)) {
  rubo::server::DescribeCollection(*this, kName);
}

Notifications::~Notifications() = default;

std::shared_ptr<rubo::ServerElement> Notifications::MakeElement(const ara::rest::Uuid& uuid, const ara::rest::Uri& uri,
                                                                std::string name) {
  return NotificationObject::Make(std::move(name), uuid, uri);
}

}  // namespace rubo::server::charging_management_core
