#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "ara/rest/allocator.h"
#include "ara/rest/uri.h"
#include "ara/rest/uuid.h"
#include "rest_model/elements/reset_object.h"
#include "rubo/server_resource.h"

namespace rubo::server::factory_reset {

// The "resets" collection; its elements are ResetObjects.
class Resets : public rubo::ServerResource {
 public:
  static constexpr std::string_view kPath = "/FactoryReset/resets";
  static constexpr std::string_view kName = "resets";

  Resets();
  ~Resets() override;

  std::shared_ptr<rubo::ServerElement> MakeElement(const ara::rest::Uuid& uuid, const ara::rest::Uri& uri,
                                                   std::string name) override;

  // Snapshot of the elements of this collection's class, in collection order.
  ara::rest::Vector<std::shared_ptr<ResetObject>> GetResetObjects() const;
};

}  // namespace rubo::server::factory_reset
