#pragma once

#include <string>
#include <string_view>

#include "ara/rest/allocator.h"

namespace ara::rest {

// A URI as its parts: [scheme "://" [userinfo "@"] host [":" port]] path ["?" query] ["#" fragment].
// A host may be an IPv6 literal in brackets ("http://[::1]/"); it is kept with its brackets.
class Uri {
 public:
  class Builder;

  Uri() = default;

  bool IsEmpty() const noexcept;
  // The URI as text. With encode true, characters that may not stand in a URI as they are
  // (blanks, controls, non-ASCII, ...) are percent-encoded; with false the parts are joined
  // as they are.
  std::string ToString(bool encode = false) const;

  const std::string& GetScheme() const noexcept { return scheme_; }
  const std::string& GetUserInfo() const noexcept { return userInfo_; }
  const std::string& GetHost() const noexcept { return host_; }
  const std::string& GetPort() const noexcept { return port_; }
  const std::string& GetPath() const noexcept { return path_; }
  const std::string& GetQuery() const noexcept { return query_; }
  const std::string& GetFragment() const noexcept { return fragment_; }

  friend bool operator==(const Uri&, const Uri&) = default;

 private:
  friend class Builder;
  std::string scheme_;
  std::string userInfo_;
  std::string host_;
  std::string port_;
  std::string path_;
  std::string query_;
  std::string fragment_;
};

// Builds a Uri from a text; with no text it builds the empty Uri.
class Uri::Builder {
 public:
  explicit Builder(Allocator* allocator = GetDefaultAllocator());
  explicit Builder(std::string_view text, Allocator* allocator = GetDefaultAllocator());

  // Throws std::invalid_argument for a text that is not a URI (for example an unclosed
  // IPv6 bracket, a non-numeric port, a missing host after "//").
  Uri ToUri() const;

 private:
  std::string text_;
  [[maybe_unused]] Allocator* allocator_;
};

}  // namespace ara::rest
