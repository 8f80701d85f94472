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
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "service_types/chargingmanagementcore/datatypes.h"
#include "service_types/routebasedenergycontents/datatypes.h"

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
// Parsed text gives non-negative integers the unsigned kind; values built in code may be signed.
bool IsUnsigned(const nlohmann::json& value);
}  // namespace detail

// ---- elements and field values
// Declared only: they are compiled once for every element structure of both services, in
// element_json_cmc.cpp and element_json.cpp (from element_json_impl.h), not in every user.

template <typename Element>
nlohmann::json ElementToJson(const Element& element);

// `where` names the element in messages, e.g. "views[0]". A member given as null stays absent.
template <typename Element>
Element ElementFromJson(const nlohmann::json& object, const std::string& where);

template <typename Element>
nlohmann::json FieldToJson(const std::vector<Element>& value);

// `field` names the field in messages.
template <typename Element>
std::vector<Element> FieldFromJson(const nlohmann::json& array, std::string_view field);

}  // namespace orik::vehicleSim
