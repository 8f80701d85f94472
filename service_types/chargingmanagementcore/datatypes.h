#pragma once

// Element structures of the ChargingManagementCore fields. A field's value is a vector of its
// structure; every member is optional and absent after default construction. The members, their
// types and data ids are listed once in datatypes.def.

#include <cstdint>
#include <span>
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
inline void deserialize_field_value(::zrt::services::tlv::ReadCursor& cursor,
                                    std::vector<DT_batteryPreconditioningEnergies_struct>& value) {
  using Element = DT_batteryPreconditioningEnergies_struct;
  ::zrt::services::tlv::detail::DeserializeElements(
      cursor, value, [](::zrt::services::tlv::MemberReader& read, Element& element) {
        const std::span<const std::uint16_t> tags = Element::get_tlv_tags();
        read(element.type, tags[0]);
        read(element.firstStop, tags[1]);
        read(element.nextStops, tags[2]);
      });
}

inline void deserialize_field_value(::zrt::services::tlv::ReadCursor& cursor,
                                    std::vector<DT_oruUpdateApprovals_struct>& value) {
  using Element = DT_oruUpdateApprovals_struct;
  ::zrt::services::tlv::detail::DeserializeElements(
      cursor, value, [](::zrt::services::tlv::MemberReader& read, Element& element) {
        const std::span<const std::uint16_t> tags = Element::get_tlv_tags();
        read(element.type, tags[0]);
        read(element.updateApproval, tags[1]);
      });
}

inline void deserialize_field_value(::zrt::services::tlv::ReadCursor& cursor,
                                    std::vector<DT_notificationMarkers_struct>& value) {
  using Element = DT_notificationMarkers_struct;
  ::zrt::services::tlv::detail::DeserializeElements(
      cursor, value, [](::zrt::services::tlv::MemberReader& read, Element& element) {
        const std::span<const std::uint16_t> tags = Element::get_tlv_tags();
        read(element.type, tags[0]);
        read(element.notificationSocValue, tags[1]);
        read(element.notificationRangeValue, tags[2]);
        read(element.notificationTimeValue, tags[3]);
        read(element.isToBeNotified, tags[4]);
      });
}

}  // namespace zrt::services::chargingmanagementcore::datatypes
