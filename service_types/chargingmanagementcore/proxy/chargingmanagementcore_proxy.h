#pragma once

// Client-side proxy of ChargingManagementCore: one field member per service field, bound to the
// port of one found instance.

#include "ara/com/find_service.h"
#include "ara/com/proxy/field.h"
#include "ara/com/proxy/proxy.h"
#include "ara/com/types.h"
#include "service_types/chargingmanagementcore/proxy/chargingmanagementcore_common.h"

namespace zrt::services::chargingmanagementcore::proxy {

#define ORIK_CMC_MEMBER(field, element, eventIndex, getIndex, setter) \
  ARA_COM_PROXY_MEMBER(ChargingManagementCore, field)

class ChargingManagementCoreProxy : public ::ara::com::internal::proxy::Proxy<ChargingManagementCore> {
 public:
  using HandleType = ::ara::com::internal::proxy::ServiceHandle<ChargingManagementCore>;
  using Handle_type = HandleType;

  // Runs `handler` on a middleware thread with every offered instance that `instance` names
  // ("*": all), at once and again on every change, until the returned handle is stopped.
  static ::ara::com::FindServiceHandle StartFindService(::ara::com::FindServiceHandler<HandleType> handler,
                                                        ::ara::com::InstanceIdentifier instance) {
    return ::ara::com::internal::proxy::StartFindService<ChargingManagementCore>(std::move(handler),
                                                                                 std::move(instance));
  }

  // Out of line: constructing and destroying the field members is compiled once, in the proxy's
  // own unit.
  explicit ChargingManagementCoreProxy(HandleType& handle);
  ~ChargingManagementCoreProxy() override;

  ORIK_CMC_PROXY_FIELDS(ORIK_CMC_MEMBER)
};

#undef ORIK_CMC_MEMBER

}  // namespace zrt::services::chargingmanagementcore::proxy
