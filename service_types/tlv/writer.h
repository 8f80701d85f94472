#pragma once

// Writing element structures and whole field values. Every length is computed before the bytes it
// counts, so the payload is produced in one forward pass. Strings and reference records are written
// in the form the reader expects, so that everything written reads back equal.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <type_traits>
#include <vector>

#include "ara/core/optional.h"
#include "service_types/tlv/errors.h"
#include "service_types/tlv/structure.h"
#include "service_types/tlv/wire.h"

namespace zrt::services::tlv {

namespace detail {

inline std::uint32_t ToLengthField(std::size_t length) {
  if (length > std::size_t{0xFFFFFFFFu}) {
    ThrowOverflow(error_text::kLengthDoesNotFit);
  }
  return static_cast<std::uint32_t>(length);
}

inline void CheckVectorLengthField(const SerializationSettings& settings = kSettings) {
  if (settings.member_length_field_size == 0) {
    ThrowRuntime(error_text::kVectorWithoutLengthField);
  }
}

// Bytes of a member's value, without tag and length field.
template <typename T>
std::size_t ValueSize(const T& value) {
  if constexpr (std::is_same_v<T, bool> || std::is_same_v<T, std::uint8_t>) {
    return 1;
  } else if constexpr (std::is_same_v<T, std::uint16_t>) {
    return 2;
  } else if constexpr (FourByteScalar<T>) {
    return 4;
  } else if constexpr (std::is_same_v<T, std::uint64_t>) {
    return 8;
  } else if constexpr (std::is_same_v<T, Id16>) {
    return value.size();
  } else if constexpr (std::is_same_v<T, std::string>) {
    return value.size();
  } else if constexpr (IsVector<T>::value) {
    return 4 * value.size();
  } else {
    static_assert(IsReferenceRecord<T>::value, "no TLV encoding for this member type");
    return kReferenceRecordSize;
  }
}

struct SizeVisitor {
  std::size_t body = 0;

  template <typename T>
  void operator()(const ara::core::Optional<T>& member, std::uint16_t tag) {
    if (member.has_value()) {
      body += 2 + (CarriesLengthField(TagWireType(tag)) ? 4 : 0) + ValueSize(*member);
    }
  }
};

// Appends to a buffer that was sized beforehand.
class ByteWriter {
 public:
  explicit ByteWriter(std::uint8_t* next) : next_(next) {}

  void Put(std::uint64_t value, std::size_t size) {
    for (std::size_t i = size; i > 0; --i) {
      *next_++ = static_cast<std::uint8_t>(value >> (8 * (i - 1)));
    }
  }
  void PutBytes(const void* bytes, std::size_t size) {
    if (size != 0) {
      std::memcpy(next_, bytes, size);
      next_ += size;
    }
  }

 private:
  std::uint8_t* next_;
};

template <typename T>
void WriteValue(ByteWriter& out, const T& value) {
  if constexpr (std::is_same_v<T, bool>) {
    out.Put(value ? 1 : 0, 1);
  } else if constexpr (std::is_same_v<T, std::uint8_t> || std::is_same_v<T, std::uint16_t> ||
                       std::is_same_v<T, std::uint32_t> || std::is_same_v<T, std::uint64_t>) {
    out.Put(value, sizeof(T));
  } else if constexpr (EnumU32<T>) {
    out.Put(static_cast<std::uint32_t>(value), 4);
  } else if constexpr (std::is_same_v<T, float>) {
    out.Put(std::bit_cast<std::uint32_t>(value), 4);
  } else if constexpr (std::is_same_v<T, Id16>) {
    out.PutBytes(value.data(), value.size());
  } else if constexpr (std::is_same_v<T, std::string>) {
    out.PutBytes(value.data(), value.size());
  } else if constexpr (IsVector<T>::value) {
    for (const auto element : value) {
      out.Put(static_cast<std::uint32_t>(element), 4);
    }
  } else {
    static_assert(IsReferenceRecord<T>::value, "no TLV encoding for this member type");
    out.Put(value.value1, 2);
    out.Put(value.value2, 2);
    out.Put(value.value3, 2);
    out.Put(value.identifier.size(), 4);
    out.PutBytes(value.identifier.data(), value.identifier.size());
  }
}

struct WriteVisitor {
  ByteWriter& out;

  template <typename T>
  void operator()(const ara::core::Optional<T>& member, std::uint16_t tag) {
    if (!member.has_value()) {
      return;  // absent members leave no trace on the wire
    }
    if constexpr (IsVector<T>::value) {
      CheckVectorLengthField();
    }
    out.Put(tag, 2);
    if (CarriesLengthField(TagWireType(tag))) {
      out.Put(ToLengthField(ValueSize(*member)), 4);
    }
    WriteValue(out, *member);
  }
};

}  // namespace detail

// Bytes of an element's members (what its structure length field announces).
template <ElementStructure T>
std::size_t element_body_size(const T& element) {
  detail::SizeVisitor size;
  element.visit(size);
  return size.body;
}

// Appends one field value (array length, then each element as its length and its present members
// in declaration order) to `out`. Throws std::overflow_error when a length exceeds its 4-byte field.
template <ElementStructure T>
void serialize_field_value(const std::vector<T>& value, std::vector<std::uint8_t>& out) {
  std::size_t elements = 0;
  for (const T& element : value) {
    elements += element_body_size(element) + 4;
  }
  const std::uint32_t array_length = detail::ToLengthField(elements);
  const std::size_t start = out.size();
  out.resize(start + 4 + elements);
  detail::ByteWriter writer(out.data() + start);
  writer.Put(array_length, 4);
  for (const T& element : value) {
    writer.Put(detail::ToLengthField(element_body_size(element)), 4);
    detail::WriteVisitor visitor{writer};
    element.visit(visitor);
  }
}

// The complete payload of a field value.
template <ElementStructure T>
std::vector<std::uint8_t> encode_field_value(const std::vector<T>& value) {
  std::vector<std::uint8_t> out;
  serialize_field_value(value, out);
  return out;
}

}  // namespace zrt::services::tlv
