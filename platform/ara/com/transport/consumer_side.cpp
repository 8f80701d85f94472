#include "ara/com/transport/consumer_side.h"

#include <algorithm>
#include <stdexcept>
#include <string>

#include "ara/com/internal/trace.h"
#include "ara/log/logging.h"

namespace ara::com::transport {

namespace {

namespace asio = boost::asio;
namespace sip = someip;
using asio::ip::udp;

// A UDP datagram holds at most this much SOME/IP.
constexpr std::size_t kMaxUdpMessage = 65507;

}  // namespace

ConsumerSide::ConsumerSide(SideContext& context)
    : context_(context), clientId_(context.Config().EffectiveClientId()), socket_(context.Io()) {}

void ConsumerSide::Open() {
  boost::system::error_code ec;
  socket_.open(udp::v4(), ec);
  if (!ec) {
    socket_.bind(udp::endpoint(context_.Unicast(), 0), ec);
  }
  if (ec) {
    throw std::runtime_error("ara::com network transport: cannot bind a UDP socket to " + context_.Config().unicast +
                             ": " + ec.message());
  }
  port_ = socket_.local_endpoint(ec).port();
}

void ConsumerSide::Close() {
  for (auto& [endpoint, connection] : connections_) {
    connection->SetHandlers(nullptr, nullptr);
    connection->Close();
  }
  connections_.clear();
  boost::system::error_code ec;
  socket_.close(ec);
}

void ConsumerSide::StartReceiving() {
  Receive();
}

void ConsumerSide::Receive() {
  socket_.async_receive_from(
      asio::buffer(buffer_), sender_, [this](const boost::system::error_code& error, std::size_t size) {
        if (error == asio::error::operation_aborted || !socket_.is_open()) {
          return;
        }
        if (!error) {
          DropOnError(dropWarning_, "SOME/IP datagram to a consumer", [&] {
            const auto from = sender_;
            sip::HeaderError headerError;
            for (const auto& view : sip::SplitDatagram({buffer_.data(), size}, headerError)) {
              OnMessage(view.header, view.payload, from, nullptr);
            }
            if (headerError != sip::HeaderError::kNone) {
              internal::Trace().LogDebug() << "Malformed SOME/IP from " << from.address().to_string() << ":"
                                           << from.port() << " dropped: " << sip::Describe(headerError);
            }
          });
        }
        Receive();
      });
}

std::optional<sip::EndpointOption> ConsumerSide::EventEndpoint(const sd::InstanceKey& instance,
                                                               const sd::RemoteOffer& offer,
                                                               const std::vector<std::uint16_t>& groups,
                                                               bool subscribe) {
  const auto network = context_.NetworkOf(instance.first);
  const bool viaTcp = offer.tcpAt && (network.events == Carrier::kTcp || !offer.udpAt);
  if (!viaTcp) {
    return sip::Ipv4Endpoint(context_.Unicast().to_bytes(), sip::kProtocolUdp, port_);
  }
  if (!subscribe && !connections_.contains(*offer.tcpAt)) {
    return std::nullopt;  // the subscription went with its connection
  }
  auto connection = ConnectionTo(*offer.tcpAt, [this, instance, groups, subscribe] {
    sd::SdActions actions;
    context_.Discovery().SendSubscribes(instance, groups, subscribe, actions);
    context_.Run(std::move(actions));
  });
  if (!connection->IsConnected()) {
    return std::nullopt;  // sent once the connection stands
  }
  return sip::Ipv4Endpoint(connection->Local().address().to_v4().to_bytes(), sip::kProtocolTcp,
                           connection->Local().port());
}

// Connections go only to endpoints of instances this side found (see the callers).
std::shared_ptr<TcpConnection> ConsumerSide::ConnectionTo(const sd::TcpEndpoint& remote,
                                                          std::function<void()> onConnected) {
  auto it = connections_.find(remote);
  if (it != connections_.end() && !it->second->IsClosed()) {
    return it->second;
  }
  auto connection = std::make_shared<TcpConnection>(asio::ip::tcp::socket(context_.Io()));
  connection->SetHandlers(
      [this](TcpConnection& c, const sip::Header& header, std::span<const std::uint8_t> payload) {
        DropOnError(dropWarning_, "SOME/IP message to a consumer",
                    [&] { OnMessage(header, payload, std::nullopt, &c); });
      },
      [this, remote](TcpConnection& c) { OnConnectionLost(remote, c); });
  connections_[remote] = connection;
  connection->Connect(remote, context_.Unicast(), std::move(onConnected));
  return connection;
}

void ConsumerSide::OnConnectionLost(const sd::TcpEndpoint& remote, TcpConnection& connection) {
  if (auto it = connections_.find(remote); it != connections_.end() && it->second.get() == &connection) {
    connections_.erase(it);
  }
  std::vector<std::pair<std::uint16_t, PendingRequest>> failed;
  for (auto it = pending_.begin(); it != pending_.end();) {
    if (it->second.connection.lock().get() == &connection) {
      failed.emplace_back(it->first, it->second);
      it = pending_.erase(it);
    } else {
      ++it;
    }
  }
  for (const auto& [session, request] : failed) {
    DeliverError(session, request, static_cast<std::uint8_t>(sip::ReturnCode::kNotReachable));
  }
  context_.Discovery().ConnectionLost(remote);
}

void ConsumerSide::InstanceGone(const sd::InstanceKey& instance) {
  std::erase_if(pending_, [&](const auto& entry) {
    return entry.second.serviceId == instance.first && entry.second.instanceId == instance.second;
  });
}

// A connection to an instance that is gone is closed; one is opened again on demand.
void ConsumerSide::CloseUnusedConnections() {
  std::vector<std::shared_ptr<TcpConnection>> unused;
  for (const auto& [remote, connection] : connections_) {
    if (!context_.Discovery().AnyOfferAt(remote)) {
      unused.push_back(connection);
    }
  }
  for (auto& connection : unused) {
    connection->Close();
  }
}

void ConsumerSide::DeliverError(std::uint16_t session, const PendingRequest& request, std::uint8_t code) {
  Message message;
  message.serviceId = request.serviceId;
  message.instanceId = request.instanceId;
  message.methodId = request.methodId;
  message.clientId = clientId_;
  message.sessionId = session;
  message.type = MessageType::kError;
  message.returnCode = code;
  context_.Deliver(std::move(message));
}

void ConsumerSide::Send(Message message) {
  const auto* offer = context_.Discovery().OfferOf({message.serviceId, message.instanceId});
  const auto& config = context_.Config();
  PendingRequest request{
      message.serviceId,
      message.instanceId,
      message.methodId,
      std::nullopt,
      {},
      config.requestTimeout.count() > 0 ? sd::Clock::now() + config.requestTimeout : sd::TimePoint::max()};
  if (offer == nullptr) {
    DeliverError(message.sessionId, request, kReturnServiceNotAvailable);
    return;
  }
  const auto network = context_.NetworkOf(message.serviceId);
  sip::Header header;
  header.serviceId = message.serviceId;
  header.methodId = message.methodId;
  header.clientId = message.clientId;
  header.sessionId = message.sessionId;
  header.interfaceVersion = offer->major;
  header.messageType = sip::kTypeRequest;
  auto bytes = sip::EncodeMessage(header, message.payload);
  const bool viaTcp =
      offer->tcpAt && (network.methods == Carrier::kTcp || !offer->udpAt || bytes.size() > kMaxUdpMessage);
  if (viaTcp) {
    auto connection = ConnectionTo(*offer->tcpAt, nullptr);
    request.connection = connection;
    pending_[message.sessionId] = request;
    connection->Send(std::move(bytes));
    return;
  }
  if (bytes.size() > kMaxUdpMessage) {
    DeliverError(message.sessionId, request, static_cast<std::uint8_t>(sip::ReturnCode::kMalformedMessage));
    return;
  }
  request.sentTo = *offer->udpAt;
  pending_[message.sessionId] = request;
  boost::system::error_code ec;
  socket_.send_to(asio::buffer(bytes), *offer->udpAt, 0, ec);
}

void ConsumerSide::OnMessage(const sip::Header& header, std::span<const std::uint8_t> payload,
                             const std::optional<sd::UdpEndpoint>& udpFrom, const TcpConnection* connection) {
  if (header.messageType == sip::kTypeResponse || header.messageType == sip::kTypeError) {
    OnAnswer(header, payload, udpFrom, connection);
    return;
  }
  if (header.messageType != sip::kTypeNotification || (header.methodId & 0x8000) == 0) {
    internal::Trace().LogDebug() << "SOME/IP message of type " << static_cast<unsigned>(header.messageType)
                                 << " for a consumer dropped";
    return;
  }
  // Only the endpoint an instance was offered at speaks for it.
  const std::optional<sd::TcpEndpoint> tcpFrom =
      connection != nullptr ? std::optional(connection->Remote()) : std::nullopt;
  const auto instanceId = context_.Discovery().InstanceAt(header.serviceId, udpFrom, tcpFrom);
  if (!instanceId) {
    internal::Trace().LogDebug() << "Notification of service " << header.serviceId
                                 << " from an endpoint that offers no instance of it dropped";
    return;
  }
  if (auto described = context_.Described(header.serviceId)) {
    const auto& events = described->events;
    if (std::none_of(events.begin(), events.end(),
                     [&](const EventDeployment& e) { return e.eventId == header.methodId; })) {
      internal::Trace().LogDebug() << "Notification of unknown event " << header.methodId << " dropped";
      return;
    }
  }
  Message message;
  message.serviceId = header.serviceId;
  message.instanceId = *instanceId;
  message.methodId = header.methodId;
  message.clientId = 0;
  message.sessionId = header.sessionId;
  message.type = MessageType::kNotification;
  message.payload.assign(payload.begin(), payload.end());
  context_.Deliver(std::move(message));
}

// An answer counts only from where its request went: the UDP endpoint, or the connection.
void ConsumerSide::OnAnswer(const sip::Header& header, std::span<const std::uint8_t> payload,
                            const std::optional<sd::UdpEndpoint>& udpFrom, const TcpConnection* connection) {
  auto it = pending_.find(header.sessionId);
  const bool fromThere =
      it != pending_.end() && (connection != nullptr ? it->second.connection.lock().get() == connection
                                                     : udpFrom && it->second.sentTo == *udpFrom);
  if (!fromThere || it->second.serviceId != header.serviceId || it->second.methodId != header.methodId ||
      header.clientId != clientId_) {
    // Also the answer to a request that has timed out: that one has been failed already.
    internal::Trace().LogDebug() << "SOME/IP answer for service " << header.serviceId << " method " << header.methodId
                                 << " session " << header.sessionId
                                 << " matches no request pending from where it came (late or stray), dropped";
    return;
  }
  const auto instanceId = it->second.instanceId;
  pending_.erase(it);
  Message message;
  message.serviceId = header.serviceId;
  message.instanceId = instanceId;
  message.methodId = header.methodId;
  message.clientId = header.clientId;
  message.sessionId = header.sessionId;
  message.type = header.messageType == sip::kTypeResponse ? MessageType::kResponse : MessageType::kError;
  message.returnCode = header.returnCode;
  if (message.type == MessageType::kResponse && message.returnCode != kReturnOk) {
    message.type = MessageType::kError;
  }
  message.payload.assign(payload.begin(), payload.end());
  context_.Deliver(std::move(message));
}

sd::TimePoint ConsumerSide::NextDeadline() const {
  sd::TimePoint due = sd::TimePoint::max();
  for (const auto& [session, request] : pending_) {
    due = std::min(due, request.deadline);
  }
  return due;
}

void ConsumerSide::ExpireRequests(sd::TimePoint now) {
  std::vector<std::pair<std::uint16_t, PendingRequest>> late;
  for (auto it = pending_.begin(); it != pending_.end();) {
    if (it->second.deadline <= now) {
      late.emplace_back(*it);
      it = pending_.erase(it);
    } else {
      ++it;
    }
  }
  for (const auto& [session, request] : late) {
    internal::Trace().LogInfo() << "SOME/IP request for service " << request.serviceId << " method " << request.methodId
                                << " session " << session << " timed out; an answer to it coming later is dropped";
    DeliverError(session, request, static_cast<std::uint8_t>(sip::ReturnCode::kTimeout));
  }
}

}  // namespace ara::com::transport
