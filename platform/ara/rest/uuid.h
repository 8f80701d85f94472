#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace ara::rest {

// 128-bit identity of a REST object. Default-constructed: all zero.
class Uuid {
 public:
  using Bytes = std::array<std::uint8_t, 16>;

  // Namespace of MakeV5: the RFC 4122 URL namespace 6ba7b811-9dad-11d1-80b4-00c04fd430c8,
  // because the names we derive identities from are paths.
  static const Uuid kNameNamespace;

  Uuid() noexcept = default;
  explicit Uuid(const Bytes& bytes) noexcept : bytes_(bytes) {}

  // Random (version 4).
  static Uuid MakeV4();
  // Name-based with SHA-1 (version 5) in kNameNamespace: the same text gives the same
  // identity in every run.
  static Uuid MakeV5(std::string_view name);

  // Canonical lower-case form, 36 characters (8-4-4-4-12).
  std::string ToString() const;

  bool IsNil() const noexcept;
  const Bytes& GetBytes() const noexcept { return bytes_; }
  // Version nibble (4 or 5 for the generators above).
  int GetVersion() const noexcept { return bytes_[6] >> 4; }

  friend bool operator==(const Uuid&, const Uuid&) noexcept = default;
  friend auto operator<=>(const Uuid&, const Uuid&) noexcept = default;

 private:
  Bytes bytes_{};
};

}  // namespace ara::rest

template <>
struct std::hash<ara::rest::Uuid> {
  std::size_t operator()(const ara::rest::Uuid& uuid) const noexcept;
};
