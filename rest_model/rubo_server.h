#pragma once

#include <memory>
#include <string>

#include "rest_model/collections/battery_care_modes.h"
#include "rest_model/collections/battery_preconditioning_energies.h"
#include "rest_model/collections/battery_preconditionings.h"
#include "rest_model/collections/bidirectional_charging_modes.h"
#include "rest_model/collections/charge_modes.h"
#include "rest_model/collections/charging_plugs.h"
#include "rest_model/collections/charging_process_information.h"
#include "rest_model/collections/immediate_actions.h"
#include "rest_model/collections/immediate_charging_options.h"
#include "rest_model/collections/notification_markers.h"
#include "rest_model/collections/notifications.h"
#include "rest_model/collections/oru_update_approvals.h"
#include "rest_model/collections/past_error_information.h"
#include "rest_model/collections/reset_to_factory_data.h"
#include "rest_model/collections/resets.h"
#include "rest_model/collections/statistics.h"
#include "rest_model/collections/switch_controls.h"
#include "rest_model/collections/value_controls.h"
#include "rest_model/collections/value_indications.h"
#include "rest_model/collections/views.h"
#include "rest_model/services/charging_management_core.h"
#include "rest_model/services/factory_reset.h"
#include "rubo/server.h"

namespace rubo::server {

// The root of the REST object tree: the framework server with the two services and their 20
// collections, which it creates, wires and owns. It creates no elements.
class RuboServer : public rubo::Server {
 public:
  RuboServer(std::string serverName, std::string configPath);
  ~RuboServer() override;

  // Builds the services and collections. An exception leaves what was built so far in place.
  void InitServices();

  // Empty until InitServices has built them.
  std::shared_ptr<charging_management_core::ChargingManagementCore> GetChargingManagementCore() const;
  std::shared_ptr<charging_management_core::SwitchControls> GetChargingManagementCoreSwitchControls() const;
  std::shared_ptr<charging_management_core::NotificationMarkers> GetChargingManagementCoreNotificationMarkers() const;
  std::shared_ptr<charging_management_core::PastErrorInformation> GetChargingManagementCorePastErrorInformation() const;
  std::shared_ptr<charging_management_core::BatteryPreconditioningEnergies>
  GetChargingManagementCoreBatteryPreconditioningEnergies() const;
  std::shared_ptr<charging_management_core::BidirectionalChargingModes>
  GetChargingManagementCoreBidirectionalChargingModes() const;
  std::shared_ptr<charging_management_core::ImmediateChargingOptions>
  GetChargingManagementCoreImmediateChargingOptions() const;
  std::shared_ptr<charging_management_core::ValueIndications> GetChargingManagementCoreValueIndications() const;
  std::shared_ptr<charging_management_core::OruUpdateApprovals> GetChargingManagementCoreOruUpdateApprovals() const;
  std::shared_ptr<charging_management_core::ResetToFactoryData> GetChargingManagementCoreResetToFactoryData() const;
  std::shared_ptr<charging_management_core::ImmediateActions> GetChargingManagementCoreImmediateActions() const;
  std::shared_ptr<charging_management_core::ChargingPlugs> GetChargingManagementCoreChargingPlugs() const;
  std::shared_ptr<charging_management_core::ChargingProcessInformation>
  GetChargingManagementCoreChargingProcessInformation() const;
  std::shared_ptr<charging_management_core::ValueControls> GetChargingManagementCoreValueControls() const;
  std::shared_ptr<charging_management_core::BatteryCareModes> GetChargingManagementCoreBatteryCareModes() const;
  std::shared_ptr<charging_management_core::ChargeModes> GetChargingManagementCoreChargeModes() const;
  std::shared_ptr<charging_management_core::Notifications> GetChargingManagementCoreNotifications() const;
  std::shared_ptr<charging_management_core::Views> GetChargingManagementCoreViews() const;
  std::shared_ptr<charging_management_core::BatteryPreconditionings> GetChargingManagementCoreBatteryPreconditionings()
      const;
  std::shared_ptr<charging_management_core::Statistics> GetChargingManagementCoreStatistics() const;
  std::shared_ptr<factory_reset::FactoryReset> GetFactoryReset() const;
  std::shared_ptr<factory_reset::Resets> GetFactoryResetResets() const;

  // Services, as the framework server adds them.
  using rubo::Container<rubo::ServerService>::Add;
  // Each element goes into the collection of its own class. A collection that InitServices did
  // not build raises std::logic_error.
  void Add(const std::shared_ptr<charging_management_core::SwitchControlObject>& element);
  void Add(const std::shared_ptr<charging_management_core::NotificationMarkerObject>& element);
  void Add(const std::shared_ptr<charging_management_core::PastErrorInformationObject>& element);
  void Add(const std::shared_ptr<charging_management_core::BatteryPreconditioningEnergyObject>& element);
  void Add(const std::shared_ptr<charging_management_core::BidirectionalChargingModeObject>& element);
  void Add(const std::shared_ptr<charging_management_core::ImmediateChargingOptionObject>& element);
  void Add(const std::shared_ptr<charging_management_core::ValueIndicationObject>& element);
  void Add(const std::shared_ptr<charging_management_core::OruUpdateApprovalObject>& element);
  void Add(const std::shared_ptr<charging_management_core::ResetToFactoryDataObject>& element);
  void Add(const std::shared_ptr<charging_management_core::ImmediateActionObject>& element);
  void Add(const std::shared_ptr<charging_management_core::ChargingPlugObject>& element);
  void Add(const std::shared_ptr<charging_management_core::ChargingProcessInformationObject>& element);
  void Add(const std::shared_ptr<charging_management_core::ValueControlObject>& element);
  void Add(const std::shared_ptr<charging_management_core::BatteryCareModeObject>& element);
  void Add(const std::shared_ptr<charging_management_core::ChargeModeObject>& element);
  void Add(const std::shared_ptr<charging_management_core::NotificationObject>& element);
  void Add(const std::shared_ptr<charging_management_core::ViewObject>& element);
  void Add(const std::shared_ptr<charging_management_core::BatteryPreconditioningObject>& element);
  void Add(const std::shared_ptr<charging_management_core::StatisticObject>& element);
  void Add(const std::shared_ptr<factory_reset::ResetObject>& element);
  void Remove(const std::shared_ptr<charging_management_core::SwitchControlObject>& element);
  void Remove(const std::shared_ptr<charging_management_core::NotificationMarkerObject>& element);
  void Remove(const std::shared_ptr<charging_management_core::PastErrorInformationObject>& element);
  void Remove(const std::shared_ptr<charging_management_core::BatteryPreconditioningEnergyObject>& element);
  void Remove(const std::shared_ptr<charging_management_core::BidirectionalChargingModeObject>& element);
  void Remove(const std::shared_ptr<charging_management_core::ImmediateChargingOptionObject>& element);
  void Remove(const std::shared_ptr<charging_management_core::ValueIndicationObject>& element);
  void Remove(const std::shared_ptr<charging_management_core::OruUpdateApprovalObject>& element);
  void Remove(const std::shared_ptr<charging_management_core::ResetToFactoryDataObject>& element);
  void Remove(const std::shared_ptr<charging_management_core::ImmediateActionObject>& element);
  void Remove(const std::shared_ptr<charging_management_core::ChargingPlugObject>& element);
  void Remove(const std::shared_ptr<charging_management_core::ChargingProcessInformationObject>& element);
  void Remove(const std::shared_ptr<charging_management_core::ValueControlObject>& element);
  void Remove(const std::shared_ptr<charging_management_core::BatteryCareModeObject>& element);
  void Remove(const std::shared_ptr<charging_management_core::ChargeModeObject>& element);
  void Remove(const std::shared_ptr<charging_management_core::NotificationObject>& element);
  void Remove(const std::shared_ptr<charging_management_core::ViewObject>& element);
  void Remove(const std::shared_ptr<charging_management_core::BatteryPreconditioningObject>& element);
  void Remove(const std::shared_ptr<charging_management_core::StatisticObject>& element);
  void Remove(const std::shared_ptr<factory_reset::ResetObject>& element);

 private:
  std::shared_ptr<charging_management_core::ChargingManagementCore> chargingManagementCore_;
  std::shared_ptr<charging_management_core::SwitchControls> switchControls_;
  std::shared_ptr<charging_management_core::NotificationMarkers> notificationMarkers_;
  std::shared_ptr<charging_management_core::PastErrorInformation> pastErrorInformation_;
  std::shared_ptr<charging_management_core::BatteryPreconditioningEnergies> batteryPreconditioningEnergies_;
  std::shared_ptr<charging_management_core::BidirectionalChargingModes> bidirectionalChargingModes_;
  std::shared_ptr<charging_management_core::ImmediateChargingOptions> immediateChargingOptions_;
  std::shared_ptr<charging_management_core::ValueIndications> valueIndications_;
  std::shared_ptr<charging_management_core::OruUpdateApprovals> oruUpdateApprovals_;
  std::shared_ptr<charging_management_core::ResetToFactoryData> resetToFactoryData_;
  std::shared_ptr<charging_management_core::ImmediateActions> immediateActions_;
  std::shared_ptr<charging_management_core::ChargingPlugs> chargingPlugs_;
  std::shared_ptr<charging_management_core::ChargingProcessInformation> chargingProcessInformation_;
  std::shared_ptr<charging_management_core::ValueControls> valueControls_;
  std::shared_ptr<charging_management_core::BatteryCareModes> batteryCareModes_;
  std::shared_ptr<charging_management_core::ChargeModes> chargeModes_;
  std::shared_ptr<charging_management_core::Notifications> notifications_;
  std::shared_ptr<charging_management_core::Views> views_;
  std::shared_ptr<charging_management_core::BatteryPreconditionings> batteryPreconditionings_;
  std::shared_ptr<charging_management_core::Statistics> statistics_;
  std::shared_ptr<factory_reset::FactoryReset> factoryReset_;
  std::shared_ptr<factory_reset::Resets> resets_;
};

}  // namespace rubo::server
