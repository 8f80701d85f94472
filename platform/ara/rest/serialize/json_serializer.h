#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "ara/rest/allocator.h"
#include "ara/rest/exception.h"
#include "ara/rest/ogm.h"

namespace ara::rest::serialize {

// A text that is not a JSON object this layer accepts.
class ParseException : public Exception {
 public:
  using Exception::Exception;
};

// JSON text <-> object graph.
//  - Keys keep their order; a duplicate key in one object is refused.
//  - An integer literal in the signed 64-bit range is an Int, exactly; a literal with a
//    fraction or an exponent, or an integer outside that range, is a Real.
//  - null is a field without a value; null inside an array is refused.
//  - Nesting deeper than kMaxDepth objects/arrays is refused before it is descended into.
//  - The whole text is read: anything after the object but white space is refused, and so is
//    a NUL byte anywhere.
//  - A Real that is not finite renders as null; texts render as UTF-8 with JSON escapes
//    (invalid UTF-8 bytes become U+FFFD).
class JSONSerializer {
 public:
  static constexpr std::size_t kMaxDepth = 64;

  explicit JSONSerializer(Allocator* allocator = GetDefaultAllocator()) : allocator_(allocator) {}

  // The top-level value must be an object. Throws ParseException.
  Pointer<ogm::Object> Deserialize(std::string_view text) const;

  std::string Serialize(const ogm::Value& value) const;
  // Appends the rendering to out.
  void SerializeTo(const ogm::Value& value, std::string& out) const;

 private:
  [[maybe_unused]] Allocator* allocator_;
};

// The writers Serialize uses, for renderers that build JSON text of their own around them: the
// same bytes, appended to out. Texts are copied in runs between the characters that need an
// escape.
void AppendJsonString(std::string_view text, std::string& out);
void AppendJsonValue(const ogm::Value& value, std::string& out);

}  // namespace ara::rest::serialize
