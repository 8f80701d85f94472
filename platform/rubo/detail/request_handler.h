#pragma once

#include <array>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>

namespace rubo {
class Server;
}

namespace rubo::detail {

enum class Method : std::uint8_t { kGet, kPost, kOther };

struct Response {
  std::uint16_t status = 200;
  std::string body;
  std::string contentType = "application/json";
  std::string allow;  // the Allow header of a 405
};

// Turns one request into its response: routing by each object's current path, the hooks,
// rendering and the application of accepted bodies. Never throws.
class RequestHandler {
 public:
  explicit RequestHandler(Server& root) : root_(root) {}

  Response Handle(Method method, std::string_view target, const std::string& body);

 private:
  Response HandleUnchecked(Method method, std::string_view target, const std::string& body);
  std::mutex& ApplyMutexFor(const void* object);

  Server& root_;
  // Bodies applied to one object one after another, so their transactions never nest.
  std::array<std::mutex, 64> applyMutexes_;
};

// Plain-text response.
Response TextResponse(std::uint16_t status, std::string text);

}  // namespace rubo::detail
