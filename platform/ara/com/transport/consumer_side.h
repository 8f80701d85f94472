#pragma once

#include <array>
#include <cstdint>
#include <functional>
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

// The consumer side of the network transport: requests to the instances service discovery found
// and their answers, notifications from them, and the connections to them. Everything after Open
// runs on the I/O thread.
class ConsumerSide {
 public:
  explicit ConsumerSide(SideContext& context);

  // Binds the socket requests leave from and events arrive at; throws std::runtime_error.
  void Open();
  void StartReceiving();
  void Close();

  void Send(Message request);
  // Where subscriptions to the instance name their events (see SdHost::EventEndpoint).
  std::optional<someip::EndpointOption> EventEndpoint(const sd::InstanceKey& instance, const sd::RemoteOffer& offer,
                                                      const std::vector<std::uint16_t>& groups, bool subscribe);
  // The instance went away: its calls end, connections nobody offers any more are closed.
  void InstanceGone(const sd::InstanceKey& instance);
  void CloseUnusedConnections();
  // Calls unanswered past their deadline fail with a timeout.
  sd::TimePoint NextDeadline() const;
  void ExpireRequests(sd::TimePoint now);

 private:
  struct PendingRequest {
    std::uint16_t serviceId;
    std::uint16_t instanceId;
    std::uint16_t methodId;
    // Where it went: the UDP endpoint, or the connection.
    std::optional<sd::UdpEndpoint> sentTo;
    std::weak_ptr<TcpConnection> connection;
    sd::TimePoint deadline;
  };

  void Receive();
  std::shared_ptr<TcpConnection> ConnectionTo(const sd::TcpEndpoint& remote, std::function<void()> onConnected);
  void OnConnectionLost(const sd::TcpEndpoint& remote, TcpConnection& connection);
  void OnMessage(const someip::Header& header, std::span<const std::uint8_t> payload,
                 const std::optional<sd::UdpEndpoint>& udpFrom, const TcpConnection* connection);
  void OnAnswer(const someip::Header& header, std::span<const std::uint8_t> payload,
                const std::optional<sd::UdpEndpoint>& udpFrom, const TcpConnection* connection);
  void DeliverError(std::uint16_t session, const PendingRequest& request, std::uint8_t code);

  SideContext& context_;
  std::uint16_t clientId_;
  boost::asio::ip::udp::socket socket_;
  std::uint16_t port_ = 0;
  std::array<std::uint8_t, 65536> buffer_{};
  sd::UdpEndpoint sender_;
  std::map<std::uint16_t, PendingRequest> pending_;  // by session id
  std::map<sd::TcpEndpoint, std::shared_ptr<TcpConnection>> connections_;
  Throttle dropWarning_;
};

}  // namespace ara::com::transport
