#pragma once

#include <cstdint>
#include <exception>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "ara/core/optional.h"
#include "ara/log/logger.h"
#include "rest_model/collections/collection_support.h"
#include "rest_model/elements/element_support.h"
#include "rest_model/elements/value_lists.h"
#include "rubo/base_type.h"

// The rule that every SOME/IP-to-REST update shares: find the element of the type, then make
// its properties mirror the values one after another, stopping at the first refused one.
namespace orik::ruboServer::updates {

// The first element of the list whose "type" equals the type (an element without "type" has the
// empty type). The type is read at every element, so an absent one fails as soon as there is an
// element to compare and an empty list is simply not found.
template <typename Elements>
auto FindByType(const Elements& elements, const ara::core::Optional<std::string>& type) ->
    typename Elements::value_type {
  for (const auto& element : elements) {
    if (rubo::server::GetTextOrEmpty(*element, "type") == type.value()) {
      return element;
    }
  }
  return nullptr;
}

template <typename E, typename Collection>
std::shared_ptr<E> FindInCollection(const std::shared_ptr<Collection>& collection,
                                    const ara::core::Optional<std::string>& type) {
  if (!collection) {
    return nullptr;
  }
  return FindByType(rubo::server::ElementsOf<E>(*collection), type);
}

// "Value out of range" unless lowest <= value <= highest; a value that is not a number is out.
void CheckRange(std::uint32_t value, std::uint32_t lowest, std::uint32_t highest);
void CheckRange(float value, float lowest, float highest);

rubo::server::ValueList ToValueList(const std::vector<std::string>& texts);

// Applies the properties of one update to one element in order. A present value is checked,
// its property added when missing and set; an absent value removes the property. It remembers
// the property being applied, so that a refusal can name it.
class PropertyWriter {
 public:
  explicit PropertyWriter(rubo::BaseType& element) noexcept : element_(element) {}

  const std::string& Current() const noexcept { return current_; }

  // Unsigned values become Int. A property added now is announced even when its first value
  // equals the kind's default, so that clients learn it exists.
  void Int(std::string_view name, const ara::core::Optional<std::uint32_t>& value, std::uint32_t lowest,
           std::uint32_t highest);
  // Floats are widened exactly to the Real.
  void Real(std::string_view name, const ara::core::Optional<float>& value, float lowest, float highest);
  void Bool(std::string_view name, const ara::core::Optional<bool>& value);
  // Unchecked text; announceAdded as for the numeric kinds.
  void Text(std::string_view name, const ara::core::Optional<std::string>& value, bool announceAdded);

  // A value written through one of the element's own setters (which check it against the
  // property's list); an absent value removes the property as everywhere else.
  template <typename Value, typename Setter>
  void Through(std::string_view name, const ara::core::Optional<Value>& value, Setter&& set) {
    current_ = name;
    if (value.has_value()) {
      set(*value);
    } else {
      RemoveCurrent();
    }
  }

  // A text checked against the element's list for that property.
  template <typename E>
  void Listed(E& element, std::string_view name, const ara::core::Optional<std::string>& value) {
    Through(name, value, [&](const std::string& text) { element.SetListedText(std::string(name), text); });
  }

  void RemoveCurrent();

 private:
  template <rubo::ScalarKind K>
  void Put(const typename K::ValueType& value, bool announceAdded);

  rubo::BaseType& element_;
  std::string current_;
};

// Runs the writes of one update. A refused value ends them with one Info line: the domain
// error after its prefix, anything else as the fixed unknown-exception text. Nothing is rethrown.
template <typename Body>
void ApplyGuarded(const ara::log::Logger& logger, std::string_view domainPrefix, std::string_view unknownText,
                  Body&& body) {
  try {
    body();
  } catch (const std::domain_error& error) {
    logger.LogInfo() << domainPrefix << error.what();
  } catch (...) {
    logger.LogInfo() << unknownText;
  }
}

// The same for the topics whose lines name the property that was refused:
// "<tag><property> - <reason>".
template <typename Body>
void ApplyGuardedNamed(const ara::log::Logger& logger, std::string_view tag, const PropertyWriter& writer,
                       Body&& body) {
  try {
    body();
  } catch (const std::domain_error& error) {
    logger.LogInfo() << tag << writer.Current() << " - " << error.what();
  } catch (...) {
    logger.LogInfo() << tag << writer.Current() << " - Unknown exception";
  }
}

}  // namespace orik::ruboServer::updates
