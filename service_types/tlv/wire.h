#pragma once

// Wire vocabulary of the TLV encoding shared by both consumed services: settings, tags, wire
// types and the value types that element members are made of.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <type_traits>
#include <vector>

#include "service_types/tlv/errors.h"

namespace zrt::services::tlv {

// One constant record governs every read and every write: big-endian numbers and 4-byte length
// fields everywhere. Kept as data so that the guards that depend on it stay checkable.
struct SerializationSettings {
  bool big_endian;
  std::uint8_t array_length_field_size;
  std::uint8_t struct_length_field_size;
  std::uint8_t member_length_field_size;
};
inline constexpr SerializationSettings kSettings{true, 4, 4, 4};

// Bits 14..12 of a tag; bit 15 is ignored on reading.
enum class WireType : std::uint8_t {
  kOneByte = 0,
  kTwoBytes = 1,
  kFourBytes = 2,
  kEightBytes = 3,
  kConfiguredLength = 4,
  kOneByteLength = 5,
  kTwoByteLength = 6,
  kFourByteLength = 7,
};

constexpr WireType TagWireType(std::uint16_t tag) {
  return static_cast<WireType>((tag >> 12) & 0x7u);
}
constexpr std::uint16_t TagDataId(std::uint16_t tag) {
  return static_cast<std::uint16_t>(tag & 0x0FFFu);
}
constexpr std::uint16_t MakeTag(WireType wire_type, std::uint16_t data_id) {
  return static_cast<std::uint16_t>((static_cast<unsigned>(wire_type) << 12) | (data_id & 0x0FFFu));
}
constexpr bool CarriesLengthField(WireType wire_type) {
  return static_cast<unsigned>(wire_type) >= 4;
}

// Size of the value of a wire type without length field (0..3).
constexpr std::size_t ImpliedValueSize(WireType wire_type) {
  return std::size_t{1} << static_cast<unsigned>(wire_type);
}

// Size of the length field of a length-carrying wire type (4..7). Wire type 4 uses the configured
// size, which only makes sense when all configured sizes agree.
inline std::size_t LengthFieldSize(WireType wire_type, const SerializationSettings& settings = kSettings) {
  switch (wire_type) {
    case WireType::kConfiguredLength:
      if (settings.array_length_field_size != settings.struct_length_field_size ||
          settings.struct_length_field_size != settings.member_length_field_size ||
          settings.member_length_field_size == 0) {
        detail::ThrowRuntime(std::string(error_text::kUnequalLengthFieldsPrefix) +
                             std::to_string(settings.array_length_field_size) + "," +
                             std::to_string(settings.struct_length_field_size) + "," +
                             std::to_string(settings.member_length_field_size) + ")");
      }
      return settings.member_length_field_size;
    case WireType::kOneByteLength:
      return 1;
    case WireType::kTwoByteLength:
      return 2;
    case WireType::kFourByteLength:
      return 4;
    default:
      return 0;
  }
}

// 16-byte identifiers (the `id` members and the identifier inside reference records), raw bytes.
using Id16 = std::array<std::uint8_t, 16>;

// The one layout shared by the reference records; Kind only keeps the three record types apart.
template <typename Kind>
struct ReferenceRecord {
  std::uint16_t value1{};
  std::uint16_t value2{};
  std::uint16_t value3{};
  Id16 identifier{};
};
// Three 16-bit values, a 4-byte length and the 16 identifier bytes.
inline constexpr std::size_t kReferenceRecordSize = 3 * 2 + 4 + 16;

template <typename T>
struct IsReferenceRecord : std::false_type {};
template <typename Kind>
struct IsReferenceRecord<ReferenceRecord<Kind>> : std::true_type {};

template <typename T>
struct IsVector : std::false_type {};
template <typename E>
struct IsVector<std::vector<E>> : std::true_type {};

template <typename T>
concept EnumU32 = std::is_enum_v<T> && std::is_same_v<std::underlying_type_t<T>, std::uint32_t>;

template <typename T>
concept FourByteScalar = EnumU32<T> || std::is_same_v<T, std::uint32_t> || std::is_same_v<T, float>;

// The wire type each member type travels with.
template <typename T>
constexpr WireType WireTypeOf() {
  if constexpr (std::is_same_v<T, bool> || std::is_same_v<T, std::uint8_t>) {
    return WireType::kOneByte;
  } else if constexpr (std::is_same_v<T, std::uint16_t>) {
    return WireType::kTwoBytes;
  } else if constexpr (FourByteScalar<T>) {
    return WireType::kFourBytes;
  } else if constexpr (std::is_same_v<T, std::uint64_t>) {
    return WireType::kEightBytes;
  } else if constexpr (std::is_same_v<T, Id16> || std::is_same_v<T, std::string> || IsReferenceRecord<T>::value) {
    return WireType::kFourByteLength;
  } else {
    static_assert(IsVector<T>::value && EnumU32<typename T::value_type>, "no TLV encoding for this member type");
    return WireType::kFourByteLength;
  }
}

template <typename T>
constexpr std::uint16_t MemberTag(std::uint16_t data_id) {
  return MakeTag(WireTypeOf<T>(), data_id);
}

}  // namespace zrt::services::tlv
