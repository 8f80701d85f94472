#pragma once

#include <memory>
#include <string>

#include "ara/rest/allocator.h"
#include "ara/rest/uri.h"
#include "ara/rest/uuid.h"
#include "rubo/container.h"
#include "rubo/server_xobject.h"

namespace rubo {

// A collection ("resource") of elements. Carries the String property "description" from
// construction (empty until set).
class ServerResource : public XObjectEndpoint, public Container<ServerElement> {
 public:
  using Elements = Container<ServerElement>::Children;

  ServerResource(const ara::rest::Uuid& uuid, const ara::rest::Uri& uri, std::string name);
  ~ServerResource() override;

  int GetXObjectType() const override { return kXObjectTypeResource; }

  // Add(element) and Remove(uuid) come from the container.
  // Snapshot of the elements in insertion order.
  Elements GetElements() const { return GetChildren(); }
  // Sets the "description" property.
  void SetDescription(const std::string& description);

  // Makes an element of this collection's kind; the base makes a plain ServerElement.
  virtual std::shared_ptr<ServerElement> MakeElement(const ara::rest::Uuid& uuid, const ara::rest::Uri& uri,
                                                     std::string name);

  using Container<ServerElement>::FindByUuidRecursive;
  using Container<ServerElement>::FindByUriRecursive;
  std::shared_ptr<BaseXObject> FindByUuidRecursive(const std::string& uuid) const override;
  std::shared_ptr<BaseXObject> FindByUriRecursive(const std::string& uri) const override;
  std::shared_ptr<BaseXObject> FindByNameRecursive(const std::string& name) const override;
};

}  // namespace rubo
