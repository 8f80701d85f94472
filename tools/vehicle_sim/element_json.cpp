#include "tools/vehicle_sim/element_json_impl.h"

#include <charconv>
#include <iterator>
#include <limits>

namespace orik::vehicleSim::detail {

namespace {

// "a, b, c" of the names that `name` takes from the rows.
template <typename Row, typename Name>
std::string ListOf(std::span<const Row> rows, Name name) {
  std::string list;
  for (const Row& row : rows) {
    list += list.empty() ? "" : ", ";
    list += name(row);
  }
  return list;
}

}  // namespace

bool IsUnsigned(const nlohmann::json& value) {
  return value.is_number_unsigned() || (value.is_number_integer() && value.get<std::int64_t>() >= 0);
}

void Refuse(const std::string& where, const std::string& expected, const nlohmann::json& got) {
  throw ConversionError(where + ": expected " + expected + ", got " + got.dump());
}

std::uint64_t ReadUnsigned(const nlohmann::json& value, std::uint64_t max, const std::string& where) {
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

bool ReadBool(const nlohmann::json& value, const std::string& where) {
  if (!value.is_boolean()) {
    Refuse(where, "true or false", value);
  }
  return value.get<bool>();
}

float ReadFloat(const nlohmann::json& value, const std::string& where) {
  if (!value.is_number()) {
    Refuse(where, "a number", value);
  }
  const double number = value.get<double>();
  if (number > std::numeric_limits<float>::max() || number < std::numeric_limits<float>::lowest()) {
    Refuse(where, "a number within the range of a 32-bit float", value);
  }
  return static_cast<float>(number);
}

std::string ReadString(const nlohmann::json& value, const std::string& where) {
  if (!value.is_string()) {
    Refuse(where, "a string", value);
  }
  return value.get<std::string>();
}

::zrt::services::tlv::Id16 ReadId(const nlohmann::json& value, const std::string& where) {
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

std::uint32_t ReadEnum(const nlohmann::json& value, std::span<const EnumWord> words, const std::string& where) {
  if (value.is_string()) {
    const auto text = value.get<std::string>();
    for (const EnumWord& row : words) {
      if (row.word == text) {
        return row.value;
      }
    }
    const std::string list = ListOf(words, [](const EnumWord& row) { return row.word; });
    throw ConversionError(
        where + ": unknown word " + value.dump() +
        (list.empty() ? " (this enumeration has no words: give its number)" : " (words: " + list + ")"));
  }
  if (!IsUnsigned(value)) {
    Refuse(where, words.empty() ? "an enumeration number" : "an enumeration number or word", value);
  }
  return static_cast<std::uint32_t>(ReadUnsigned(value, std::numeric_limits<std::uint32_t>::max(), where));
}

void ReadReference(const nlohmann::json& value, const std::string& where, std::uint16_t& value1, std::uint16_t& value2,
                   std::uint16_t& value3, ::zrt::services::tlv::Id16& identifier) {
  if (!value.is_object()) {
    Refuse(where, "an object with value1, value2, value3 and identifier", value);
  }
  for (const auto& [key, item] : value.items()) {
    const std::string at = where + "." + key;
    if (key == "value1") {
      value1 = static_cast<std::uint16_t>(ReadUnsigned(item, 0xFFFF, at));
    } else if (key == "value2") {
      value2 = static_cast<std::uint16_t>(ReadUnsigned(item, 0xFFFF, at));
    } else if (key == "value3") {
      value3 = static_cast<std::uint16_t>(ReadUnsigned(item, 0xFFFF, at));
    } else if (key == "identifier") {
      identifier = ReadId(item, at);
    } else {
      throw ConversionError(where + ": unknown member \"" + key +
                            "\" of a reference record (members: value1, value2, value3, identifier)");
    }
  }
}

void CheckMemberNames(const nlohmann::json& object, std::span<const std::string_view> names, const std::string& where) {
  if (!object.is_object()) {
    Refuse(where, "an object of member names", object);
  }
  for (const auto& [key, item] : object.items()) {
    bool known = false;
    for (const std::string_view name : names) {
      known = known || name == key;
    }
    if (!known) {
      throw ConversionError(where + ": unknown member \"" + key +
                            "\" (members: " + ListOf(names, [](std::string_view name) { return name; }) + ")");
    }
  }
}

std::string Hex(std::span<const std::uint8_t> bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text;
  for (const std::uint8_t byte : bytes) {
    text += kDigits[byte >> 4];
    text += kDigits[byte & 0x0F];
  }
  return text;
}

nlohmann::json EnumToJson(std::uint32_t number, std::span<const EnumWord> words) {
  for (const EnumWord& row : words) {
    if (row.value == number) {
      return std::string(row.word);
    }
  }
  return number;  // outside the vocabulary: carried as it came
}

nlohmann::json FloatToJson(float value) {
  // The shortest text that reads back as the same float, so 10.8f shows as 10.8.
  char text[32];
  const auto end = std::to_chars(std::begin(text), std::end(text), value).ptr;
  return nlohmann::json::parse(std::string(text, end), nullptr, false, true);
}

}  // namespace orik::vehicleSim::detail

namespace orik::vehicleSim {

// The five small RouteBasedEnergyContents structures; those of ChargingManagementCore, many more,
// have element_json_cmc.cpp to themselves.
#define ORIK_SIM_RBEC_ELEMENT_JSON(Name, MEMBERS) \
  ORIK_SIM_INSTANTIATE_ELEMENT_JSON(::zrt::services::routebasedenergycontents::datatypes::Name)
ORIK_RBEC_STRUCTURES(ORIK_SIM_RBEC_ELEMENT_JSON)
#undef ORIK_SIM_RBEC_ELEMENT_JSON

}  // namespace orik::vehicleSim
