#include "tools/vehicle_sim/shared_transport.h"

#include <set>
#include <stdexcept>
#include <utility>
#include <vector>

namespace orik::vehicleSim {

namespace transport = ara::com::transport;

class SharedTransport::Part final : public transport::Transport {
 public:
  Part(std::shared_ptr<SharedTransport> shared, std::uint16_t serviceId)
      : shared_(std::move(shared)), serviceId_(serviceId) {}
  ~Part() override { Stop(); }

  void Start(transport::TransportHandlers handlers) override { shared_->Start(serviceId_, std::move(handlers)); }
  // Withdraws this part's offers: the shared endpoint itself may go on for the other parts.
  void Stop() override {
    std::set<std::uint16_t> offered;
    {
      std::lock_guard lock(mutex_);
      offered.swap(offered_);
    }
    for (const std::uint16_t instanceId : offered) {
      Inner().StopOfferService(serviceId_, instanceId);
    }
    shared_->Stop(serviceId_);
  }
  std::uint16_t ClientId() const override { return Inner().ClientId(); }
  void Describe(const ara::com::ServiceDeployment& deployment) override { Inner().Describe(deployment); }
  std::vector<std::uint16_t> FindService(std::uint16_t serviceId) override { return Inner().FindService(serviceId); }
  void StopFindService(std::uint16_t serviceId) override { Inner().StopFindService(serviceId); }
  void Subscribe(std::uint16_t serviceId, std::uint16_t instanceId, std::uint16_t eventgroupId) override {
    Inner().Subscribe(serviceId, instanceId, eventgroupId);
  }
  void Unsubscribe(std::uint16_t serviceId, std::uint16_t instanceId, std::uint16_t eventgroupId) override {
    Inner().Unsubscribe(serviceId, instanceId, eventgroupId);
  }
  void OfferService(std::uint16_t serviceId, std::uint16_t instanceId) override {
    Inner().OfferService(serviceId, instanceId);
    std::lock_guard lock(mutex_);
    if (serviceId == serviceId_) {
      offered_.insert(instanceId);
    }
  }
  void StopOfferService(std::uint16_t serviceId, std::uint16_t instanceId) override {
    {
      std::lock_guard lock(mutex_);
      if (serviceId == serviceId_) {
        offered_.erase(instanceId);
      }
    }
    Inner().StopOfferService(serviceId, instanceId);
  }
  void Notify(transport::Message message, std::uint16_t eventgroupId) override {
    Inner().Notify(std::move(message), eventgroupId);
  }
  void NotifySubscriber(transport::Message message, std::uint16_t eventgroupId, std::uint16_t subscriberId) override {
    Inner().NotifySubscriber(std::move(message), eventgroupId, subscriberId);
  }
  void Send(transport::Message message) override { Inner().Send(std::move(message)); }
  void PostHeartbeat(std::function<void()> answered) override { Inner().PostHeartbeat(std::move(answered)); }

 private:
  transport::Transport& Inner() const { return *shared_->inner_; }

  std::shared_ptr<SharedTransport> shared_;
  std::uint16_t serviceId_;
  std::mutex mutex_;
  std::set<std::uint16_t> offered_;
};

SharedTransport::SharedTransport(std::unique_ptr<transport::Transport> inner) : inner_(std::move(inner)) {}

SharedTransport::~SharedTransport() {
  inner_->Stop();
}

std::unique_ptr<transport::Transport> SharedTransport::For(std::uint16_t serviceId) {
  return std::make_unique<Part>(shared_from_this(), serviceId);
}

void SharedTransport::Start(std::uint16_t serviceId, transport::TransportHandlers handlers) {
  std::unique_lock lock(mutex_);
  if (stopped_) {
    throw std::logic_error("Transport already stopped");
  }
  if (!parts_.emplace(serviceId, PartState{std::move(handlers), {}}).second) {
    throw std::logic_error("Transport already started for this service");
  }
  if (started_) {
    return;
  }
  started_ = true;
  lock.unlock();
  transport::TransportHandlers demux;
  demux.onMessage = [this](transport::Message message) {
    const std::uint16_t serviceId = message.serviceId;
    Deliver(serviceId, [&message](const transport::TransportHandlers& part) {
      if (part.onMessage) {
        part.onMessage(std::move(message));
      }
    });
  };
  demux.onAvailability = [this](std::uint16_t serviceId, std::uint16_t instanceId, bool offered) {
    Deliver(serviceId, [&](const transport::TransportHandlers& part) {
      if (part.onAvailability) {
        part.onAvailability(serviceId, instanceId, offered);
      }
    });
  };
  demux.onSubscription = [this](std::uint16_t serviceId, std::uint16_t instanceId, std::uint16_t eventgroupId,
                                std::uint16_t clientId, bool subscribed) {
    Deliver(serviceId, [&](const transport::TransportHandlers& part) {
      if (part.onSubscription) {
        part.onSubscription(serviceId, instanceId, eventgroupId, clientId, subscribed);
      }
    });
  };
  inner_->Start(std::move(demux));
}

void SharedTransport::Deliver(std::uint16_t serviceId,
                              const std::function<void(const transport::TransportHandlers&)>& call) {
  transport::TransportHandlers handlers;
  {
    std::lock_guard lock(mutex_);
    const auto it = parts_.find(serviceId);
    if (it == parts_.end()) {
      return;
    }
    handlers = it->second.handlers;
    it->second.callers.insert(std::this_thread::get_id());
  }
  struct Leave {
    SharedTransport& shared;
    std::uint16_t serviceId;
    ~Leave() {
      std::lock_guard lock(shared.mutex_);
      if (const auto it = shared.parts_.find(serviceId); it != shared.parts_.end()) {
        it->second.callers.erase(it->second.callers.find(std::this_thread::get_id()));
      }
      shared.idle_.notify_all();
    }
  } leave{*this, serviceId};
  call(handlers);
}

void SharedTransport::Stop(std::uint16_t serviceId) {
  bool last = false;
  {
    std::unique_lock lock(mutex_);
    const auto it = parts_.find(serviceId);
    if (it == parts_.end()) {
      return;
    }
    idle_.wait(lock, [&] {
      const auto& callers = it->second.callers;
      return callers.empty() || (callers.size() == callers.count(std::this_thread::get_id()));
    });
    parts_.erase(it);
    last = parts_.empty() && !stopped_;
    stopped_ = stopped_ || last;
  }
  if (last) {
    inner_->Stop();
  }
}

}  // namespace orik::vehicleSim
