#include "app/mapping_tables/mapping_tables.h"

#include <cstddef>
#include <string_view>

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

// Each row names its enumerator once; the word is that name stringised.
#define ORIK_VOCABULARY_ROW(value, name) {Enumeration::name, #name},

// Definition order inside this unit is the construction order: per enumeration the Direct table,
// then the Inv table; destruction at exit runs in reverse.
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

namespace chargingmanagementcore {
#define ORIK_VOCABULARY(field, member, ROWS) ORIK_VOCABULARY_TABLES(ChargingManagementCore, field, member, ROWS)
#include "service_types/chargingmanagementcore/enumerations.def"
}  // namespace chargingmanagementcore

namespace routebasedenergycontents {
#define ORIK_VOCABULARY(field, member, ROWS) ORIK_VOCABULARY_TABLES(RouteBasedEnergyContents, field, member, ROWS)
#include "service_types/routebasedenergycontents/enumerations.def"
}  // namespace routebasedenergycontents

#undef ORIK_VOCABULARY_TABLES
#undef ORIK_VOCABULARY_ROW

}  // namespace zrt::services
