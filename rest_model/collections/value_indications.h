#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "ara/rest/allocator.h"
#include "ara/rest/uri.h"
#include "ara/rest/uuid.h"
#include "rest_model/elements/value_indication_object.h"
#include "rubo/server_resource.h"

namespace rubo::server::charging_management_core {

// The "valueIndications" collection; its elements are ValueIndicationObjects.
class ValueIndications : public rubo::ServerResource {
 public:
  static constexpr std::string_view kPath = "/ChargingManagementCore/valueIndications";
  static constexpr std::string_view kName = "valueIndications";

  ValueIndications();
  ~ValueIndications() override;

  std::shared_ptr<rubo::ServerElement> MakeElement(const ara::rest::Uuid& uuid, const ara::rest::Uri& uri,
                                                   std::string name) override;
};

}  // namespace rubo::server::charging_management_core
