#include "rest_model/rubo_server.h"

#include <mutex>
#include <stdexcept>
#include <string_view>
#include <utility>

#include "ara/rest/allocator.h"

namespace rubo::server {
namespace {

template <typename C>
C& Built(const std::shared_ptr<C>& collection) {
  if (!collection) {
    throw std::logic_error("Collection " + std::string(C::kName) + " was not built");
  }
  return *collection;
}

// A null element has no identity to remove.
template <typename C, typename E>
void RemoveFrom(const std::shared_ptr<C>& collection, const std::shared_ptr<E>& element) {
  auto& built = Built(collection);
  if (element) {
    built.Remove(element->GetUuid());
  }
}

}  // namespace

using namespace charging_management_core;
using namespace factory_reset;

RuboServer::RuboServer(std::string serverName, std::string configPath)
    : rubo::Server(std::move(serverName), std::move(configPath)) {}

RuboServer::~RuboServer() = default;

void RuboServer::InitServices() {
  chargingManagementCore_ = rubo::MakeObject<ChargingManagementCore>();
  switchControls_ = rubo::MakeObject<SwitchControls>();
  chargingManagementCore_->Add(switchControls_);
  Add(chargingManagementCore_);
  notificationMarkers_ = rubo::MakeObject<NotificationMarkers>();
  chargingManagementCore_->Add(notificationMarkers_);
  Add(chargingManagementCore_);
  pastErrorInformation_ = rubo::MakeObject<PastErrorInformation>();
  chargingManagementCore_->Add(pastErrorInformation_);
  Add(chargingManagementCore_);
  batteryPreconditioningEnergies_ = rubo::MakeObject<BatteryPreconditioningEnergies>();
  chargingManagementCore_->Add(batteryPreconditioningEnergies_);
  Add(chargingManagementCore_);
  bidirectionalChargingModes_ = rubo::MakeObject<BidirectionalChargingModes>();
  chargingManagementCore_->Add(bidirectionalChargingModes_);
  Add(chargingManagementCore_);
  immediateChargingOptions_ = rubo::MakeObject<ImmediateChargingOptions>();
  chargingManagementCore_->Add(immediateChargingOptions_);
  Add(chargingManagementCore_);
  valueIndications_ = rubo::MakeObject<ValueIndications>();
  chargingManagementCore_->Add(valueIndications_);
  Add(chargingManagementCore_);
  oruUpdateApprovals_ = rubo::MakeObject<OruUpdateApprovals>();
  chargingManagementCore_->Add(oruUpdateApprovals_);
  Add(chargingManagementCore_);
  resetToFactoryData_ = rubo::MakeObject<ResetToFactoryData>();
  chargingManagementCore_->Add(resetToFactoryData_);
  Add(chargingManagementCore_);
  immediateActions_ = rubo::MakeObject<ImmediateActions>();
  chargingManagementCore_->Add(immediateActions_);
  Add(chargingManagementCore_);
  chargingPlugs_ = rubo::MakeObject<ChargingPlugs>();
  chargingManagementCore_->Add(chargingPlugs_);
  Add(chargingManagementCore_);
  chargingProcessInformation_ = rubo::MakeObject<ChargingProcessInformation>();
  chargingManagementCore_->Add(chargingProcessInformation_);
  Add(chargingManagementCore_);
  valueControls_ = rubo::MakeObject<ValueControls>();
  chargingManagementCore_->Add(valueControls_);
  Add(chargingManagementCore_);
  batteryCareModes_ = rubo::MakeObject<BatteryCareModes>();
  chargingManagementCore_->Add(batteryCareModes_);
  Add(chargingManagementCore_);
  chargeModes_ = rubo::MakeObject<ChargeModes>();
  chargingManagementCore_->Add(chargeModes_);
  Add(chargingManagementCore_);
  notifications_ = rubo::MakeObject<Notifications>();
  chargingManagementCore_->Add(notifications_);
  Add(chargingManagementCore_);
  views_ = rubo::MakeObject<Views>();
  chargingManagementCore_->Add(views_);
  Add(chargingManagementCore_);
  batteryPreconditionings_ = rubo::MakeObject<BatteryPreconditionings>();
  chargingManagementCore_->Add(batteryPreconditionings_);
  Add(chargingManagementCore_);
  statistics_ = rubo::MakeObject<Statistics>();
  chargingManagementCore_->Add(statistics_);
  Add(chargingManagementCore_);

  factoryReset_ = rubo::MakeObject<FactoryReset>();
  resets_ = rubo::MakeObject<Resets>();
  factoryReset_->Add(resets_);
  Add(factoryReset_);
}

std::shared_ptr<ChargingManagementCore> RuboServer::GetChargingManagementCore() const {
  return chargingManagementCore_;
}
std::shared_ptr<SwitchControls> RuboServer::GetChargingManagementCoreSwitchControls() const {
  return switchControls_;
}
std::shared_ptr<NotificationMarkers> RuboServer::GetChargingManagementCoreNotificationMarkers() const {
  return notificationMarkers_;
}
std::shared_ptr<PastErrorInformation> RuboServer::GetChargingManagementCorePastErrorInformation() const {
  return pastErrorInformation_;
}
std::shared_ptr<BatteryPreconditioningEnergies> RuboServer::GetChargingManagementCoreBatteryPreconditioningEnergies()
    const {
  return batteryPreconditioningEnergies_;
}
std::shared_ptr<BidirectionalChargingModes> RuboServer::GetChargingManagementCoreBidirectionalChargingModes() const {
  return bidirectionalChargingModes_;
}
std::shared_ptr<ImmediateChargingOptions> RuboServer::GetChargingManagementCoreImmediateChargingOptions() const {
  return immediateChargingOptions_;
}
std::shared_ptr<ValueIndications> RuboServer::GetChargingManagementCoreValueIndications() const {
  return valueIndications_;
}
std::shared_ptr<OruUpdateApprovals> RuboServer::GetChargingManagementCoreOruUpdateApprovals() const {
  return oruUpdateApprovals_;
}
std::shared_ptr<ResetToFactoryData> RuboServer::GetChargingManagementCoreResetToFactoryData() const {
  return resetToFactoryData_;
}
std::shared_ptr<ImmediateActions> RuboServer::GetChargingManagementCoreImmediateActions() const {
  return immediateActions_;
}
std::shared_ptr<ChargingPlugs> RuboServer::GetChargingManagementCoreChargingPlugs() const {
  return chargingPlugs_;
}
std::shared_ptr<ChargingProcessInformation> RuboServer::GetChargingManagementCoreChargingProcessInformation() const {
  return chargingProcessInformation_;
}
std::shared_ptr<ValueControls> RuboServer::GetChargingManagementCoreValueControls() const {
  return valueControls_;
}
std::shared_ptr<BatteryCareModes> RuboServer::GetChargingManagementCoreBatteryCareModes() const {
  return batteryCareModes_;
}
std::shared_ptr<ChargeModes> RuboServer::GetChargingManagementCoreChargeModes() const {
  return chargeModes_;
}
std::shared_ptr<Notifications> RuboServer::GetChargingManagementCoreNotifications() const {
  return notifications_;
}
std::shared_ptr<Views> RuboServer::GetChargingManagementCoreViews() const {
  return views_;
}
std::shared_ptr<BatteryPreconditionings> RuboServer::GetChargingManagementCoreBatteryPreconditionings() const {
  return batteryPreconditionings_;
}
std::shared_ptr<Statistics> RuboServer::GetChargingManagementCoreStatistics() const {
  return statistics_;
}
std::shared_ptr<FactoryReset> RuboServer::GetFactoryReset() const {
  return factoryReset_;
}
std::shared_ptr<Resets> RuboServer::GetFactoryResetResets() const {
  return resets_;
}

// Each element class and the collection its elements go into.
#define ORIK_ELEMENT_COLLECTIONS(X)                                      \
  X(SwitchControlObject, switchControls_)                                \
  X(NotificationMarkerObject, notificationMarkers_)                      \
  X(PastErrorInformationObject, pastErrorInformation_)                   \
  X(BatteryPreconditioningEnergyObject, batteryPreconditioningEnergies_) \
  X(BidirectionalChargingModeObject, bidirectionalChargingModes_)        \
  X(ImmediateChargingOptionObject, immediateChargingOptions_)            \
  X(ValueIndicationObject, valueIndications_)                            \
  X(OruUpdateApprovalObject, oruUpdateApprovals_)                        \
  X(ResetToFactoryDataObject, resetToFactoryData_)                       \
  X(ImmediateActionObject, immediateActions_)                            \
  X(ChargingPlugObject, chargingPlugs_)                                  \
  X(ChargingProcessInformationObject, chargingProcessInformation_)       \
  X(ValueControlObject, valueControls_)                                  \
  X(BatteryCareModeObject, batteryCareModes_)                            \
  X(ChargeModeObject, chargeModes_)                                      \
  X(NotificationObject, notifications_)                                  \
  X(ViewObject, views_)                                                  \
  X(BatteryPreconditioningObject, batteryPreconditionings_)              \
  X(StatisticObject, statistics_)                                        \
  X(ResetObject, resets_)

#define ORIK_ADD_AND_REMOVE(Element, collection)                     \
  void RuboServer::Add(const std::shared_ptr<Element>& element) {    \
    Built(collection).Add(element);                                  \
  }                                                                  \
  void RuboServer::Remove(const std::shared_ptr<Element>& element) { \
    RemoveFrom(collection, element);                                 \
  }
ORIK_ELEMENT_COLLECTIONS(ORIK_ADD_AND_REMOVE)
#undef ORIK_ADD_AND_REMOVE
#undef ORIK_ELEMENT_COLLECTIONS

}  // namespace rubo::server
