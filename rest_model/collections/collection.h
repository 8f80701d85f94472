#pragma once

#include <algorithm>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "ara/rest/allocator.h"
#include "ara/rest/uri.h"
#include "ara/rest/uuid.h"
#include "rest_model/collections/collection_support.h"
#include "rubo/server_resource.h"

namespace rubo::server {

// A collection's path as a template argument: "/<Service>/<collection>". Implicit, so that the
// string literal itself is the argument.
template <std::size_t N>
struct CollectionPath {
  constexpr CollectionPath(const char (&text)[N]) { std::copy_n(text, N, chars); }
  constexpr std::string_view View() const { return {chars, N - 1}; }
  char chars[N]{};
};

// Every collection of the tree has this one shape: a resource at Path, named after the path's
// last segment, described from the description texts, whose elements are of class Element.
// Each collection class is a thin declaration over it.
template <CollectionPath Path, typename Element>
class Collection : public rubo::ServerResource {
 public:
  static constexpr std::string_view kPath = Path.View();
  static constexpr std::string_view kName = kPath.substr(kPath.rfind('/') + 1);

  Collection() : rubo::ServerResource(ara::rest::Uuid::MakeV5(kPath), PathUri(kPath), std::string(kName)) {
    DescribeCollection(*this, kName);
  }

  std::shared_ptr<rubo::ServerElement> MakeElement(const ara::rest::Uuid& uuid, const ara::rest::Uri& uri,
                                                   std::string name) override {
    return Element::Make(std::move(name), uuid, uri);
  }

 protected:
  // Snapshot of the elements of Element's class, in collection order.
  ara::rest::Vector<std::shared_ptr<Element>> Elements() const { return ElementsOf<Element>(*this); }
};

}  // namespace rubo::server
