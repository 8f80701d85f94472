#pragma once

#include <boost/asio/connect.hpp>
#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>
#include <chrono>
#include <cstdint>
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
// test never hangs on a server that does not answer.
class HttpTestClient {
 public:
  explicit HttpTestClient(std::uint16_t port, const char* address = "::1",
                          std::chrono::seconds timeout = std::chrono::seconds(20))
      : stream_(io_), timeout_(timeout) {
    stream_.expires_after(timeout_);
    stream_.connect(boost::asio::ip::tcp::endpoint(boost::asio::ip::make_address(address), port));
  }

  HttpResult Request(boost::beast::http::verb method, const std::string& target, const std::string& body = {},
                     const std::string& rawHeaderName = {}, const std::string& rawHeaderValue = {}) {
    namespace http = boost::beast::http;
    http::request<http::string_body> request(method, target, 11);
    request.set(http::field::host, "localhost");
    if (!rawHeaderName.empty()) {
      request.set(rawHeaderName, rawHeaderValue);
    }
    if (method == http::verb::post || !body.empty()) {
      request.set(http::field::content_type, "application/json");
      request.body() = body;
      request.prepare_payload();
    }
    stream_.expires_after(timeout_);
    http::write(stream_, request);
    http::response_parser<http::string_body> parser;
    stream_.expires_after(timeout_);
    http::read(stream_, buffer_, parser);
    const auto& response = parser.get();
    HttpResult result;
    result.status = response.result_int();
    result.body = response.body();
    result.contentType = std::string(response[http::field::content_type]);
    result.allow = std::string(response[http::field::allow]);
    result.keepAlive = response.keep_alive();
    return result;
  }

  HttpResult Get(const std::string& target) { return Request(boost::beast::http::verb::get, target); }
  HttpResult Post(const std::string& target, const std::string& body) {
    return Request(boost::beast::http::verb::post, target, body);
  }

  // Writes raw bytes (for requests a well-behaved client would never send).
  void WriteRaw(const std::string& bytes) {
    stream_.expires_after(timeout_);
    boost::asio::write(stream_, boost::asio::buffer(bytes));
  }
  HttpResult ReadResponse() {
    namespace http = boost::beast::http;
    http::response_parser<http::string_body> parser;
    stream_.expires_after(timeout_);
    http::read(stream_, buffer_, parser);
    HttpResult result;
    result.status = parser.get().result_int();
    result.body = parser.get().body();
    result.keepAlive = parser.get().keep_alive();
    return result;
  }

 private:
  boost::asio::io_context io_;
  boost::beast::tcp_stream stream_;
  boost::beast::flat_buffer buffer_;
  std::chrono::seconds timeout_;
};

}  // namespace rubo::testing
