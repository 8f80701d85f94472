#include "rubo/detail/route_index.h"

#include <atomic>

#include "rubo/server.h"

namespace rubo::detail {

namespace {

// Counts tree changes of every tree in the process: a change in one makes the others rebuild
// once, which costs one walk and keeps the writers free of any knowledge of the trees.
std::atomic<std::uint64_t> treeVersion{1};
std::atomic<std::uint64_t> nextIndexId{1};

template <typename Object>
void Enter(const std::shared_ptr<Object>& object,
           std::unordered_map<std::string, std::weak_ptr<BaseXObject>>& objects) {
  object->ReadIdentity([&](std::string_view, std::string_view uri, std::string_view) {
    objects.try_emplace(std::string(uri), std::static_pointer_cast<BaseXObject>(object));
  });
}

}  // namespace

void NoteTreeChange() noexcept {
  treeVersion.fetch_add(1, std::memory_order_acq_rel);
}

RouteIndex::RouteIndex(const Server& root) : root_(root), id_(nextIndexId.fetch_add(1)) {}

RouteIndex::~RouteIndex() = default;

std::shared_ptr<const RouteIndex::Snapshot> RouteIndex::Build(std::uint64_t version) const {
  auto snapshot = std::make_shared<Snapshot>();
  snapshot->version = version;
  auto& objects = snapshot->objects;
  // Depth first in insertion order, an object before its children: the first one entered for
  // a path is the one a search would find.
  for (const auto& service : root_.GetChildren()) {
    Enter(service, objects);
    for (const auto& collection : service->GetChildren()) {
      Enter(collection, objects);
      for (const auto& element : collection->GetChildren()) {
        Enter(element, objects);
      }
    }
  }
  return snapshot;
}

const RouteIndex::Snapshot& RouteIndex::Current() {
  struct Cache {
    std::uint64_t owner = 0;
    std::shared_ptr<const Snapshot> snapshot;
  };
  thread_local Cache cache;
  const auto version = treeVersion.load(std::memory_order_acquire);
  if (cache.owner == id_ && cache.snapshot->version == version) {
    return *cache.snapshot;
  }
  std::lock_guard lock(mutex_);
  if (!latest_ || latest_->version != version) {
    // Changes made during the walk move the version on: the next lookup walks again.
    latest_ = Build(version);
  }
  cache.owner = id_;
  cache.snapshot = latest_;
  return *cache.snapshot;
}

std::shared_ptr<BaseXObject> RouteIndex::Find(const std::string& path) {
  const auto& objects = Current().objects;
  const auto it = objects.find(path);
  return it == objects.end() ? nullptr : it->second.lock();
}

}  // namespace rubo::detail
