#pragma once

#include <chrono>
#include <memory>
#include <vector>

#include "interfaces/comm_mngr/comm_mngr_rbec_side_interface.h"
#include "interfaces/comm_mngr/partner_slot.h"
#include "interfaces/get_futures/abstract_get_futures.h"
#include "interfaces/route_based_energy_contents/route_based_energy_contents_listener_interface.h"
#include "someip_client/common/timing_constants.h"
#include "someip_client/interfaces/route_based_energy_contents_proxy_interface.h"

namespace ara::log {
class Logger;
}  // namespace ara::log

namespace orik::routeBasedEnergyContents {

// Finds the route service, subscribes to targetSocChargings and relays every navigation target
// to the mediator, by notification and by the periodic poll. Must be owned by a std::shared_ptr:
// its middleware callbacks hold only weak references.
class RouteBasedEnergyContentsListener : public RouteBasedEnergyContentsListenerInterface,
                                         public orik::getFutures::Abstract_GetFutures,
                                         public std::enable_shared_from_this<RouteBasedEnergyContentsListener> {
 public:
  explicit RouteBasedEnergyContentsListener(std::shared_ptr<RouteBasedEnergyContentsProxyInterface> proxyWrapper);
  // Lets tests use another read wait than the fixed one.
  RouteBasedEnergyContentsListener(std::shared_ptr<RouteBasedEnergyContentsProxyInterface> proxyWrapper,
                                   std::chrono::milliseconds readWait);
  ~RouteBasedEnergyContentsListener() override;
  RouteBasedEnergyContentsListener(const RouteBasedEnergyContentsListener&) = delete;
  RouteBasedEnergyContentsListener& operator=(const RouteBasedEnergyContentsListener&) = delete;

  void SetCommunicationsManager(std::shared_ptr<orik::commMngr::CommMngrRBECSideInterface> communicationsManager);

  void StartListener() override;
  void FetchData() override;

  void OnServiceFound(std::vector<RbecServiceHandle> handles);
  void StartListeningToSomeIp();
  void OnReceived_TargetSocChargings();

 private:
  std::shared_ptr<orik::commMngr::CommMngrRBECSideInterface> Mediator() const { return mediator_.Load(); }
  void RelayTargets(const std::vector<rbecTypes::DT_targetSocChargings_struct>& elements);

  std::shared_ptr<RouteBasedEnergyContentsProxyInterface> proxyWrapper_;
  ara::log::Logger& logger_;
  orik::commMngr::PartnerSlot<orik::commMngr::CommMngrRBECSideInterface> mediator_;
  std::chrono::milliseconds readWait_;
};

}  // namespace orik::routeBasedEnergyContents
