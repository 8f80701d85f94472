#pragma once

// Shared by the units that define the tables of mapping_tables.h; not for other code.
//
// The tables are spread over a few units because each enumeration instantiates its own pair of
// map types, and one unit holding all of them compiled slowly. Within a unit, definition order is
// construction order: per enumeration the Direct table, then the Inv table; destruction at exit
// runs in reverse. No order holds between units, just as none holds towards the readers' units.

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>

#include "app/mapping_tables/mapping_tables.h"

namespace zrt::services {
namespace {

template <typename E>
struct VocabularyRow {
  E value;
  std::string_view word;
};

// A repeated value or word would silently drop a row from one of the two tables (the first row
// with a key wins), so the vocabulary is checked while compiling instead.
template <typename E, std::size_t N>
constexpr bool IsOneToOne(const VocabularyRow<E> (&rows)[N]) {
  for (std::size_t i = 0; i < N; ++i) {
    for (std::size_t j = i + 1; j < N; ++j) {
      if (rows[i].value == rows[j].value || rows[i].word == rows[j].word) {
        return false;
      }
    }
  }
  return true;
}

template <typename E, std::size_t N>
std::unordered_map<E, std::string> MakeDirect(const VocabularyRow<E> (&rows)[N]) {
  std::unordered_map<E, std::string> table;
  for (const auto& row : rows) {
    table.emplace(row.value, std::string(row.word));
  }
  return table;
}

template <typename E, std::size_t N>
std::unordered_map<std::string, E> MakeInverse(const VocabularyRow<E> (&rows)[N]) {
  std::unordered_map<std::string, E> table;
  for (const auto& row : rows) {
    table.emplace(std::string(row.word), row.value);
  }
  return table;
}

}  // namespace
}  // namespace zrt::services

// Each row names its enumerator once; the word is that name stringised.
#define ORIK_VOCABULARY_ROW(value, name) {Enumeration::name, #name},

// Expands inside the service's namespace below zrt::services.
#define ORIK_VOCABULARY_TABLES(Service, field, member, ROWS)                                            \
  namespace {                                                                                           \
  namespace vocabulary_##field##_##member {                                                             \
    using Enumeration = datatypes::DT_##Service##_##field##_##member;                                   \
    constexpr VocabularyRow<Enumeration> kRows[] = {ROWS(ORIK_VOCABULARY_ROW)};                         \
    static_assert(IsOneToOne(kRows), "repeated value or word in " #field "_" #member);                  \
  }                                                                                                     \
  }                                                                                                     \
  const std::unordered_map<datatypes::DT_##Service##_##field##_##member, std::string>                   \
      mapDT_##Service##_##field##_##member##_Direct = MakeDirect(vocabulary_##field##_##member::kRows); \
  const std::unordered_map<std::string, datatypes::DT_##Service##_##field##_##member>                   \
      mapDT_##Service##_##field##_##member##_Inv = MakeInverse(vocabulary_##field##_##member::kRows);

// The unit that defines each ChargingManagementCore field's tables. Every field must be listed:
// one that is not fails to compile in every unit, naming ORIK_CMC_UNIT_<field>.
#define ORIK_CMC_UNIT_batteryCareModes 1
#define ORIK_CMC_UNIT_batteryPreconditioningEnergies 1
#define ORIK_CMC_UNIT_batteryPreconditionings 1
#define ORIK_CMC_UNIT_bidirectionalChargingModes 1
#define ORIK_CMC_UNIT_chargeModes 1
#define ORIK_CMC_UNIT_chargingPlugs 1
#define ORIK_CMC_UNIT_chargingProcessInformation 2
#define ORIK_CMC_UNIT_immediateActions 2
#define ORIK_CMC_UNIT_immediateChargingOptions 2
#define ORIK_CMC_UNIT_notificationMarkers 2
#define ORIK_CMC_UNIT_notifications 2
#define ORIK_CMC_UNIT_oruUpdateApprovals 2
#define ORIK_CMC_UNIT_pastErrorInformation 2
#define ORIK_CMC_UNIT_resetToFactoryData 3
#define ORIK_CMC_UNIT_statistics 3
#define ORIK_CMC_UNIT_switchControls 3
#define ORIK_CMC_UNIT_valueControls 3
#define ORIK_CMC_UNIT_valueIndications 4
#define ORIK_CMC_UNIT_views 4

// Expands one ChargingManagementCore enumeration to its tables if its field belongs to the
// including unit, and to nothing otherwise. The including unit redefines its own
// ORIK_CMC_TABLES_IN_<n> to ORIK_CMC_TABLES; all of them drop their enumeration here.
#define ORIK_CMC_VOCABULARY(field, member, ROWS) \
  ORIK_CMC_CAT(ORIK_CMC_TABLES_IN_, ORIK_CMC_UNIT_##field)(field, member, ROWS)
#define ORIK_CMC_CAT(a, b) ORIK_CMC_CAT_(a, b)
#define ORIK_CMC_CAT_(a, b) a##b
#define ORIK_CMC_TABLES(field, member, ROWS) ORIK_VOCABULARY_TABLES(ChargingManagementCore, field, member, ROWS)
#define ORIK_CMC_TABLES_IN_1(field, member, ROWS)
#define ORIK_CMC_TABLES_IN_2(field, member, ROWS)
#define ORIK_CMC_TABLES_IN_3(field, member, ROWS)
#define ORIK_CMC_TABLES_IN_4(field, member, ROWS)
