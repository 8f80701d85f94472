#include "someip_client/rbec/route_based_energy_contents_proxy_wrapper.h"

#include <future>
#include <utility>

#include "ara/com/types.h"
#include "ara/log/logging.h"
#include "service_types/routebasedenergycontents/proxy/routebasedenergycontents_proxy.h"

namespace orik::routeBasedEnergyContents {

using orik::enums::SOMEIP_RESOURCE_TYPE;

namespace {

using Field = fields::TargetSocChargings;

bool Served(SOMEIP_RESOURCE_TYPE type) {
  return type == Field::kResource;
}

}  // namespace

RouteBasedEnergyContentsProxyWrapper::RouteBasedEnergyContentsProxyWrapper()
    : logger_(ara::log::CreateLogger("RBEWRP", "ORIK RouteBasedProxy Wrapper")) {}

RouteBasedEnergyContentsProxyWrapper::~RouteBasedEnergyContentsProxyWrapper() = default;

bool RouteBasedEnergyContentsProxyWrapper::StartFindService(RbecFindServiceHandler handler) {
  return orik::someipClient::StartFindServiceLogged<Proxy>(logger_, "[rbewrapper] RouteBasedEnergyContentsProxyWrapper",
                                                           std::move(handler), findServiceHandle_);
}

void RouteBasedEnergyContentsProxyWrapper::CreateServiceProxy(RbecServiceHandle handle) {
  proxy_.Create(handle);
}

bool RouteBasedEnergyContentsProxyWrapper::IsProxyNull() {
  return proxy_.IsNull();
}

void RouteBasedEnergyContentsProxyWrapper::Update(SOMEIP_RESOURCE_TYPE type) {
  if (!Served(type)) {
    logger_.LogInfo() << "[rbewrapper] Update not implemented for this data type.";
    return;
  }
  Field::Member(*RequireProxy()).Update();
}

void RouteBasedEnergyContentsProxyWrapper::Subscribe(SOMEIP_RESOURCE_TYPE type) {
  if (!Served(type)) {
    logger_.LogInfo() << "[rbewrapper] Subscribe not implemented for this data type.";
    return;
  }
  Field::Member(*RequireProxy()).Subscribe(ara::com::EventCacheUpdatePolicy::kNewestN, Field::kCacheSize);
}

RbecCachedSamplesVariant RouteBasedEnergyContentsProxyWrapper::GetCachedSamples(SOMEIP_RESOURCE_TYPE type) {
  if (!Served(type)) {
    logger_.LogInfo() << "[rbewrapper] GetCachedSamples not implemented for this data type.";
    return RbecCachedSamplesVariant{};
  }
  return RbecCachedSamplesVariant{Field::Member(*RequireProxy()).GetCachedSamples()};
}

void RouteBasedEnergyContentsProxyWrapper::SetReceiveHandler(SOMEIP_RESOURCE_TYPE type, ReceiveHandler handler) {
  if (!Served(type)) {
    logger_.LogInfo() << "[rbewrapper] SetReceiveHandler not implemented for this data type.";
    return;
  }
  Field::Member(*RequireProxy()).SetReceiveHandler(std::move(handler));
}

void RouteBasedEnergyContentsProxyWrapper::Cleanup(SOMEIP_RESOURCE_TYPE type) {
  if (!Served(type)) {
    return;
  }
  Field::Member(*RequireProxy()).Cleanup();
}

void RouteBasedEnergyContentsProxyWrapper::PrepareGets() {
  readSlot_ = Field::Member(*RequireProxy()).Get();
}

RbecGetVariant RouteBasedEnergyContentsProxyWrapper::SomeIp_Get(SOMEIP_RESOURCE_TYPE type,
                                                                const std::chrono::milliseconds& wait) {
  using Values = std::vector<Field::Element>;
  if (!Served(type)) {
    logger_.LogInfo() << "[rbecwrapper] Get not implemented for this someip data type.";
    return RbecGetVariant{};
  }
  if (!readSlot_.valid()) {
    throw std::future_error(std::future_errc::no_state);
  }
  if (readSlot_.wait_for(wait) != std::future_status::ready) {
    return RbecGetVariant{Values{}};
  }
  return RbecGetVariant{readSlot_.get()};
}

}  // namespace orik::routeBasedEnergyContents
