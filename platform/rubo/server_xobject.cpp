#include "rubo/server_xobject.h"

namespace rubo {

ServerXObject::ServerXObject(const ara::rest::Uuid& uuid, const ara::rest::Uri& uri, std::string name)
    : BaseXObject(uuid, uri, std::move(name)) {}
ServerXObject::~ServerXObject() = default;

void ServerXObject::SetPreGetCallback(PreGetCallback callback) {
  std::lock_guard lock(hookMutex_);
  preGet_ = std::move(callback);
  hasPreGet_.store(static_cast<bool>(preGet_), std::memory_order_release);
}
PreGetCallback ServerXObject::GetPreGetCallback() const {
  if (!hasPreGet_.load(std::memory_order_acquire)) {
    return {};
  }
  std::lock_guard lock(hookMutex_);
  return preGet_;
}
void ServerXObject::SetPreUpdateCallback(PreUpdateCallback callback) {
  std::lock_guard lock(hookMutex_);
  preUpdate_ = std::move(callback);
}
PreUpdateCallback ServerXObject::GetPreUpdateCallback() const {
  std::lock_guard lock(hookMutex_);
  return preUpdate_;
}

XObjectEndpoint::XObjectEndpoint(const ara::rest::Uuid& uuid, const ara::rest::Uri& uri, std::string name)
    : ServerXObject(uuid, uri, std::move(name)) {}
XObjectEndpoint::~XObjectEndpoint() = default;

ServerElement::ServerElement(const ara::rest::Uuid& uuid, const ara::rest::Uri& uri, std::string name)
    : XObjectEndpoint(uuid, uri, std::move(name)) {}
ServerElement::~ServerElement() = default;

}  // namespace rubo
