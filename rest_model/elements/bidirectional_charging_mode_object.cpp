#include "rest_model/elements/bidirectional_charging_mode_object.h"

#include <utility>

#include "rest_model/elements/element_support.h"
#include "rest_model/elements/element_vocabulary.h"

namespace rubo::server::charging_management_core {

namespace vocabulary = rubo::server::vocabulary;

BidirectionalChargingModeObject::BidirectionalChargingModeObject(const ara::rest::Uri& uri, const ara::rest::Uuid& uuid,
                                                                 std::string name)
    : rubo::ServerElement(uuid, uri, std::move(name)),
      lists_{{"chargingMode", vocabulary::kBidirectionalChargingModeObjectChargingMode},
             {"type", vocabulary::kBidirectionalChargingModeObjectType},
             {"notification", vocabulary::kBidirectionalChargingModeObjectNotification},
             {"information", vocabulary::kBidirectionalChargingModeObjectInformation}} {
  SetPreGetCallback(rubo::server::AllowRead);
}

BidirectionalChargingModeObject::~BidirectionalChargingModeObject() = default;

std::shared_ptr<BidirectionalChargingModeObject> BidirectionalChargingModeObject::Make(std::string name,
                                                                                       const ara::rest::Uuid& uuid,
                                                                                       const ara::rest::Uri& uri) {
  return rubo::server::MakeElementAt<BidirectionalChargingModeObject>(kPathPrefix, std::move(name), uuid, uri);
}

bool BidirectionalChargingModeObject::SetListedText(const std::string& property, const std::string& value) {
  return rubo::server::SetListedText(*this, lists_.For(property), property, value);
}

bool BidirectionalChargingModeObject::SetType(const std::string& value) {
  return SetListedText("type", value);
}

bool BidirectionalChargingModeObject::SetMaxSoc(std::shared_ptr<ValueControlObject> element) {
  return rubo::server::SetLink(*this, GetObjectMutex(), maxSoc_, std::move(element), "maxSoc");
}

std::shared_ptr<ValueControlObject> BidirectionalChargingModeObject::GetMaxSoc() const {
  return rubo::server::LoadLink(GetObjectMutex(), maxSoc_);
}

bool BidirectionalChargingModeObject::SetMinSoc(std::shared_ptr<ValueControlObject> element) {
  return rubo::server::SetLink(*this, GetObjectMutex(), minSoc_, std::move(element), "minSoc");
}

std::shared_ptr<ValueControlObject> BidirectionalChargingModeObject::GetMinSoc() const {
  return rubo::server::LoadLink(GetObjectMutex(), minSoc_);
}

bool BidirectionalChargingModeObject::SetNumbersOfCycles(std::shared_ptr<ValueIndicationObject> element) {
  return rubo::server::SetLink(*this, GetObjectMutex(), numbersOfCycles_, std::move(element), "numbersOfCycles");
}

std::shared_ptr<ValueIndicationObject> BidirectionalChargingModeObject::GetNumbersOfCycles() const {
  return rubo::server::LoadLink(GetObjectMutex(), numbersOfCycles_);
}

bool BidirectionalChargingModeObject::SetAmountOfEnergy(std::shared_ptr<ValueIndicationObject> element) {
  return rubo::server::SetLink(*this, GetObjectMutex(), amountOfEnergy_, std::move(element), "amountOfEnergy");
}

std::shared_ptr<ValueIndicationObject> BidirectionalChargingModeObject::GetAmountOfEnergy() const {
  return rubo::server::LoadLink(GetObjectMutex(), amountOfEnergy_);
}

bool BidirectionalChargingModeObject::SetOperatingHours(std::shared_ptr<ValueIndicationObject> element) {
  return rubo::server::SetLink(*this, GetObjectMutex(), operatingHours_, std::move(element), "operatingHours");
}

std::shared_ptr<ValueIndicationObject> BidirectionalChargingModeObject::GetOperatingHours() const {
  return rubo::server::LoadLink(GetObjectMutex(), operatingHours_);
}

bool BidirectionalChargingModeObject::SetQuota(std::shared_ptr<ValueIndicationObject> element) {
  return rubo::server::SetLink(*this, GetObjectMutex(), quota_, std::move(element), "quota");
}

std::shared_ptr<ValueIndicationObject> BidirectionalChargingModeObject::GetQuota() const {
  return rubo::server::LoadLink(GetObjectMutex(), quota_);
}

ara::rest::Pointer<ara::rest::ogm::Object> BidirectionalChargingModeObject::ToOGM() const {
  auto rendering = rubo::ServerElement::ToOGM();
  rubo::server::ExpandLink(*rendering, "maxSoc", GetMaxSoc().get());
  rubo::server::ExpandLink(*rendering, "minSoc", GetMinSoc().get());
  rubo::server::ExpandLink(*rendering, "numbersOfCycles", GetNumbersOfCycles().get());
  rubo::server::ExpandLink(*rendering, "amountOfEnergy", GetAmountOfEnergy().get());
  rubo::server::ExpandLink(*rendering, "operatingHours", GetOperatingHours().get());
  rubo::server::ExpandLink(*rendering, "quota", GetQuota().get());
  return rendering;
}

}  // namespace rubo::server::charging_management_core
