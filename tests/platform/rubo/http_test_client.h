#pragma once

#include <boost/beast/http/verb.hpp>
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

namespace rubo::testing {

struct HttpResult {
  unsigned status = 0;
  std::string body;
  std::string contentType;
  std::string allow;
  bool keepAlive = false;
};

// Blocking HTTP/1.1 client on one kept-alive connection; every operation has a deadline so a
// test never hangs on a server that does not answer. Its Beast machinery lives in one unit, so
// the many tests that use it do not compile it each.
class HttpTestClient {
 public:
  explicit HttpTestClient(std::uint16_t port, const char* address = "::1",
                          std::chrono::seconds timeout = std::chrono::seconds(20));
  ~HttpTestClient();
  HttpTestClient(const HttpTestClient&) = delete;
  HttpTestClient& operator=(const HttpTestClient&) = delete;

  // A body goes as application/json; the raw header field is set over that (an empty value
  // leaves the field out).
  HttpResult Request(boost::beast::http::verb method, const std::string& target, const std::string& body = {},
                     const std::string& rawHeaderName = {}, const std::string& rawHeaderValue = {});

  HttpResult Get(const std::string& target) { return Request(boost::beast::http::verb::get, target); }
  HttpResult Post(const std::string& target, const std::string& body) {
    return Request(boost::beast::http::verb::post, target, body);
  }

  // Writes raw bytes (for requests a well-behaved client would never send).
  void WriteRaw(const std::string& bytes);
  HttpResult ReadResponse();

 private:
  struct Connection;
  std::unique_ptr<Connection> connection_;
};

}  // namespace rubo::testing
