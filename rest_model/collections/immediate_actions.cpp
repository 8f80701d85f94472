#include "rest_model/collections/immediate_actions.h"

#include <utility>

#include "rest_model/collections/collection_support.h"

namespace rubo::server::charging_management_core {

ImmediateActions::ImmediateActions()
    : rubo::ServerResource(ara::rest::Uuid::MakeV5(kPath), rubo::server::PathUri(kPath), std::string(kName)) {
  rubo::server::DescribeCollection(*this, kName);
}

ImmediateActions::~ImmediateActions() = default;

std::shared_ptr<rubo::ServerElement> ImmediateActions::MakeElement(const ara::rest::Uuid& uuid,
                                                                   const ara::rest::Uri& uri, std::string name) {
  return ImmediateActionObject::Make(std::move(name), uuid, uri);
}

}  // namespace rubo::server::charging_management_core
