#include "service_types/chargingmanagementcore/datatypes.h"

#include <span>

#include "service_types/tlv/codec.h"

namespace zrt::services::chargingmanagementcore::datatypes {

void deserialize_field_value(::zrt::services::tlv::ReadCursor& cursor,
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

void deserialize_field_value(::zrt::services::tlv::ReadCursor& cursor,
                             std::vector<DT_oruUpdateApprovals_struct>& value) {
  using Element = DT_oruUpdateApprovals_struct;
  ::zrt::services::tlv::detail::DeserializeElements(
      cursor, value, [](::zrt::services::tlv::MemberReader& read, Element& element) {
        const std::span<const std::uint16_t> tags = Element::get_tlv_tags();
        read(element.type, tags[0]);
        read(element.updateApproval, tags[1]);
      });
}

void deserialize_field_value(::zrt::services::tlv::ReadCursor& cursor,
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
