#pragma once

#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "ara/com/internal/runtime_core.h"
#include "ara/com/types.h"

namespace ara::com {

// Keeps a find service running. Destroying it, or Stop, ends the search and waits for a running
// handler (not when done from inside that handler).
class FindServiceHandle {
 public:
  FindServiceHandle() = default;
  explicit FindServiceHandle(std::shared_ptr<internal::Search> search) : search_(std::move(search)) {}
  FindServiceHandle(FindServiceHandle&&) noexcept = default;
  FindServiceHandle& operator=(FindServiceHandle&& other) noexcept {
    if (this != &other) {
      Stop();
      search_ = std::move(other.search_);
    }
    return *this;
  }
  FindServiceHandle(const FindServiceHandle&) = delete;
  FindServiceHandle& operator=(const FindServiceHandle&) = delete;
  ~FindServiceHandle() { Stop(); }

  void Stop() {
    if (auto search = std::move(search_)) {
      search->Stop();
    }
  }

 private:
  std::shared_ptr<internal::Search> search_;
};

template <typename Handle>
using FindServiceHandler = std::function<void(std::vector<Handle>)>;

namespace internal::proxy {

// Names one found instance of Service. Copies share one description of the instance.
template <typename Service>
class ServiceHandle {
 public:
  explicit ServiceHandle(std::shared_ptr<const ServiceInstanceInfo> info) : info_(std::move(info)) {}

  const InstanceIdentifier& GetInstanceId() const noexcept { return info_->instance; }
  const std::shared_ptr<const ServiceInstanceInfo>& Info() const noexcept { return info_; }

  friend bool operator==(const ServiceHandle& a, const ServiceHandle& b) noexcept {
    return a.info_->serviceId == b.info_->serviceId && a.info_->instanceId == b.info_->instanceId;
  }
  friend bool operator<(const ServiceHandle& a, const ServiceHandle& b) noexcept {
    return std::pair(a.info_->serviceId, a.info_->instanceId) < std::pair(b.info_->serviceId, b.info_->instanceId);
  }

 private:
  std::shared_ptr<const ServiceInstanceInfo> info_;
};

// The find-service start of a generated proxy. Throws std::logic_error without a runtime and
// std::invalid_argument for an instance text that is neither "*" nor an instance id.
template <typename Service>
FindServiceHandle StartFindService(FindServiceHandler<ServiceHandle<Service>> handler, InstanceIdentifier instance) {
  auto core = RuntimeCore::Current();
  auto deployment = core->Resolve(Service::DefaultDeployment(), Service::kDescription);
  auto search = core->StartFind(deployment, instance, [handler = std::move(handler)](InstanceList list) {
    std::vector<ServiceHandle<Service>> handles;
    handles.reserve(list.size());
    for (auto& info : list) {
      handles.emplace_back(std::move(info));
    }
    handler(std::move(handles));
  });
  return FindServiceHandle(std::move(search));
}

}  // namespace internal::proxy
}  // namespace ara::com
