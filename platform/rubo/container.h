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
    std::lock_guard lock(*mutex_);
    if (std::find(children_.begin(), children_.end(), child) != children_.end()) {
      return false;
    }
    children_.push_back(std::move(child));
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
    return true;
  }

  // Snapshot in insertion order; later additions and removals do not change it.
  Children GetChildren() const {
    std::lock_guard lock(*mutex_);
    return children_;
  }

 private:
  Children children_;
  std::shared_ptr<std::mutex> mutex_;
};

}  // namespace rubo
