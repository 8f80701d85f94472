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
  chargingManagementCore_ = ara::rest::MakeSharedPointer<ChargingManagementCore>();
  switchControls_ = ara::rest::MakeSharedPointer<SwitchControls>();
  chargingManagementCore_->Add(switchControls_);
  Add(chargingManagementCore_);
  notificationMarkers_ = ara::rest::MakeSharedPointer<NotificationMarkers>();
  chargingManagementCore_->Add(notificationMarkers_);
  Add(chargingManagementCore_);
  pastErrorInformation_ = ara::rest::MakeSharedPointer<PastErrorInformation>();
  chargingManagementCore_->Add(pastErrorInformation_);
  Add(chargingManagementCore_);
  batteryPreconditioningEnergies_ = ara::rest::MakeSharedPointer<BatteryPreconditioningEnergies>();
  chargingManagementCore_->Add(batteryPreconditioningEnergies_);
  Add(chargingManagementCore_);
  bidirectionalChargingModes_ = ara::rest::MakeSharedPointer<BidirectionalChargingModes>();
  chargingManagementCore_->Add(bidirectionalChargingModes_);
  Add(chargingManagementCore_);
  immediateChargingOptions_ = ara::rest::MakeSharedPointer<ImmediateChargingOptions>();
  chargingManagementCore_->Add(immediateChargingOptions_);
  Add(chargingManagementCore_);
  valueIndications_ = ara::rest::MakeSharedPointer<ValueIndications>();
  chargingManagementCore_->Add(valueIndications_);
  Add(chargingManagementCore_);
  oruUpdateApprovals_ = ara::rest::MakeSharedPointer<OruUpdateApprovals>();
  chargingManagementCore_->Add(oruUpdateApprovals_);
  Add(chargingManagementCore_);
  resetToFactoryData_ = ara::rest::MakeSharedPointer<ResetToFactoryData>();
  chargingManagementCore_->Add(resetToFactoryData_);
  Add(chargingManagementCore_);
  immediateActions_ = ara::rest::MakeSharedPointer<ImmediateActions>();
  chargingManagementCore_->Add(immediateActions_);
  Add(chargingManagementCore_);
  chargingPlugs_ = ara::rest::MakeSharedPointer<ChargingPlugs>();
  chargingManagementCore_->Add(chargingPlugs_);
  Add(chargingManagementCore_);
  chargingProcessInformation_ = ara::rest::MakeSharedPointer<ChargingProcessInformation>();
  chargingManagementCore_->Add(chargingProcessInformation_);
  Add(chargingManagementCore_);
  valueControls_ = ara::rest::MakeSharedPointer<ValueControls>();
  chargingManagementCore_->Add(valueControls_);
  Add(chargingManagementCore_);
  batteryCareModes_ = ara::rest::MakeSharedPointer<BatteryCareModes>();
  chargingManagementCore_->Add(batteryCareModes_);
  Add(chargingManagementCore_);
  chargeModes_ = ara::rest::MakeSharedPointer<ChargeModes>();
  chargingManagementCore_->Add(chargeModes_);
  Add(chargingManagementCore_);
  notifications_ = ara::rest::MakeSharedPointer<Notifications>();
  chargingManagementCore_->Add(notifications_);
  Add(chargingManagementCore_);
  views_ = ara::rest::MakeSharedPointer<Views>();
  chargingManagementCore_->Add(views_);
  Add(chargingManagementCore_);
  batteryPreconditionings_ = ara::rest::MakeSharedPointer<BatteryPreconditionings>();
  chargingManagementCore_->Add(batteryPreconditionings_);
  Add(chargingManagementCore_);
  statistics_ = ara::rest::MakeSharedPointer<Statistics>();
  chargingManagementCore_->Add(statistics_);
  Add(chargingManagementCore_);

  factoryReset_ = ara::rest::MakeSharedPointer<FactoryReset>();
  resets_ = ara::rest::MakeSharedPointer<Resets>();
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

void RuboServer::Add(const std::shared_ptr<SwitchControlObject>& element) {
  Built(switchControls_).Add(element);
}
void RuboServer::Add(const std::shared_ptr<NotificationMarkerObject>& element) {
  Built(notificationMarkers_).Add(element);
}
void RuboServer::Add(const std::shared_ptr<PastErrorInformationObject>& element) {
  Built(pastErrorInformation_).Add(element);
}
void RuboServer::Add(const std::shared_ptr<BatteryPreconditioningEnergyObject>& element) {
  Built(batteryPreconditioningEnergies_).Add(element);
}
void RuboServer::Add(const std::shared_ptr<BidirectionalChargingModeObject>& element) {
  Built(bidirectionalChargingModes_).Add(element);
}
void RuboServer::Add(const std::shared_ptr<ImmediateChargingOptionObject>& element) {
  Built(immediateChargingOptions_).Add(element);
}
void RuboServer::Add(const std::shared_ptr<ValueIndicationObject>& element) {
  Built(valueIndications_).Add(element);
}
void RuboServer::Add(const std::shared_ptr<OruUpdateApprovalObject>& element) {
  Built(oruUpdateApprovals_).Add(element);
}
void RuboServer::Add(const std::shared_ptr<ResetToFactoryDataObject>& element) {
  Built(resetToFactoryData_).Add(element);
}
void RuboServer::Add(const std::shared_ptr<ImmediateActionObject>& element) {
  Built(immediateActions_).Add(element);
}
void RuboServer::Add(const std::shared_ptr<ChargingPlugObject>& element) {
  Built(chargingPlugs_).Add(element);
}
void RuboServer::Add(const std::shared_ptr<ChargingProcessInformationObject>& element) {
  Built(chargingProcessInformation_).Add(element);
}
void RuboServer::Add(const std::shared_ptr<ValueControlObject>& element) {
  Built(valueControls_).Add(element);
}
void RuboServer::Add(const std::shared_ptr<BatteryCareModeObject>& element) {
  Built(batteryCareModes_).Add(element);
}
void RuboServer::Add(const std::shared_ptr<ChargeModeObject>& element) {
  Built(chargeModes_).Add(element);
}
void RuboServer::Add(const std::shared_ptr<NotificationObject>& element) {
  Built(notifications_).Add(element);
}
void RuboServer::Add(const std::shared_ptr<ViewObject>& element) {
  Built(views_).Add(element);
}
void RuboServer::Add(const std::shared_ptr<BatteryPreconditioningObject>& element) {
  Built(batteryPreconditionings_).Add(element);
}
void RuboServer::Add(const std::shared_ptr<StatisticObject>& element) {
  Built(statistics_).Add(element);
}
void RuboServer::Add(const std::shared_ptr<ResetObject>& element) {
  Built(resets_).Add(element);
}

void RuboServer::Remove(const std::shared_ptr<SwitchControlObject>& element) {
  RemoveFrom(switchControls_, element);
}
void RuboServer::Remove(const std::shared_ptr<NotificationMarkerObject>& element) {
  RemoveFrom(notificationMarkers_, element);
}
void RuboServer::Remove(const std::shared_ptr<PastErrorInformationObject>& element) {
  RemoveFrom(pastErrorInformation_, element);
}
void RuboServer::Remove(const std::shared_ptr<BatteryPreconditioningEnergyObject>& element) {
  RemoveFrom(batteryPreconditioningEnergies_, element);
}
void RuboServer::Remove(const std::shared_ptr<BidirectionalChargingModeObject>& element) {
  RemoveFrom(bidirectionalChargingModes_, element);
}
void RuboServer::Remove(const std::shared_ptr<ImmediateChargingOptionObject>& element) {
  RemoveFrom(immediateChargingOptions_, element);
}
void RuboServer::Remove(const std::shared_ptr<ValueIndicationObject>& element) {
  RemoveFrom(valueIndications_, element);
}
void RuboServer::Remove(const std::shared_ptr<OruUpdateApprovalObject>& element) {
  RemoveFrom(oruUpdateApprovals_, element);
}
void RuboServer::Remove(const std::shared_ptr<ResetToFactoryDataObject>& element) {
  RemoveFrom(resetToFactoryData_, element);
}
void RuboServer::Remove(const std::shared_ptr<ImmediateActionObject>& element) {
  RemoveFrom(immediateActions_, element);
}
void RuboServer::Remove(const std::shared_ptr<ChargingPlugObject>& element) {
  RemoveFrom(chargingPlugs_, element);
}
void RuboServer::Remove(const std::shared_ptr<ChargingProcessInformationObject>& element) {
  RemoveFrom(chargingProcessInformation_, element);
}
void RuboServer::Remove(const std::shared_ptr<ValueControlObject>& element) {
  RemoveFrom(valueControls_, element);
}
void RuboServer::Remove(const std::shared_ptr<BatteryCareModeObject>& element) {
  RemoveFrom(batteryCareModes_, element);
}
void RuboServer::Remove(const std::shared_ptr<ChargeModeObject>& element) {
  RemoveFrom(chargeModes_, element);
}
void RuboServer::Remove(const std::shared_ptr<NotificationObject>& element) {
  RemoveFrom(notifications_, element);
}
void RuboServer::Remove(const std::shared_ptr<ViewObject>& element) {
  RemoveFrom(views_, element);
}
void RuboServer::Remove(const std::shared_ptr<BatteryPreconditioningObject>& element) {
  RemoveFrom(batteryPreconditionings_, element);
}
void RuboServer::Remove(const std::shared_ptr<StatisticObject>& element) {
  RemoveFrom(statistics_, element);
}
void RuboServer::Remove(const std::shared_ptr<ResetObject>& element) {
  RemoveFrom(resets_, element);
}

}  // namespace rubo::server
