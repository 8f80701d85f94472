#include "someip_client/cmc/charging_management_core_proxy_wrapper.h"

#include <exception>
#include <future>
#include <utility>

#include <boost/variant/get.hpp>

#include "ara/com/types.h"
#include "ara/log/logging.h"
#include "service_types/chargingmanagementcore/proxy/chargingmanagementcore_proxy.h"

namespace orik::chargingManagementCoreListener {

using orik::enums::SOMEIP_RESOURCE_TYPE;

ChargingManagementCoreProxyWrapper::ChargingManagementCoreProxyWrapper()
    : logger_(ara::log::CreateLogger("PXWRP", "ORIK Proxy Wrapper")) {}

ChargingManagementCoreProxyWrapper::~ChargingManagementCoreProxyWrapper() = default;

bool ChargingManagementCoreProxyWrapper::StartFindService(CmcFindServiceHandler handler) {
  return orik::someipClient::StartFindServiceLogged<Proxy>(logger_, "[cmcwrapper] ChargingManagementCoreProxyWrapper",
                                                           std::move(handler), findServiceHandle_);
}

void ChargingManagementCoreProxyWrapper::CreateServiceProxy(CmcServiceHandle handle) {
  proxy_.Create(handle);
}

bool ChargingManagementCoreProxyWrapper::IsProxyNull() {
  return proxy_.IsNull();
}

// Calls fn(field, cacheSize) for the field of `type`; false for a type without a notifier here.
template <typename Fn>
bool ChargingManagementCoreProxyWrapper::DispatchNotifier(SOMEIP_RESOURCE_TYPE type, Fn&& fn) {
  switch (type) {
    case SOMEIP_RESOURCE_TYPE::CHARGING_PLUGS:
      fn(RequireProxy()->chargingPlugs, 2);
      return true;
    case SOMEIP_RESOURCE_TYPE::VALUE_CONTROLS:
      fn(RequireProxy()->valueControls, 11);
      return true;
    case SOMEIP_RESOURCE_TYPE::SWITCH_CONTROLS:
      fn(RequireProxy()->switchControls, 9);
      return true;
    case SOMEIP_RESOURCE_TYPE::VIEWS:
      fn(RequireProxy()->views, 1);
      return true;
    case SOMEIP_RESOURCE_TYPE::NOTIFICATION_MARKERS:
      fn(RequireProxy()->notificationMarkers, 3);
      return true;
    case SOMEIP_RESOURCE_TYPE::ORU_UPDATE_APPROVALS:
      fn(RequireProxy()->oruUpdateApprovals, 1);
      return true;
    case SOMEIP_RESOURCE_TYPE::NOTIFICATIONS:
      fn(RequireProxy()->notifications, 6);
      return true;
    case SOMEIP_RESOURCE_TYPE::RESET_TO_FACTORY_DATA:
      fn(RequireProxy()->resetToFactoryData, 1);
      return true;
    case SOMEIP_RESOURCE_TYPE::CHARGING_PROCESS_INFORMATION:
      fn(RequireProxy()->chargingProcessInformation, 9);
      return true;
    case SOMEIP_RESOURCE_TYPE::VALUE_INDICATIONS:
      fn(RequireProxy()->valueIndications, 8);
      return true;
    case SOMEIP_RESOURCE_TYPE::PAST_ERROR_INFORMATION:
      fn(RequireProxy()->pastErrorInformation, 3);
      return true;
    case SOMEIP_RESOURCE_TYPE::BATTERY_CARE_MODES:
      fn(RequireProxy()->batteryCareModes, 1);
      return true;
    case SOMEIP_RESOURCE_TYPE::BIDIRECTIONAL_CHARGING_MODES:
      fn(RequireProxy()->bidirectionalChargingModes, 1);
      return true;
    case SOMEIP_RESOURCE_TYPE::BATTERY_PRECONDITIONINGS:
      fn(RequireProxy()->batteryPreconditionings, 1);
      return true;
    case SOMEIP_RESOURCE_TYPE::BATTERY_PRECONDITIONING_ENERGIES:
      fn(RequireProxy()->batteryPreconditioningEnergies, 1);
      return true;
    default:
      return false;
  }
}

void ChargingManagementCoreProxyWrapper::SetReceiveHandler(SOMEIP_RESOURCE_TYPE type, ReceiveHandler handler) {
  if (!DispatchNotifier(type, [&handler](auto& field, std::size_t) { field.SetReceiveHandler(handler); })) {
    logger_.LogInfo() << "[cmcwrapper] SetReceiveHandler not implemented for this data type.";
  }
}

void ChargingManagementCoreProxyWrapper::Subscribe(SOMEIP_RESOURCE_TYPE type) {
  if (!DispatchNotifier(type, [](auto& field, std::size_t cacheSize) {
        field.Subscribe(ara::com::EventCacheUpdatePolicy::kNewestN, cacheSize);
      })) {
    logger_.LogInfo() << "[cmcwrapper] Subscribe not implemented for this data type.";
  }
}

void ChargingManagementCoreProxyWrapper::Update(SOMEIP_RESOURCE_TYPE type) {
  if (!DispatchNotifier(type, [](auto& field, std::size_t) { field.Update(); })) {
    logger_.LogInfo() << "[cmcwrapper] Update not implemented for this data type.";
  }
}

CmcCachedSamplesVariant ChargingManagementCoreProxyWrapper::GetCachedSamples(SOMEIP_RESOURCE_TYPE type) {
  CmcCachedSamplesVariant result;
  if (!DispatchNotifier(type, [&result](auto& field, std::size_t) { result = field.GetCachedSamples(); })) {
    logger_.LogInfo() << "[cmcwrapper] GetCachedSamples not implemented for this data type.";
  }
  return result;
}

void ChargingManagementCoreProxyWrapper::Cleanup(SOMEIP_RESOURCE_TYPE type) {
  if (!DispatchNotifier(type, [](auto& field, std::size_t) { field.Cleanup(); })) {
    logger_.LogInfo() << "[cmcwrapper] Cleanup not implemented for this data type.";
  }
}

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

template <typename Element, typename Field>
bool ChargingManagementCoreProxyWrapper::Write(Field Proxy::*field, const CmcSetVariant& value,
                                               const std::chrono::seconds& wait) {
  const Element& element = boost::get<Element>(value);
  const auto proxy = RequireProxy();
  auto own =
      std::make_shared<ara::com::Future<std::vector<Element>>>(((*proxy).*field).Set(std::vector<Element>{element}));
  if (!own->valid()) {
    throw std::future_error(std::future_errc::no_state);
  }
  {
    // The previous write's future may still be waited on by its caller, who holds its own
    // reference; the slot only drops ours.
    std::lock_guard<std::mutex> lock(writeMutex_);
    std::get<WriteSlot<Element>>(writeSlots_) = own;
  }
  if (own->wait_for(wait) != std::future_status::ready) {
    return true;
  }
  // An answer carrying an error is thrown, so the caller reports a failed write.
  static_cast<void>(own->get());
  return false;
}

bool ChargingManagementCoreProxyWrapper::SomeIp_Set(SOMEIP_RESOURCE_TYPE type, const CmcSetVariant& value,
                                                    const std::chrono::seconds& wait) {
  switch (type) {
    case SOMEIP_RESOURCE_TYPE::VALUE_CONTROLS:
      return Write<cmcTypes::DT_valueControls_struct>(&Proxy::valueControls, value, wait);
    case SOMEIP_RESOURCE_TYPE::SWITCH_CONTROLS:
      return Write<cmcTypes::DT_switchControls_struct>(&Proxy::switchControls, value, wait);
    case SOMEIP_RESOURCE_TYPE::VIEWS:
      return Write<cmcTypes::DT_views_struct>(&Proxy::views, value, wait);
    case SOMEIP_RESOURCE_TYPE::RESET_TO_FACTORY_DATA:
      return Write<cmcTypes::DT_resetToFactoryData_struct>(&Proxy::resetToFactoryData, value, wait);
    case SOMEIP_RESOURCE_TYPE::PAST_ERROR_INFORMATION:
      return Write<cmcTypes::DT_pastErrorInformation_struct>(&Proxy::pastErrorInformation, value, wait);
    default:
      logger_.LogInfo() << "[cmcwrapper] Set not implemented for this data type.";
      return true;
  }
}

}  // namespace orik::chargingManagementCoreListener
