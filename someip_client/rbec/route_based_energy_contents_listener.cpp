#include "someip_client/rbec/route_based_energy_contents_listener.h"

#include "ara/log/logging.h"

#include <cstdint>
#include <exception>
#include <utility>

#include <boost/variant/get.hpp>

#include "ara/com/exceptions.h"
#include "someip_client/common/bind_weak.h"

namespace orik::routeBasedEnergyContents {

using orik::enums::SOMEIP_RESOURCE_TYPE;

namespace {

using Field = fields::TargetSocChargings;
constexpr SOMEIP_RESOURCE_TYPE kResource = Field::kResource;

}  // namespace

RouteBasedEnergyContentsListener::RouteBasedEnergyContentsListener(
    std::shared_ptr<RouteBasedEnergyContentsProxyInterface> proxyWrapper)
    : RouteBasedEnergyContentsListener(std::move(proxyWrapper), orik::timing::kFieldReadWait) {}

RouteBasedEnergyContentsListener::RouteBasedEnergyContentsListener(
    std::shared_ptr<RouteBasedEnergyContentsProxyInterface> proxyWrapper, std::chrono::milliseconds readWait)
    : proxyWrapper_(std::move(proxyWrapper)),
      logger_(ara::log::CreateLogger("RBECL", "RouteBasedEnergyContents listener logger")),
      readWait_(readWait) {}

RouteBasedEnergyContentsListener::~RouteBasedEnergyContentsListener() = default;

void RouteBasedEnergyContentsListener::SetCommunicationsManager(
    std::shared_ptr<orik::commMngr::CommMngrRBECSideInterface> communicationsManager) {
  mediator_.Store(std::move(communicationsManager));
}

void RouteBasedEnergyContentsListener::StartListener() {
  proxyWrapper_->StartFindService(
      orik::someipClient::BindWeak(weak_from_this(), &RouteBasedEnergyContentsListener::OnServiceFound));
  logger_.LogInfo() << "Find Service started...";
}

void RouteBasedEnergyContentsListener::OnServiceFound(std::vector<RbecServiceHandle> handles) {
  logger_.LogInfo() << "OnServiceFound  step 1 reached...";
  if (handles.empty()) {
    logger_.LogInfo() << "OnServiceFound No service available";
    return;
  }
  logger_.LogInfo() << "OnServiceFound  step 2 reached...";
  if (proxyWrapper_->IsProxyNull()) {
    proxyWrapper_->CreateServiceProxy(handles.front());
    logger_.LogInfo() << "OnServiceFound  step 3 reached...";
    StartListeningToSomeIp();
  } else {
    logger_.LogInfo() << "OnServiceFound  step 3 not reached...";
  }
}

void RouteBasedEnergyContentsListener::StartListeningToSomeIp() {
  proxyWrapper_->SetReceiveHandler(
      kResource,
      orik::someipClient::BindWeak(weak_from_this(), &RouteBasedEnergyContentsListener::OnReceived_TargetSocChargings));
  proxyWrapper_->Subscribe(kResource);
  logger_.LogInfo() << "[RBEC_Listener] Subscribed to TargetSocChargings resource..";
}

void RouteBasedEnergyContentsListener::RelayTargets(
    const std::vector<rbecTypes::DT_targetSocChargings_struct>& elements) {
  for (const auto& element : elements) {
    if (!element.type.has_value() ||
        *element.type != rbecTypes::DT_RouteBasedEnergyContents_targetSocChargings_type::targetSocCharging ||
        !element.targetSoc.has_value()) {
      continue;
    }
    const std::uint32_t soc = *element.targetSoc;
    // One copy per relay: a relay that arrives after the shutdown unwiring is dropped.
    const auto mediator = Mediator();
    if (!mediator) {
      continue;
    }
    mediator->TellRuboToUpdate_NavTargetSoc(soc);
    mediator->TellSomeIpToUpdate_NavTargetSoc(soc);
  }
}

void RouteBasedEnergyContentsListener::OnReceived_TargetSocChargings() {
  using Samples = RbecSamplePtrs<Field::Element>;
  logger_.LogInfo() << "[RBEC_Listener][SomeIp -> Rubo] Received notification regarding TargetSocChargings..";
  proxyWrapper_->Update(kResource);
  const RbecCachedSamplesVariant cached = proxyWrapper_->GetCachedSamples(kResource);
  const Samples samples = boost::get<Samples>(cached);
  if (samples.empty()) {
    logger_.LogInfo() << "[RBEC_Listener][SomeIp -> Rubo] TargetSocChargings notification: There are no elements in "
                         "the CachedSamples. Returning...";
    return;
  }
  logger_.LogInfo() << "[RBEC_Listener][SomeIp -> Rubo] TargetSocChargings notification: There are " << samples.size()
                    << "elements in the CachedSamples...";
  for (const auto& sample : samples) {
    if (sample) {
      RelayTargets(*sample);
    }
  }
  proxyWrapper_->Cleanup(kResource);
}

void RouteBasedEnergyContentsListener::FetchData() {
  using Values = std::vector<Field::Element>;
  if (proxyWrapper_->IsProxyNull()) {
    logger_.LogInfo() << "[RBEC_Listener][SomeIpGET -> Rubo] Cant get... Service not found...";
    return;
  }
  logger_.LogInfo() << "[RBEC_Listener][SomeIpGET -> Rubo] Entered fetch here...";
  logger_.LogInfo() << "[RBEC_Listener][SomeIpGET -> Rubo] Getting data from the someip server...";
  try {
    proxyWrapper_->PrepareGets();
    const RbecGetVariant result = proxyWrapper_->SomeIp_Get(kResource, readWait_);
    const Values values = boost::get<Values>(result);
    RelayTargets(values);
  } catch (const ara::com::ServiceNotAvailableException& e) {
    logger_.LogInfo() << "[RBEC_Listener][SomeIpGET -> Rubo] Cant get... Service lost - " << e.what();
  } catch (const std::exception& e) {
    logger_.LogInfo() << "[RBEC_Listener][SomeIpGET -> Rubo] Exception - " << e.what();
  } catch (...) {
    logger_.LogInfo() << "[RBEC_Listener][SomeIpGET -> Rubo] Exception - Unknown";
  }
}

}  // namespace orik::routeBasedEnergyContents
