#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "ara/rest/allocator.h"
#include "ara/rest/uri.h"
#include "ara/rest/uuid.h"
#include "rest_model/elements/notification_object.h"
#include "rubo/server_resource.h"

namespace rubo::server::charging_management_core {

// The "notifications" collection; its elements are NotificationObjects.
class Notifications : public rubo::ServerResource {
 public:
  static constexpr std::string_view kPath = "/ChargingManagementCore/notifications";
  static constexpr std::string_view kName = "notifications";

  Notifications();
  ~Notifications() override;

  std::shared_ptr<rubo::ServerElement> MakeElement(const ara::rest::Uuid& uuid, const ara::rest::Uri& uri,
                                                   std::string name) override;
};

}  // namespace rubo::server::charging_management_core
