#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <utility>
#include <vector>

#include <boost/asio.hpp>

#include "ara/com/transport/side_context.h"
#include "ara/com/transport/tcp_connection.h"
#include "ara/com/transport/throttle.h"

namespace ara::com::transport {

// The provider side of the network transport: the sockets of the instances offered here, the
// requests that arrive on them and the way back of their answers, and the notifications to the
// subscribers service discovery accepted.
class ProviderSide {
 public:
  struct LocalOffer;

  explicit ProviderSide(SideContext& context) : context_(context) {}

  // On the caller's thread, so that a port in use fails the offer: opens the instance's ports and
  // throws std::runtime_error naming them when it cannot.
  std::shared_ptr<LocalOffer> Open(std::uint16_t serviceId, std::uint16_t instanceId, ServiceNetwork network);
  // On the I/O thread from here on. Starts receiving and offering; an instance already offered
  // here keeps its first offer.
  void Start(const std::shared_ptr<LocalOffer>& offer);
  void Withdraw(const sd::InstanceKey& instance, bool announce);
  void WithdrawAll(bool announce);
  void Notify(const Message& message, std::uint16_t eventgroupId);
  // To the one subscriber of the group with this id, while it is subscribed.
  void NotifySubscriber(const Message& message, std::uint16_t eventgroupId, std::uint16_t subscriberId);
  // Goes the way its request came, found by the route the request was handed up with.
  void Reply(Message message);

 private:
  struct ReplyPath {
    std::shared_ptr<LocalOffer> offer;
    std::optional<sd::UdpEndpoint> udpAt;
    std::weak_ptr<TcpConnection> connection;
    std::uint16_t clientId = 0;
    std::uint16_t sessionId = 0;
  };

  void Close(LocalOffer& offer, bool keepConnections);
  void Receive(const std::shared_ptr<LocalOffer>& offer);
  void Accept(const std::shared_ptr<LocalOffer>& offer);
  void OnRequest(const std::shared_ptr<LocalOffer>& offer, const someip::Header& header,
                 std::span<const std::uint8_t> payload, const std::optional<sd::UdpEndpoint>& from,
                 const std::shared_ptr<TcpConnection>& connection);
  // To every subscriber of the group, or to the one with the id `only`.
  void SendNotification(const Message& message, std::uint16_t eventgroupId, std::optional<std::uint16_t> only);
  void SendOn(LocalOffer& offer, const std::optional<sd::UdpEndpoint>& to,
              const std::shared_ptr<TcpConnection>& connection, std::vector<std::uint8_t> bytes);
  void AnswerError(LocalOffer& offer, const someip::Header& request, someip::ReturnCode code,
                   const std::optional<sd::UdpEndpoint>& to, const std::shared_ptr<TcpConnection>& connection);
  std::vector<std::uint8_t> NotificationBytes(LocalOffer& offer, std::uint16_t eventId,
                                              std::span<const std::uint8_t> payload);
  void SendEvent(LocalOffer& offer, const sd::Subscriber& subscriber, const std::vector<std::uint8_t>& bytes);

  SideContext& context_;
  std::map<sd::InstanceKey, std::shared_ptr<LocalOffer>> local_;
  // Connections of withdrawn offers, left to their consumers to close.
  std::vector<std::weak_ptr<TcpConnection>> lingering_;
  // Route -> the way back of a request still to be answered; oldest first in order. Each request
  // gets a route of its own: keyed by client and session id alone, a request that looks like a
  // pending one would take over that one's way, and its answer with it.
  std::map<std::uint64_t, ReplyPath> replyPaths_;
  std::deque<std::uint64_t> replyOrder_;
  std::uint64_t nextRoute_ = 1;
  Throttle dropWarning_;
};

}  // namespace ara::com::transport
