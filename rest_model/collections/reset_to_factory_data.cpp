#include "rest_model/collections/reset_to_factory_data.h"

#include <utility>

#include "rest_model/collections/collection_support.h"

namespace rubo::server::charging_management_core {

ResetToFactoryData::ResetToFactoryData()
    : rubo::ServerResource(ara::rest::Uuid::MakeV5(kPath), rubo::server::PathUri(kPath), std::string(kName)) {
  rubo::server::DescribeCollection(*this, kName);
}

ResetToFactoryData::~ResetToFactoryData() = default;

std::shared_ptr<rubo::ServerElement> ResetToFactoryData::MakeElement(const ara::rest::Uuid& uuid,
                                                                     const ara::rest::Uri& uri, std::string name) {
  return ResetToFactoryDataObject::Make(std::move(name), uuid, uri);
}

}  // namespace rubo::server::charging_management_core
