#include "tests/app/mapping_tables/table_pairs.h"

#include <stdexcept>
#include <type_traits>
#include <unordered_map>

#include "app/mapping_tables/mapping_tables.h"

namespace mapping_tables_test {
namespace {

namespace cmc = zrt::services::chargingmanagementcore;
namespace rbec = zrt::services::routebasedenergycontents;

template <typename E>
class TypedAccess final : public TableAccess {
 public:
  TypedAccess(const std::unordered_map<E, std::string>& direct, const std::unordered_map<std::string, E>& inverse)
      : direct_(direct), inverse_(inverse) {}

  std::size_t direct_size() const override { return direct_.size(); }
  std::size_t inverse_size() const override { return inverse_.size(); }
  std::optional<std::string> direct(std::uint32_t value) const override {
    const auto it = direct_.find(static_cast<E>(value));
    if (it == direct_.end()) {
      return std::nullopt;
    }
    return it->second;
  }
  std::optional<std::uint32_t> inverse(const std::string& word) const override {
    const auto it = inverse_.find(word);
    if (it == inverse_.end()) {
      return std::nullopt;
    }
    return static_cast<std::uint32_t>(it->second);
  }
  void direct_at(std::uint32_t value) const override { (void)direct_.at(static_cast<E>(value)); }
  void inverse_at(const std::string& word) const override { (void)inverse_.at(word); }
  std::vector<std::pair<std::uint32_t, std::string>> direct_rows() const override {
    std::vector<std::pair<std::uint32_t, std::string>> rows;
    for (const auto& [value, word] : direct_) {
      rows.emplace_back(static_cast<std::uint32_t>(value), word);
    }
    return rows;
  }

 private:
  const std::unordered_map<E, std::string>& direct_;
  const std::unordered_map<std::string, E>& inverse_;
};

template <typename E>
TablePair MakePair(std::string name, const std::unordered_map<E, std::string>& direct,
                   const std::unordered_map<std::string, E>& inverse) {
  // Converted right away, so that unique_ptr is instantiated for the base class only.
  return TablePair{std::move(name), std::unique_ptr<const TableAccess>(new TypedAccess<E>(direct, inverse))};
}

// No lookup may add a row: the subscript operator, which inserts on a miss, must not be usable.
template <typename Table>
concept Subscriptable = requires(Table& table, typename std::remove_cvref_t<Table>::key_type key) {
  table[key];
};
static_assert(Subscriptable<std::unordered_map<std::string, int>>);

}  // namespace

std::vector<TablePair> AllPairs() {
  std::vector<TablePair> pairs;
#define ORIK_VOCABULARY(field, member, ROWS)                                                              \
  static_assert(!Subscriptable<decltype(cmc::mapDT_ChargingManagementCore_##field##_##member##_Direct)>); \
  static_assert(!Subscriptable<decltype(cmc::mapDT_ChargingManagementCore_##field##_##member##_Inv)>);    \
  pairs.push_back(MakePair("ChargingManagementCore_" #field "_" #member,                                  \
                           cmc::mapDT_ChargingManagementCore_##field##_##member##_Direct,                 \
                           cmc::mapDT_ChargingManagementCore_##field##_##member##_Inv));
#include "service_types/chargingmanagementcore/enumerations.def"
#define ORIK_VOCABULARY(field, member, ROWS)                                                                 \
  static_assert(!Subscriptable<decltype(rbec::mapDT_RouteBasedEnergyContents_##field##_##member##_Direct)>); \
  static_assert(!Subscriptable<decltype(rbec::mapDT_RouteBasedEnergyContents_##field##_##member##_Inv)>);    \
  pairs.push_back(MakePair("RouteBasedEnergyContents_" #field "_" #member,                                   \
                           rbec::mapDT_RouteBasedEnergyContents_##field##_##member##_Direct,                 \
                           rbec::mapDT_RouteBasedEnergyContents_##field##_##member##_Inv));
#include "service_types/routebasedenergycontents/enumerations.def"
  return pairs;
}

const TablePair& Pair(const std::string& name) {
  static const std::vector<TablePair> pairs = AllPairs();
  for (const auto& pair : pairs) {
    if (pair.name == name) {
      return pair;
    }
  }
  throw std::invalid_argument("no table pair " + name);
}

}  // namespace mapping_tables_test
