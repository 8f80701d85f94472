#include "rest_model/elements/value_lists.h"

#include <algorithm>
#include <stdexcept>

namespace rubo::server {

ValueList MakeValueList(std::span<const std::string_view> values) {
  ValueList list;
  list.reserve(values.size());
  for (const auto value : values) {
    list.emplace_back(value);
  }
  return list;
}

bool Contains(const ValueList& list, std::string_view value) {
  return std::find(list.begin(), list.end(), value) != list.end();
}

ValueLists::ValueLists(std::initializer_list<Entry> entries) {
  lists_.reserve(entries.size());
  for (const auto& entry : entries) {
    lists_.emplace_back(std::string(entry.property), MakeValueList(entry.values));
  }
}

const ValueList* ValueLists::Find(std::string_view property) const noexcept {
  for (const auto& [name, list] : lists_) {
    if (name == property) {
      return &list;
    }
  }
  return nullptr;
}

const ValueList& ValueLists::For(std::string_view property) const {
  if (const auto* list = Find(property)) {
    return *list;
  }
  throw std::logic_error("No value list for " + std::string(property));
}

void ValueLists::Check(std::string_view property, const std::string& value) const {
  if (!Contains(For(property), value)) {
    throw std::domain_error("Unsupported type: " + value);
  }
}

}  // namespace rubo::server
