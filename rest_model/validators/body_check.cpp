#include "rest_model/validators/body_check.h"

#include <algorithm>

namespace rubo::server::validation {
namespace {

constexpr std::string_view kId = "id";

const PropertyRule* FindRule(const BodyRules& rules, std::string_view property) {
  const auto found = std::find_if(rules.properties.begin(), rules.properties.end(),
                                  [&](const PropertyRule& rule) { return rule.property == property; });
  return found == rules.properties.end() ? nullptr : &*found;
}

bool Listed(std::span<const std::string_view> allowed, const std::string& value) {
  return std::find(allowed.begin(), allowed.end(), value) != allowed.end();
}

// Nothing when the value has the rule's kind and lies inside its values or range.
std::optional<Refusal> CheckValue(const PropertyRule& rule, const ara::rest::ogm::Value* value) {
  using namespace ara::rest::ogm;
  switch (rule.kind) {
    case ValueKind::kString: {
      const auto* text = As<String>(value);
      if (text == nullptr) {
        return kBadMessage;
      }
      if (!Listed(rule.allowed, text->GetValue())) {
        return kOutOfRange;
      }
      return std::nullopt;
    }
    case ValueKind::kInt: {
      const auto* number = As<Int>(value);
      if (number == nullptr) {
        return kBadMessage;
      }
      // Taken as unsigned, so that every negative value lies above the maximum.
      if (rule.maximum && static_cast<std::uint64_t>(number->GetValue()) > *rule.maximum) {
        return kOutOfRange;
      }
      return std::nullopt;
    }
    case ValueKind::kBool:
      if (As<Bool>(value) == nullptr) {
        return kBadMessage;
      }
      return std::nullopt;
  }
  return kBadMessage;
}

}  // namespace

std::optional<Refusal> CheckBody(const BodyRules& rules, const ara::rest::Vector<std::string>& writable,
                                 const ara::rest::ogm::Object& body) {
  if (!rules.required.empty() && !body.HasField(rules.required)) {
    return kRequiredMissing;
  }
  for (const auto& field : body.GetFields()) {
    const std::string& name = field->GetName();
    if (name == kId) {
      continue;
    }
    if (std::find(writable.begin(), writable.end(), name) == writable.end()) {
      return kNotAllowed;
    }
    if (const auto* rule = FindRule(rules, name)) {
      if (auto refusal = CheckValue(*rule, field->GetValue())) {
        return refusal;
      }
    }
  }
  return std::nullopt;
}

}  // namespace rubo::server::validation
