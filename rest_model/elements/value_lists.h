#pragma once

#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <utility>

#include "ara/rest/allocator.h"

namespace rubo::server {

// A list of allowed words, searched only for exact (byte-wise, case-sensitive) matches.
using ValueList = ara::rest::Vector<std::string>;

ValueList MakeValueList(std::span<const std::string_view> values);
bool Contains(const ValueList& list, std::string_view value);

// The value lists of one element class, one per enumerated property (for an array property,
// the list of its items), built once by the element's constructor and only read afterwards.
class ValueLists {
 public:
  struct Entry {
    std::string_view property;
    std::span<const std::string_view> values;
  };

  ValueLists(std::initializer_list<Entry> entries);

  // Null when the class keeps no list for the property.
  const ValueList* Find(std::string_view property) const noexcept;
  // Throws std::logic_error when the class keeps no list for the property.
  const ValueList& For(std::string_view property) const;
  // Throws std::domain_error("Unsupported type: " + value) when the value is not in the list.
  void Check(std::string_view property, const std::string& value) const;

  std::size_t Size() const noexcept { return lists_.size(); }
  const std::string& PropertyAt(std::size_t index) const { return lists_.at(index).first; }

 private:
  ara::rest::Vector<std::pair<std::string, ValueList>> lists_;
};

}  // namespace rubo::server
