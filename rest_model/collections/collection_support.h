#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "ara/rest/allocator.h"
#include "ara/rest/uri.h"
#include "rubo/base_type.h"
#include "rubo/server_resource.h"
#include "rubo/server_xobject.h"

namespace rubo::server {

ara::rest::Uri PathUri(std::string_view path);

// Sets the "description" property and hands the parsed JSON description to the framework.
void Describe(rubo::ServerXObject& object, std::string_view description, const std::string& json);

// Description texts and the default pre-GET callback of the named collection.
void DescribeCollection(rubo::ServerResource& collection, std::string_view name);

// The collection's elements of class E, in collection order. An element of another class is
// skipped rather than cast blindly.
template <typename E>
ara::rest::Vector<std::shared_ptr<E>> ElementsOf(const rubo::ServerResource& collection) {
  ara::rest::Vector<std::shared_ptr<E>> typed;
  for (const auto& element : collection.GetElements()) {
    if (auto cast = std::dynamic_pointer_cast<E>(element)) {
      typed.push_back(std::move(cast));
    }
  }
  return typed;
}

}  // namespace rubo::server
