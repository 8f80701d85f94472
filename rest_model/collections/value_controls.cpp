#include "rest_model/collections/value_controls.h"

#include <utility>

#include "rest_model/collections/collection_support.h"

namespace rubo::server::charging_management_core {

ValueControls::ValueControls()
    : rubo::ServerResource(ara::rest::Uuid::MakeV5(kPath), rubo::server::PathUri(kPath), std::string(kName)) {
  rubo::server::DescribeCollection(*this, kName);
}

ValueControls::~ValueControls() = default;

std::shared_ptr<rubo::ServerElement> ValueControls::MakeElement(const ara::rest::Uuid& uuid, const ara::rest::Uri& uri,
                                                                std::string name) {
  return ValueControlObject::Make(std::move(name), uuid, uri);
}

ara::rest::Vector<std::shared_ptr<ValueControlObject>> ValueControls::GetValueControlObjects() const {
  return rubo::server::ElementsOf<ValueControlObject>(*this);
}

}  // namespace rubo::server::charging_management_core
