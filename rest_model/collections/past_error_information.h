#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "ara/rest/allocator.h"
#include "ara/rest/uri.h"
#include "ara/rest/uuid.h"
#include "rest_model/elements/past_error_information_object.h"
#include "rubo/server_resource.h"

namespace rubo::server::charging_management_core {

// The "pastErrorInformation" collection; its elements are PastErrorInformationObjects.
class PastErrorInformation : public rubo::ServerResource {
 public:
  static constexpr std::string_view kPath = "/ChargingManagementCore/pastErrorInformation";
  static constexpr std::string_view kName = "pastErrorInformation";

  PastErrorInformation();
  ~PastErrorInformation() override;

  std::shared_ptr<rubo::ServerElement> MakeElement(const ara::rest::Uuid& uuid, const ara::rest::Uri& uri,
                                                   std::string name) override;

  // Snapshot of the elements of this collection's class, in collection order.
  ara::rest::Vector<std::shared_ptr<PastErrorInformationObject>> GetPastErrorInformationObjects() const;
};

}  // namespace rubo::server::charging_management_core
