#include <span>

#include "service_types/routebasedenergycontents/proxy/routebasedenergycontents_common.h"
#include "service_types/tlv/codec.h"

namespace zrt::services::routebasedenergycontents {

template <typename Element>
std::vector<std::uint8_t> FieldCodec<Element>::Encode(const std::vector<Element>& value) {
  return ::zrt::services::tlv::encode_field_value(value);
}

template <typename Element>
std::vector<Element> FieldCodec<Element>::Decode(const std::vector<std::uint8_t>& payload) {
  return ::zrt::services::tlv::decode_field_value<Element>(std::span<const std::uint8_t>(payload));
}

#define ORIK_RBEC_CODEC(field, element, eventIndex, getIndex, setter) template struct FieldCodec<datatypes::element>;
ORIK_RBEC_PROXY_FIELDS(ORIK_RBEC_CODEC)
#undef ORIK_RBEC_CODEC

}  // namespace zrt::services::routebasedenergycontents
