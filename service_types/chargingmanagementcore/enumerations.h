#pragma once

// The enumerations carried by the ChargingManagementCore element structures. Values are fixed by
// the service and often sparse; a value received from the vehicle may lie outside the listed
// enumerators and is carried unchanged, so never switch over these exhaustively.
//
// Enumerator names are the REST words (see enumerations.def), e.g.
// DT_ChargingManagementCore_switchControls_switchValue::off == 2.

#include <cstdint>

namespace zrt::services::chargingmanagementcore::datatypes {

#define ORIK_ENUMERATOR(value, name) name = value,
#define ORIK_VOCABULARY(field, member, ROWS) \
  enum class DT_ChargingManagementCore_##field##_##member : std::uint32_t{ROWS(ORIK_ENUMERATOR)};
#include "service_types/chargingmanagementcore/enumerations.def"
#undef ORIK_ENUMERATOR

}  // namespace zrt::services::chargingmanagementcore::datatypes
