#include "ara/com/transport/provider_side.h"

#include <algorithm>
#include <stdexcept>
#include <string>

#include "ara/com/internal/trace.h"
#include "ara/log/logging.h"

namespace ara::com::transport {

namespace {

namespace asio = boost::asio;
namespace sip = someip;
using asio::ip::tcp;
using asio::ip::udp;
using Bytes = std::vector<std::uint8_t>;

// A UDP datagram holds at most this much SOME/IP.
constexpr std::size_t kMaxUdpMessage = 65507;
// Answers a provider still owes; beyond this the oldest path is forgotten.
constexpr std::size_t kMaxReplyPaths = 4096;

std::uint16_t NextSession(std::uint16_t& counter) {
  const std::uint16_t id = counter;
  counter = counter == 0xFFFF ? 1 : static_cast<std::uint16_t>(counter + 1);
  return id;
}

}  // namespace

struct ProviderSide::LocalOffer {
  explicit LocalOffer(asio::io_context& io) : udpSocket(io), acceptor(io) {}
  sd::InstanceKey instance;
  ServiceNetwork network;
  udp::socket udpSocket;
  tcp::acceptor acceptor;
  std::uint16_t udpPort = 0;
  std::uint16_t tcpPort = 0;
  std::array<std::uint8_t, 65536> buffer{};
  udp::endpoint sender;
  bool withdrawn = false;
  std::uint16_t notificationSession = 1;
  std::vector<std::shared_ptr<TcpConnection>> connections;
};

std::shared_ptr<ProviderSide::LocalOffer> ProviderSide::Open(std::uint16_t serviceId, std::uint16_t instanceId,
                                                             ServiceNetwork network) {
  auto offer = std::make_shared<LocalOffer>(context_.Io());
  offer->instance = {serviceId, instanceId};
  offer->network = std::move(network);
  const auto& unicast = context_.Unicast();
  boost::system::error_code ec;
  const auto fail = [&](const char* carrier, std::uint16_t port) {
    throw std::runtime_error("ara::com network transport: cannot offer service " + std::to_string(serviceId) + " on " +
                             carrier + " " + context_.Config().unicast + ":" + std::to_string(port) + ": " +
                             ec.message());
  };
  if (offer->network.udpPort) {
    offer->udpSocket.open(udp::v4(), ec);
    if (!ec) {
      offer->udpSocket.bind(udp::endpoint(unicast, *offer->network.udpPort), ec);
    }
    if (ec) {
      fail("UDP", *offer->network.udpPort);
    }
    offer->udpPort = offer->udpSocket.local_endpoint(ec).port();
  }
  if (offer->network.tcpPort) {
    offer->acceptor.open(tcp::v4(), ec);
    if (!ec) {
      offer->acceptor.set_option(tcp::acceptor::reuse_address(true), ec);
      offer->acceptor.bind(tcp::endpoint(unicast, *offer->network.tcpPort), ec);
    }
    if (!ec) {
      offer->acceptor.listen(asio::socket_base::max_listen_connections, ec);
    }
    if (ec) {
      boost::system::error_code ignored;
      offer->udpSocket.close(ignored);
      fail("TCP", *offer->network.tcpPort);
    }
    offer->tcpPort = offer->acceptor.local_endpoint(ec).port();
  }
  return offer;
}

void ProviderSide::Start(const std::shared_ptr<LocalOffer>& offer) {
  if (local_.contains(offer->instance)) {
    Close(*offer, false);
    return;
  }
  local_[offer->instance] = offer;
  if (offer->network.udpPort) {
    Receive(offer);
  }
  if (offer->network.tcpPort) {
    Accept(offer);
  }
  context_.Discovery().Offer({offer->instance, offer->network, offer->udpPort, offer->tcpPort}, sd::Clock::now());
}

// After a StopOffer the consumers close their connections themselves: closing them here would
// race the StopOffer, and a pending call would fail as a lost connection rather than as a
// service gone. They are closed at the latest when the transport stops.
void ProviderSide::Close(LocalOffer& offer, bool keepConnections) {
  offer.withdrawn = true;
  boost::system::error_code ec;
  offer.udpSocket.close(ec);
  offer.acceptor.close(ec);
  for (auto& connection : offer.connections) {
    if (keepConnections) {
      lingering_.push_back(connection);
    } else {
      connection->SetHandlers(nullptr, nullptr);
      connection->Close();
    }
  }
  offer.connections.clear();
  std::erase_if(lingering_, [](const auto& weak) { return weak.expired(); });
}

void ProviderSide::Withdraw(const sd::InstanceKey& instance, bool announce) {
  auto it = local_.find(instance);
  if (it == local_.end()) {
    return;
  }
  auto offer = it->second;
  local_.erase(it);
  sd::SdActions actions;
  context_.Discovery().StopOffer(instance, announce, actions);
  context_.Run(std::move(actions));
  Close(*offer, announce);
  std::erase_if(replyPaths_, [&](const auto& entry) { return entry.second.offer == offer; });
}

void ProviderSide::WithdrawAll(bool announce) {
  std::vector<sd::InstanceKey> offered;
  for (const auto& [key, offer] : local_) {
    offered.push_back(key);
  }
  for (const auto& key : offered) {
    Withdraw(key, announce);
  }
  for (auto& weak : lingering_) {
    if (auto connection = weak.lock()) {
      connection->SetHandlers(nullptr, nullptr);
      connection->Close();
    }
  }
  lingering_.clear();
}

void ProviderSide::Receive(const std::shared_ptr<LocalOffer>& offer) {
  offer->udpSocket.async_receive_from(
      asio::buffer(offer->buffer), offer->sender,
      [this, offer](const boost::system::error_code& error, std::size_t size) {
        if (offer->withdrawn) {
          return;
        }
        if (!error) {
          DropOnError(dropWarning_, "SOME/IP datagram to a provider", [&] {
            const auto from = offer->sender;
            sip::HeaderError headerError;
            for (const auto& view : sip::SplitDatagram({offer->buffer.data(), size}, headerError)) {
              OnRequest(offer, view.header, view.payload, from, nullptr);
            }
            if (headerError != sip::HeaderError::kNone) {
              internal::Trace().LogDebug() << "Malformed SOME/IP from " << from.address().to_string() << ":"
                                           << from.port() << " dropped: " << sip::Describe(headerError);
            }
          });
        }
        Receive(offer);
      });
}

void ProviderSide::Accept(const std::shared_ptr<LocalOffer>& offer) {
  offer->acceptor.async_accept([this, offer](const boost::system::error_code& error, tcp::socket socket) {
    if (offer->withdrawn) {
      return;
    }
    if (!error) {
      auto connection = std::make_shared<TcpConnection>(std::move(socket));
      std::weak_ptr<LocalOffer> weakOffer = offer;
      connection->SetHandlers(
          [this, weakOffer](TcpConnection& c, const sip::Header& header, std::span<const std::uint8_t> payload) {
            if (auto o = weakOffer.lock()) {
              DropOnError(dropWarning_, "SOME/IP message to a provider",
                          [&] { OnRequest(o, header, payload, std::nullopt, c.shared_from_this()); });
            }
          },
          [this, weakOffer](TcpConnection& c) {
            if (auto o = weakOffer.lock()) {
              sd::SdActions actions;
              context_.Discovery().DropTcpSubscriber(o->instance, c.Remote(), actions);
              context_.Run(std::move(actions));
              std::erase_if(o->connections, [&](const auto& p) { return p.get() == &c; });
            }
          });
      offer->connections.push_back(connection);
      connection->Start();
    }
    Accept(offer);
  });
}

void ProviderSide::SendOn(LocalOffer& offer, const std::optional<sd::UdpEndpoint>& to,
                          const std::shared_ptr<TcpConnection>& connection, Bytes bytes) {
  if (connection) {
    connection->Send(std::move(bytes));
  } else if (to && offer.udpSocket.is_open()) {
    boost::system::error_code ec;
    offer.udpSocket.send_to(asio::buffer(bytes), *to, 0, ec);
  }
}

void ProviderSide::AnswerError(LocalOffer& offer, const sip::Header& request, sip::ReturnCode code,
                               const std::optional<sd::UdpEndpoint>& to,
                               const std::shared_ptr<TcpConnection>& connection) {
  sip::Header header = request;
  header.interfaceVersion = offer.network.majorVersion;
  header.messageType = sip::kTypeError;
  header.returnCode = static_cast<std::uint8_t>(code);
  SendOn(offer, to, connection, sip::EncodeMessage(header, {}));
}

void ProviderSide::OnRequest(const std::shared_ptr<LocalOffer>& offer, const sip::Header& header,
                             std::span<const std::uint8_t> payload, const std::optional<sd::UdpEndpoint>& from,
                             const std::shared_ptr<TcpConnection>& connection) {
  if (offer->withdrawn) {
    return;  // no longer offered
  }
  if (header.serviceId != offer->instance.first) {
    internal::Trace().LogDebug() << "SOME/IP request for unknown service " << header.serviceId << " dropped";
    return;
  }
  if (header.messageType != sip::kTypeRequest && header.messageType != sip::kTypeRequestNoReturn) {
    internal::Trace().LogDebug() << "SOME/IP message of type " << static_cast<unsigned>(header.messageType)
                                 << " on a service port dropped";
    return;
  }
  const bool answer = header.messageType == sip::kTypeRequest;
  if (header.interfaceVersion != offer->network.majorVersion) {
    if (answer) {
      AnswerError(*offer, header, sip::ReturnCode::kWrongInterfaceVersion, from, connection);
    }
    return;
  }
  if (auto described = context_.Described(header.serviceId)) {
    const auto& methods = described->methodIds;
    if (std::find(methods.begin(), methods.end(), header.methodId) == methods.end()) {
      if (answer) {
        AnswerError(*offer, header, sip::ReturnCode::kUnknownMethod, from, connection);
      }
      return;
    }
  }
  if (!answer) {
    return;  // the binding's methods all return an answer
  }
  const std::uint64_t route = nextRoute_++;
  replyOrder_.push_back(route);
  replyPaths_[route] = ReplyPath{offer, from, connection, header.clientId, header.sessionId};
  while (replyOrder_.size() > kMaxReplyPaths) {
    replyPaths_.erase(replyOrder_.front());
    replyOrder_.pop_front();
  }
  Message message;
  message.serviceId = header.serviceId;
  message.instanceId = offer->instance.second;
  message.methodId = header.methodId;
  message.clientId = header.clientId;
  message.sessionId = header.sessionId;
  message.type = MessageType::kRequest;
  message.payload.assign(payload.begin(), payload.end());
  message.route = route;
  context_.Deliver(std::move(message));
}

void ProviderSide::Reply(Message message) {
  auto it = replyPaths_.find(message.route);
  if (it == replyPaths_.end() || it->second.clientId != message.clientId || it->second.sessionId != message.sessionId) {
    return;  // the request's way back is gone
  }
  ReplyPath path = std::move(it->second);
  replyPaths_.erase(it);
  std::erase(replyOrder_, message.route);
  if (path.offer->withdrawn) {
    return;
  }
  sip::Header header;
  header.serviceId = message.serviceId;
  header.methodId = message.methodId;
  header.clientId = message.clientId;
  header.sessionId = message.sessionId;
  header.interfaceVersion = path.offer->network.majorVersion;
  header.messageType = static_cast<std::uint8_t>(message.type);
  header.returnCode = message.returnCode;
  auto bytes = sip::EncodeMessage(header, message.payload);
  auto connection = path.connection.lock();
  if (!connection && !path.udpAt) {
    return;  // the connection it came over is lost
  }
  if (!connection && bytes.size() > kMaxUdpMessage) {
    internal::Trace().LogWarn() << "Answer of " << bytes.size() << " bytes does not fit a UDP datagram, dropped";
    return;
  }
  SendOn(*path.offer, path.udpAt, connection, std::move(bytes));
}

void ProviderSide::Notify(const Message& message, std::uint16_t eventgroupId) {
  SendNotification(message, eventgroupId, std::nullopt);
}

void ProviderSide::NotifySubscriber(const Message& message, std::uint16_t eventgroupId, std::uint16_t subscriberId) {
  SendNotification(message, eventgroupId, subscriberId);
}

void ProviderSide::SendNotification(const Message& message, std::uint16_t eventgroupId,
                                    std::optional<std::uint16_t> only) {
  auto it = local_.find({message.serviceId, message.instanceId});
  if (it == local_.end()) {
    return;  // only an offered instance reaches subscribers
  }
  auto& offer = *it->second;
  auto subscribers = context_.Discovery().SubscribersOf(offer.instance, eventgroupId);
  if (only) {
    std::erase_if(subscribers, [&](const sd::Subscriber& s) { return s.id != *only; });
  }
  if (subscribers.empty()) {
    return;
  }
  const auto bytes = NotificationBytes(offer, message.methodId, message.payload);
  for (const auto& subscriber : subscribers) {
    SendEvent(offer, subscriber, bytes);
  }
}

Bytes ProviderSide::NotificationBytes(LocalOffer& offer, std::uint16_t eventId, std::span<const std::uint8_t> payload) {
  sip::Header header;
  header.serviceId = offer.instance.first;
  header.methodId = eventId;
  header.clientId = 0;
  header.sessionId = NextSession(offer.notificationSession);
  header.interfaceVersion = offer.network.majorVersion;
  header.messageType = sip::kTypeNotification;
  return sip::EncodeMessage(header, payload);
}

void ProviderSide::SendEvent(LocalOffer& offer, const sd::Subscriber& subscriber, const Bytes& bytes) {
  const bool viaTcp =
      subscriber.tcpAt && (offer.network.events == Carrier::kTcp || !subscriber.udpAt || bytes.size() > kMaxUdpMessage);
  if (viaTcp) {
    for (const auto& connection : offer.connections) {
      if (connection->Remote() == *subscriber.tcpAt) {
        connection->Send(bytes);
        return;
      }
    }
    return;
  }
  if (subscriber.udpAt && bytes.size() <= kMaxUdpMessage) {
    boost::system::error_code ec;
    offer.udpSocket.send_to(asio::buffer(bytes), *subscriber.udpAt, 0, ec);
  }
}

}  // namespace ara::com::transport
