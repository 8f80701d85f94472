#include "ara/rest/uuid.h"

#include <algorithm>
#include <boost/uuid/name_generator_sha1.hpp>
#include <boost/uuid/random_generator.hpp>
#include <boost/uuid/uuid.hpp>
#include <cstring>

namespace ara::rest {
namespace {

boost::uuids::uuid ToBoost(const Uuid& uuid) {
  boost::uuids::uuid out{};
  std::copy(uuid.GetBytes().begin(), uuid.GetBytes().end(), out.begin());
  return out;
}

Uuid FromBoost(const boost::uuids::uuid& uuid) {
  Uuid::Bytes bytes{};
  std::copy(uuid.begin(), uuid.end(), bytes.begin());
  return Uuid(bytes);
}

}  // namespace

const Uuid Uuid::kNameNamespace(Uuid::Bytes{0x6b, 0xa7, 0xb8, 0x11, 0x9d, 0xad, 0x11, 0xd1, 0x80, 0xb4, 0x00, 0xc0,
                                            0x4f, 0xd4, 0x30, 0xc8});

Uuid Uuid::MakeV4() {
  // The generator is not thread-safe and is costly to initialise: one per thread.
  thread_local boost::uuids::random_generator generator;
  return FromBoost(generator());
}

Uuid Uuid::MakeV5(std::string_view name) {
  boost::uuids::name_generator_sha1 generator(ToBoost(kNameNamespace));
  return FromBoost(generator(name.data(), name.size()));
}

std::string Uuid::ToString() const {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text;
  text.reserve(36);
  for (std::size_t i = 0; i < bytes_.size(); ++i) {
    if (i == 4 || i == 6 || i == 8 || i == 10) {
      text.push_back('-');
    }
    text.push_back(kDigits[bytes_[i] >> 4]);
    text.push_back(kDigits[bytes_[i] & 0x0f]);
  }
  return text;
}

bool Uuid::IsNil() const noexcept {
  return std::all_of(bytes_.begin(), bytes_.end(), [](std::uint8_t b) { return b == 0; });
}

}  // namespace ara::rest

std::size_t std::hash<ara::rest::Uuid>::operator()(const ara::rest::Uuid& uuid) const noexcept {
  std::uint64_t a = 0;
  std::uint64_t b = 0;
  std::memcpy(&a, uuid.GetBytes().data(), 8);
  std::memcpy(&b, uuid.GetBytes().data() + 8, 8);
  return static_cast<std::size_t>(a ^ (b * 0x9e3779b97f4a7c15ULL));
}
