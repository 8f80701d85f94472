#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <tuple>
#include <type_traits>
#include <utility>

#include <boost/mpl/at.hpp>
#include <boost/variant.hpp>

// Compile-time lists of field records: each record is a type with the field's facts as static
// members (its Element, kResource, ...). Every list, table and variant of a service's fields is
// expanded from its one list of records.
namespace orik::someipClient {

template <typename... Fields>
struct FieldList {
  static constexpr std::size_t kSize = sizeof...(Fields);
  template <std::size_t I>
  using At = std::tuple_element_t<I, std::tuple<Fields...>>;
};

// Calls f.template operator()<Field>() for every field, in list order.
template <typename... Fields, typename F>
constexpr void ForEachField(FieldList<Fields...>, F&& f) {
  (f.template operator()<Fields>(), ...);
}

// True when pred<Field>() holds for every field.
template <typename... Fields, typename Pred>
constexpr bool AllFields(FieldList<Fields...>, Pred pred) {
  return (pred.template operator()<Fields>() && ...);
}

// A per-field number that orders the fields in some list (a variant's alternatives, the poll
// steps): Key::template Of<Field>() gives it, negative for a field that is not in that list.
namespace detail {

template <typename Key, typename... Fields>
constexpr std::array<int, sizeof...(Fields)> Keys(FieldList<Fields...>) {
  return {Key::template Of<Fields>()...};
}

template <typename List, typename Key>
constexpr std::size_t CountKeyed() {
  std::size_t count = 0;
  for (const int key : Keys<Key>(List{})) {
    count += key >= 0 ? 1 : 0;
  }
  return count;
}

// The list position of the one field whose key is `key`.
template <typename List, typename Key, int key>
constexpr std::size_t PositionOfKey() {
  constexpr auto keys = Keys<Key>(List{});
  std::size_t found = keys.size();
  std::size_t matches = 0;
  for (std::size_t i = 0; i < keys.size(); ++i) {
    if (keys[i] == key) {
      found = i;
      ++matches;
    }
  }
  return matches == 1 ? found : keys.size();
}

template <typename List, typename Key, typename Sequence>
struct Ordered;

template <typename List, typename Key, std::size_t... I>
struct Ordered<List, Key, std::index_sequence<I...>> {
  static_assert(((PositionOfKey<List, Key, static_cast<int>(I)>() < List::kSize) && ...),
                "the keys of the keyed fields must be 0, 1, 2, ... each exactly once");
  using type = FieldList<typename List::template At<PositionOfKey<List, Key, static_cast<int>(I)>()>...>;
};

template <typename List, template <typename> class Alternative>
struct VariantOver;

template <typename... Fields, template <typename> class Alternative>
struct VariantOver<FieldList<Fields...>, Alternative> {
  using type = boost::variant<Alternative<Fields>...>;
};

template <typename List, template <typename> class Slot>
struct TupleOver;

template <typename... Fields, template <typename> class Slot>
struct TupleOver<FieldList<Fields...>, Slot> {
  using type = std::tuple<Slot<Fields>...>;
};

}  // namespace detail

// The fields that have a key, ordered by it.
template <typename List, typename Key>
using OrderedBy = typename detail::Ordered<List, Key, std::make_index_sequence<detail::CountKeyed<List, Key>()>>::type;

// boost::variant<Alternative<Field>...> over the list, in list order.
template <typename List, template <typename> class Alternative>
using VariantOver = typename detail::VariantOver<List, Alternative>::type;

// std::tuple<Slot<Field>...> over the list, in list order.
template <typename List, template <typename> class Slot>
using TupleOver = typename detail::TupleOver<List, Slot>::type;

// The alternative at `index` of a boost::variant.
template <typename Variant, int index>
using AlternativeAt = typename boost::mpl::at_c<typename Variant::types, index>::type;

// One more than the largest resource-type value of the list's fields.
template <typename... Fields>
constexpr std::size_t ResourceTableSize(FieldList<Fields...>) {
  std::size_t size = 0;
  ((size = std::max(size, static_cast<std::size_t>(Fields::kResource) + 1)), ...);
  return size;
}

// A table indexed by resource-type value: entryOf.template operator()<Field>() at each field's
// resource type, `none` everywhere else.
template <typename Entry, typename... Fields, typename EntryOf>
constexpr auto ResourceTable(FieldList<Fields...> list, EntryOf entryOf, Entry none) {
  std::array<Entry, ResourceTableSize(FieldList<Fields...>{})> table{};
  static_cast<void>(list);
  table.fill(none);
  ((table[static_cast<std::size_t>(Fields::kResource)] = entryOf.template operator()<Fields>()), ...);
  return table;
}

}  // namespace orik::someipClient
