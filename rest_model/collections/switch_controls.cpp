#include "rest_model/collections/switch_controls.h"

#include <utility>

#include "rest_model/collections/collection_support.h"

namespace rubo::server::charging_management_core {

SwitchControls::SwitchControls()
    : rubo::ServerResource(ara::rest::Uuid::MakeV5(kPath), rubo::server::PathUri(kPath), std::string(kName)) {
  rubo::server::DescribeCollection(*this, kName);
}

SwitchControls::~SwitchControls() = default;

std::shared_ptr<rubo::ServerElement> SwitchControls::MakeElement(const ara::rest::Uuid& uuid, const ara::rest::Uri& uri,
                                                                 std::string name) {
  return SwitchControlObject::Make(std::move(name), uuid, uri);
}

ara::rest::Vector<std::shared_ptr<SwitchControlObject>> SwitchControls::GetSwitchControlObjects() const {
  return rubo::server::ElementsOf<SwitchControlObject>(*this);
}

}  // namespace rubo::server::charging_management_core
