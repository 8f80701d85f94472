#include "rest_model/collections/charging_process_information.h"

#include <utility>

#include "rest_model/collections/collection_support.h"

namespace rubo::server::charging_management_core {

ChargingProcessInformation::ChargingProcessInformation()
    : rubo::ServerResource(ara::rest::Uuid::MakeV5(kPath), rubo::server::PathUri(kPath), std::string(kName)) {
  rubo::server::DescribeCollection(*this, kName);
}

ChargingProcessInformation::~ChargingProcessInformation() = default;

std::shared_ptr<rubo::ServerElement> ChargingProcessInformation::MakeElement(const ara::rest::Uuid& uuid,
                                                                             const ara::rest::Uri& uri,
                                                                             std::string name) {
  return ChargingProcessInformationObject::Make(std::move(name), uuid, uri);
}

}  // namespace rubo::server::charging_management_core
