#include "rubo/server_resource.h"

#include "ara/rest/allocator.h"
#include "ara/rest/ogm.h"

namespace rubo {

ServerResource::ServerResource(const ara::rest::Uuid& uuid, const ara::rest::Uri& uri, std::string name)
    : XObjectEndpoint(uuid, uri, std::move(name)) {
  AddField<ara::rest::ogm::String>("description");
}

ServerResource::~ServerResource() = default;

void ServerResource::SetDescription(const std::string& description) {
  AddField<ara::rest::ogm::String>("description");
  SetFieldValue<ara::rest::ogm::String>("description", description, false);
}

std::shared_ptr<ServerElement> ServerResource::MakeElement(const ara::rest::Uuid& uuid, const ara::rest::Uri& uri,
                                                           std::string name) {
  return MakeObject<ServerElement>(uuid, uri, std::move(name));
}

std::shared_ptr<BaseXObject> ServerResource::FindByUuidRecursive(const std::string& uuid) const {
  return FindChildByUuid(uuid);
}

std::shared_ptr<BaseXObject> ServerResource::FindByUriRecursive(const std::string& uri) const {
  return FindChildByUri(uri);
}

std::shared_ptr<BaseXObject> ServerResource::FindByNameRecursive(const std::string& name) const {
  return FindChildByName(name);
}

}  // namespace rubo
