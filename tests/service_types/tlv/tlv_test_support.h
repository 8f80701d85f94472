#pragma once

#include <cctype>
#include <cstdint>
#include <exception>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "service_types/chargingmanagementcore/datatypes.h"
#include "service_types/routebasedenergycontents/datatypes.h"

namespace tlv_test {

namespace tlv = zrt::services::tlv;
namespace cmc = zrt::services::chargingmanagementcore::datatypes;
namespace rbec = zrt::services::routebasedenergycontents::datatypes;

using Bytes = std::vector<std::uint8_t>;

// "0000 0004 20 01" -> bytes; spaces are for readability only.
inline Bytes Hex(std::string_view text) {
  Bytes bytes;
  int high = -1;
  for (const char c : text) {
    if (c == ' ') {
      continue;
    }
    const int nibble = std::isdigit(static_cast<unsigned char>(c)) ? c - '0' : std::tolower(c) - 'a' + 10;
    if (high < 0) {
      high = nibble;
    } else {
      bytes.push_back(static_cast<std::uint8_t>(high * 16 + nibble));
      high = -1;
    }
  }
  if (high >= 0) {
    throw std::invalid_argument("odd number of hex digits");
  }
  return bytes;
}

inline std::string ToHex(std::span<const std::uint8_t> bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text;
  for (const auto b : bytes) {
    text += kDigits[b >> 4];
    text += kDigits[b & 0xF];
  }
  return text;
}

enum class Failure { kNone, kOutOfRange, kRuntime, kOverflow, kOther };

// What decoding a payload gave: the decoded value in its written form (writing is injective, so
// equal written forms mean equal values), the read position, or the failure.
struct Outcome {
  Failure failure = Failure::kNone;
  std::string text;     // the exception's text
  std::string written;  // hex of encode(decoded value)
  std::size_t position = 0;
  std::size_t elements = 0;

  bool operator==(const Outcome&) const = default;
};

inline Outcome Failed(Failure failure, const std::exception& error) {
  return {failure, error.what(), {}, 0, 0};
}

// Decodes through `decode(cursor, vector)` and records the outcome.
template <typename T, typename Decode>
Outcome RunDecoder(std::span<const std::uint8_t> payload, Decode decode) {
  tlv::ReadCursor cursor{payload, 0};
  std::vector<T> value;
  try {
    decode(cursor, value);
  } catch (const std::out_of_range& e) {
    return Failed(Failure::kOutOfRange, e);
  } catch (const std::overflow_error& e) {
    return Failed(Failure::kOverflow, e);
  } catch (const std::runtime_error& e) {
    return Failed(Failure::kRuntime, e);
  } catch (const std::exception& e) {
    return Failed(Failure::kOther, e);
  }
  const Bytes written = tlv::encode_field_value(value);
  return {Failure::kNone, {}, ToHex(written), cursor.position, value.size()};
}

// The structure's field decoder as every caller reaches it (its own in-place one where it has one).
template <typename T>
Outcome Decode(std::span<const std::uint8_t> payload) {
  return RunDecoder<T>(payload, [](tlv::ReadCursor& c, std::vector<T>& v) { deserialize_field_value(c, v); });
}

// Always the generic decoder that walks the members through visit.
template <typename T>
Outcome DecodeByVisit(std::span<const std::uint8_t> payload) {
  return RunDecoder<T>(payload, [](tlv::ReadCursor& c, std::vector<T>& v) { tlv::deserialize_field_value<T>(c, v); });
}

// Gives every member of an element a distinctive value derived from `salt` and the member's tag.
struct FillVisitor {
  std::uint32_t salt;

  template <typename T>
  void operator()(ara::core::Optional<T>& member, std::uint16_t tag) {
    const std::uint32_t n = salt * 131u + tag;
    T value{};
    if constexpr (std::is_same_v<T, bool>) {
      value = (n & 1u) != 0;
    } else if constexpr (std::is_same_v<T, std::uint8_t>) {
      value = static_cast<std::uint8_t>(n);
    } else if constexpr (std::is_same_v<T, std::uint32_t> || std::is_same_v<T, std::uint64_t>) {
      value = static_cast<T>(n) * 0x01000193u;
    } else if constexpr (tlv::EnumU32<T>) {
      value = static_cast<T>(n % 200u);
    } else if constexpr (std::is_same_v<T, float>) {
      value = static_cast<float>(n) / 8.0f;
    } else if constexpr (std::is_same_v<T, tlv::Id16>) {
      for (std::size_t i = 0; i < value.size(); ++i) {
        value[i] = static_cast<std::uint8_t>(n + i);
      }
    } else if constexpr (std::is_same_v<T, std::string>) {
      value = "DE*ABC*E" + std::to_string(n);
    } else if constexpr (tlv::IsVector<T>::value) {
      for (std::uint32_t i = 0; i < n % 4u; ++i) {
        value.push_back(static_cast<typename T::value_type>(n + i));
      }
    } else {
      value.value1 = static_cast<std::uint16_t>(n);
      value.value2 = static_cast<std::uint16_t>(n + 1);
      value.value3 = static_cast<std::uint16_t>(n + 2);
      for (std::size_t i = 0; i < value.identifier.size(); ++i) {
        value.identifier[i] = static_cast<std::uint8_t>(n * 7 + i);
      }
    }
    member = value;
  }
};

// Keeps a member only when its bit in `mask` is set.
struct ThinVisitor {
  std::uint64_t mask;
  std::size_t index = 0;

  template <typename T>
  void operator()(ara::core::Optional<T>& member, std::uint16_t) {
    if (((mask >> (index++ % 64)) & 1u) == 0) {
      member.reset();
    }
  }
};

struct CountPresent {
  std::size_t present = 0;
  template <typename T>
  void operator()(const ara::core::Optional<T>& member, std::uint16_t) {
    present += member.has_value() ? 1 : 0;
  }
};

template <typename T>
std::size_t PresentMembers(const T& element) {
  CountPresent count;
  element.visit(count);
  return count.present;
}

}  // namespace tlv_test
