#pragma once

// The enumerations carried by the RouteBasedEnergyContents element structures. A value received
// from the vehicle may lie outside the listed enumerators and is carried unchanged.
//
// Enumerator names are the REST words (see enumerations.def), e.g.
// DT_RouteBasedEnergyContents_targetSocChargings_type::targetSocCharging == 0.

#include <cstdint>

namespace zrt::services::routebasedenergycontents::datatypes {

#define ORIK_ENUMERATOR(value, name) name = value,
#define ORIK_VOCABULARY(field, member, ROWS) \
  enum class DT_RouteBasedEnergyContents_##field##_##member : std::uint32_t{ROWS(ORIK_ENUMERATOR)};
#include "service_types/routebasedenergycontents/enumerations.def"
#undef ORIK_ENUMERATOR

}  // namespace zrt::services::routebasedenergycontents::datatypes
