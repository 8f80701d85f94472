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

namespace {

using Proxy = ChargingManagementCoreProxyWrapper::Proxy;

// The notifier operations of one field.
struct NotifierOps {
  void (*setReceiveHandler)(Proxy&, ReceiveHandler);
  void (*subscribe)(Proxy&);
  void (*update)(Proxy&);
  CmcCachedSamplesVariant (*getCachedSamples)(Proxy&);
  void (*cleanup)(Proxy&);
};

template <typename F>
constexpr NotifierOps kNotifierOps{
    [](Proxy& proxy, ReceiveHandler handler) { F::Member(proxy).SetReceiveHandler(std::move(handler)); },
    [](Proxy& proxy) { F::Member(proxy).Subscribe(ara::com::EventCacheUpdatePolicy::kNewestN, F::kCacheSize); },
    [](Proxy& proxy) { F::Member(proxy).Update(); },
    [](Proxy& proxy) { return CmcCachedSamplesVariant{F::Member(proxy).GetCachedSamples()}; },
    [](Proxy& proxy) { F::Member(proxy).Cleanup(); },
};

// One look-up per call, whatever the field: no switch over the types.
const NotifierOps* NotifierOf(SOMEIP_RESOURCE_TYPE type) {
  static constexpr auto kTable = orik::someipClient::ResourceTable<const NotifierOps*>(
      fields::All{}, []<typename F>() { return &kNotifierOps<F>; }, nullptr);
  const auto index = static_cast<std::size_t>(type);
  return index < kTable.size() ? kTable[index] : nullptr;
}

}  // namespace

void ChargingManagementCoreProxyWrapper::SetReceiveHandler(SOMEIP_RESOURCE_TYPE type, ReceiveHandler handler) {
  const auto* ops = NotifierOf(type);
  if (ops == nullptr) {
    logger_.LogInfo() << "[cmcwrapper] SetReceiveHandler not implemented for this data type.";
    return;
  }
  ops->setReceiveHandler(*RequireProxy(), std::move(handler));
}

void ChargingManagementCoreProxyWrapper::Subscribe(SOMEIP_RESOURCE_TYPE type) {
  const auto* ops = NotifierOf(type);
  if (ops == nullptr) {
    logger_.LogInfo() << "[cmcwrapper] Subscribe not implemented for this data type.";
    return;
  }
  ops->subscribe(*RequireProxy());
}

void ChargingManagementCoreProxyWrapper::Update(SOMEIP_RESOURCE_TYPE type) {
  const auto* ops = NotifierOf(type);
  if (ops == nullptr) {
    logger_.LogInfo() << "[cmcwrapper] Update not implemented for this data type.";
    return;
  }
  ops->update(*RequireProxy());
}

CmcCachedSamplesVariant ChargingManagementCoreProxyWrapper::GetCachedSamples(SOMEIP_RESOURCE_TYPE type) {
  const auto* ops = NotifierOf(type);
  if (ops == nullptr) {
    logger_.LogInfo() << "[cmcwrapper] GetCachedSamples not implemented for this data type.";
    return CmcCachedSamplesVariant{};
  }
  return ops->getCachedSamples(*RequireProxy());
}

void ChargingManagementCoreProxyWrapper::Cleanup(SOMEIP_RESOURCE_TYPE type) {
  const auto* ops = NotifierOf(type);
  if (ops == nullptr) {
    logger_.LogInfo() << "[cmcwrapper] Cleanup not implemented for this data type.";
    return;
  }
  ops->cleanup(*RequireProxy());
}

}  // namespace orik::chargingManagementCoreListener
