#include "someip_client/cmc/charging_management_core_proxy_wrapper.h"

#include <exception>
#include <future>
#include <utility>

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

}  // namespace orik::chargingManagementCoreListener
