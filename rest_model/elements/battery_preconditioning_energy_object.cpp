#include "rest_model/elements/battery_preconditioning_energy_object.h"

#include <utility>

#include "rest_model/elements/element_support.h"
#include "rest_model/elements/element_vocabulary.h"

namespace rubo::server::charging_management_core {

namespace vocabulary = rubo::server::vocabulary;

BatteryPreconditioningEnergyObject::BatteryPreconditioningEnergyObject(const ara::rest::Uri& uri,
                                                                       const ara::rest::Uuid& uuid, std::string name)
    : rubo::ServerElement(uuid, uri, std::move(name)),
      lists_{{"type", vocabulary::kBatteryPreconditioningEnergyObjectType}} {
  SetPreGetCallback(rubo::server::AllowRead);
}

BatteryPreconditioningEnergyObject::~BatteryPreconditioningEnergyObject() = default;

std::shared_ptr<BatteryPreconditioningEnergyObject> BatteryPreconditioningEnergyObject::Make(
    std::string name, const ara::rest::Uuid& uuid, const ara::rest::Uri& uri) {
  return rubo::server::MakeElementAt<BatteryPreconditioningEnergyObject>(kPathPrefix, std::move(name), uuid, uri);
}

bool BatteryPreconditioningEnergyObject::SetListedText(const std::string& property, const std::string& value) {
  return rubo::server::SetListedText(*this, lists_.For(property), property, value);
}

bool BatteryPreconditioningEnergyObject::SetType(const std::string& value) {
  return SetListedText("type", value);
}

}  // namespace rubo::server::charging_management_core
