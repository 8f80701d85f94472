#include "rubo/detail/http_parser.h"

#include <algorithm>
#include <limits>

namespace rubo::detail {

namespace {

bool IsTokenChar(unsigned char c) {
  if (c >= '0' && c <= '9') {
    return true;
  }
  if ((c | 0x20) >= 'a' && (c | 0x20) <= 'z') {
    return true;
  }
  switch (c) {
    case '!':
    case '#':
    case '$':
    case '%':
    case '&':
    case '\'':
    case '*':
    case '+':
    case '-':
    case '.':
    case '^':
    case '_':
    case '`':
    case '|':
    case '~':
      return true;
    default:
      return false;
  }
}

bool IsToken(std::string_view text) {
  return !text.empty() &&
         std::all_of(text.begin(), text.end(), [](char c) { return IsTokenChar(static_cast<unsigned char>(c)); });
}

// Field values and chunk extensions: visible characters, obs-text, space and tab.
bool IsFieldText(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char ch) {
    const auto c = static_cast<unsigned char>(ch);
    return c == '\t' || (c >= 0x20 && c != 0x7f);
  });
}

bool IsWhite(char c) {
  return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsWhite(text.front())) {
    text.remove_prefix(1);
  }
  while (!text.empty() && IsWhite(text.back())) {
    text.remove_suffix(1);
  }
  return text;
}

// Calls f with each trimmed, non-empty member of a comma-separated list.
template <typename F>
void ForEachListMember(std::string_view list, F f) {
  while (!list.empty()) {
    const auto comma = list.find(',');
    const auto member = Trim(list.substr(0, comma));
    if (!member.empty()) {
      f(member);
    }
    if (comma == std::string_view::npos) {
      break;
    }
    list.remove_prefix(comma + 1);
  }
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') {
    return c - '0';
  }
  if ((c | 0x20) >= 'a' && (c | 0x20) <= 'f') {
    return (c | 0x20) - 'a' + 10;
  }
  return -1;
}

constexpr std::string_view kHttpPrefix = "HTTP/";

bool IsRegNameChar(unsigned char c) {
  // unreserved, sub-delims and the percent of an escape (RFC 3986 reg-name)
  if (c >= '0' && c <= '9') {
    return true;
  }
  if ((c | 0x20) >= 'a' && (c | 0x20) <= 'z') {
    return true;
  }
  switch (c) {
    case '-':
    case '.':
    case '_':
    case '~':
    case '!':
    case '$':
    case '&':
    case '\'':
    case '(':
    case ')':
    case '*':
    case '+':
    case ',':
    case ';':
    case '=':
    case '%':
      return true;
    default:
      return false;
  }
}

// host [":" port] as Host carries it (and the absolute form's authority): a reg-name or IPv4
// literal, or an IPv6 literal in brackets; no user information; a port of digits.
bool IsAuthority(std::string_view text) {
  std::string_view host = text;
  std::string_view port;
  if (!text.empty() && text.front() == '[') {
    const auto close = text.find(']');
    if (close == std::string_view::npos || close == 1) {
      return false;
    }
    const auto literal = text.substr(1, close - 1);
    if (!std::all_of(literal.begin(), literal.end(),
                     [](char c) { return c == ':' || c == '.' || HexDigit(c) >= 0 || (c | 0x20) == 'v'; })) {
      return false;
    }
    const auto rest = text.substr(close + 1);
    if (!rest.empty() && rest.front() != ':') {
      return false;
    }
    port = rest.empty() ? rest : rest.substr(1);
    host = {};
  } else if (const auto colon = text.rfind(':'); colon != std::string_view::npos) {
    host = text.substr(0, colon);
    port = text.substr(colon + 1);
  }
  if (port.size() > 5 || !std::all_of(port.begin(), port.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    return false;
  }
  return std::all_of(host.begin(), host.end(), [](char c) { return IsRegNameChar(static_cast<unsigned char>(c)); });
}

}  // namespace

bool EqualsNoCase(std::string_view a, std::string_view b) noexcept {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return (x >= 'A' && x <= 'Z' ? x | 0x20 : x) == (y >= 'A' && y <= 'Z' ? y | 0x20 : y);
         });
}

void RequestParser::Reset() {
  state_ = State::kHeader;
  request_.method = Method::kOther;
  request_.target.clear();
  request_.versionMinor = 1;
  request_.keepAlive = true;
  request_.expectContinue = false;
  request_.body.clear();
  scanned_ = 0;
  headerBytes_ = 0;
  fields_ = 0;
  framingBytes_ = 0;
  contentLength_ = 0;
  remaining_ = 0;
  started_ = false;
  sawRequestLine_ = false;
  sawContentLength_ = false;
  chunked_ = false;
  connectionClose_ = false;
  connectionKeepAlive_ = false;
  hosts_ = 0;
  sawContentType_ = false;
  request_.contentType.clear();
  errorStatus_ = 0;
  errorText_ = "";
}

std::size_t RequestParser::Fail(std::uint16_t status, const char* text) {
  state_ = State::kFailed;
  errorStatus_ = status;
  errorText_ = text;
  return 0;
}

std::size_t RequestParser::Parse(std::string_view input) {
  std::size_t consumed = 0;
  if (!input.empty()) {
    started_ = true;
  }
  for (;;) {
    const std::string_view rest = input.substr(consumed);
    switch (state_) {
      case State::kHeader: {
        consumed += ParseHeader(rest);
        // Stop after the header so that the caller sees it before the body.
        return consumed;
      }
      case State::kBody: {
        if (!TakeBodyBytes(rest, consumed)) {
          return consumed;
        }
        state_ = State::kDone;
        return consumed;
      }
      case State::kChunkLine: {
        const auto used = ParseChunkLine(rest);
        if (used == 0) {
          return consumed;
        }
        consumed += used;
        break;
      }
      case State::kChunkData: {
        if (!TakeBodyBytes(rest, consumed)) {
          return consumed;
        }
        state_ = State::kChunkDataEnd;
        break;
      }
      case State::kChunkDataEnd: {
        if (rest.size() < 2) {
          if (!rest.empty() && rest[0] != '\r') {
            Fail(400, "Bad Request");
          }
          return consumed;
        }
        if (rest[0] != '\r' || rest[1] != '\n') {
          Fail(400, "Bad Request");
          return consumed;
        }
        consumed += 2;
        state_ = State::kChunkLine;
        break;
      }
      case State::kTrailer: {
        const auto used = ParseTrailer(rest);
        consumed += used;
        if (state_ != State::kTrailer || used == 0) {
          return consumed;
        }
        break;
      }
      case State::kDone:
      case State::kFailed:
        return consumed;
    }
  }
}

std::size_t RequestParser::ParseHeader(std::string_view input) {
  // Only the first maxHeaderBytes bytes can belong to the header; looking at no more than
  // those makes the outcome the same however the bytes arrive.
  const std::string_view header = input.substr(0, limits_.maxHeaderBytes);
  for (;;) {
    const auto newline = header.find('\n', scanned_);
    const auto lineEnd = newline == std::string_view::npos ? header.size() : newline;
    // A CR must end a line: one followed by anything else is refused as soon as it is seen.
    const auto cr = header.substr(0, lineEnd).find('\r', scanned_);
    if (cr != std::string_view::npos && cr + 1 < lineEnd) {
      return Fail(400, "Bad Request");
    }
    if (newline == std::string_view::npos) {
      if (input.size() > limits_.maxHeaderBytes) {
        return Fail(431, "Request Header Fields Too Large");
      }
      return 0;
    }
    if (newline == scanned_ || input[newline - 1] != '\r') {
      return Fail(400, "Bad Request");  // a bare LF
    }
    const std::string_view line = input.substr(scanned_, newline - 1 - scanned_);
    scanned_ = newline + 1;
    if (!sawRequestLine_) {
      if (line.empty()) {
        continue;  // empty lines before a request are ignored, within the header limit
      }
      if (!ParseRequestLine(line)) {
        return 0;
      }
      sawRequestLine_ = true;
      continue;
    }
    if (line.empty()) {
      headerBytes_ = scanned_;
      if (!FinishHeader()) {
        return 0;
      }
      return scanned_;
    }
    if (++fields_ > limits_.maxHeaderFields) {
      return Fail(431, "Request Header Fields Too Large");
    }
    if (!ParseField(line, false)) {
      return 0;
    }
  }
}

bool RequestParser::ParseRequestLine(std::string_view line) {
  const auto firstSpace = line.find(' ');
  const auto lastSpace = line.rfind(' ');
  if (firstSpace == std::string_view::npos || lastSpace == firstSpace) {
    Fail(400, "Bad Request");
    return false;
  }
  const auto method = line.substr(0, firstSpace);
  const auto target = line.substr(firstSpace + 1, lastSpace - firstSpace - 1);
  const auto version = line.substr(lastSpace + 1);
  if (!IsToken(method) || target.empty() || !std::all_of(target.begin(), target.end(), [](char ch) {
        const auto c = static_cast<unsigned char>(ch);
        return c > 0x20 && c != 0x7f;
      })) {
    Fail(400, "Bad Request");
    return false;
  }
  if (version.size() != kHttpPrefix.size() + 3 || version.substr(0, kHttpPrefix.size()) != kHttpPrefix ||
      version[kHttpPrefix.size() + 1] != '.' || version[kHttpPrefix.size()] < '0' ||
      version[kHttpPrefix.size()] > '9' || version[kHttpPrefix.size() + 2] < '0' ||
      version[kHttpPrefix.size() + 2] > '9') {
    Fail(400, "Bad Request");
    return false;
  }
  if (version[kHttpPrefix.size()] != '1') {
    Fail(505, "HTTP Version Not Supported");
    return false;
  }
  request_.versionMinor = static_cast<unsigned>(version[kHttpPrefix.size() + 2] - '0');
  if (method == "GET") {
    request_.method = Method::kGet;
  } else if (method == "HEAD") {
    request_.method = Method::kHead;
  } else if (method == "POST") {
    request_.method = Method::kPost;
  } else {
    request_.method = Method::kOther;
  }
  request_.target.assign(target);
  // Any other form (the asterisk, say) is left to routing, which refuses it.
  return request_.target.front() == '/' || request_.target.find("://") == std::string::npos || TakeAbsoluteForm();
}

bool RequestParser::TakeAbsoluteForm() {
  // scheme "://" authority [path-abempty] ["?" query]; only http and https name this server.
  std::string_view target = request_.target;
  const auto schemeEnd = target.find("://");
  const auto scheme = target.substr(0, schemeEnd);
  if (schemeEnd == std::string_view::npos || !(EqualsNoCase(scheme, "http") || EqualsNoCase(scheme, "https"))) {
    Fail(400, "Bad Request");
    return false;
  }
  const auto rest = target.substr(schemeEnd + 3);
  const auto authorityEnd = rest.find_first_of("/?#");
  const auto authority = rest.substr(0, authorityEnd);
  if (authority.empty() || !IsAuthority(authority)) {
    Fail(400, "Bad Request");
    return false;
  }
  const auto pathAndQuery = authorityEnd == std::string_view::npos ? std::string_view{} : rest.substr(authorityEnd);
  if (!pathAndQuery.empty() && pathAndQuery.front() == '#') {
    Fail(400, "Bad Request");
    return false;
  }
  std::string origin = pathAndQuery.empty() || pathAndQuery.front() == '?' ? "/" : "";
  origin.append(pathAndQuery);
  request_.target.swap(origin);
  return true;
}

bool RequestParser::ParseField(std::string_view line, bool trailer) {
  const auto colon = line.find(':');
  if (colon == std::string_view::npos) {
    Fail(400, "Bad Request");
    return false;
  }
  const auto name = line.substr(0, colon);
  const auto value = Trim(line.substr(colon + 1));
  // A token name rules out folded lines and white space before the colon.
  if (!IsToken(name) || !IsFieldText(value)) {
    Fail(400, "Bad Request");
    return false;
  }
  if (trailer) {
    return true;  // trailer fields are checked and bounded, never used
  }
  if (EqualsNoCase(name, "host")) {
    if (!IsAuthority(value)) {
      Fail(400, "Bad Request");
      return false;
    }
    ++hosts_;
  } else if (EqualsNoCase(name, "content-type")) {
    if (sawContentType_) {
      Fail(400, "Bad Request");  // two media types: which one the body is would be a guess
      return false;
    }
    sawContentType_ = true;
    request_.contentType.assign(value);
  } else if (EqualsNoCase(name, "content-length")) {
    if (value.empty() || !std::all_of(value.begin(), value.end(), [](char c) { return c >= '0' && c <= '9'; })) {
      Fail(400, "Bad Request");
      return false;
    }
    if (value.size() > 19) {
      Fail(413, "Payload Too Large");  // beyond any limit, and beyond 64 bits
      return false;
    }
    std::uint64_t length = 0;
    for (const char c : value) {
      length = length * 10 + static_cast<std::uint64_t>(c - '0');
    }
    if (sawContentLength_ && length != contentLength_) {
      Fail(400, "Bad Request");
      return false;
    }
    sawContentLength_ = true;
    contentLength_ = length;
  } else if (EqualsNoCase(name, "transfer-encoding")) {
    if (chunked_) {
      Fail(400, "Bad Request");  // chunked twice, or a coding after chunked
      return false;
    }
    bool onlyChunked = false;
    bool other = false;
    ForEachListMember(value, [&](std::string_view coding) {
      if (EqualsNoCase(coding, "chunked") && !onlyChunked && !other) {
        onlyChunked = true;
      } else {
        other = true;
      }
    });
    if (other || !onlyChunked) {
      Fail(501, "Not Implemented");
      return false;
    }
    chunked_ = true;
  } else if (EqualsNoCase(name, "connection")) {
    ForEachListMember(value, [this](std::string_view option) {
      if (EqualsNoCase(option, "close")) {
        connectionClose_ = true;
      } else if (EqualsNoCase(option, "keep-alive")) {
        connectionKeepAlive_ = true;
      }
    });
  } else if (EqualsNoCase(name, "expect")) {
    if (!EqualsNoCase(value, "100-continue")) {
      Fail(417, "Expectation Failed");
      return false;
    }
    request_.expectContinue = true;
  }
  return true;
}

bool RequestParser::FinishHeader() {
  const bool http11 = request_.versionMinor >= 1;
  if (hosts_ > 1 || (http11 && hosts_ != 1)) {
    Fail(400, "Bad Request");
    return false;
  }
  if (chunked_ && (sawContentLength_ || !http11)) {
    Fail(400, "Bad Request");  // framing two parsers could read differently
    return false;
  }
  if (contentLength_ > limits_.maxBodyBytes) {
    Fail(413, "Payload Too Large");
    return false;
  }
  request_.keepAlive = !connectionClose_ && (http11 || connectionKeepAlive_);
  if (!http11) {
    request_.expectContinue = false;  // HTTP/1.0 clients do not wait for it
  }
  if (chunked_) {
    state_ = State::kChunkLine;
  } else if (contentLength_ > 0) {
    remaining_ = contentLength_;
    request_.body.reserve(static_cast<std::size_t>(contentLength_));
    state_ = State::kBody;
  } else {
    state_ = State::kDone;
  }
  return true;
}

bool RequestParser::TakeBodyBytes(std::string_view input, std::size_t& consumed) {
  const auto take = static_cast<std::size_t>(std::min<std::uint64_t>(remaining_, input.size()));
  request_.body.append(input.data(), take);
  remaining_ -= take;
  consumed += take;
  return remaining_ == 0;
}

std::size_t RequestParser::ParseChunkLine(std::string_view input) {
  const auto newline = input.find('\n');
  if (newline == std::string_view::npos) {
    if (input.size() >= limits_.maxChunkLineBytes) {
      return Fail(413, "Payload Too Large");
    }
    return 0;
  }
  if (newline + 1 > limits_.maxChunkLineBytes) {
    return Fail(413, "Payload Too Large");
  }
  if (newline == 0 || input[newline - 1] != '\r') {
    return Fail(400, "Bad Request");
  }
  const std::string_view line = input.substr(0, newline - 1);
  framingBytes_ += newline + 1;
  std::size_t i = 0;
  std::uint64_t size = 0;
  for (; i < line.size() && HexDigit(line[i]) >= 0; ++i) {
    if (size > (std::numeric_limits<std::uint64_t>::max() >> 4)) {
      return Fail(413, "Payload Too Large");
    }
    size = (size << 4) | static_cast<std::uint64_t>(HexDigit(line[i]));
  }
  if (i == 0) {
    return Fail(400, "Bad Request");
  }
  // Extensions: ';' name ['=' value] ..., read only as far as they must be well-formed text.
  const auto extensions = line.substr(i);
  if (!IsFieldText(extensions) || (!Trim(extensions).empty() && Trim(extensions).front() != ';')) {
    return Fail(400, "Bad Request");
  }
  if (request_.body.size() + framingBytes_ + size > limits_.maxBodyBytes) {
    return Fail(413, "Payload Too Large");
  }
  if (size == 0) {
    state_ = State::kTrailer;
  } else {
    remaining_ = size;
    state_ = State::kChunkData;
  }
  return newline + 1;
}

std::size_t RequestParser::ParseTrailer(std::string_view input) {
  const auto newline = input.find('\n');
  const std::size_t budget = limits_.maxHeaderBytes > headerBytes_ ? limits_.maxHeaderBytes - headerBytes_ : 0;
  if (newline == std::string_view::npos) {
    if (input.size() > budget) {
      return Fail(431, "Request Header Fields Too Large");
    }
    return 0;
  }
  if (newline + 1 > budget) {
    return Fail(431, "Request Header Fields Too Large");
  }
  if (newline == 0 || input[newline - 1] != '\r') {
    return Fail(400, "Bad Request");
  }
  const std::string_view line = input.substr(0, newline - 1);
  headerBytes_ += newline + 1;
  if (line.empty()) {
    state_ = State::kDone;
    return newline + 1;
  }
  if (++fields_ > limits_.maxHeaderFields) {
    return Fail(431, "Request Header Fields Too Large");
  }
  if (!ParseField(line, true)) {
    return 0;
  }
  return newline + 1;
}

}  // namespace rubo::detail
