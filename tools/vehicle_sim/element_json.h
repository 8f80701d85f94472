#pragma once

// JSON form of the element structures of both vehicle services, written once over their member
// tables: an element is an object keyed by member name, holding only the present members.
//   enumeration          number, or its word where the vocabulary knows the value ("off")
//   u8 / u32 / u64       unsigned integer within the type's range
//   float                number
//   bool                 true / false
//   string               string
//   16-byte id           32 hex digits (dashes allowed when reading, as in a UUID text)
//   reference record     {"value1": u16, "value2": u16, "value3": u16, "identifier": 16-byte id}
//   vector of enums      array of enumerations
// Reading refuses unknown member names and wrong value kinds with a ConversionError whose text
// names the field, the element index and the member, e.g. "views[0].visibility: ...".

#include <array>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <limits>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include <nlohmann/json.hpp>

#include "service_types/chargingmanagementcore/datatypes.h"
#include "service_types/routebasedenergycontents/datatypes.h"
#include "service_types/tlv/wire.h"

namespace orik::vehicleSim {

class ConversionError : public std::invalid_argument {
 public:
  using std::invalid_argument::invalid_argument;
};

// ---- member names, in the order visit hands the members over

template <typename Element>
struct MemberNames;

#define ORIK_SIM_MEMBER_NAME(name, type, data_id) std::string_view(#name),
#define ORIK_SIM_MEMBER_NAMES(Namespace, Name, MEMBERS)                                  \
  template <>                                                                            \
  struct MemberNames<Namespace::Name> {                                                  \
    static constexpr std::array<std::string_view, Namespace::Name::kMemberCount> kNames{ \
        MEMBERS(ORIK_SIM_MEMBER_NAME)};                                                  \
  };
#define ORIK_SIM_CMC_MEMBER_NAMES(Name, MEMBERS) \
  ORIK_SIM_MEMBER_NAMES(::zrt::services::chargingmanagementcore::datatypes, Name, MEMBERS)
#define ORIK_SIM_RBEC_MEMBER_NAMES(Name, MEMBERS) \
  ORIK_SIM_MEMBER_NAMES(::zrt::services::routebasedenergycontents::datatypes, Name, MEMBERS)
ORIK_CMC_STRUCTURES(ORIK_SIM_CMC_MEMBER_NAMES)
ORIK_RBEC_STRUCTURES(ORIK_SIM_RBEC_MEMBER_NAMES)
#undef ORIK_SIM_RBEC_MEMBER_NAMES
#undef ORIK_SIM_CMC_MEMBER_NAMES
#undef ORIK_SIM_MEMBER_NAMES
#undef ORIK_SIM_MEMBER_NAME

// ---- enumeration words

struct EnumWord {
  std::uint32_t value;
  std::string_view word;
};

// An enumeration without a vocabulary travels by number only.
template <typename Enumeration>
struct EnumWords {
  static constexpr std::span<const EnumWord> Rows() { return {}; }
};

#define ORIK_SIM_WORD_ROW(value, name) EnumWord{value, #name},
#define ORIK_SIM_WORDS(Enumeration, ROWS)                               \
  template <>                                                           \
  struct EnumWords<Enumeration> {                                       \
    static constexpr EnumWord kRows[] = {ROWS(ORIK_SIM_WORD_ROW)};      \
    static constexpr std::span<const EnumWord> Rows() { return kRows; } \
  };
#define ORIK_VOCABULARY(field, member, ROWS) \
  ORIK_SIM_WORDS(::zrt::services::chargingmanagementcore::datatypes::DT_ChargingManagementCore_##field##_##member, ROWS)
#include "service_types/chargingmanagementcore/enumerations.def"
#define ORIK_VOCABULARY(field, member, ROWS)                                                                           \
  ORIK_SIM_WORDS(::zrt::services::routebasedenergycontents::datatypes::DT_RouteBasedEnergyContents_##field##_##member, \
                 ROWS)
#include "service_types/routebasedenergycontents/enumerations.def"
#undef ORIK_SIM_WORDS
#undef ORIK_SIM_WORD_ROW

namespace detail {

[[noreturn]] inline void Refuse(const std::string& where, const std::string& expected, const nlohmann::json& got) {
  throw ConversionError(where + ": expected " + expected + ", got " + got.dump());
}

// Parsed text gives non-negative integers the unsigned kind; values built in code may be signed.
inline bool IsUnsigned(const nlohmann::json& value) {
  return value.is_number_unsigned() || (value.is_number_integer() && value.get<std::int64_t>() >= 0);
}

inline std::uint64_t ReadUnsigned(const nlohmann::json& value, std::uint64_t max, const std::string& where) {
  const std::string expected = "an unsigned integer from 0 to " + std::to_string(max);
  if (!IsUnsigned(value)) {
    Refuse(where, expected, value);
  }
  const auto number = value.get<std::uint64_t>();
  if (number > max) {
    Refuse(where, expected, value);
  }
  return number;
}

inline std::string Hex(std::span<const std::uint8_t> bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text;
  for (const std::uint8_t byte : bytes) {
    text += kDigits[byte >> 4];
    text += kDigits[byte & 0x0F];
  }
  return text;
}

inline ::zrt::services::tlv::Id16 ReadId(const nlohmann::json& value, const std::string& where) {
  const std::string expected = "32 hex digits";
  if (!value.is_string()) {
    Refuse(where, expected, value);
  }
  std::string digits;
  for (const char c : value.get<std::string>()) {
    if (c != '-') {
      digits += c;
    }
  }
  ::zrt::services::tlv::Id16 id{};
  if (digits.size() != 2 * id.size()) {
    Refuse(where, expected, value);
  }
  const auto nibble = [&](char c) -> std::uint8_t {
    if (c >= '0' && c <= '9') {
      return static_cast<std::uint8_t>(c - '0');
    }
    if (c >= 'a' && c <= 'f') {
      return static_cast<std::uint8_t>(c - 'a' + 10);
    }
    if (c >= 'A' && c <= 'F') {
      return static_cast<std::uint8_t>(c - 'A' + 10);
    }
    Refuse(where, expected, value);
  };
  for (std::size_t i = 0; i < id.size(); ++i) {
    id[i] = static_cast<std::uint8_t>((nibble(digits[2 * i]) << 4) | nibble(digits[2 * i + 1]));
  }
  return id;
}

template <typename Enumeration>
std::string WordList() {
  std::string list;
  for (const EnumWord& row : EnumWords<Enumeration>::Rows()) {
    list += list.empty() ? "" : ", ";
    list += row.word;
  }
  return list;
}

// ---- one value of a member

template <typename T>
nlohmann::json ValueToJson(const T& value) {
  using ::zrt::services::tlv::Id16;
  if constexpr (std::is_enum_v<T>) {
    const auto number = static_cast<std::uint32_t>(value);
    for (const EnumWord& row : EnumWords<T>::Rows()) {
      if (row.value == number) {
        return std::string(row.word);
      }
    }
    return number;  // outside the vocabulary: carried as it came
  } else if constexpr (std::is_same_v<T, Id16>) {
    return Hex(value);
  } else if constexpr (::zrt::services::tlv::IsReferenceRecord<T>::value) {
    return nlohmann::json{{"value1", value.value1},
                          {"value2", value.value2},
                          {"value3", value.value3},
                          {"identifier", Hex(value.identifier)}};
  } else if constexpr (::zrt::services::tlv::IsVector<T>::value) {
    nlohmann::json array = nlohmann::json::array();
    for (const auto& item : value) {
      array.push_back(ValueToJson(item));
    }
    return array;
  } else if constexpr (std::is_same_v<T, float>) {
    // The shortest text that reads back as the same float, so 10.8f shows as 10.8.
    char text[32];
    const auto end = std::to_chars(std::begin(text), std::end(text), value).ptr;
    return nlohmann::json::parse(std::string(text, end), nullptr, false, true);
  } else {
    return value;  // bool, unsigned integers, string
  }
}

template <typename T>
T ValueFromJson(const nlohmann::json& value, const std::string& where) {
  using ::zrt::services::tlv::Id16;
  if constexpr (std::is_same_v<T, bool>) {
    if (!value.is_boolean()) {
      Refuse(where, "true or false", value);
    }
    return value.get<bool>();
  } else if constexpr (std::is_enum_v<T>) {
    if (value.is_string()) {
      const auto text = value.get<std::string>();
      for (const EnumWord& row : EnumWords<T>::Rows()) {
        if (row.word == text) {
          return static_cast<T>(row.value);
        }
      }
      const std::string words = WordList<T>();
      throw ConversionError(
          where + ": unknown word " + value.dump() +
          (words.empty() ? " (this enumeration has no words: give its number)" : " (words: " + words + ")"));
    }
    if (!IsUnsigned(value)) {
      Refuse(where, EnumWords<T>::Rows().empty() ? "an enumeration number" : "an enumeration number or word", value);
    }
    return static_cast<T>(ReadUnsigned(value, std::numeric_limits<std::uint32_t>::max(), where));
  } else if constexpr (std::is_unsigned_v<T>) {
    return static_cast<T>(ReadUnsigned(value, std::numeric_limits<T>::max(), where));
  } else if constexpr (std::is_same_v<T, float>) {
    if (!value.is_number()) {
      Refuse(where, "a number", value);
    }
    const double number = value.get<double>();
    if (number > std::numeric_limits<float>::max() || number < std::numeric_limits<float>::lowest()) {
      Refuse(where, "a number within the range of a 32-bit float", value);
    }
    return static_cast<float>(number);
  } else if constexpr (std::is_same_v<T, std::string>) {
    if (!value.is_string()) {
      Refuse(where, "a string", value);
    }
    return value.get<std::string>();
  } else if constexpr (std::is_same_v<T, Id16>) {
    return ReadId(value, where);
  } else if constexpr (::zrt::services::tlv::IsReferenceRecord<T>::value) {
    if (!value.is_object()) {
      Refuse(where, "an object with value1, value2, value3 and identifier", value);
    }
    T record{};
    for (const auto& [key, item] : value.items()) {
      const std::string at = where + "." + key;
      if (key == "value1") {
        record.value1 = static_cast<std::uint16_t>(ReadUnsigned(item, 0xFFFF, at));
      } else if (key == "value2") {
        record.value2 = static_cast<std::uint16_t>(ReadUnsigned(item, 0xFFFF, at));
      } else if (key == "value3") {
        record.value3 = static_cast<std::uint16_t>(ReadUnsigned(item, 0xFFFF, at));
      } else if (key == "identifier") {
        record.identifier = ReadId(item, at);
      } else {
        throw ConversionError(where + ": unknown member \"" + key +
                              "\" of a reference record (members: value1, value2, value3, identifier)");
      }
    }
    return record;
  } else {
    static_assert(::zrt::services::tlv::IsVector<T>::value, "no JSON form for this member type");
    if (!value.is_array()) {
      Refuse(where, "an array", value);
    }
    T items;
    for (std::size_t i = 0; i < value.size(); ++i) {
      items.push_back(ValueFromJson<typename T::value_type>(value[i], where + "[" + std::to_string(i) + "]"));
    }
    return items;
  }
}

template <typename Element>
std::string MemberList() {
  std::string list;
  for (const std::string_view name : MemberNames<Element>::kNames) {
    list += list.empty() ? "" : ", ";
    list += name;
  }
  return list;
}

}  // namespace detail

// ---- elements and field values

template <typename Element>
nlohmann::json ElementToJson(const Element& element) {
  nlohmann::json object = nlohmann::json::object();
  std::size_t index = 0;
  element.visit([&](const auto& member, std::uint16_t /*tag*/) {
    const std::string_view name = MemberNames<Element>::kNames[index++];
    if (member.has_value()) {
      object[std::string(name)] = detail::ValueToJson(*member);
    }
  });
  return object;
}

// `where` names the element in messages, e.g. "views[0]". A member given as null stays absent.
template <typename Element>
Element ElementFromJson(const nlohmann::json& object, const std::string& where) {
  if (!object.is_object()) {
    detail::Refuse(where, "an object of member names", object);
  }
  const auto& names = MemberNames<Element>::kNames;
  for (const auto& [key, item] : object.items()) {
    bool known = false;
    for (const std::string_view name : names) {
      known = known || name == key;
    }
    if (!known) {
      throw ConversionError(where + ": unknown member \"" + key + "\" (members: " + detail::MemberList<Element>() +
                            ")");
    }
  }
  Element element;
  std::size_t index = 0;
  element.visit([&](auto& member, std::uint16_t /*tag*/) {
    const std::string name(names[index++]);
    const auto it = object.find(name);
    if (it == object.end() || it->is_null()) {
      return;
    }
    using Value = typename std::remove_cvref_t<decltype(member)>::value_type;
    member = detail::ValueFromJson<Value>(*it, where + "." + name);
  });
  return element;
}

template <typename Element>
nlohmann::json FieldToJson(const std::vector<Element>& value) {
  nlohmann::json array = nlohmann::json::array();
  for (const Element& element : value) {
    array.push_back(ElementToJson(element));
  }
  return array;
}

// `field` names the field in messages.
template <typename Element>
std::vector<Element> FieldFromJson(const nlohmann::json& array, std::string_view field) {
  if (!array.is_array()) {
    detail::Refuse(std::string(field), "an array of elements", array);
  }
  std::vector<Element> value;
  value.reserve(array.size());
  for (std::size_t i = 0; i < array.size(); ++i) {
    value.push_back(ElementFromJson<Element>(array[i], std::string(field) + "[" + std::to_string(i) + "]"));
  }
  return value;
}

}  // namespace orik::vehicleSim
