#pragma once

// Client-side proxy of RouteBasedEnergyContents: one field member per service field, bound to the
// port of one found instance.

#include "ara/com/find_service.h"
#include "ara/com/proxy/field.h"
#include "ara/com/proxy/proxy.h"
#include "ara/com/types.h"
#include "service_types/routebasedenergycontents/proxy/routebasedenergycontents_common.h"

namespace zrt::services::routebasedenergycontents::proxy {

#define ORIK_RBEC_MEMBER(field, element, eventIndex, getIndex, setter) \
  ARA_COM_PROXY_MEMBER(RouteBasedEnergyContents, field)

class RouteBasedEnergyContentsProxy : public ::ara::com::internal::proxy::Proxy<RouteBasedEnergyContents> {
 public:
  using HandleType = ::ara::com::internal::proxy::ServiceHandle<RouteBasedEnergyContents>;
  using Handle_type = HandleType;

  // Runs `handler` on a middleware thread with every offered instance that `instance` names
  // ("*": all), at once and again on every change, until the returned handle is stopped.
  static ::ara::com::FindServiceHandle StartFindService(::ara::com::FindServiceHandler<HandleType> handler,
                                                        ::ara::com::InstanceIdentifier instance) {
    return ::ara::com::internal::proxy::StartFindService<RouteBasedEnergyContents>(std::move(handler),
                                                                                   std::move(instance));
  }

  // Out of line: constructing and destroying the field members is compiled once, in the proxy's
  // own unit.
  explicit RouteBasedEnergyContentsProxy(HandleType& handle);
  ~RouteBasedEnergyContentsProxy() override;

  ORIK_RBEC_PROXY_FIELDS(ORIK_RBEC_MEMBER)
};

#undef ORIK_RBEC_MEMBER

}  // namespace zrt::services::routebasedenergycontents::proxy
