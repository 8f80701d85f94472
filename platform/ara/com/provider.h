#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "ara/com/deployment.h"
#include "ara/com/transport/local_bus.h"
#include "ara/com/transport/message.h"
#include "ara/com/transport/transport.h"

namespace ara::com {

// The service side of one instance (skeleton-like): offers it, sends notifications, answers
// method calls and records what it received. Used by tests and by a vehicle simulator.
class ServiceProvider {
 public:
  // Answers one request. Copyable; the first Reply wins, later ones are ignored. May be kept and
  // used later from any thread, or dropped so that the call is never answered.
  class Responder {
   public:
    // Return code 0 sends a response, any other an error message, each with the payload.
    void Reply(std::uint8_t returnCode, std::vector<std::uint8_t> payload = {}) const;
    const transport::Message& Request() const;

   private:
    friend class ServiceProvider;
    struct State;
    std::shared_ptr<State> state_;
  };
  // Runs on the provider's receiving thread, one request at a time.
  using MethodHandler = std::function<void(const transport::Message& request, Responder responder)>;

  // An endpoint of its own on `bus`. Nothing is offered yet.
  ServiceProvider(ServiceDeployment deployment, std::uint16_t instanceId,
                  std::shared_ptr<transport::LocalBus> bus = transport::LocalBus::Default());
  // Over any transport (not started yet; the provider starts and stops it).
  ServiceProvider(ServiceDeployment deployment, std::uint16_t instanceId,
                  std::unique_ptr<transport::Transport> transport);
  // Stops offering and stops the transport.
  ~ServiceProvider();
  ServiceProvider(const ServiceProvider&) = delete;
  ServiceProvider& operator=(const ServiceProvider&) = delete;

  const ServiceDeployment& Deployment() const noexcept { return deployment_; }
  std::uint16_t InstanceId() const noexcept { return instanceId_; }

  void Offer();
  void StopOffer();

  // The provider holds each field's current value, by the SOME/IP event id of its notifier, in one
  // place: Notify and SetField write it, and a new subscriber of an event group is sent the value
  // of each of the group's fields that has one, before any later notification. Each throws
  // std::out_of_range for an unknown event id.
  //
  // Makes `payload` the field's value and sends it to the event group's subscribers (none while
  // not offered).
  void Notify(std::uint16_t eventId, std::vector<std::uint8_t> payload);
  // Makes `payload` the field's value without a notification (a write the application accepted).
  void SetField(std::uint16_t eventId, std::vector<std::uint8_t> payload);
  // The field's value; empty while it has none.
  std::optional<std::vector<std::uint8_t>> Field(std::uint16_t eventId) const;

  // Handler for one method id; requests of a method without a handler are recorded only.
  void SetMethodHandler(std::uint16_t methodId, MethodHandler handler);

  // Every request received, in order.
  std::vector<transport::Message> Requests() const;
  // Event groups with at least one subscriber now.
  std::vector<std::uint16_t> SubscribedEventgroups() const;
  // How often each event group was subscribed (a renewal after a re-offer counts again).
  std::map<std::uint16_t, int> SubscribeCounts() const;

  // Waits until the predicate holds on the provider's records; false on timeout.
  struct Records {
    std::vector<transport::Message> requests;
    std::map<std::uint16_t, int> subscribers;      // event group -> current subscribers
    std::map<std::uint16_t, int> subscribeCounts;  // event group -> subscribes seen
  };
  bool WaitFor(const std::function<bool(const Records&)>& predicate, std::chrono::milliseconds timeout) const;

 private:
  void OnMessage(transport::Message message);
  void OnSubscription(std::uint16_t eventgroupId, std::uint16_t subscriberId, bool subscribed);
  transport::Message NotificationOf(std::uint16_t eventId, std::vector<std::uint8_t> payload) const;

  ServiceDeployment deployment_;
  std::uint16_t instanceId_;
  std::shared_ptr<transport::Transport> transport_;
  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  bool offered_ = false;
  Records records_;
  std::map<std::uint16_t, MethodHandler> handlers_;
  // Guards the values and orders them with what is handed to the transport, so that a new
  // subscriber never gets a value older than one already sent.
  mutable std::mutex fieldsMutex_;
  std::map<std::uint16_t, std::vector<std::uint8_t>> fields_;  // event id -> current value
};

}  // namespace ara::com
