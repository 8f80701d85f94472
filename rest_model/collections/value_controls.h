#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "ara/rest/allocator.h"
#include "ara/rest/uri.h"
#include "ara/rest/uuid.h"
#include "rest_model/elements/value_control_object.h"
#include "rubo/server_resource.h"

namespace rubo::server::charging_management_core {

// The "valueControls" collection; its elements are ValueControlObjects.
class ValueControls : public rubo::ServerResource {
 public:
  static constexpr std::string_view kPath = "/ChargingManagementCore/valueControls";
  static constexpr std::string_view kName = "valueControls";

  ValueControls();
  ~ValueControls() override;

  std::shared_ptr<rubo::ServerElement> MakeElement(const ara::rest::Uuid& uuid, const ara::rest::Uri& uri,
                                                   std::string name) override;

  // Snapshot of the elements of this collection's class, in collection order.
  ara::rest::Vector<std::shared_ptr<ValueControlObject>> GetValueControlObjects() const;
};

}  // namespace rubo::server::charging_management_core
