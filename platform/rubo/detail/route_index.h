#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>

#include "rubo/base_type.h"

namespace rubo {
class Server;
}

namespace rubo::detail {

// Called wherever a path can start or stop leading to an object: a child added to or removed
// from a container, an object's URI changed. Any thread.
void NoteTreeChange() noexcept;

// Path -> object for one tree, so that routing does not walk it. The map is a snapshot, rebuilt
// (by one walk) on the first lookup after the tree changed and shared by every thread; each
// thread keeps the one it used last, so a lookup between changes takes no lock and writes no
// shared memory but the found object's reference count. It answers what FindByUriRecursive
// would: the first object in depth-first order whose path is the text.
class RouteIndex {
 public:
  explicit RouteIndex(const Server& root);
  ~RouteIndex();
  RouteIndex(const RouteIndex&) = delete;
  RouteIndex& operator=(const RouteIndex&) = delete;

  // The object at the path (not the root's "/"), or null.
  std::shared_ptr<BaseXObject> Find(const std::string& path);

 private:
  struct Snapshot {
    std::uint64_t version = 0;
    std::unordered_map<std::string, std::weak_ptr<BaseXObject>> objects;
  };

  const Snapshot& Current();
  std::shared_ptr<const Snapshot> Build(std::uint64_t version) const;

  const Server& root_;
  const std::uint64_t id_;  // tells the thread caches of two indexes apart
  std::mutex mutex_;
  std::shared_ptr<const Snapshot> latest_;  // under mutex_
};

}  // namespace rubo::detail
