#include "rest_model/collections/resets.h"

#include <utility>

#include "rest_model/collections/collection_support.h"

namespace rubo::server::factory_reset {

Resets::Resets()
    : rubo::ServerResource(ara::rest::Uuid::MakeV5(kPath), rubo::server::PathUri(kPath), std::string(kName)) {
  rubo::server::DescribeCollection(*this, kName);
}

Resets::~Resets() = default;

std::shared_ptr<rubo::ServerElement> Resets::MakeElement(const ara::rest::Uuid& uuid, const ara::rest::Uri& uri,
                                                         std::string name) {
  return ResetObject::Make(std::move(name), uuid, uri);
}

ara::rest::Vector<std::shared_ptr<ResetObject>> Resets::GetResetObjects() const {
  return rubo::server::ElementsOf<ResetObject>(*this);
}

}  // namespace rubo::server::factory_reset
