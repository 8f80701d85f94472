#include "someip_client/cmc/charging_management_core_proxy_wrapper.h"

#include <exception>
#include <future>
#include <utility>

#include "ara/com/types.h"
#include "ara/log/logging.h"
#include "service_types/chargingmanagementcore/proxy/chargingmanagementcore_proxy.h"

// The wrapper's reads: every field's read issued at once, then collected one by one.

namespace orik::chargingManagementCoreListener {

using orik::enums::SOMEIP_RESOURCE_TYPE;

void ChargingManagementCoreProxyWrapper::PrepareGets() {
  const auto proxy = RequireProxy();
  // All reads are in flight before the first result is collected.
  std::get<ReadSlot<cmcTypes::DT_chargingPlugs_struct>>(readSlots_) = proxy->chargingPlugs.Get();
  std::get<ReadSlot<cmcTypes::DT_chargingProcessInformation_struct>>(readSlots_) =
      proxy->chargingProcessInformation.Get();
  std::get<ReadSlot<cmcTypes::DT_notificationMarkers_struct>>(readSlots_) = proxy->notificationMarkers.Get();
  std::get<ReadSlot<cmcTypes::DT_notifications_struct>>(readSlots_) = proxy->notifications.Get();
  std::get<ReadSlot<cmcTypes::DT_oruUpdateApprovals_struct>>(readSlots_) = proxy->oruUpdateApprovals.Get();
  std::get<ReadSlot<cmcTypes::DT_pastErrorInformation_struct>>(readSlots_) = proxy->pastErrorInformation.Get();
  std::get<ReadSlot<cmcTypes::DT_switchControls_struct>>(readSlots_) = proxy->switchControls.Get();
  std::get<ReadSlot<cmcTypes::DT_valueIndications_struct>>(readSlots_) = proxy->valueIndications.Get();
  std::get<ReadSlot<cmcTypes::DT_views_struct>>(readSlots_) = proxy->views.Get();
  std::get<ReadSlot<cmcTypes::DT_resetToFactoryData_struct>>(readSlots_) = proxy->resetToFactoryData.Get();
  std::get<ReadSlot<cmcTypes::DT_valueControls_struct>>(readSlots_) = proxy->valueControls.Get();
  std::get<ReadSlot<cmcTypes::DT_bidirectionalChargingModes_struct>>(readSlots_) =
      proxy->bidirectionalChargingModes.Get();
  std::get<ReadSlot<cmcTypes::DT_batteryCareModes_struct>>(readSlots_) = proxy->batteryCareModes.Get();
  std::get<ReadSlot<cmcTypes::DT_batteryPreconditionings_struct>>(readSlots_) = proxy->batteryPreconditionings.Get();
  std::get<ReadSlot<cmcTypes::DT_batteryPreconditioningEnergies_struct>>(readSlots_) =
      proxy->batteryPreconditioningEnergies.Get();
}

template <typename Element>
CmcGetVariant ChargingManagementCoreProxyWrapper::Collect(const std::chrono::milliseconds& wait) {
  auto& slot = std::get<ReadSlot<Element>>(readSlots_);
  if (!slot.valid()) {
    throw std::future_error(std::future_errc::no_state);
  }
  if (slot.wait_for(wait) != std::future_status::ready) {
    // Left in its slot: a later call may still collect it.
    return CmcGetVariant{std::vector<Element>{}};
  }
  return CmcGetVariant{slot.get()};
}

CmcGetVariant ChargingManagementCoreProxyWrapper::SomeIp_Get(SOMEIP_RESOURCE_TYPE type,
                                                             const std::chrono::milliseconds& wait) {
  switch (type) {
    case SOMEIP_RESOURCE_TYPE::CHARGING_PLUGS:
      return Collect<cmcTypes::DT_chargingPlugs_struct>(wait);
    case SOMEIP_RESOURCE_TYPE::VALUE_CONTROLS:
      return Collect<cmcTypes::DT_valueControls_struct>(wait);
    case SOMEIP_RESOURCE_TYPE::SWITCH_CONTROLS:
      return Collect<cmcTypes::DT_switchControls_struct>(wait);
    case SOMEIP_RESOURCE_TYPE::VIEWS:
      return Collect<cmcTypes::DT_views_struct>(wait);
    case SOMEIP_RESOURCE_TYPE::NOTIFICATION_MARKERS:
      return Collect<cmcTypes::DT_notificationMarkers_struct>(wait);
    case SOMEIP_RESOURCE_TYPE::ORU_UPDATE_APPROVALS:
      return Collect<cmcTypes::DT_oruUpdateApprovals_struct>(wait);
    case SOMEIP_RESOURCE_TYPE::NOTIFICATIONS:
      return Collect<cmcTypes::DT_notifications_struct>(wait);
    case SOMEIP_RESOURCE_TYPE::RESET_TO_FACTORY_DATA:
      return Collect<cmcTypes::DT_resetToFactoryData_struct>(wait);
    case SOMEIP_RESOURCE_TYPE::CHARGING_PROCESS_INFORMATION:
      return Collect<cmcTypes::DT_chargingProcessInformation_struct>(wait);
    case SOMEIP_RESOURCE_TYPE::VALUE_INDICATIONS:
      return Collect<cmcTypes::DT_valueIndications_struct>(wait);
    case SOMEIP_RESOURCE_TYPE::PAST_ERROR_INFORMATION:
      return Collect<cmcTypes::DT_pastErrorInformation_struct>(wait);
    case SOMEIP_RESOURCE_TYPE::BATTERY_CARE_MODES:
      return Collect<cmcTypes::DT_batteryCareModes_struct>(wait);
    case SOMEIP_RESOURCE_TYPE::BIDIRECTIONAL_CHARGING_MODES:
      return Collect<cmcTypes::DT_bidirectionalChargingModes_struct>(wait);
    case SOMEIP_RESOURCE_TYPE::BATTERY_PRECONDITIONINGS:
      return Collect<cmcTypes::DT_batteryPreconditionings_struct>(wait);
    case SOMEIP_RESOURCE_TYPE::BATTERY_PRECONDITIONING_ENERGIES:
      return Collect<cmcTypes::DT_batteryPreconditioningEnergies_struct>(wait);
    default:
      logger_.LogInfo() << "[cmcwrapper] Get not implemented for this someip data type.";
      return CmcGetVariant{};
  }
}

}  // namespace orik::chargingManagementCoreListener
