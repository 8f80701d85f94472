#include "tests/platform/rubo/http_test_client.h"

#include <boost/asio/connect.hpp>
#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>

namespace rubo::testing {

namespace http = boost::beast::http;

struct HttpTestClient::Connection {
  explicit Connection(std::chrono::seconds deadline) : stream(io), timeout(deadline) {}

  boost::asio::io_context io;
  boost::beast::tcp_stream stream;
  boost::beast::flat_buffer buffer;
  std::chrono::seconds timeout;
};

HttpTestClient::HttpTestClient(std::uint16_t port, const char* address, std::chrono::seconds timeout)
    : connection_(std::make_unique<Connection>(timeout)) {
  connection_->stream.expires_after(connection_->timeout);
  connection_->stream.connect(boost::asio::ip::tcp::endpoint(boost::asio::ip::make_address(address), port));
}

HttpTestClient::~HttpTestClient() = default;

HttpResult HttpTestClient::Request(http::verb method, const std::string& target, const std::string& body,
                                   const std::string& rawHeaderName, const std::string& rawHeaderValue) {
  http::request<http::string_body> request(method, target, 11);
  request.set(http::field::host, "localhost");
  if (method == http::verb::post || !body.empty()) {
    request.set(http::field::content_type, "application/json");
    request.body() = body;
    request.prepare_payload();
  }
  // Over the defaults; an empty value leaves the field out.
  if (!rawHeaderName.empty() && rawHeaderValue.empty()) {
    request.erase(rawHeaderName);
  } else if (!rawHeaderName.empty()) {
    request.set(rawHeaderName, rawHeaderValue);
  }
  auto& stream = connection_->stream;
  stream.expires_after(connection_->timeout);
  http::write(stream, request);
  http::response_parser<http::string_body> parser;
  stream.expires_after(connection_->timeout);
  http::read(stream, connection_->buffer, parser);
  const auto& response = parser.get();
  HttpResult result;
  result.status = response.result_int();
  result.body = response.body();
  result.contentType = std::string(response[http::field::content_type]);
  result.allow = std::string(response[http::field::allow]);
  result.keepAlive = response.keep_alive();
  return result;
}

void HttpTestClient::WriteRaw(const std::string& bytes) {
  connection_->stream.expires_after(connection_->timeout);
  boost::asio::write(connection_->stream, boost::asio::buffer(bytes));
}

HttpResult HttpTestClient::ReadResponse() {
  http::response_parser<http::string_body> parser;
  connection_->stream.expires_after(connection_->timeout);
  http::read(connection_->stream, connection_->buffer, parser);
  HttpResult result;
  result.status = parser.get().result_int();
  result.body = parser.get().body();
  result.keepAlive = parser.get().keep_alive();
  return result;
}

}  // namespace rubo::testing
