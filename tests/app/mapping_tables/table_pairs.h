#pragma once

// The mapping_tables test reaches every Direct/Inv pair by its name through these, so that the
// per-enumeration code is compiled once in table_pairs.cpp and not with the test cases.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace mapping_tables_test {

// Reaches one Direct/Inv pair through its enumeration type (one small class per enumeration).
class TableAccess {
 public:
  virtual ~TableAccess() = default;
  virtual std::size_t direct_size() const = 0;
  virtual std::size_t inverse_size() const = 0;
  virtual std::optional<std::string> direct(std::uint32_t value) const = 0;
  virtual std::optional<std::uint32_t> inverse(const std::string& word) const = 0;
  virtual void direct_at(std::uint32_t value) const = 0;
  virtual void inverse_at(const std::string& word) const = 0;
  // Every row of the Direct table, as numbers.
  virtual std::vector<std::pair<std::uint32_t, std::string>> direct_rows() const = 0;
};

// Uniform access to one Direct/Inv pair, whatever its enumeration type.
struct TablePair {
  std::string name;  // <Service>_<field>_<member>
  std::unique_ptr<const TableAccess> access;

  std::size_t direct_size() const { return access->direct_size(); }
  std::size_t inverse_size() const { return access->inverse_size(); }
  std::optional<std::string> direct(std::uint32_t value) const { return access->direct(value); }
  std::optional<std::uint32_t> inverse(const std::string& word) const { return access->inverse(word); }
  std::vector<std::pair<std::uint32_t, std::string>> direct_rows() const { return access->direct_rows(); }
  void direct_at(std::uint32_t value) const { access->direct_at(value); }       // throws on a miss
  void inverse_at(const std::string& word) const { access->inverse_at(word); }  // throws on a miss
};

// Every pair, in construction order.
std::vector<TablePair> AllPairs();

// The pair named <Service>_<field>_<member>; throws std::invalid_argument for an unknown name.
const TablePair& Pair(const std::string& name);

}  // namespace mapping_tables_test
