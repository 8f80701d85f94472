#pragma once

#include <memory>
#include <string_view>
#include <utility>

#include "ara/com/exceptions.h"
#include "ara/com/find_service.h"
#include "ara/com/types.h"
#include "ara/log/logger.h"
#include "interfaces/comm_mngr/partner_slot.h"

namespace orik::someipClient {

// The generated proxy of one service: created by the find-service thread, used by the poll,
// request and handler threads. Each use works on its own copy, so a proxy replaced meanwhile
// stays alive until that use has returned.
template <typename Proxy>
class ServiceProxySlot {
 public:
  // By value: the generated proxy's constructor takes its handle by non-const reference. A
  // template, so that the slot can be declared where the proxy is only declared.
  template <typename Handle>
  void Create(Handle handle) {
    slot_.Store(std::make_shared<Proxy>(handle));
  }

  bool IsNull() const { return !slot_.Load(); }

  // The held proxy, or the service-not-available exception when none was created yet.
  std::shared_ptr<Proxy> Require() const {
    auto proxy = slot_.Load();
    if (!proxy) {
      throw ara::com::ServiceNotAvailableException();
    }
    return proxy;
  }

 private:
  orik::commMngr::PartnerSlot<Proxy> slot_;
};

// Starts the search for any instance of the service of `Proxy` and keeps its handle in `handle`.
// `prefix` opens every line logged ("[tag] ClassName"); false when the search did not start.
template <typename Proxy, typename Handler>
bool StartFindServiceLogged(ara::log::Logger& logger, std::string_view prefix, Handler handler,
                            std::unique_ptr<ara::com::FindServiceHandle>& handle) {
  logger.LogInfo() << prefix << " - StartFindService";
  bool result = false;
  try {
    auto started = Proxy::StartFindService(handler, ara::com::InstanceIdentifier("*"));
    handle = std::make_unique<ara::com::FindServiceHandle>(std::move(started));
    result = true;
  } catch (...) {
    logger.LogInfo() << prefix << "::StartFindService - StartFindService - FAILLED - catch error block";
  }
  if (handle) {
    logger.LogInfo() << prefix << "::StartFindService - StartFindService - STARTED SUCCESSFULLY";
    return result;
  }
  logger.LogInfo() << prefix << "::StartFindService - Error: ServiceHandlePtr is NULL";
  return false;
}

}  // namespace orik::someipClient
