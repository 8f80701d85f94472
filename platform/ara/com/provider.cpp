#include "ara/com/provider.h"

#include <stdexcept>
#include <utility>

namespace ara::com {

struct ServiceProvider::Responder::State {
  std::mutex mutex;
  bool answered = false;
  transport::Message request;
  std::weak_ptr<transport::Transport> transport;  // expires when the provider is gone
};

void ServiceProvider::Responder::Reply(std::uint8_t returnCode, std::vector<std::uint8_t> payload) const {
  std::lock_guard lock(state_->mutex);
  auto transport = state_->transport.lock();
  if (state_->answered || !transport) {
    return;
  }
  state_->answered = true;
  transport::Message reply;
  reply.serviceId = state_->request.serviceId;
  reply.instanceId = state_->request.instanceId;
  reply.methodId = state_->request.methodId;
  reply.clientId = state_->request.clientId;
  reply.sessionId = state_->request.sessionId;
  reply.route = state_->request.route;
  reply.type = returnCode == transport::kReturnOk ? transport::MessageType::kResponse : transport::MessageType::kError;
  reply.returnCode = returnCode;
  reply.payload = std::move(payload);
  transport->Send(std::move(reply));
}

const transport::Message& ServiceProvider::Responder::Request() const {
  return state_->request;
}

ServiceProvider::ServiceProvider(ServiceDeployment deployment, std::uint16_t instanceId,
                                 std::shared_ptr<transport::LocalBus> bus)
    : ServiceProvider(std::move(deployment), instanceId, bus->CreateEndpoint()) {}

ServiceProvider::ServiceProvider(ServiceDeployment deployment, std::uint16_t instanceId,
                                 std::unique_ptr<transport::Transport> transport)
    : deployment_(std::move(deployment)), instanceId_(instanceId), transport_(std::move(transport)) {
  transport_->Describe(deployment_);
  transport::TransportHandlers handlers;
  handlers.onMessage = [this](transport::Message message) { OnMessage(std::move(message)); };
  handlers.onSubscription = [this](std::uint16_t serviceId, std::uint16_t instance, std::uint16_t eventgroupId,
                                   std::uint16_t subscriberId, bool subscribed) {
    if (serviceId == deployment_.serviceId && instance == instanceId_) {
      OnSubscription(eventgroupId, subscriberId, subscribed);
    }
  };
  transport_->Start(std::move(handlers));
}

ServiceProvider::~ServiceProvider() {
  transport_->Stop();
  transport_.reset();  // replies of responders kept beyond the provider go nowhere
}

void ServiceProvider::Offer() {
  transport_->OfferService(deployment_.serviceId, instanceId_);
  std::lock_guard lock(mutex_);
  offered_ = true;
}

void ServiceProvider::StopOffer() {
  {
    std::lock_guard lock(mutex_);
    offered_ = false;
    records_.subscribers.clear();  // consumers renew their subscriptions on the next offer
  }
  transport_->StopOfferService(deployment_.serviceId, instanceId_);
  changed_.notify_all();
}

transport::Message ServiceProvider::NotificationOf(std::uint16_t eventId, std::vector<std::uint8_t> payload) const {
  transport::Message message;
  message.serviceId = deployment_.serviceId;
  message.instanceId = instanceId_;
  message.methodId = eventId;
  message.type = transport::MessageType::kNotification;
  message.payload = std::move(payload);
  return message;
}

void ServiceProvider::Notify(std::uint16_t eventId, std::vector<std::uint8_t> payload) {
  const auto& event = deployment_.Event(deployment_.EventIndexOf(eventId));
  std::lock_guard lock(fieldsMutex_);
  fields_[eventId] = payload;
  transport_->Notify(NotificationOf(eventId, std::move(payload)), event.eventgroupId);
}

void ServiceProvider::SetField(std::uint16_t eventId, std::vector<std::uint8_t> payload) {
  deployment_.EventIndexOf(eventId);
  std::lock_guard lock(fieldsMutex_);
  fields_[eventId] = std::move(payload);
}

std::optional<std::vector<std::uint8_t>> ServiceProvider::Field(std::uint16_t eventId) const {
  deployment_.EventIndexOf(eventId);
  std::lock_guard lock(fieldsMutex_);
  auto it = fields_.find(eventId);
  return it == fields_.end() ? std::nullopt : std::optional(it->second);
}

void ServiceProvider::SetMethodHandler(std::uint16_t methodId, MethodHandler handler) {
  std::lock_guard lock(mutex_);
  handlers_[methodId] = std::move(handler);
}

std::vector<transport::Message> ServiceProvider::Requests() const {
  std::lock_guard lock(mutex_);
  return records_.requests;
}

std::vector<std::uint16_t> ServiceProvider::SubscribedEventgroups() const {
  std::lock_guard lock(mutex_);
  std::vector<std::uint16_t> groups;
  for (const auto& [group, count] : records_.subscribers) {
    if (count > 0) {
      groups.push_back(group);
    }
  }
  return groups;
}

std::map<std::uint16_t, int> ServiceProvider::SubscribeCounts() const {
  std::lock_guard lock(mutex_);
  return records_.subscribeCounts;
}

bool ServiceProvider::WaitFor(const std::function<bool(const Records&)>& predicate,
                              std::chrono::milliseconds timeout) const {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, timeout, [&] { return predicate(records_); });
}

void ServiceProvider::OnMessage(transport::Message message) {
  if (message.type != transport::MessageType::kRequest) {
    return;
  }
  MethodHandler handler;
  {
    std::lock_guard lock(mutex_);
    records_.requests.push_back(message);
    if (auto it = handlers_.find(message.methodId); it != handlers_.end()) {
      handler = it->second;
    }
  }
  changed_.notify_all();
  if (!handler) {
    return;
  }
  Responder responder;
  responder.state_ = std::make_shared<Responder::State>();
  responder.state_->request = message;
  responder.state_->transport = transport_;
  handler(responder.state_->request, responder);
}

void ServiceProvider::OnSubscription(std::uint16_t eventgroupId, std::uint16_t subscriberId, bool subscribed) {
  if (subscribed) {
    // Under the lock, so that a notification racing with this one reaches the subscriber after it.
    std::lock_guard lock(fieldsMutex_);
    for (const auto& event : deployment_.events) {
      if (auto it = fields_.find(event.eventId); event.eventgroupId == eventgroupId && it != fields_.end()) {
        transport_->NotifySubscriber(NotificationOf(event.eventId, it->second), eventgroupId, subscriberId);
      }
    }
  }
  {
    std::lock_guard lock(mutex_);
    auto& count = records_.subscribers[eventgroupId];
    count += subscribed ? 1 : -1;
    if (count <= 0) {
      records_.subscribers.erase(eventgroupId);
    }
    if (subscribed) {
      ++records_.subscribeCounts[eventgroupId];
    }
  }
  changed_.notify_all();
}

}  // namespace ara::com
