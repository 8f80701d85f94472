#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "ara/rest/allocator.h"
#include "ara/rest/uri.h"
#include "ara/rest/uuid.h"
#include "rubo/container.h"
#include "rubo/server_resource.h"
#include "rubo/server_xobject.h"

namespace rubo {

using UriList = ara::rest::Vector<ara::rest::Uri>;

// A service with its collections. Carries the String property "description" from
// construction (empty until set).
class ServerService : public XObjectEndpoint, public Container<ServerResource> {
 public:
  ServerService(const ara::rest::Uuid& uuid, const ara::rest::Uri& uri, std::string name);
  ~ServerService() override;

  int GetXObjectType() const override { return kXObjectTypeService; }
  bool IsLocal() const noexcept { return true; }

  // Add(collection) and Remove(uuid) come from the container.
  void AddVersion(const std::string& version);
  std::vector<std::string> GetVersions() const;

  // Registry: records that the service is announced at these URIs (or withdrawn) and logs
  // it in the framework's context. Any thread, also while serving; serving does not depend
  // on it. True when the state was recorded.
  bool Register(const UriList& uris);
  bool Deregister();
  bool IsRegistered() const;
  UriList GetRegisteredUris() const;

  using Container<ServerResource>::FindByUuidRecursive;
  using Container<ServerResource>::FindByUriRecursive;
  std::shared_ptr<BaseXObject> FindByUuidRecursive(const std::string& uuid) const override;
  std::shared_ptr<BaseXObject> FindByUriRecursive(const std::string& uri) const override;
  std::shared_ptr<BaseXObject> FindByNameRecursive(const std::string& name) const override;

 private:
  mutable std::mutex mutex_;
  std::vector<std::string> versions_;
  bool registered_ = false;
  UriList registeredUris_;
};

}  // namespace rubo
