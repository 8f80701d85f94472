#pragma once

#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <tuple>
#include <vector>

#include "ara/com/deployment.h"
#include "ara/com/internal/thread_pool.h"
#include "ara/com/transport/transport.h"
#include "ara/com/types.h"

namespace ara::com::internal {

// What find service knows of one offered instance; handles share it.
struct ServiceInstanceInfo {
  std::string interfaceName;
  std::uint16_t serviceId;
  std::uint16_t instanceId;
  InstanceIdentifier instance;
};

using InstanceList = std::vector<std::shared_ptr<const ServiceInstanceInfo>>;

class RuntimeCore;

// One running find service: its handler runs on its own strand, one list at a time.
class Search : public std::enable_shared_from_this<Search> {
 public:
  using Handler = std::function<void(InstanceList)>;
  Search(std::shared_ptr<RuntimeCore> core, std::uint16_t serviceId, std::optional<std::uint16_t> instanceFilter,
         Handler handler);
  ~Search();

  // Stops the search and waits for a running handler, unless called from inside it.
  void Stop();

 private:
  friend class RuntimeCore;
  bool Matches(std::uint16_t instanceId) const { return !filter_ || *filter_ == instanceId; }
  void Deliver(InstanceList list);

  std::shared_ptr<RuntimeCore> core_;
  std::uint16_t serviceId_;
  std::optional<std::uint16_t> filter_;
  Handler handler_;
  std::shared_ptr<Strand> strand_;
  std::mutex mutex_;
  std::condition_variable idle_;
  bool stopped_ = false;
  bool running_ = false;
  std::thread::id runner_;
};

struct RuntimeSettings {
  std::size_t threads;
  bool traceMessages;
  DeploymentOverrides deployment;
  std::unique_ptr<transport::Transport> transport;
};

// The binding's shared state behind the runtime component: pool, transport, discovery,
// pending calls and notification routes.
class RuntimeCore : public std::enable_shared_from_this<RuntimeCore> {
 public:
  // Called with the reply, or with nullptr when none can come (the instance went away or the
  // runtime shut down). Runs on the transport's receiving thread or the caller's.
  using ReplyCallback = std::function<void(const transport::Message* reply)>;
  using NotificationSink = std::function<void(const std::vector<std::uint8_t>& payload)>;

  explicit RuntimeCore(RuntimeSettings settings);
  ~RuntimeCore();
  RuntimeCore(const RuntimeCore&) = delete;
  RuntimeCore& operator=(const RuntimeCore&) = delete;

  // The core of the runtime component that exists now; throws std::logic_error when there is none.
  static std::shared_ptr<RuntimeCore> Current();
  static void SetCurrent(std::shared_ptr<RuntimeCore> core);

  void Start();
  // Stops the transport and the pool and fails every pending call; afterwards nothing is
  // offered and no handler runs. Idempotent.
  void Shutdown();

  ServiceDeployment Resolve(const ServiceDeployment& defaults, ServiceInterfaceDescription description) const;
  std::shared_ptr<Strand> MakeStrand() const;
  bool IsOffered(std::uint16_t serviceId, std::uint16_t instanceId) const;

  // Keeps the availability of a service's instances known (find service and proxies do). Counted.
  void Watch(const ServiceDeployment& deployment);
  void Unwatch(std::uint16_t serviceId);

  std::shared_ptr<Search> StartFind(const ServiceDeployment& deployment, const InstanceIdentifier& instance,
                                    Search::Handler handler);

  // Throws ServiceNotAvailableException, sending nothing, when the instance is not offered.
  void Call(std::uint16_t serviceId, std::uint16_t instanceId, std::uint16_t methodId,
            std::vector<std::uint8_t> payload, ReplyCallback callback);

  std::uint64_t AddRoute(std::uint16_t serviceId, std::uint16_t instanceId, std::uint16_t eventId,
                         NotificationSink sink);
  void RemoveRoute(std::uint64_t token);
  // Counted per event group: the transport hears of the first subscribe and the last unsubscribe.
  void Subscribe(std::uint16_t serviceId, std::uint16_t instanceId, std::uint16_t eventgroupId);
  void Unsubscribe(std::uint16_t serviceId, std::uint16_t instanceId, std::uint16_t eventgroupId);

  // Runs `answered` on the transport's I/O thread (Transport::PostHeartbeat).
  void PostHeartbeat(std::function<void()> answered) { transport_->PostHeartbeat(std::move(answered)); }

 private:
  friend class Search;
  struct ServiceState {
    std::string interfaceName;
    int watchers = 0;
    std::map<std::uint16_t, std::shared_ptr<const ServiceInstanceInfo>> offered;
    std::vector<std::pair<const Search*, std::weak_ptr<Search>>> searches;
  };
  struct PendingCall {
    std::uint16_t serviceId;
    std::uint16_t instanceId;
    std::uint16_t methodId;
    ReplyCallback callback;
  };
  using RouteKey = std::tuple<std::uint16_t, std::uint16_t, std::uint16_t>;
  struct Route {
    RouteKey key;
    std::shared_ptr<NotificationSink> sink;
  };

  void OnMessage(transport::Message message);
  void OnAvailability(std::uint16_t serviceId, std::uint16_t instanceId, bool offered);
  void RemoveSearch(const Search* search);
  ServiceState& WatchLocked(const ServiceDeployment& deployment);
  void UnwatchLocked(std::uint16_t serviceId);
  InstanceList ListLocked(const ServiceState& state, const Search& search) const;
  std::shared_ptr<const ServiceInstanceInfo> MakeInfoLocked(const ServiceState& state, std::uint16_t serviceId,
                                                            std::uint16_t instanceId) const;
  void TraceMessage(const char* direction, const transport::Message& message) const;

  const bool traceMessages_;
  const DeploymentOverrides deployment_;
  ThreadPool pool_;
  std::unique_ptr<transport::Transport> transport_;

  mutable std::mutex mutex_;
  bool started_ = false;
  bool shutdown_ = false;
  std::map<std::uint16_t, ServiceState> services_;
  std::map<std::uint16_t, PendingCall> pending_;
  std::uint16_t nextSession_ = 1;
  std::uint64_t nextRoute_ = 1;
  std::map<std::uint64_t, Route> routes_;
  std::map<RouteKey, int> subscriptions_;
};

}  // namespace ara::com::internal
