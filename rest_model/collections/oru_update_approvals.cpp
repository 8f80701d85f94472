#include "rest_model/collections/oru_update_approvals.h"

#include <utility>

#include "rest_model/collections/collection_support.h"

namespace rubo::server::charging_management_core {

OruUpdateApprovals::OruUpdateApprovals()
    : rubo::ServerResource(ara::rest::Uuid::MakeV5(kPath), rubo::server::PathUri(kPath), std::string(kName)) {
  rubo::server::DescribeCollection(*this, kName);
}

OruUpdateApprovals::~OruUpdateApprovals() = default;

std::shared_ptr<rubo::ServerElement> OruUpdateApprovals::MakeElement(const ara::rest::Uuid& uuid,
                                                                     const ara::rest::Uri& uri, std::string name) {
  return OruUpdateApprovalObject::Make(std::move(name), uuid, uri);
}

}  // namespace rubo::server::charging_management_core
