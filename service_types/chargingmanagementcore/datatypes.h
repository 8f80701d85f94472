#pragma once

// Element structures of the ChargingManagementCore fields. A field's value is a vector of its
// structure; every member is optional and absent after default construction. The members, their
// types and data ids are listed once in datatypes.def.

#include <cstdint>
#include <string>
#include <vector>

#include "ara/core/optional.h"
#include "service_types/chargingmanagementcore/enumerations.h"
#include "service_types/tlv/codec.h"

namespace zrt::services::chargingmanagementcore::datatypes {

// The three reference records share one layout; each points at an element of the named resource.
struct ValueIndicationsReferenceKind;
struct ValueControlsReferenceKind;
struct SwitchControlsReferenceKind;
using valueIndicationsReference = ::zrt::services::tlv::ReferenceRecord<ValueIndicationsReferenceKind>;
using valueControlsReference = ::zrt::services::tlv::ReferenceRecord<ValueControlsReferenceKind>;
using switchControlsReference = ::zrt::services::tlv::ReferenceRecord<SwitchControlsReferenceKind>;

#include "service_types/chargingmanagementcore/datatypes.def"

ORIK_CMC_STRUCTURES(ORIK_TLV_DEFINE_STRUCTURE)

// Field decoders that run the member procedure member by member instead of through visit; they
// behave exactly like the generic tlv::deserialize_field_value, which they take precedence over.
void deserialize_field_value(::zrt::services::tlv::ReadCursor& cursor,
                             std::vector<DT_batteryPreconditioningEnergies_struct>& value);
void deserialize_field_value(::zrt::services::tlv::ReadCursor& cursor,
                             std::vector<DT_oruUpdateApprovals_struct>& value);
void deserialize_field_value(::zrt::services::tlv::ReadCursor& cursor,
                             std::vector<DT_notificationMarkers_struct>& value);

}  // namespace zrt::services::chargingmanagementcore::datatypes
