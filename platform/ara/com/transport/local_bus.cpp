#include "ara/com/transport/local_bus.h"

#include <condition_variable>
#include <deque>
#include <functional>
#include <stdexcept>
#include <thread>
#include <utility>

namespace ara::com::transport {

// The receiving side of one participant: an inbox drained by its own thread.
class LocalEndpoint : public std::enable_shared_from_this<LocalEndpoint> {
 public:
  using Item = std::function<void(const TransportHandlers&)>;

  explicit LocalEndpoint(std::shared_ptr<LocalBus> bus) : bus_(std::move(bus)) {}

  void Attach() { clientId_ = bus_->Attach(shared_from_this()); }
  std::uint16_t ClientId() const noexcept { return clientId_; }
  LocalBus& Bus() const noexcept { return *bus_; }

  void Start(TransportHandlers handlers) {
    std::lock_guard lock(mutex_);
    if (started_ || stopped_) {
      throw std::logic_error("Transport already started");
    }
    started_ = true;
    handlers_ = std::move(handlers);
    thread_ = std::thread([self = shared_from_this()] { self->Run(); });
  }

  void Stop() {
    {
      std::lock_guard lock(mutex_);
      if (stopped_) {
        return;
      }
    }
    bus_->Detach(clientId_);
    std::thread thread;
    {
      std::lock_guard lock(mutex_);
      stopped_ = true;
      thread = std::move(thread_);
      inbox_.clear();
    }
    wake_.notify_all();
    if (thread.joinable()) {
      if (thread.get_id() == std::this_thread::get_id()) {
        thread.detach();  // stopping from inside a handler: the loop ends after it
      } else {
        thread.join();
      }
    }
  }

  void Enqueue(Item item) {
    {
      std::lock_guard lock(mutex_);
      if (stopped_) {
        return;
      }
      inbox_.push_back(std::move(item));
    }
    wake_.notify_one();
  }

 private:
  void Run() {
    for (;;) {
      Item item;
      {
        std::unique_lock lock(mutex_);
        wake_.wait(lock, [&] { return stopped_ || !inbox_.empty(); });
        if (stopped_) {
          return;
        }
        item = std::move(inbox_.front());
        inbox_.pop_front();
      }
      try {
        item(handlers_);
      } catch (...) {
        // A receiving thread must survive whatever its handlers throw.
      }
    }
  }

  std::shared_ptr<LocalBus> bus_;
  std::uint16_t clientId_ = 0;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<Item> inbox_;
  bool started_ = false;
  bool stopped_ = false;
  TransportHandlers handlers_;
  std::thread thread_;
};

class LocalTransport : public Transport {
 public:
  explicit LocalTransport(std::shared_ptr<LocalEndpoint> endpoint) : endpoint_(std::move(endpoint)) {}
  ~LocalTransport() override { endpoint_->Stop(); }

  void Start(TransportHandlers handlers) override { endpoint_->Start(std::move(handlers)); }
  void Stop() override { endpoint_->Stop(); }
  std::uint16_t ClientId() const override { return endpoint_->ClientId(); }

  std::vector<std::uint16_t> FindService(std::uint16_t serviceId) override {
    return Bus().Watch(endpoint_->ClientId(), serviceId);
  }
  void StopFindService(std::uint16_t serviceId) override { Bus().Unwatch(endpoint_->ClientId(), serviceId); }
  void Subscribe(std::uint16_t serviceId, std::uint16_t instanceId, std::uint16_t eventgroupId) override {
    Bus().Subscribe(endpoint_->ClientId(), serviceId, instanceId, eventgroupId, true);
  }
  void Unsubscribe(std::uint16_t serviceId, std::uint16_t instanceId, std::uint16_t eventgroupId) override {
    Bus().Subscribe(endpoint_->ClientId(), serviceId, instanceId, eventgroupId, false);
  }
  void OfferService(std::uint16_t serviceId, std::uint16_t instanceId) override {
    Bus().Offer(endpoint_->ClientId(), serviceId, instanceId, true);
  }
  void StopOfferService(std::uint16_t serviceId, std::uint16_t instanceId) override {
    Bus().Offer(endpoint_->ClientId(), serviceId, instanceId, false);
  }
  void Notify(Message message, std::uint16_t eventgroupId) override {
    Bus().Notify(endpoint_->ClientId(), message, eventgroupId);
  }
  void NotifySubscriber(Message message, std::uint16_t eventgroupId, std::uint16_t subscriberId) override {
    Bus().Notify(endpoint_->ClientId(), message, eventgroupId, subscriberId);
  }
  void Send(Message message) override { Bus().Send(endpoint_->ClientId(), std::move(message)); }
  void PostHeartbeat(std::function<void()> answered) override {
    endpoint_->Enqueue([answered = std::move(answered)](const TransportHandlers&) { answered(); });
  }

 private:
  LocalBus& Bus() const { return endpoint_->Bus(); }
  std::shared_ptr<LocalEndpoint> endpoint_;
};

std::shared_ptr<LocalBus> LocalBus::Default() {
  static const std::shared_ptr<LocalBus> bus = std::make_shared<LocalBus>();
  return bus;
}

std::unique_ptr<Transport> LocalBus::CreateEndpoint() {
  auto endpoint = std::make_shared<LocalEndpoint>(shared_from_this());
  endpoint->Attach();
  return std::make_unique<LocalTransport>(std::move(endpoint));
}

std::uint16_t LocalBus::Attach(const std::shared_ptr<LocalEndpoint>& endpoint) {
  std::lock_guard lock(mutex_);
  for (int attempts = 0; attempts < 0x10000; ++attempts) {
    const std::uint16_t id = nextClientId_++;
    if (nextClientId_ == 0) {
      nextClientId_ = 1;
    }
    if (id != 0 && !endpoints_.contains(id)) {
      endpoints_[id] = endpoint;
      return id;
    }
  }
  throw std::runtime_error("No free client id on the local bus");
}

std::shared_ptr<LocalEndpoint> LocalBus::FindLocked(std::uint16_t clientId) const {
  auto it = endpoints_.find(clientId);
  return it == endpoints_.end() ? nullptr : it->second.lock();
}

void LocalBus::Detach(std::uint16_t clientId) {
  std::lock_guard lock(mutex_);
  std::vector<InstanceKey> offered;
  for (const auto& [key, provider] : offers_) {
    if (provider == clientId) {
      offered.push_back(key);
    }
  }
  for (const auto& key : offered) {
    OfferLocked(clientId, key.first, key.second, false);
  }
  std::erase_if(watchers_, [&](const auto& entry) { return entry.first.second == clientId; });
  for (auto it = subscriptions_.begin(); it != subscriptions_.end();) {
    const auto& [service, instance, eventgroup, consumer] = it->first;
    if (consumer != clientId) {
      ++it;
      continue;
    }
    if (auto providerIt = offers_.find({service, instance}); providerIt != offers_.end()) {
      if (auto provider = FindLocked(providerIt->second)) {
        provider->Enqueue([=, s = service, i = instance, g = eventgroup](const TransportHandlers& h) {
          if (h.onSubscription) {
            h.onSubscription(s, i, g, clientId, false);
          }
        });
      }
    }
    it = subscriptions_.erase(it);
  }
  endpoints_.erase(clientId);
}

std::vector<std::uint16_t> LocalBus::Watch(std::uint16_t clientId, std::uint16_t serviceId) {
  std::lock_guard lock(mutex_);
  ++watchers_[{serviceId, clientId}];
  std::vector<std::uint16_t> instances;
  for (const auto& [key, provider] : offers_) {
    if (key.first == serviceId) {
      instances.push_back(key.second);
    }
  }
  return instances;
}

void LocalBus::Unwatch(std::uint16_t clientId, std::uint16_t serviceId) {
  std::lock_guard lock(mutex_);
  auto it = watchers_.find({serviceId, clientId});
  if (it != watchers_.end() && --it->second <= 0) {
    watchers_.erase(it);
  }
}

void LocalBus::Subscribe(std::uint16_t clientId, std::uint16_t serviceId, std::uint16_t instanceId,
                         std::uint16_t eventgroupId, bool subscribe) {
  std::lock_guard lock(mutex_);
  const SubscriptionKey key{serviceId, instanceId, eventgroupId, clientId};
  bool changed = false;
  if (subscribe) {
    changed = ++subscriptions_[key] == 1;
  } else if (auto it = subscriptions_.find(key); it != subscriptions_.end() && --it->second <= 0) {
    subscriptions_.erase(it);
    changed = true;
  }
  if (!changed) {
    return;
  }
  if (auto providerIt = offers_.find({serviceId, instanceId}); providerIt != offers_.end()) {
    if (auto provider = FindLocked(providerIt->second)) {
      provider->Enqueue([=](const TransportHandlers& h) {
        if (h.onSubscription) {
          h.onSubscription(serviceId, instanceId, eventgroupId, clientId, subscribe);
        }
      });
    }
  }
}

void LocalBus::Offer(std::uint16_t clientId, std::uint16_t serviceId, std::uint16_t instanceId, bool offer) {
  std::lock_guard lock(mutex_);
  OfferLocked(clientId, serviceId, instanceId, offer);
}

void LocalBus::OfferLocked(std::uint16_t providerId, std::uint16_t serviceId, std::uint16_t instanceId, bool offer) {
  const InstanceKey key{serviceId, instanceId};
  auto it = offers_.find(key);
  if (offer) {
    if (it != offers_.end()) {
      if (it->second == providerId) {
        return;
      }
      throw std::logic_error("Service instance is already offered by another provider");
    }
    offers_[key] = providerId;
  } else {
    if (it == offers_.end() || it->second != providerId) {
      return;
    }
    offers_.erase(it);
  }
  for (const auto& [watch, count] : watchers_) {
    if (watch.first != serviceId) {
      continue;
    }
    if (auto watcher = FindLocked(watch.second)) {
      watcher->Enqueue([=](const TransportHandlers& h) {
        if (h.onAvailability) {
          h.onAvailability(serviceId, instanceId, offer);
        }
      });
    }
  }
  if (!offer) {
    return;
  }
  // Consumers keep their subscriptions while an instance is away; a new offer renews them.
  auto provider = FindLocked(providerId);
  if (!provider) {
    return;
  }
  for (auto sub = subscriptions_.lower_bound({serviceId, instanceId, 0, 0});
       sub != subscriptions_.end() && std::get<0>(sub->first) == serviceId && std::get<1>(sub->first) == instanceId;
       ++sub) {
    const std::uint16_t eventgroupId = std::get<2>(sub->first);
    const std::uint16_t consumer = std::get<3>(sub->first);
    provider->Enqueue([=](const TransportHandlers& h) {
      if (h.onSubscription) {
        h.onSubscription(serviceId, instanceId, eventgroupId, consumer, true);
      }
    });
  }
}

void LocalBus::Notify(std::uint16_t clientId, const Message& message, std::uint16_t eventgroupId,
                      std::optional<std::uint16_t> only) {
  std::lock_guard lock(mutex_);
  auto offer = offers_.find({message.serviceId, message.instanceId});
  if (offer == offers_.end() || offer->second != clientId) {
    return;  // only the provider of an offered instance reaches its subscribers
  }
  for (auto sub = subscriptions_.lower_bound({message.serviceId, message.instanceId, eventgroupId, 0});
       sub != subscriptions_.end() && std::get<0>(sub->first) == message.serviceId &&
       std::get<1>(sub->first) == message.instanceId && std::get<2>(sub->first) == eventgroupId;
       ++sub) {
    if (only && std::get<3>(sub->first) != *only) {
      continue;
    }
    if (auto consumer = FindLocked(std::get<3>(sub->first))) {
      consumer->Enqueue([message](const TransportHandlers& h) {
        if (h.onMessage) {
          h.onMessage(message);
        }
      });
    }
  }
}

void LocalBus::Send(std::uint16_t clientId, Message message) {
  std::lock_guard lock(mutex_);
  std::shared_ptr<LocalEndpoint> target;
  if (message.type == MessageType::kRequest) {
    message.clientId = clientId;
    if (auto offer = offers_.find({message.serviceId, message.instanceId}); offer != offers_.end()) {
      target = FindLocked(offer->second);
    }
  } else {
    target = FindLocked(message.clientId);
  }
  if (!target) {
    return;  // nobody there: the message is lost, as on a network
  }
  target->Enqueue([message = std::move(message)](const TransportHandlers& h) {
    if (h.onMessage) {
      h.onMessage(message);
    }
  });
}

}  // namespace ara::com::transport
