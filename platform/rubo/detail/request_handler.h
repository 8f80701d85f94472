#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "ara/rest/allocator.h"
#include "ara/rest/ogm.h"
#include "rubo/detail/http_parser.h"
#include "rubo/detail/route_index.h"
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
  const char* allow = "";   // the Allow header of a 405
  bool acceptPost = false;  // a 415: Accept-Post names the media type a POST must have

  void Reset() {
    status = 200;
    body.clear();
    contentType = kJsonContentType;
    allow = "";
    acceptPost = false;
  }
  void SetText(std::uint16_t code, std::string_view text) {
    status = code;
    body.assign(text);
    contentType = kTextContentType;
    allow = "";
    acceptPost = false;
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

// True for a JSON media type ("application/json" or a "+json" suffix, with any parameters).
bool IsJsonMediaType(std::string_view contentType) noexcept;

// Turns requests into responses: routing by each object's current path (through the index), the hooks, rendering
// and the application of accepted bodies. Nothing it calls lets an exception out: a failure
// is answered 500.
class RequestHandler {
 public:
  explicit RequestHandler(Server& root) : root_(root), routes_(root) {}

  // On the connection's I/O thread. Answers into response and returns true, or returns false
  // with update filled when a pre-update hook must run (RunUpdate, on a worker).
  // A POST body must be JSON: any other media type, or none, is answered 415 before a hook runs
  // (a browser sends text/plain and form bodies cross-origin without asking first).
  bool Handle(const ParsedRequest& request, Response& response, PendingUpdate& update) noexcept;

  // For a request that waits for "100 Continue" before it sends its body: true with the final
  // answer in response when the request is refused whatever its body (404, 405, 400, 415).
  bool Refuse(const ParsedRequest& request, Response& response) noexcept;

  // On a worker: the hook, then (when it allows) the application of the body and the
  // rendering of the element. Updates of one element must not run side by side: the caller
  // serialises them from the start of the hook to the end of the application.
  void RunUpdate(PendingUpdate& update, Response& response) noexcept;

 private:
  // Routing: the object at the path of the target, or a response (400, 404).
  std::shared_ptr<BaseXObject> Route(std::string_view target, std::string_view& query, Response& response);
  bool HandleUnchecked(const ParsedRequest& request, Response& response, PendingUpdate& update);
  // For a POST: the 405 or 415 it gets whatever its body (with the element's hook in preUpdate
  // when it gets neither); true when refused.
  static bool RefusePost(const ParsedRequest& request, const BaseXObject& object, PreUpdateCallback& preUpdate,
                         Response& response);
  void RunUpdateUnchecked(PendingUpdate& update, Response& response);

  Server& root_;
  RouteIndex routes_;
};

}  // namespace rubo::detail
