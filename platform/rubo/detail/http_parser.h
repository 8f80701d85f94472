#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "rubo/detail/config.h"

namespace rubo::detail {

enum class Method : std::uint8_t { kGet, kHead, kPost, kOther };

// ASCII case-insensitive equality, as header names and tokens compare.
bool EqualsNoCase(std::string_view a, std::string_view b) noexcept;

// One request as the parser leaves it. The strings keep their capacity from request to
// request on one connection.
struct ParsedRequest {
  Method method = Method::kOther;
  std::string target;         // origin form: the absolute form's authority is checked and dropped
  unsigned versionMinor = 1;  // HTTP/1.<minor>
  bool keepAlive = true;
  bool expectContinue = false;
  std::string contentType;  // the Content-Type value, empty without one
  std::string body;         // chunked bodies decoded
};

// Incremental HTTP/1.1 request parser. It reads from the unconsumed input of a connection,
// which the caller keeps until Parse says it was consumed, and it bounds everything it keeps
// or waits for by the Limits: header block and trailers (431), header fields (431), body,
// chunk-size lines and chunk extensions (413). It never throws but for std::bad_alloc.
//
// It is strict where leniency lets two parsers disagree about where a request ends: lines end
// in CRLF, no white space before a field's colon, no folded lines, one Content-Length value,
// Transfer-Encoding only "chunked" and never beside Content-Length.
class RequestParser {
 public:
  enum class State : std::uint8_t {
    kHeader,        // request line and header fields
    kBody,          // Content-Length body
    kChunkLine,     // chunk size and extensions
    kChunkData,     // chunk data
    kChunkDataEnd,  // the CRLF after chunk data
    kTrailer,       // trailer fields after the last chunk
    kDone,          // a complete request
    kFailed,        // see ErrorStatus
  };

  explicit RequestParser(const Limits& limits) : limits_(limits) {}

  // Makes the parser ready for the next request on the connection.
  void Reset();

  // Parses from the start of the unconsumed input (the same bytes as the previous call, plus
  // any that arrived since, minus those consumed) and returns how many bytes are consumed.
  // Returns once more input is needed, once the header is complete (so that the caller may
  // answer an Expect before the body), once the request is complete or on failure.
  std::size_t Parse(std::string_view input);

  State GetState() const noexcept { return state_; }
  bool HeaderComplete() const noexcept { return state_ != State::kHeader && state_ != State::kFailed; }
  // True once any byte of the request arrived (white space before the request line included).
  bool Started() const noexcept { return started_; }
  // The status to answer a failed request with, and its reason.
  std::uint16_t ErrorStatus() const noexcept { return errorStatus_; }
  const char* ErrorText() const noexcept { return errorText_; }

  ParsedRequest& Request() noexcept { return request_; }
  // The header announces a body (a Content-Length above 0, or chunked).
  bool ExpectsBody() const noexcept { return chunked_ || contentLength_ > 0; }

 private:
  std::size_t ParseHeader(std::string_view input);
  std::size_t ParseChunkLine(std::string_view input);
  // Appends the bytes of the Content-Length body or the current chunk that input holds (adding
  // them to consumed); true once all of them are in.
  bool TakeBodyBytes(std::string_view input, std::size_t& consumed);
  std::size_t ParseTrailer(std::string_view input);
  bool ParseRequestLine(std::string_view line);
  // An absolute-form target becomes its origin form; false (failed) for a malformed one.
  bool TakeAbsoluteForm();
  bool ParseField(std::string_view line, bool trailer);
  bool FinishHeader();
  std::size_t Fail(std::uint16_t status, const char* text);

  const Limits& limits_;
  State state_ = State::kHeader;
  ParsedRequest request_;
  std::size_t scanned_ = 0;         // header: bytes of complete lines seen
  std::size_t headerBytes_ = 0;     // header and trailer bytes so far
  std::uint32_t fields_ = 0;        // header and trailer fields so far
  std::uint64_t framingBytes_ = 0;  // chunk-size lines so far
  std::uint64_t contentLength_ = 0;
  std::uint64_t remaining_ = 0;  // of the Content-Length body or the current chunk
  bool started_ = false;
  bool sawRequestLine_ = false;
  bool sawContentLength_ = false;
  bool chunked_ = false;
  bool connectionClose_ = false;
  bool connectionKeepAlive_ = false;
  unsigned hosts_ = 0;
  bool sawContentType_ = false;
  std::uint16_t errorStatus_ = 0;
  const char* errorText_ = "";
};

}  // namespace rubo::detail
