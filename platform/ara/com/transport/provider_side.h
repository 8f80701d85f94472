#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <tuple>
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
  // The current value of each field of the group goes to a new subscriber.
  void SendValues(const sd::InstanceKey& instance, std::uint16_t eventgroupId, const sd::Subscriber& subscriber);
  void Notify(const Message& message, std::uint16_t eventgroupId);
  void Reply(Message message);

 private:
  struct ReplyPath {
    std::shared_ptr<LocalOffer> offer;
    std::optional<sd::UdpEndpoint> udpAt;
    std::weak_ptr<TcpConnection> connection;
  };

  void Close(LocalOffer& offer, bool keepConnections);
  void Receive(const std::shared_ptr<LocalOffer>& offer);
  void Accept(const std::shared_ptr<LocalOffer>& offer);
  void OnRequest(const std::shared_ptr<LocalOffer>& offer, const someip::Header& header,
                 std::span<const std::uint8_t> payload, const std::optional<sd::UdpEndpoint>& from,
                 const std::shared_ptr<TcpConnection>& connection);
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
  // (client, session) -> the way back of a request still to be answered; oldest first in order.
  std::map<std::pair<std::uint16_t, std::uint16_t>, ReplyPath> replyPaths_;
  std::deque<std::pair<std::uint16_t, std::uint16_t>> replyOrder_;
  // (service, instance, event) -> event group and the field's last value
  std::map<std::tuple<std::uint16_t, std::uint16_t, std::uint16_t>, std::pair<std::uint16_t, std::vector<std::uint8_t>>>
      lastValues_;
  Throttle dropWarning_;
};

}  // namespace ara::com::transport
