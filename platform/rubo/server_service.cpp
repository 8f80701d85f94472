#include "rubo/server_service.h"

#include "ara/rest/ogm.h"
#include "rubo/detail/logger.h"

namespace rubo {

ServerService::ServerService(const ara::rest::Uuid& uuid, const ara::rest::Uri& uri, std::string name)
    : XObjectEndpoint(uuid, uri, std::move(name)) {
  AddField<ara::rest::ogm::String>("description");
}

ServerService::~ServerService() = default;

void ServerService::AddVersion(const std::string& version) {
  std::lock_guard lock(mutex_);
  versions_.push_back(version);
}

std::vector<std::string> ServerService::GetVersions() const {
  std::lock_guard lock(mutex_);
  return versions_;
}

bool ServerService::Register(const UriList& uris) {
  std::string where;
  for (const auto& uri : uris) {
    where += where.empty() ? "" : ", ";
    where += uri.ToString(false);
  }
  {
    std::lock_guard lock(mutex_);
    registered_ = true;
    registeredUris_ = uris;
  }
  detail::FrameworkLogger().LogInfo() << "[Rubo] Registry: service " << GetUri().ToString(false) << " registered at ["
                                      << where << "]";
  return true;
}

bool ServerService::Deregister() {
  {
    std::lock_guard lock(mutex_);
    registered_ = false;
    registeredUris_.clear();
  }
  detail::FrameworkLogger().LogInfo() << "[Rubo] Registry: service " << GetUri().ToString(false) << " deregistered";
  return true;
}

bool ServerService::IsRegistered() const {
  std::lock_guard lock(mutex_);
  return registered_;
}

UriList ServerService::GetRegisteredUris() const {
  std::lock_guard lock(mutex_);
  return registeredUris_;
}

std::shared_ptr<BaseXObject> ServerService::FindByUuidRecursive(const std::string& uuid) const {
  return FindChildByUuid(uuid);
}

std::shared_ptr<BaseXObject> ServerService::FindByUriRecursive(const std::string& uri) const {
  return FindChildByUri(uri);
}

std::shared_ptr<BaseXObject> ServerService::FindByNameRecursive(const std::string& name) const {
  return FindChildByName(name);
}

}  // namespace rubo
