#include "ara/rest/uri.h"

#include <algorithm>
#include <cctype>
#include <stdexcept>

namespace ara::rest {
namespace {

bool IsSchemeChar(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '+' || c == '-' || c == '.';
}

[[noreturn]] void Invalid(std::string_view text, const char* why) {
  throw std::invalid_argument("Invalid URI '" + std::string(text) + "': " + why);
}

// Characters that may stand in a URI as they are: unreserved, sub-delims, ":", "@", "/",
// "?" and "%" (an existing escape is kept).
bool MayStand(unsigned char c) {
  if (std::isalnum(c) != 0) {
    return true;
  }
  static constexpr std::string_view kAllowed = "-._~!$&'()*+,;=:@/?%[]";
  return kAllowed.find(static_cast<char>(c)) != std::string_view::npos;
}

void AppendEncoded(std::string& out, std::string_view part, bool encode) {
  if (!encode) {
    out.append(part);
    return;
  }
  static constexpr char kHex[] = "0123456789ABCDEF";
  for (char ch : part) {
    const auto c = static_cast<unsigned char>(ch);
    if (MayStand(c)) {
      out.push_back(ch);
    } else {
      out.push_back('%');
      out.push_back(kHex[c >> 4]);
      out.push_back(kHex[c & 0x0f]);
    }
  }
}

}  // namespace

bool Uri::IsEmpty() const noexcept {
  return scheme_.empty() && userInfo_.empty() && host_.empty() && port_.empty() && path_.empty() && query_.empty() &&
         fragment_.empty();
}

std::string Uri::ToString(bool encode) const {
  std::string out;
  if (!scheme_.empty()) {
    out.append(scheme_).append(":");
  }
  if (!host_.empty() || !scheme_.empty()) {
    out.append("//");
    if (!userInfo_.empty()) {
      AppendEncoded(out, userInfo_, encode);
      out.push_back('@');
    }
    out.append(host_);
    if (!port_.empty()) {
      out.append(":").append(port_);
    }
  }
  AppendEncoded(out, path_, encode);
  if (!query_.empty()) {
    out.push_back('?');
    AppendEncoded(out, query_, encode);
  }
  if (!fragment_.empty()) {
    out.push_back('#');
    AppendEncoded(out, fragment_, encode);
  }
  return out;
}

Uri::Builder::Builder(Allocator* allocator) : allocator_(allocator) {}

Uri::Builder::Builder(std::string_view text, Allocator* allocator) : text_(text), allocator_(allocator) {}

Uri Uri::Builder::ToUri() const {
  Uri uri;
  std::string_view rest = text_;

  // fragment and query first: they may hold ':' and '/'
  if (const auto hash = rest.find('#'); hash != std::string_view::npos) {
    uri.fragment_ = rest.substr(hash + 1);
    rest = rest.substr(0, hash);
  }
  if (const auto question = rest.find('?'); question != std::string_view::npos) {
    uri.query_ = rest.substr(question + 1);
    rest = rest.substr(0, question);
  }

  // scheme: letters up to the first ':' that comes before any '/'
  if (const auto colon = rest.find(':');
      colon != std::string_view::npos && colon > 0 && rest.substr(0, colon).find('/') == std::string_view::npos) {
    const auto scheme = rest.substr(0, colon);
    if (std::isalpha(static_cast<unsigned char>(scheme.front())) == 0 ||
        !std::all_of(scheme.begin(), scheme.end(), IsSchemeChar)) {
      Invalid(text_, "bad scheme");
    }
    uri.scheme_ = scheme;
    rest = rest.substr(colon + 1);
  }

  if (rest.starts_with("//")) {
    rest.remove_prefix(2);
    const auto pathStart = rest.find('/');
    std::string_view authority = rest.substr(0, pathStart);
    rest = pathStart == std::string_view::npos ? std::string_view{} : rest.substr(pathStart);
    if (const auto at = authority.rfind('@'); at != std::string_view::npos) {
      uri.userInfo_ = authority.substr(0, at);
      authority = authority.substr(at + 1);
    }
    std::string_view port;
    if (authority.starts_with('[')) {
      const auto close = authority.find(']');
      if (close == std::string_view::npos) {
        Invalid(text_, "unclosed IPv6 literal");
      }
      const auto inner = authority.substr(1, close - 1);
      if (inner.empty() || !std::all_of(inner.begin(), inner.end(), [](char c) {
            return std::isxdigit(static_cast<unsigned char>(c)) != 0 || c == ':' || c == '.';
          })) {
        Invalid(text_, "bad IPv6 literal");
      }
      uri.host_ = authority.substr(0, close + 1);
      const auto after = authority.substr(close + 1);
      if (!after.empty()) {
        if (after.front() != ':') {
          Invalid(text_, "garbage after IPv6 literal");
        }
        port = after.substr(1);
      }
    } else {
      const auto colon = authority.rfind(':');
      uri.host_ = authority.substr(0, colon);
      if (colon != std::string_view::npos) {
        port = authority.substr(colon + 1);
      }
    }
    if (uri.host_.empty()) {
      Invalid(text_, "missing host");
    }
    if (!port.empty()) {
      if (port.size() > 5 || !std::all_of(port.begin(), port.end(), [](char c) { return c >= '0' && c <= '9'; }) ||
          std::stoul(std::string(port)) > 65535) {
        Invalid(text_, "bad port");
      }
      uri.port_ = port;
    }
  }
  uri.path_ = rest;
  return uri;
}

}  // namespace ara::rest
