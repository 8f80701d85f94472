#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "ara/rest/ogm.h"
#include "ara/rest/uri.h"
#include "ara/rest/uuid.h"
#include "rubo/base_type.h"
#include "rubo/server_reply.h"

namespace rubo {

// Request hooks of a served object.
// Pre-GET: true lets the read go on; false ends the request with the reply the hook sent
// (500 when it sent none).
using PreGetCallback = std::function<bool(std::shared_ptr<BaseXObject>, ServerReply&)>;
// Pre-update (POST): true lets the framework apply the body; false ends the request with
// the reply the hook sent (500 when it sent none).
using PreUpdateCallback =
    std::function<bool(std::shared_ptr<BaseXObject>, const ara::rest::ogm::Object&, ServerReply&)>;

class ServerXObject : public BaseXObject {
 public:
  ServerXObject(const ara::rest::Uuid& uuid, const ara::rest::Uri& uri, std::string name);
  ~ServerXObject() override;

  void SetPreGetCallback(PreGetCallback callback);
  PreGetCallback GetPreGetCallback() const;
  void SetPreUpdateCallback(PreUpdateCallback callback);
  PreUpdateCallback GetPreUpdateCallback() const;

 private:
  mutable std::mutex hookMutex_;
  // Whether preGet_ is set, read without the lock: a GET of an object without the hook takes
  // no lock for it.
  std::atomic<bool> hasPreGet_{false};
  PreGetCallback preGet_;
  PreUpdateCallback preUpdate_;
};

class XObjectEndpoint : public ServerXObject {
 public:
  XObjectEndpoint(const ara::rest::Uuid& uuid, const ara::rest::Uri& uri, std::string name);
  ~XObjectEndpoint() override;
};

// An element of a collection. Renders through ToOGM (virtual, so elements may expand links).
class ServerElement : public XObjectEndpoint {
 public:
  ServerElement(const ara::rest::Uuid& uuid, const ara::rest::Uri& uri, std::string name);
  ~ServerElement() override;
  int GetXObjectType() const override { return kXObjectTypeElement; }
};

}  // namespace rubo
