#include "rest_model/collections/past_error_information.h"

#include <utility>

#include "rest_model/collections/collection_support.h"

namespace rubo::server::charging_management_core {

PastErrorInformation::PastErrorInformation()
    : rubo::ServerResource(ara::rest::Uuid::MakeV5(kPath), rubo::server::PathUri(kPath), std::string(kName)) {
  rubo::server::DescribeCollection(*this, kName);
}

PastErrorInformation::~PastErrorInformation() = default;

std::shared_ptr<rubo::ServerElement> PastErrorInformation::MakeElement(const ara::rest::Uuid& uuid,
                                                                       const ara::rest::Uri& uri, std::string name) {
  return PastErrorInformationObject::Make(std::move(name), uuid, uri);
}

ara::rest::Vector<std::shared_ptr<PastErrorInformationObject>> PastErrorInformation::GetPastErrorInformationObjects()
    const {
  return rubo::server::ElementsOf<PastErrorInformationObject>(*this);
}

}  // namespace rubo::server::charging_management_core
