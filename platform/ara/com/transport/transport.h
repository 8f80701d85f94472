#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "ara/com/deployment.h"
#include "ara/com/transport/message.h"

namespace ara::com::transport {

// Called on the transport's own receiving thread, one at a time.
struct TransportHandlers {
  // Requests (provider side), responses, errors and notifications (consumer side).
  std::function<void(Message)> onMessage;
  // An instance of a watched service was offered (true) or went away (false).
  std::function<void(std::uint16_t serviceId, std::uint16_t instanceId, bool offered)> onAvailability;
  // A consumer subscribed to (true) or left (false) an event group of an offered instance;
  // clientId names the subscriber for NotifySubscriber.
  std::function<void(std::uint16_t serviceId, std::uint16_t instanceId, std::uint16_t eventgroupId,
                     std::uint16_t clientId, bool subscribed)>
      onSubscription;
};

// Carries messages between consumers and providers. Nothing above it may assume that the other
// side lives in the same process: everything arrives through the handlers, asynchronously.
class Transport {
 public:
  virtual ~Transport() = default;

  // Handlers run from Start until Stop returns; Stop withdraws this side's offers and
  // subscriptions. Stop from inside a handler does not wait for that handler.
  virtual void Start(TransportHandlers handlers) = 0;
  virtual void Stop() = 0;
  // The SOME/IP client id of this side.
  virtual std::uint16_t ClientId() const = 0;
  // Tells the transport the identifiers of a service interface before it is used on this side, so
  // that a network transport knows its methods, events, event groups and configuration.
  virtual void Describe(const ServiceDeployment& /*deployment*/) {}

  // Consumer side. FindService starts watching a service and returns the instances known to be
  // offered now; later changes arrive through onAvailability. Calls are counted: every
  // FindService needs its StopFindService.
  virtual std::vector<std::uint16_t> FindService(std::uint16_t serviceId) = 0;
  virtual void StopFindService(std::uint16_t serviceId) = 0;
  // A subscription is kept while the instance is away and renewed whenever it is offered.
  virtual void Subscribe(std::uint16_t serviceId, std::uint16_t instanceId, std::uint16_t eventgroupId) = 0;
  virtual void Unsubscribe(std::uint16_t serviceId, std::uint16_t instanceId, std::uint16_t eventgroupId) = 0;

  // Provider side. Offering an instance that another side offers throws std::logic_error.
  virtual void OfferService(std::uint16_t serviceId, std::uint16_t instanceId) = 0;
  virtual void StopOfferService(std::uint16_t serviceId, std::uint16_t instanceId) = 0;
  // Sends a notification to the current subscribers of the event group.
  virtual void Notify(Message message, std::uint16_t eventgroupId) = 0;
  // Sends a notification to one subscriber of the event group: the one onSubscription named by
  // subscriberId, while it is subscribed. Sent after every notification sent before the call.
  virtual void NotifySubscriber(Message message, std::uint16_t eventgroupId, std::uint16_t subscriberId) = 0;

  // A request goes to the provider of (serviceId, instanceId) and is dropped when there is none;
  // the transport stamps clientId. A response or error goes to message.clientId.
  virtual void Send(Message message) = 0;

  // Runs `answered` on the transport's own I/O (receiving) thread and returns at once: a
  // heartbeat that shows the thread makes progress. It does not run once the transport stopped.
  virtual void PostHeartbeat(std::function<void()> answered) = 0;
};

}  // namespace ara::com::transport
