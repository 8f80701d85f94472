#pragma once

// Expands one member table into an element structure: the optional members in table order, the
// tag list `get_tlv_tags` and the member walk `visit`. A member table is a macro taking one
// macro argument X and listing X(name, type, data_id) once per member, in declaration order.

#include <array>
#include <concepts>
#include <cstddef>
#include <cstdint>
#include <span>

#include "ara/core/optional.h"
#include "service_types/tlv/wire.h"

#define ORIK_TLV_DECLARE_MEMBER(name, type, data_id) ::ara::core::Optional<type> name;
#define ORIK_TLV_COUNT_MEMBER(name, type, data_id) +1
#define ORIK_TLV_TAG_OF_MEMBER(name, type, data_id) ::zrt::services::tlv::MemberTag<type>(data_id),
#define ORIK_TLV_VISIT_MEMBER(name, type, data_id) visitor(name, tags[index++]);

#define ORIK_TLV_DEFINE_STRUCTURE(Name, MEMBERS)                                                       \
  struct Name {                                                                                        \
    MEMBERS(ORIK_TLV_DECLARE_MEMBER)                                                                   \
                                                                                                       \
    static constexpr std::size_t kMemberCount = 0 MEMBERS(ORIK_TLV_COUNT_MEMBER);                      \
                                                                                                       \
    /* Tags of the members in declaration order, which is also the order they travel in. */            \
    static std::span<const std::uint16_t> get_tlv_tags() {                                             \
      static constexpr std::array<std::uint16_t, kMemberCount> kTags{MEMBERS(ORIK_TLV_TAG_OF_MEMBER)}; \
      return kTags;                                                                                    \
    }                                                                                                  \
                                                                                                       \
    /* Hands every member with its tag to visitor(member, tag), in declaration order. */               \
    template <typename Visitor>                                                                        \
    void visit(Visitor&& visitor) {                                                                    \
      const auto tags = get_tlv_tags();                                                                \
      std::size_t index = 0;                                                                           \
      MEMBERS(ORIK_TLV_VISIT_MEMBER)                                                                   \
    }                                                                                                  \
    template <typename Visitor>                                                                        \
    void visit(Visitor&& visitor) const {                                                              \
      const auto tags = get_tlv_tags();                                                                \
      std::size_t index = 0;                                                                           \
      MEMBERS(ORIK_TLV_VISIT_MEMBER)                                                                   \
    }                                                                                                  \
  };

namespace zrt::services::tlv {

// What the codec needs of an element structure.
template <typename T>
concept ElementStructure = requires {
  { T::get_tlv_tags() } -> std::same_as<std::span<const std::uint16_t>>;
  T::kMemberCount;
};

}  // namespace zrt::services::tlv
