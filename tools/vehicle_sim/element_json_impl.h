#pragma once

// The templates declared in element_json.h, for the units that instantiate them. The work that
// does not depend on the member's type lives in element_json.cpp, so that each instantiation is
// a thin walk over the members.

#include <cstddef>
#include <cstdint>
#include <limits>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "service_types/tlv/wire.h"
#include "tools/vehicle_sim/element_json.h"

namespace orik::vehicleSim {

namespace detail {

[[noreturn]] void Refuse(const std::string& where, const std::string& expected, const nlohmann::json& got);
std::uint64_t ReadUnsigned(const nlohmann::json& value, std::uint64_t max, const std::string& where);
bool ReadBool(const nlohmann::json& value, const std::string& where);
float ReadFloat(const nlohmann::json& value, const std::string& where);
std::string ReadString(const nlohmann::json& value, const std::string& where);
::zrt::services::tlv::Id16 ReadId(const nlohmann::json& value, const std::string& where);
std::uint32_t ReadEnum(const nlohmann::json& value, std::span<const EnumWord> words, const std::string& where);
void ReadReference(const nlohmann::json& value, const std::string& where, std::uint16_t& value1, std::uint16_t& value2,
                   std::uint16_t& value3, ::zrt::services::tlv::Id16& identifier);
// Refuses anything but an object whose member names are all in `names`.
void CheckMemberNames(const nlohmann::json& object, std::span<const std::string_view> names, const std::string& where);

std::string Hex(std::span<const std::uint8_t> bytes);
nlohmann::json EnumToJson(std::uint32_t number, std::span<const EnumWord> words);
nlohmann::json FloatToJson(float value);

// ---- one value of a member

template <typename T>
nlohmann::json ValueToJson(const T& value) {
  using ::zrt::services::tlv::Id16;
  if constexpr (std::is_enum_v<T>) {
    return EnumToJson(static_cast<std::uint32_t>(value), EnumWords<T>::Rows());
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
    return FloatToJson(value);
  } else {
    return value;  // bool, unsigned integers, string
  }
}

template <typename T>
T ValueFromJson(const nlohmann::json& value, const std::string& where) {
  using ::zrt::services::tlv::Id16;
  if constexpr (std::is_same_v<T, bool>) {
    return ReadBool(value, where);
  } else if constexpr (std::is_enum_v<T>) {
    return static_cast<T>(ReadEnum(value, EnumWords<T>::Rows(), where));
  } else if constexpr (std::is_unsigned_v<T>) {
    return static_cast<T>(ReadUnsigned(value, std::numeric_limits<T>::max(), where));
  } else if constexpr (std::is_same_v<T, float>) {
    return ReadFloat(value, where);
  } else if constexpr (std::is_same_v<T, std::string>) {
    return ReadString(value, where);
  } else if constexpr (std::is_same_v<T, Id16>) {
    return ReadId(value, where);
  } else if constexpr (::zrt::services::tlv::IsReferenceRecord<T>::value) {
    T record{};
    ReadReference(value, where, record.value1, record.value2, record.value3, record.identifier);
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

template <typename Element>
Element ElementFromJson(const nlohmann::json& object, const std::string& where) {
  const auto& names = MemberNames<Element>::kNames;
  detail::CheckMemberNames(object, names, where);
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

// The four templates for one element structure; used by the instantiating units.
#define ORIK_SIM_INSTANTIATE_ELEMENT_JSON(Element)                                      \
  template nlohmann::json ElementToJson<Element>(const Element&);                       \
  template Element ElementFromJson<Element>(const nlohmann::json&, const std::string&); \
  template nlohmann::json FieldToJson<Element>(const std::vector<Element>&);            \
  template std::vector<Element> FieldFromJson<Element>(const nlohmann::json&, std::string_view);

}  // namespace orik::vehicleSim
