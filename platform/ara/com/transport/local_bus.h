#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <tuple>
#include <vector>

#include "ara/com/transport/transport.h"

namespace ara::com::transport {

class LocalEndpoint;
class LocalTransport;

// An in-process medium. Every endpoint has its own receiving thread, as a socket reader would,
// so the two sides never call into each other directly.
class LocalBus : public std::enable_shared_from_this<LocalBus> {
 public:
  // The bus that runtimes and providers use unless told otherwise.
  static std::shared_ptr<LocalBus> Default();

  LocalBus() = default;
  LocalBus(const LocalBus&) = delete;
  LocalBus& operator=(const LocalBus&) = delete;

  std::unique_ptr<Transport> CreateEndpoint();

 private:
  friend class LocalEndpoint;
  friend class LocalTransport;
  using InstanceKey = std::pair<std::uint16_t, std::uint16_t>;
  using SubscriptionKey = std::tuple<std::uint16_t, std::uint16_t, std::uint16_t, std::uint16_t>;

  std::uint16_t Attach(const std::shared_ptr<LocalEndpoint>& endpoint);
  void Detach(std::uint16_t clientId);
  std::vector<std::uint16_t> Watch(std::uint16_t clientId, std::uint16_t serviceId);
  void Unwatch(std::uint16_t clientId, std::uint16_t serviceId);
  void Subscribe(std::uint16_t clientId, std::uint16_t serviceId, std::uint16_t instanceId, std::uint16_t eventgroupId,
                 bool subscribe);
  void Offer(std::uint16_t clientId, std::uint16_t serviceId, std::uint16_t instanceId, bool offer);
  // To every subscriber of the group, or to `only`.
  void Notify(std::uint16_t clientId, const Message& message, std::uint16_t eventgroupId,
              std::optional<std::uint16_t> only = std::nullopt);
  void Send(std::uint16_t clientId, Message message);

  void OfferLocked(std::uint16_t providerId, std::uint16_t serviceId, std::uint16_t instanceId, bool offer);
  std::shared_ptr<LocalEndpoint> FindLocked(std::uint16_t clientId) const;

  mutable std::mutex mutex_;
  std::uint16_t nextClientId_ = 1;
  std::map<std::uint16_t, std::weak_ptr<LocalEndpoint>> endpoints_;
  std::map<InstanceKey, std::uint16_t> offers_;                      // instance -> provider
  std::map<std::pair<std::uint16_t, std::uint16_t>, int> watchers_;  // (service, client) -> count
  // (service, instance, eventgroup, consumer)
  std::map<SubscriptionKey, int> subscriptions_;
};

}  // namespace ara::com::transport
