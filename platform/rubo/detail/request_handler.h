#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "ara/rest/allocator.h"
#include "ara/rest/ogm.h"
#include "rubo/detail/http_parser.h"
#include "rubo/server_xobject.h"

namespace rubo {
class Server;
}

namespace rubo::detail {

inline constexpr const char* kJsonContentType = "application/json";
inline constexpr const char* kTextContentType = "text/plain; charset=utf-8";

// The answer to one request. A connection keeps one and reuses its body's capacity.
struct Response {
  std::uint16_t status = 200;
  std::string body;
  const char* contentType = kJsonContentType;
  const char* allow = "";  // the Allow header of a 405

  void Reset() {
    status = 200;
    body.clear();
    contentType = kJsonContentType;
    allow = "";
  }
  void SetText(std::uint16_t code, std::string_view text) {
    status = code;
    body.assign(text);
    contentType = kTextContentType;
    allow = "";
  }
};

// A POST whose pre-update hook must run on a worker (it may wait for the vehicle).
struct PendingUpdate {
  std::shared_ptr<BaseXObject> object;
  PreUpdateCallback hook;
  ara::rest::Pointer<ara::rest::ogm::Object> body;

  void Clear() {
    object.reset();
    hook = nullptr;
    body.reset();
  }
};

// Turns requests into responses: routing by each object's current path, the hooks, rendering
// and the application of accepted bodies. Nothing it calls lets an exception out: a failure
// is answered 500.
class RequestHandler {
 public:
  explicit RequestHandler(Server& root) : root_(root) {}

  // On the connection's I/O thread. Answers into response and returns true, or returns false
  // with update filled when a pre-update hook must run (RunUpdate, on a worker).
  bool Handle(Method method, std::string_view target, const std::string& body, Response& response,
              PendingUpdate& update) noexcept;

  // For a request that waits for "100 Continue" before it sends its body: true with the final
  // answer in response when the request is refused whatever its body (404, 405, 400).
  bool Refuse(Method method, std::string_view target, Response& response) noexcept;

  // On a worker: the hook, then (when it allows) the application of the body and the
  // rendering of the element. Updates of one element must not run side by side: the caller
  // serialises them from the start of the hook to the end of the application.
  void RunUpdate(PendingUpdate& update, Response& response) noexcept;

 private:
  // Routing: the object at the path of the target, or a response (400, 404).
  std::shared_ptr<BaseXObject> Route(std::string_view target, std::string_view& query, Response& response);
  bool HandleUnchecked(Method method, std::string_view target, const std::string& body, Response& response,
                       PendingUpdate& update);
  void RunUpdateUnchecked(PendingUpdate& update, Response& response);

  Server& root_;
};

}  // namespace rubo::detail
