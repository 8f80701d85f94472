#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "ara/rest/allocator.h"
#include "ara/rest/uri.h"
#include "ara/rest/uuid.h"
#include "rest_model/elements/battery_care_mode_object.h"
#include "rubo/server_resource.h"

namespace rubo::server::charging_management_core {

// The "batteryCareModes" collection; its elements are BatteryCareModeObjects.
class BatteryCareModes : public rubo::ServerResource {
 public:
  static constexpr std::string_view kPath = "/ChargingManagementCore/batteryCareModes";
  static constexpr std::string_view kName = "batteryCareModes";

  BatteryCareModes();
  ~BatteryCareModes() override;

  std::shared_ptr<rubo::ServerElement> MakeElement(const ara::rest::Uuid& uuid, const ara::rest::Uri& uri,
                                                   std::string name) override;
};

}  // namespace rubo::server::charging_management_core
