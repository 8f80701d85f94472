#pragma once

// The RouteBasedEnergyContents service interface as the binding sees it: one descriptor per field,
// with its Get, its Set where the service offers one, and its notifier.

#include <cstdint>
#include <string_view>
#include <vector>

#include "ara/com/deployment.h"
#include "ara/com/proxy/descriptor_macros.h"
#include "ara/com/types.h"
#include "service_types/routebasedenergycontents/datatypes.h"
#include "service_types/routebasedenergycontents/proxy/routebasedenergycontents_fields.def"
#include "service_types/tlv/codec.h"

namespace zrt::services::routebasedenergycontents {

// Field values travel TLV-encoded everywhere: requests of Set, replies and notifications. Defined
// and instantiated for every field's element structure once, in routebasedenergycontents_codec.cpp, so that
// the coding templates are compiled there rather than in every user of the proxy.
template <typename Element>
struct FieldCodec {
  static std::vector<std::uint8_t> Encode(const std::vector<Element>& value);
  static std::vector<Element> Decode(const std::vector<std::uint8_t>& payload);
};

class RouteBasedEnergyContents {
 public:
  static constexpr std::string_view kInterfaceName =
      "zrt::services::routebasedenergycontents::RouteBasedEnergyContents";
  static constexpr ::ara::com::ServiceInterfaceDescription kDescription{
      0 ORIK_RBEC_PROXY_FIELDS(ARA_COM_COUNT_EVENT), 0 ORIK_RBEC_PROXY_FIELDS(ARA_COM_COUNT_METHODS)};

  // Built-in SOME/IP ids: service 0x4102; event index i -> event 0x8001 + i in event group 1 + i;
  // method index i -> method 0x0001 + i. ORIK_COM_DEPLOYMENT may override them.
  static ::ara::com::ServiceDeployment DefaultDeployment();

  ORIK_RBEC_PROXY_FIELDS(ARA_COM_FIELD_DESCRIPTOR)
};

// Lets a deployment file configure the interface under its full name.
inline const bool kRouteBasedEnergyContentsRegistered =
    ::ara::com::RegisterServiceInterface(RouteBasedEnergyContents::kInterfaceName);

namespace detail {
inline constexpr std::uint16_t kRbecEventIndices[] = {ORIK_RBEC_PROXY_FIELDS(ARA_COM_EVENT_INDEX)};
inline constexpr std::uint16_t kRbecMethodIndices[] = {ORIK_RBEC_PROXY_FIELDS(ARA_COM_METHOD_INDICES)};
static_assert(RouteBasedEnergyContents::kDescription.events == 5 &&
              RouteBasedEnergyContents::kDescription.methods == 5);
static_assert(::ara::com::internal::proxy::CountsUpFromZero(kRbecEventIndices), "event index = member position");
static_assert(::ara::com::internal::proxy::CountsUpFromZero(kRbecMethodIndices), "methods: each Get, then its Set");
}  // namespace detail

}  // namespace zrt::services::routebasedenergycontents
