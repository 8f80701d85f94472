#pragma once

#include <cstddef>

#include "interfaces/enums/someip_types.h"
#include "service_types/routebasedenergycontents/datatypes.h"

// The one relayed RouteBasedEnergyContents field: every fact of it in one record, as for the
// ChargingManagementCore fields. The variants that cross the wrapper interface also hold
// rwmStatus, which no wrapper serves, so they are written out beside it and checked against it.
namespace orik::routeBasedEnergyContents {
namespace rbecTypes = zrt::services::routebasedenergycontents::datatypes;
}  // namespace orik::routeBasedEnergyContents

namespace orik::routeBasedEnergyContents::fields {

struct TargetSocChargings {
  using Element = rbecTypes::DT_targetSocChargings_struct;
  static constexpr orik::enums::SOMEIP_RESOURCE_TYPE kResource =
      orik::enums::SOMEIP_RESOURCE_TYPE::TARGET_SOC_CHARGINGS;
  // Samples the notifier subscription keeps.
  static constexpr std::size_t kCacheSize = 1;
  // Its alternative in RbecGetVariant (after the unused rwmStatus) and in RbecCachedSamplesVariant.
  static constexpr int kGetIndex = 1;
  static constexpr int kCachedIndex = 0;
  // The proxy member of the field (getter and notifier; the field has no setter).
  template <typename Proxy>
  static auto& Member(Proxy& proxy) {
    return proxy.targetSocChargings;
  }
};

}  // namespace orik::routeBasedEnergyContents::fields
