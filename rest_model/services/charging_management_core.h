#pragma once

#include <string_view>

#include "rubo/server_service.h"

namespace rubo::server::charging_management_core {

class ChargingManagementCore : public rubo::ServerService {
 public:
  static constexpr std::string_view kPath = "/ChargingManagementCore";
  static constexpr std::string_view kName = "ChargingManagementCore";

  ChargingManagementCore();
  ~ChargingManagementCore() override;
};

}  // namespace rubo::server::charging_management_core
