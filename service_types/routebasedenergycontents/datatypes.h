#pragma once

// Element structures of the RouteBasedEnergyContents fields. A field's value is a vector of its
// structure; every member is optional and absent after default construction. The members, their
// types and data ids are listed once in datatypes.def.

#include <cstdint>
#include <vector>

#include "ara/core/optional.h"
#include "service_types/routebasedenergycontents/enumerations.h"
#include "service_types/tlv/codec.h"

namespace zrt::services::routebasedenergycontents::datatypes {

#include "service_types/routebasedenergycontents/datatypes.def"

ORIK_RBEC_STRUCTURES(ORIK_TLV_DEFINE_STRUCTURE)

}  // namespace zrt::services::routebasedenergycontents::datatypes
