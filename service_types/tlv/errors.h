#pragma once

// Failures of TLV reading and writing. The texts are part of the system's observable behaviour (the
// middleware traces them), so they are kept verbatim in one place.

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>

namespace zrt::services::tlv {

namespace error_text {
// std::out_of_range
inline constexpr std::string_view kReadBeyondEnd = "Read beyond the end of the data buffer";
inline constexpr std::string_view kInvalidEndPosition = "Deserialization calculated invalid end position.";
inline constexpr std::string_view kRecordLengthTooSmall =
    "Violation of [PRS_SOMEIP_00900]: Record length given by sender is too small. This is possibly due to a "
    "mismatch between the data models of sender and receiver.";
inline constexpr std::string_view kRecordLengthSmallerThanExpected =
    "Violation of [PRS_SOMEIP_00900]: Record length provided by sender is smaller than expected. This is possibly "
    "due to a mismatch between the data models of sender and receiver.";
// std::runtime_error
inline constexpr std::string_view kInvalidWireType = "Invalid source tag wire type";
inline constexpr std::string_view kNoTagList =
    "Deserialization of a type in TLV mode, but no tag list generated. This is an error in the generator.";
inline constexpr std::string_view kVectorWithoutLengthField =
    "Vectors must have a length field that deserializer can also deserialize it. Violation of PRS_SOMEIP_00376 & "
    "PRS_SOMEIP_00107!";
// Followed by the three configured sizes, "a,b,c)".
inline constexpr std::string_view kUnequalLengthFieldsPrefix =
    "Violation of COM.PRS_SOMEIP_00215: All length fields must have same size and not be 0 when wire type 4 is "
    "used (";
// std::overflow_error
inline constexpr std::string_view kSizeOverflow = "Deserialization detected std::size_t overflow.";
inline constexpr std::string_view kLengthDoesNotFit =
    "Calculated record length does not fit into configured length field";
}  // namespace error_text

namespace detail {
// The texts above are literals, so their data() is terminated; the exception copies it once.
[[noreturn]] inline void ThrowOutOfRange(std::string_view text) {
  throw std::out_of_range(text.data());
}
[[noreturn]] inline void ThrowRuntime(std::string_view text) {
  throw std::runtime_error(text.data());
}
[[noreturn]] inline void ThrowRuntime(const std::string& text) {
  throw std::runtime_error(text);
}
[[noreturn]] inline void ThrowOverflow(std::string_view text) {
  throw std::overflow_error(text.data());
}
}  // namespace detail

}  // namespace zrt::services::tlv
