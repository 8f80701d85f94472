#include "rest_model/collections/views.h"

#include <utility>

#include "rest_model/collections/collection_support.h"

namespace rubo::server::charging_management_core {

Views::Views()
    : rubo::ServerResource(ara::rest::Uuid::MakeV5(kPath), rubo::server::PathUri(kPath), std::string(kName)) {
  rubo::server::DescribeCollection(*this, kName);
}

Views::~Views() = default;

std::shared_ptr<rubo::ServerElement> Views::MakeElement(const ara::rest::Uuid& uuid, const ara::rest::Uri& uri,
                                                        std::string name) {
  return ViewObject::Make(std::move(name), uuid, uri);
}

}  // namespace rubo::server::charging_management_core
