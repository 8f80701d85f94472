#include "rest_server/orik_rubo_server_updates_support.h"

#include "ara/rest/ogm.h"

namespace orik::ruboServer::updates {

namespace ogm = ara::rest::ogm;

void CheckRange(std::uint32_t value, std::uint32_t lowest, std::uint32_t highest) {
  if (value < lowest || value > highest) {
    throw std::domain_error("Value out of range");
  }
}

void CheckRange(float value, float lowest, float highest) {
  // Written so that NaN, which compares false with everything, is refused too.
  if (!(value >= lowest && value <= highest)) {
    throw std::domain_error("Value out of range");
  }
}

rubo::server::ValueList ToValueList(const std::vector<std::string>& texts) {
  return rubo::server::ValueList(texts.begin(), texts.end());
}

template <rubo::ScalarKind K>
void PropertyWriter::Put(const typename K::ValueType& value, bool announceAdded) {
  const bool added = !element_.HasField(current_);
  if (added) {
    element_.AddField<K>(current_);
  }
  element_.SetFieldValue<K>(current_, value, announceAdded && added);
}

void PropertyWriter::RemoveCurrent() {
  if (element_.HasField(current_)) {
    element_.RemoveField(current_);
  }
}

void PropertyWriter::Int(std::string_view name, const ara::core::Optional<std::uint32_t>& value, std::uint32_t lowest,
                         std::uint32_t highest) {
  Through(name, value, [&](std::uint32_t number) {
    CheckRange(number, lowest, highest);
    Put<ogm::Int>(static_cast<std::int64_t>(number), true);
  });
}

void PropertyWriter::Real(std::string_view name, const ara::core::Optional<float>& value, float lowest, float highest) {
  Through(name, value, [&](float number) {
    CheckRange(number, lowest, highest);
    Put<ogm::Real>(static_cast<long double>(number), true);
  });
}

void PropertyWriter::Bool(std::string_view name, const ara::core::Optional<bool>& value) {
  Through(name, value, [&](bool flag) { Put<ogm::Bool>(flag, true); });
}

void PropertyWriter::Text(std::string_view name, const ara::core::Optional<std::string>& value, bool announceAdded) {
  Through(name, value, [&](const std::string& text) { Put<ogm::String>(text, announceAdded); });
}

}  // namespace orik::ruboServer::updates
