#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "ara/rest/allocator.h"
#include "ara/rest/uri.h"
#include "ara/rest/uuid.h"
#include "rest_model/elements/battery_preconditioning_object.h"
#include "rubo/server_resource.h"

namespace rubo::server::charging_management_core {

// The "batteryPreconditionings" collection; its elements are BatteryPreconditioningObjects.
class BatteryPreconditionings : public rubo::ServerResource {
 public:
  static constexpr std::string_view kPath = "/ChargingManagementCore/batteryPreconditionings";
  static constexpr std::string_view kName = "batteryPreconditionings";

  BatteryPreconditionings();
  ~BatteryPreconditionings() override;

  std::shared_ptr<rubo::ServerElement> MakeElement(const ara::rest::Uuid& uuid, const ara::rest::Uri& uri,
                                                   std::string name) override;
};

}  // namespace rubo::server::charging_management_core
