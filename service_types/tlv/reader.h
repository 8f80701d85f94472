#pragma once

// Reading TLV element structures and whole field values (a length-prefixed array of
// length-prefixed elements). Every length comes from the peer, so each one is checked against the
// bytes actually left before anything is allocated, copied or skipped.

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <span>
#include <string>
#include <type_traits>
#include <vector>

#include "ara/core/optional.h"
#include "service_types/tlv/errors.h"
#include "service_types/tlv/structure.h"
#include "service_types/tlv/wire.h"

namespace zrt::services::tlv {

// The received payload and the read position, which decoding advances.
struct ReadCursor {
  std::span<const std::uint8_t> data;
  std::size_t position{0};
};

namespace detail {

// position + length, guarded because the length is the peer's.
inline std::size_t CheckedEnd(std::size_t position, std::uint64_t length) {
  if (length > std::numeric_limits<std::size_t>::max() - position) {
    ThrowOverflow(error_text::kSizeOverflow);
  }
  return position + static_cast<std::size_t>(length);
}

inline void Require(const ReadCursor& cursor, std::uint64_t count) {
  if (count > cursor.data.size() - cursor.position) {
    ThrowOutOfRange(error_text::kReadBeyondEnd);
  }
}

inline void Skip(ReadCursor& cursor, std::uint64_t count) {
  Require(cursor, count);
  cursor.position += static_cast<std::size_t>(count);
}

// Big-endian unsigned number of `size` bytes (1, 2, 4 or 8).
inline std::uint64_t ReadUnsigned(ReadCursor& cursor, std::size_t size) {
  Require(cursor, size);
  const std::uint8_t* bytes = cursor.data.data() + cursor.position;
  std::uint64_t value = 0;
  for (std::size_t i = 0; i < size; ++i) {
    value = (value << 8) | bytes[i];
  }
  cursor.position += size;
  return value;
}

inline std::uint32_t ReadU32(ReadCursor& cursor) {
  Require(cursor, 4);
  const std::uint8_t* b = cursor.data.data() + cursor.position;
  cursor.position += 4;
  return (std::uint32_t{b[0]} << 24) | (std::uint32_t{b[1]} << 16) | (std::uint32_t{b[2]} << 8) | std::uint32_t{b[3]};
}

inline std::uint16_t ReadU16(ReadCursor& cursor) {
  Require(cursor, 2);
  const std::uint8_t* b = cursor.data.data() + cursor.position;
  cursor.position += 2;
  return static_cast<std::uint16_t>((b[0] << 8) | b[1]);
}

inline std::uint8_t ReadU8(ReadCursor& cursor) {
  Require(cursor, 1);
  return cursor.data[cursor.position++];
}

// Fails unless [position, position + length) lies inside the payload.
inline void RequireEndInside(const ReadCursor& cursor, std::uint64_t length) {
  if (CheckedEnd(cursor.position, length) > cursor.data.size()) {
    ThrowOutOfRange(error_text::kInvalidEndPosition);
  }
}

inline void ReadId(ReadCursor& cursor, Id16& out) {
  Require(cursor, out.size());
  std::copy_n(cursor.data.data() + cursor.position, out.size(), out.begin());
  cursor.position += out.size();
}

// Reads one member value; `length` is the member's length from the wire (or the implied size).
template <typename T>
void ReadValue(ReadCursor& cursor, T& out, std::uint64_t length) {
  if constexpr (std::is_same_v<T, bool>) {
    out = (ReadU8(cursor) & 0x01u) != 0;
  } else if constexpr (std::is_same_v<T, std::uint8_t>) {
    out = ReadU8(cursor);
  } else if constexpr (std::is_same_v<T, std::uint16_t>) {
    out = ReadU16(cursor);
  } else if constexpr (std::is_same_v<T, std::uint32_t>) {
    out = ReadU32(cursor);
  } else if constexpr (EnumU32<T>) {
    out = static_cast<T>(ReadU32(cursor));
  } else if constexpr (std::is_same_v<T, float>) {
    out = std::bit_cast<float>(ReadU32(cursor));
  } else if constexpr (std::is_same_v<T, std::uint64_t>) {
    out = ReadUnsigned(cursor, 8);
  } else if constexpr (std::is_same_v<T, Id16>) {
    ReadId(cursor, out);
  } else if constexpr (std::is_same_v<T, std::string>) {
    Require(cursor, length);  // before the string allocates
    const auto* first = reinterpret_cast<const char*>(cursor.data.data() + cursor.position);
    out.assign(first, static_cast<std::size_t>(length));
    cursor.position += static_cast<std::size_t>(length);
  } else if constexpr (IsVector<T>::value) {
    RequireEndInside(cursor, length);
    const std::size_t end = cursor.position + static_cast<std::size_t>(length);
    out.clear();
    // Sized from the member's length, which lies inside the payload: at most one entry per four
    // bytes actually received, never a count the peer states.
    out.reserve(static_cast<std::size_t>(length) / 4);
    while (cursor.position < end) {
      out.push_back(static_cast<typename T::value_type>(ReadU32(cursor)));
    }
  } else {
    static_assert(IsReferenceRecord<T>::value, "no TLV decoding for this member type");
    RequireEndInside(cursor, length);
    out.value1 = ReadU16(cursor);
    out.value2 = ReadU16(cursor);
    out.value3 = ReadU16(cursor);
    const std::uint32_t identifier_length = ReadU32(cursor);
    if (identifier_length < out.identifier.size()) {
      ThrowOutOfRange(error_text::kRecordLengthSmallerThanExpected);
    }
    ReadId(cursor, out.identifier);
    Skip(cursor, identifier_length - out.identifier.size());
  }
}

}  // namespace detail

// Fills the members of one element, bounded by the element's end offset. Applied to the members
// in declaration order (directly or through the structure's visit), each member looks at the next
// tag: its own data id yields its value, another member's data id leaves it absent and keeps the
// tag for the next member, an unlisted data id is skipped.
class MemberReader {
 public:
  MemberReader(ReadCursor& cursor, std::size_t end, std::span<const std::uint16_t> tags)
      : cursor_(cursor), end_(end), tags_(tags) {}

  template <typename T>
  void operator()(ara::core::Optional<T>& member, std::uint16_t expected_tag) {
    const std::uint16_t expected_id = TagDataId(expected_tag);
    while (!AtEnd()) {
      const std::size_t tag_position = cursor_.position;
      const std::uint16_t tag = detail::ReadU16(cursor_);
      const std::uint16_t id = TagDataId(tag);
      if (id == expected_id) {
        ReadMember(member, TagWireType(tag), TagWireType(expected_tag));
        return;
      }
      if (IsKnown(id)) {
        // A later member's tag: this member is absent and the tag is read again for the next one.
        cursor_.position = tag_position;
        return;
      }
      if (tags_.empty()) {
        detail::ThrowRuntime(error_text::kNoTagList);
      }
      SkipMember(TagWireType(tag));
    }
  }

 private:
  bool AtEnd() const { return cursor_.position >= cursor_.data.size() || cursor_.position >= end_; }

  bool IsKnown(std::uint16_t id) const {
    return std::any_of(tags_.begin(), tags_.end(), [id](std::uint16_t tag) { return TagDataId(tag) == id; });
  }

  std::uint64_t ReadMemberLength(WireType wire_type) {
    if (!CarriesLengthField(wire_type)) {
      return ImpliedValueSize(wire_type);
    }
    return detail::ReadUnsigned(cursor_, LengthFieldSize(wire_type));
  }

  void SkipMember(WireType wire_type) { detail::Skip(cursor_, ReadMemberLength(wire_type)); }

  template <typename T>
  void ReadMember(ara::core::Optional<T>& member, WireType received, WireType expected) {
    // Any length-carrying wire type stands for any other; the fixed-size ones must match exactly.
    if (received != expected && !(CarriesLengthField(received) && CarriesLengthField(expected))) {
      detail::ThrowRuntime(error_text::kInvalidWireType);
    }
    const std::uint64_t length = ReadMemberLength(received);
    const std::size_t start = cursor_.position;
    T value{};
    detail::ReadValue(cursor_, value, length);
    member = std::move(value);
    const std::size_t consumed = cursor_.position - start;
    if (consumed > length) {
      detail::ThrowOutOfRange(error_text::kRecordLengthTooSmall);
    }
    detail::Skip(cursor_, length - consumed);
  }

  ReadCursor& cursor_;
  std::size_t end_;
  std::span<const std::uint16_t> tags_;
};

namespace detail {

// The number of elements whose lengths lie inside [position, end), walking only their length
// prefixes. Stops quietly at the first one that does not fit: the decoding loop reports it.
inline std::size_t CountElements(const ReadCursor& cursor, std::size_t end) {
  std::size_t count = 0;
  std::size_t position = cursor.position;
  while (end - position >= 4) {
    const std::uint8_t* b = cursor.data.data() + position;
    const std::uint64_t length =
        (std::uint64_t{b[0]} << 24) | (std::uint64_t{b[1]} << 16) | (std::uint64_t{b[2]} << 8) | std::uint64_t{b[3]};
    if (length > end - position - 4) {
      break;
    }
    position += 4 + static_cast<std::size_t>(length);
    ++count;
  }
  return count;
}

// The array-of-elements loop shared by every field decoder; decode_members(reader, element) fills
// one element. Each element is appended only once its length has been checked.
template <typename T, typename DecodeMembers>
void DeserializeElements(ReadCursor& cursor, std::vector<T>& value, DecodeMembers&& decode_members) {
  const std::uint32_t array_length = ReadU32(cursor);
  const std::size_t array_start = cursor.position;
  RequireEndInside(cursor, array_length);
  const std::size_t array_end = array_start + array_length;
  // One allocation for the whole array, sized by elements whose lengths were checked against the
  // array, which lies inside the payload.
  value.reserve(value.size() + CountElements(cursor, array_end));
  while (cursor.position < array_end) {
    const std::uint32_t element_length = ReadU32(cursor);
    const std::size_t element_start = cursor.position;
    RequireEndInside(cursor, element_length);
    const std::size_t element_end = element_start + element_length;
    T& element = value.emplace_back();
    MemberReader reader(cursor, element_end, T::get_tlv_tags());
    decode_members(reader, element);
    if (cursor.position - element_start > element_length) {
      ThrowOutOfRange(error_text::kRecordLengthTooSmall);
    }
    cursor.position = element_end;  // unread members the receiver does not know
  }
  if (cursor.position - array_start > array_length) {
    ThrowOutOfRange(error_text::kRecordLengthTooSmall);
  }
}

}  // namespace detail

// Decodes one field value at the cursor and appends its elements to `value` (empty on entry from
// every caller). On failure it throws std::out_of_range, std::runtime_error or std::overflow_error
// (texts in errors.h); `value` then holds a partial result that the caller must discard.
template <ElementStructure T>
void deserialize_field_value(ReadCursor& cursor, std::vector<T>& value) {
  detail::DeserializeElements(cursor, value, [](MemberReader& reader, T& element) { element.visit(reader); });
}

// Decodes a whole payload into a field value; bytes after the field value are not looked at.
template <ElementStructure T>
std::vector<T> decode_field_value(std::span<const std::uint8_t> payload) {
  ReadCursor cursor{payload, 0};
  std::vector<T> value;
  deserialize_field_value(cursor, value);  // unqualified: picks a structure's own decoder if it has one
  return value;
}

}  // namespace zrt::services::tlv
