#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "ara/rest/allocator.h"
#include "ara/rest/ogm.h"

// The model check of a client's POST body, apart from the framework hook that replies with it.
namespace rubo::server::validation {

enum class ValueKind { kString, kInt, kBool };

// One property that a validator examines: the kind its value must have and, for a text, the
// allowed words or, for an integer, the largest allowed value (the smallest is 0).
struct PropertyRule {
  std::string_view property;
  ValueKind kind;
  std::span<const std::string_view> allowed{};
  std::optional<std::uint64_t> maximum{};
};

struct BodyRules {
  std::span<const PropertyRule> properties;
  // A property that every body must carry; empty when none is required.
  std::string_view required{};
};

struct Refusal {
  std::string_view text;
  int status;
};

inline constexpr Refusal kNotAllowed{"Conflict: not allowed parameter(s) included", 409};
inline constexpr Refusal kRequiredMissing{"Conflict: required parameter(s) missing", 409};
inline constexpr Refusal kBadMessage{"Bad Message", 400};
inline constexpr Refusal kOutOfRange{"Bad Request: value not in allowed range", 400};

// The first refusal in body order, or nothing when the body is acceptable. "id" may always
// be present and is not examined.
std::optional<Refusal> CheckBody(const BodyRules& rules, const ara::rest::Vector<std::string>& writable,
                                 const ara::rest::ogm::Object& body);

}  // namespace rubo::server::validation
