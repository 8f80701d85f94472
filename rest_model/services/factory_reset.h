#pragma once

#include <string_view>

#include "rubo/server_service.h"

namespace rubo::server::factory_reset {

class FactoryReset : public rubo::ServerService {
 public:
  static constexpr std::string_view kPath = "/FactoryReset";
  static constexpr std::string_view kName = "FactoryReset";

  FactoryReset();
  ~FactoryReset() override;
};

}  // namespace rubo::server::factory_reset
