#pragma once

#include <algorithm>
#include <cstddef>
#include <memory>
#include <mutex>
#include <string>

#include "ara/rest/allocator.h"
#include "ara/rest/uri.h"
#include "ara/rest/uuid.h"
#include "rubo/base_type.h"
#include "rubo/detail/route_index.h"

namespace rubo {

// The children of a server (services), a service (collections) or a collection (elements),
// in insertion order. Safe against concurrent requests: readers work on snapshots.
template <typename T>
class Container {
 public:
  using Children = ara::rest::Vector<std::shared_ptr<T>>;

  Container() : mutex_(std::make_shared<std::mutex>()) {}
  virtual ~Container() = default;
  Container(const Container&) = delete;
  Container& operator=(const Container&) = delete;

  virtual std::size_t GetSize() const {
    std::lock_guard lock(*mutex_);
    return children_.size();
  }
  virtual std::shared_ptr<BaseXObject> FindByUuidRecursive(const ara::rest::Uuid& uuid) const {
    return FindByUuidRecursive(uuid.ToString());
  }
  virtual std::shared_ptr<BaseXObject> FindByUuidRecursive(const std::string& uuid) const = 0;
  virtual std::shared_ptr<BaseXObject> FindByUriRecursive(const ara::rest::Uri& uri) const {
    return FindByUriRecursive(uri.ToString(false));
  }
  virtual std::shared_ptr<BaseXObject> FindByUriRecursive(const std::string& uri) const = 0;
  virtual std::shared_ptr<BaseXObject> FindByNameRecursive(const std::string& name) const = 0;

  // Adds the child; a child held already (the same object) or null is not added again.
  // Identity is the object, not its UUID.
  bool Add(std::shared_ptr<T> child) {
    if (!child) {
      return false;
    }
    {
      std::lock_guard lock(*mutex_);
      if (std::find(children_.begin(), children_.end(), child) != children_.end()) {
        return false;
      }
      children_.push_back(std::move(child));
    }
    detail::NoteTreeChange();
    return true;
  }

  // Drops the first child with that UUID; false when there is none.
  bool Remove(const ara::rest::Uuid& uuid) {
    std::shared_ptr<T> removed;  // released outside the lock
    {
      std::lock_guard lock(*mutex_);
      auto it = std::find_if(children_.begin(), children_.end(),
                             [&uuid](const std::shared_ptr<T>& child) { return child->GetUuid() == uuid; });
      if (it == children_.end()) {
        return false;
      }
      removed = std::move(*it);
      children_.erase(it);
    }
    detail::NoteTreeChange();
    return true;
  }

  // Snapshot in insertion order; later additions and removals do not change it.
  Children GetChildren() const {
    std::lock_guard lock(*mutex_);
    return children_;
  }

 protected:
  // The searches of the Find*Recursive overrides: depth first in insertion order, a child that
  // matches, else the first match in that child's own children (where it has any).
  std::shared_ptr<BaseXObject> FindChildByUuid(const std::string& uuid) const {
    return FindChild([&uuid](const T& child) { return child.GetUuid().ToString() == uuid; },
                     [&uuid](const auto& child) { return child.FindByUuidRecursive(uuid); });
  }
  std::shared_ptr<BaseXObject> FindChildByUri(const std::string& uri) const {
    return FindChild([&uri](const T& child) { return child.HasUri(uri); },
                     [&uri](const auto& child) { return child.FindByUriRecursive(uri); });
  }
  std::shared_ptr<BaseXObject> FindChildByName(const std::string& name) const {
    return FindChild([&name](const T& child) { return child.GetName() == name; },
                     [&name](const auto& child) { return child.FindByNameRecursive(name); });
  }

 private:
  template <typename Matches, typename Descend>
  std::shared_ptr<BaseXObject> FindChild(Matches matches, Descend descend) const {
    constexpr bool kHasChildren = requires(const T& child) {
      child.FindByNameRecursive(std::string{});
    };
    for (const auto& child : GetChildren()) {
      if (matches(*child)) {
        return child;
      }
      if constexpr (kHasChildren) {
        if (auto found = descend(*child)) {
          return found;
        }
      }
    }
    return nullptr;
  }

  Children children_;
  std::shared_ptr<std::mutex> mutex_;
};

}  // namespace rubo
