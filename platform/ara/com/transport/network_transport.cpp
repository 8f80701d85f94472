#include "ara/com/transport/network_transport.h"

#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

#include <algorithm>
#include <array>
#include <deque>
#include <future>
#include <map>
#include <mutex>
#include <optional>
#include <random>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

#include <boost/asio.hpp>

#include "ara/com/internal/trace.h"
#include "ara/com/transport/someip_codec.h"
#include "ara/log/logging.h"

namespace ara::com::transport {

namespace {

namespace asio = boost::asio;
using asio::ip::tcp;
using asio::ip::udp;
using Clock = std::chrono::steady_clock;
using Bytes = std::vector<std::uint8_t>;
using InstanceKey = std::pair<std::uint16_t, std::uint16_t>;
using SubscriptionKey = std::tuple<std::uint16_t, std::uint16_t, std::uint16_t>;

namespace sip = someip;

// Beyond this a stream is taken to be out of step and the connection is closed.
constexpr std::uint32_t kMaxTcpMessage = 16U * 1024U * 1024U;
// A UDP datagram holds at most this much SOME/IP.
constexpr std::size_t kMaxUdpMessage = 65507;
// Answers a provider still owes; beyond this the oldest path is forgotten.
constexpr std::size_t kMaxReplyPaths = 4096;
constexpr std::uint32_t kTtlForever = 0xFFFFFF;

std::array<std::uint8_t, 4> Bytes4(const asio::ip::address_v4& a) {
  return a.to_bytes();
}

asio::ip::address_v4 AddressOf(const sip::EndpointOption& option) {
  return asio::ip::address_v4({option.address[0], option.address[1], option.address[2], option.address[3]});
}

// The interface whose address this is; loopback addresses map to the loopback interface.
unsigned InterfaceIndexOf(const asio::ip::address_v4& address) {
  unsigned index = 0;
  ifaddrs* list = nullptr;
  if (::getifaddrs(&list) == 0) {
    for (auto* it = list; it != nullptr && index == 0; it = it->ifa_next) {
      if (it->ifa_addr != nullptr && it->ifa_addr->sa_family == AF_INET) {
        const auto* in = reinterpret_cast<const sockaddr_in*>(it->ifa_addr);
        if (ntohl(in->sin_addr.s_addr) == address.to_uint()) {
          index = ::if_nametoindex(it->ifa_name);
        }
      }
    }
    ::freeifaddrs(list);
  }
  if (index == 0 && address.is_loopback()) {
    index = ::if_nametoindex("lo");
  }
  return index;
}

// One session counter of an SD sender: 1..0xFFFF, then 1 again; the reboot flag stays set until
// the first wrap.
struct SessionCounter {
  std::uint16_t next = 1;
  bool wrapped = false;
  std::pair<std::uint16_t, bool> Take() {
    const std::uint16_t id = next;
    const bool reboot = !wrapped;
    if (next == 0xFFFF) {
      next = 1;
      wrapped = true;
    } else {
      ++next;
    }
    return {id, reboot};
  }
};

std::uint16_t NextSession(std::uint16_t& counter) {
  const std::uint16_t id = counter;
  counter = counter == 0xFFFF ? 1 : static_cast<std::uint16_t>(counter + 1);
  return id;
}

// A SOME/IP stream over one TCP connection, framed by the Length field.
class TcpConnection : public std::enable_shared_from_this<TcpConnection> {
 public:
  using MessageHandler = std::function<void(TcpConnection&, const sip::Header&, std::span<const std::uint8_t>)>;
  using ClosedHandler = std::function<void(TcpConnection&)>;

  explicit TcpConnection(tcp::socket socket) : socket_(std::move(socket)) {}

  void SetHandlers(MessageHandler onMessage, ClosedHandler onClosed) {
    onMessage_ = std::move(onMessage);
    onClosed_ = std::move(onClosed);
  }

  // For a connection that is already open (accepted).
  void Start() {
    connected_ = true;
    boost::system::error_code ec;
    socket_.set_option(tcp::no_delay(true), ec);
    remote_ = socket_.remote_endpoint(ec);
    local_ = socket_.local_endpoint(ec);
    Read();
  }

  void Connect(const tcp::endpoint& remote, const asio::ip::address_v4& local, std::function<void()> onConnected) {
    remote_ = remote;
    boost::system::error_code ec;
    socket_.open(tcp::v4(), ec);
    if (!ec) {
      socket_.bind(tcp::endpoint(local, 0), ec);
    }
    if (ec) {
      Close();
      return;
    }
    socket_.async_connect(remote, [self = shared_from_this(),
                                   onConnected = std::move(onConnected)](const boost::system::error_code& error) {
      if (error || self->closed_) {
        self->Close();
        return;
      }
      self->Start();
      if (onConnected) {
        onConnected();
      }
      self->Flush();
    });
  }

  void Send(Bytes bytes) {
    if (closed_) {
      return;
    }
    outbox_.push_back(std::move(bytes));
    if (connected_) {
      Flush();
    }
  }

  void Close() {
    if (closed_) {
      return;
    }
    closed_ = true;
    boost::system::error_code ec;
    socket_.shutdown(tcp::socket::shutdown_both, ec);
    socket_.close(ec);
    outbox_.clear();
    if (auto onClosed = std::move(onClosed_)) {
      onClosed(*this);
    }
    onMessage_ = nullptr;
  }

  bool IsConnected() const noexcept { return connected_ && !closed_; }
  bool IsClosed() const noexcept { return closed_; }
  const tcp::endpoint& Remote() const noexcept { return remote_; }
  const tcp::endpoint& Local() const noexcept { return local_; }

 private:
  void Read() {
    socket_.async_read_some(
        asio::buffer(chunk_), [self = shared_from_this()](const boost::system::error_code& error, std::size_t size) {
          if (error || self->closed_) {
            self->Close();
            return;
          }
          self->inbox_.insert(self->inbox_.end(), self->chunk_.begin(), self->chunk_.begin() + static_cast<long>(size));
          if (self->Consume()) {
            self->Read();
          }
        });
  }

  // Hands on every whole message buffered; false when the stream was found out of step.
  bool Consume() {
    std::size_t at = 0;
    while (inbox_.size() - at >= sip::kHeaderSize && !closed_) {
      const std::span<const std::uint8_t> rest(inbox_.data() + at, inbox_.size() - at);
      sip::Header header;
      const auto error = sip::ReadHeader(rest, header);
      if (error == sip::HeaderError::kWrongProtocolVersion || header.length < 8 || header.length > kMaxTcpMessage) {
        internal::Trace().LogWarn() << "SOME/IP over TCP from " << remote_.address().to_string() << ":"
                                    << remote_.port() << " out of step, closing the connection";
        Close();
        return false;
      }
      if (error == sip::HeaderError::kBadLength) {
        break;  // the rest of the message is still on its way
      }
      const std::size_t size = sip::kHeaderSize + header.length - 8;
      if (onMessage_) {
        onMessage_(*this, header, rest.subspan(sip::kHeaderSize, header.length - 8));
      }
      at += size;
    }
    inbox_.erase(inbox_.begin(), inbox_.begin() + static_cast<long>(at));
    return !closed_;
  }

  void Flush() {
    if (writing_ || outbox_.empty() || closed_) {
      return;
    }
    writing_ = true;
    asio::async_write(socket_, asio::buffer(outbox_.front()),
                      [self = shared_from_this()](const boost::system::error_code& error, std::size_t) {
                        self->writing_ = false;
                        if (error || self->closed_) {
                          self->Close();
                          return;
                        }
                        self->outbox_.pop_front();
                        self->Flush();
                      });
  }

  tcp::socket socket_;
  tcp::endpoint remote_;
  tcp::endpoint local_;
  std::array<std::uint8_t, 65536> chunk_{};
  Bytes inbox_;
  std::deque<Bytes> outbox_;
  bool connected_ = false;
  bool writing_ = false;
  bool closed_ = false;
  MessageHandler onMessage_;
  ClosedHandler onClosed_;
};

class Engine : public std::enable_shared_from_this<Engine> {
 public:
  explicit Engine(NetworkOptions options)
      : options_(std::move(options)),
        config_(options_.config),
        work_(asio::make_work_guard(io_)),
        sdUnicast_(io_),
        sdMulticast_(io_),
        client_(io_),
        housekeeping_(io_),
        random_(std::random_device{}()) {
    boost::system::error_code ec;
    unicast_ = asio::ip::make_address_v4(config_.unicast, ec);
    group_ = asio::ip::make_address_v4(config_.sdMulticast, ec);
    clientId_ = config_.EffectiveClientId();
  }

  std::uint16_t ClientId() const noexcept { return clientId_; }

  void Start(TransportHandlers handlers) {
    {
      std::lock_guard lock(mutex_);
      if (started_ || stopped_) {
        throw std::logic_error("Transport already started");
      }
      started_ = true;
    }
    handlers_ = std::move(handlers);
    OpenSockets();  // throws before anything runs
    ReceiveSd(sdUnicast_, sdUnicastBuffer_, false);
    ReceiveSd(sdMulticast_, sdMulticastBuffer_, true);
    ReceiveClient();
    ScheduleHousekeeping();
    std::lock_guard lock(mutex_);
    thread_ = std::thread([self = shared_from_this()] {
      try {
        self->io_.run();
      } catch (const std::exception& e) {
        internal::Trace().LogError() << "SOME/IP transport stopped by an error: " << e.what();
      }
    });
    running_ = true;
  }

  void Stop() {
    {
      std::lock_guard lock(mutex_);
      if (stopped_) {
        return;
      }
      stopped_ = true;
      if (!running_) {
        return;
      }
    }
    if (thread_.get_id() == std::this_thread::get_id()) {
      Shutdown();
      io_.stop();
      thread_.detach();  // stopping from inside a handler: the loop ends after it
      return;
    }
    std::promise<void> done;
    asio::post(io_, [this, &done] {
      Shutdown();
      done.set_value();
    });
    done.get_future().wait();
    io_.stop();
    thread_.join();
  }

  void Describe(const ServiceDeployment& deployment) {
    std::lock_guard lock(mutex_);
    described_[deployment.serviceId] = std::make_shared<const ServiceDeployment>(deployment);
  }

  std::vector<std::uint16_t> FindService(std::uint16_t serviceId) {
    std::vector<std::uint16_t> instances;
    {
      std::lock_guard lock(mutex_);
      for (const auto& key : available_) {
        if (key.first == serviceId) {
          instances.push_back(key.second);
        }
      }
    }
    Post([this, serviceId] {
      if (watches_[serviceId]++ == 0) {
        StartFind(serviceId);
      }
    });
    return instances;
  }

  void StopFindService(std::uint16_t serviceId) {
    Post([this, serviceId] {
      auto it = watches_.find(serviceId);
      if (it != watches_.end() && --it->second <= 0) {
        watches_.erase(it);
        finds_.erase(serviceId);
      }
    });
  }

  void Subscribe(std::uint16_t serviceId, std::uint16_t instanceId, std::uint16_t eventgroupId, bool subscribe) {
    Post([this, serviceId, instanceId, eventgroupId, subscribe] {
      const SubscriptionKey key{serviceId, instanceId, eventgroupId};
      if (subscribe) {
        if (++subscriptions_[key].count == 1) {
          SendSubscribes(serviceId, instanceId, {eventgroupId}, true);
        }
        return;
      }
      auto it = subscriptions_.find(key);
      if (it == subscriptions_.end() || --it->second.count > 0) {
        return;
      }
      subscriptions_.erase(it);
      SendSubscribes(serviceId, instanceId, {eventgroupId}, false);
    });
  }

  void OfferService(std::uint16_t serviceId, std::uint16_t instanceId) {
    {
      std::lock_guard lock(mutex_);
      if (available_.contains({serviceId, instanceId})) {
        throw std::logic_error("Service instance is already offered by another provider");
      }
      if (!offeredHere_.insert({serviceId, instanceId}).second) {
        return;
      }
    }
    auto offer = std::make_shared<LocalOffer>(io_);
    offer->serviceId = serviceId;
    offer->instanceId = instanceId;
    offer->network = NetworkOf(serviceId);
    try {
      OpenOffer(*offer);
    } catch (...) {
      std::lock_guard lock(mutex_);
      offeredHere_.erase({serviceId, instanceId});
      throw;
    }
    Post([this, offer] { StartOffer(offer); });
  }

  void StopOfferService(std::uint16_t serviceId, std::uint16_t instanceId) {
    {
      std::lock_guard lock(mutex_);
      offeredHere_.erase({serviceId, instanceId});
    }
    Post([this, serviceId, instanceId] { WithdrawOffer({serviceId, instanceId}, true); });
  }

  void Notify(Message message, std::uint16_t eventgroupId) {
    Post([this, message = std::move(message), eventgroupId]() mutable { SendNotification(message, eventgroupId); });
  }

  void Send(Message message) {
    if (message.type == MessageType::kRequest) {
      message.clientId = clientId_;
      Post([this, message = std::move(message)]() mutable { SendRequest(std::move(message)); });
    } else {
      Post([this, message = std::move(message)]() mutable { SendReply(std::move(message)); });
    }
  }

  void PostHeartbeat(std::function<void()> answered) { Post(std::move(answered)); }

 private:
  // ---- state of the consumer side ----
  struct RemoteOffer {
    udp::endpoint sd;
    std::uint8_t major = 0;
    std::uint32_t minor = 0;
    std::optional<udp::endpoint> udpAt;
    std::optional<tcp::endpoint> tcpAt;
    Clock::time_point expires;
  };
  struct Subscription {
    int count = 0;
    bool acked = false;
    bool everAcked = false;
  };
  struct FindState {
    std::unique_ptr<asio::steady_timer> timer;
    unsigned repetition = 0;
  };
  struct PendingRequest {
    std::uint16_t serviceId;
    std::uint16_t instanceId;
    std::uint16_t methodId;
    std::weak_ptr<TcpConnection> connection;
    Clock::time_point deadline;
  };

  // ---- state of the provider side ----
  struct Subscriber {
    std::optional<udp::endpoint> udpAt;
    std::optional<tcp::endpoint> tcpAt;
    Clock::time_point expires;
    std::uint16_t id;
  };
  struct LocalOffer {
    explicit LocalOffer(asio::io_context& io) : udpSocket(io), acceptor(io), timer(io) {}
    std::uint16_t serviceId = 0;
    std::uint16_t instanceId = 0;
    ServiceNetwork network;
    udp::socket udpSocket;
    tcp::acceptor acceptor;
    std::uint16_t udpPort = 0;
    std::uint16_t tcpPort = 0;
    std::array<std::uint8_t, 65536> buffer{};
    udp::endpoint sender;
    asio::steady_timer timer;
    unsigned repetition = 0;
    bool withdrawn = false;
    std::uint16_t notificationSession = 1;
    // event group -> subscriber (address, port) -> subscriber
    std::map<std::uint16_t, std::map<std::pair<asio::ip::address_v4, std::uint16_t>, Subscriber>> subscribers;
    std::vector<std::shared_ptr<TcpConnection>> connections;
  };
  struct ReplyPath {
    std::shared_ptr<LocalOffer> offer;
    std::optional<udp::endpoint> udpAt;
    std::weak_ptr<TcpConnection> connection;
  };
  struct PeerSessions {
    std::uint16_t last = 0;
    bool reboot = false;
  };

  template <typename F>
  void Post(F&& f) {
    // Handlers capture `this` only: they run on the I/O thread, which keeps the engine alive, and a
    // handler left in the queue at the end must not keep it alive in turn.
    asio::post(io_, [this, f = std::forward<F>(f)]() mutable {
      if (!shutdown_) {
        f();
      }
    });
  }

  std::shared_ptr<const ServiceDeployment> Described(std::uint16_t serviceId) const {
    std::lock_guard lock(mutex_);
    auto it = described_.find(serviceId);
    return it == described_.end() ? nullptr : it->second;
  }

  ServiceNetwork NetworkOf(std::uint16_t serviceId) const {
    auto described = Described(serviceId);
    return described ? config_.For(described->interfaceName) : ServiceNetwork{};
  }

  void Fail(const std::string& what) { throw std::runtime_error("ara::com network transport: " + what); }

  void OpenSockets() {
    boost::system::error_code ec;
    asio::ip::make_address_v4(config_.unicast, ec);
    if (ec) {
      Fail("unicast address \"" + config_.unicast + "\" is not an IPv4 address");
    }
    const unsigned interfaceIndex = InterfaceIndexOf(unicast_);
    if (interfaceIndex == 0) {
      Fail("no network interface has the unicast address " + config_.unicast);
    }
    const std::string sdWhere = config_.unicast + ":" + std::to_string(config_.sdPort);
    sdUnicast_.open(udp::v4(), ec);
    if (!ec) {
      sdUnicast_.bind(udp::endpoint(unicast_, config_.sdPort), ec);
    }
    if (ec) {
      Fail("cannot bind the SD socket to " + sdWhere + ": " + ec.message());
    }
    ip_mreqn request{};
    request.imr_ifindex = static_cast<int>(interfaceIndex);
    if (::setsockopt(sdUnicast_.native_handle(), IPPROTO_IP, IP_MULTICAST_IF, &request, sizeof request) != 0) {
      Fail("cannot send multicast from " + config_.unicast);
    }
    sdUnicast_.set_option(asio::ip::multicast::enable_loopback(true), ec);
    sdUnicast_.set_option(asio::ip::multicast::hops(1), ec);

    const std::string groupWhere = config_.sdMulticast + ":" + std::to_string(config_.sdPort);
    sdMulticast_.open(udp::v4(), ec);
    if (!ec) {
      sdMulticast_.set_option(udp::socket::reuse_address(true), ec);
      const int one = 1;
      ::setsockopt(sdMulticast_.native_handle(), SOL_SOCKET, SO_REUSEPORT, &one, sizeof one);
      sdMulticast_.bind(udp::endpoint(group_, config_.sdPort), ec);
    }
    if (ec) {
      Fail("cannot bind the SD multicast socket to " + groupWhere + ": " + ec.message());
    }
    ip_mreqn join{};
    join.imr_multiaddr.s_addr = htonl(group_.to_uint());
    join.imr_ifindex = static_cast<int>(interfaceIndex);
    if (::setsockopt(sdMulticast_.native_handle(), IPPROTO_IP, IP_ADD_MEMBERSHIP, &join, sizeof join) != 0) {
      Fail("cannot join the SD multicast group " + config_.sdMulticast + " on the interface of " + config_.unicast);
    }

    client_.open(udp::v4(), ec);
    if (!ec) {
      client_.bind(udp::endpoint(unicast_, 0), ec);
    }
    if (ec) {
      Fail("cannot bind a UDP socket to " + config_.unicast + ": " + ec.message());
    }
    clientPort_ = client_.local_endpoint(ec).port();
  }

  // Runs on the I/O thread: withdraws what this side announced and closes every socket.
  void Shutdown() {
    if (options_.withdrawOnStop) {
      std::vector<InstanceKey> offered;
      for (const auto& [key, offer] : local_) {
        offered.push_back(key);
      }
      for (const auto& key : offered) {
        WithdrawOffer(key, true);
      }
      std::map<InstanceKey, std::vector<std::uint16_t>> groups;
      for (const auto& [key, sub] : subscriptions_) {
        groups[{std::get<0>(key), std::get<1>(key)}].push_back(std::get<2>(key));
      }
      for (const auto& [key, list] : groups) {
        SendSubscribes(key.first, key.second, list, false);
      }
    }
    shutdown_ = true;
    boost::system::error_code ec;
    for (auto& [key, offer] : local_) {
      CloseOffer(*offer);
    }
    local_.clear();
    for (auto& [endpoint, connection] : connections_) {
      connection->SetHandlers(nullptr, nullptr);
      connection->Close();
    }
    connections_.clear();
    for (auto& weak : lingering_) {
      if (auto connection = weak.lock()) {
        connection->SetHandlers(nullptr, nullptr);
        connection->Close();
      }
    }
    lingering_.clear();
    finds_.clear();
    housekeeping_.cancel();
    sdUnicast_.close(ec);
    sdMulticast_.close(ec);
    client_.close(ec);
  }

  // ---- SD sending ----

  void SendSd(const std::vector<sip::SdEntry>& entries, const std::optional<udp::endpoint>& to) {
    if (entries.empty()) {
      return;
    }
    sip::SdMessage message;
    auto& counter = to ? unicastSessions_[*to] : multicastSession_;
    const auto [session, reboot] = counter.Take();
    message.flags = static_cast<std::uint8_t>(sip::kSdFlagUnicast | (reboot ? sip::kSdFlagReboot : 0));
    message.entries = entries;
    const auto bytes = sip::EncodeSdMessage(session, message);
    boost::system::error_code ec;
    sdUnicast_.send_to(asio::buffer(bytes), to ? *to : udp::endpoint(group_, config_.sdPort), 0, ec);
    if (ec) {
      internal::Trace().LogWarn() << "SD message not sent: " << ec.message();
    }
  }

  sip::SdEntry OfferEntry(const LocalOffer& offer, bool stop) const {
    sip::SdEntry entry;
    entry.type = sip::EntryType::kOfferService;
    entry.serviceId = offer.serviceId;
    entry.instanceId = offer.instanceId;
    entry.majorVersion = offer.network.majorVersion;
    entry.minorVersion = offer.network.minorVersion;
    entry.ttl = stop ? 0 : config_.timings.ttl;
    if (offer.network.udpPort) {
      entry.options.push_back(sip::Ipv4Endpoint(Bytes4(unicast_), sip::kProtocolUdp, offer.udpPort));
    }
    if (offer.network.tcpPort) {
      entry.options.push_back(sip::Ipv4Endpoint(Bytes4(unicast_), sip::kProtocolTcp, offer.tcpPort));
    }
    return entry;
  }

  // ---- provider side ----

  // Opens the service's ports; on the caller's thread, so that a port in use fails the offer.
  void OpenOffer(LocalOffer& offer) {
    boost::system::error_code ec;
    const auto where = [&](std::uint16_t port) { return config_.unicast + ":" + std::to_string(port); };
    if (offer.network.udpPort) {
      offer.udpSocket.open(udp::v4(), ec);
      if (!ec) {
        offer.udpSocket.bind(udp::endpoint(unicast_, *offer.network.udpPort), ec);
      }
      if (ec) {
        Fail("cannot offer service " + std::to_string(offer.serviceId) + " on UDP " + where(*offer.network.udpPort) +
             ": " + ec.message());
      }
      offer.udpPort = offer.udpSocket.local_endpoint(ec).port();
    }
    if (offer.network.tcpPort) {
      offer.acceptor.open(tcp::v4(), ec);
      if (!ec) {
        offer.acceptor.set_option(tcp::acceptor::reuse_address(true), ec);
        offer.acceptor.bind(tcp::endpoint(unicast_, *offer.network.tcpPort), ec);
      }
      if (!ec) {
        offer.acceptor.listen(asio::socket_base::max_listen_connections, ec);
      }
      if (ec) {
        offer.udpSocket.close(ec);
        Fail("cannot offer service " + std::to_string(offer.serviceId) + " on TCP " + where(*offer.network.tcpPort) +
             ": " + ec.message());
      }
      offer.tcpPort = offer.acceptor.local_endpoint(ec).port();
    }
  }

  void StartOffer(const std::shared_ptr<LocalOffer>& offer) {
    const InstanceKey key{offer->serviceId, offer->instanceId};
    if (local_.contains(key)) {
      CloseOffer(*offer);
      return;
    }
    local_[key] = offer;
    if (offer->network.udpPort) {
      ReceiveService(offer);
    }
    if (offer->network.tcpPort) {
      Accept(offer);
    }
    // Initial wait, then the repetition phase, then the cyclic offers.
    const auto& t = config_.timings;
    std::uniform_int_distribution<long> delay(t.initialDelayMin.count(), t.initialDelayMax.count());
    offer->repetition = 0;
    ScheduleOffer(offer, std::chrono::milliseconds(delay(random_)));
  }

  void ScheduleOffer(const std::shared_ptr<LocalOffer>& offer, std::chrono::milliseconds after) {
    offer->timer.expires_after(after);
    offer->timer.async_wait([this, offer](const boost::system::error_code& error) {
      if (error || offer->withdrawn || shutdown_) {
        return;
      }
      SendSd({OfferEntry(*offer, false)}, std::nullopt);
      const auto& t = config_.timings;
      if (offer->repetition < t.repetitionsMax) {
        ScheduleOffer(offer, t.repetitionBaseDelay * (1U << offer->repetition));
        ++offer->repetition;
      } else {
        ScheduleOffer(offer, t.cyclicOfferDelay);
      }
    });
  }

  // After a StopOffer the consumers close their connections themselves: closing them here would
  // race the StopOffer, and a pending call would fail as a lost connection rather than as a
  // service gone. They are closed at the latest when the transport stops.
  void CloseOffer(LocalOffer& offer, bool keepConnections = false) {
    offer.withdrawn = true;
    boost::system::error_code ec;
    offer.timer.cancel();
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

  void WithdrawOffer(const InstanceKey& key, bool announce) {
    auto it = local_.find(key);
    if (it == local_.end()) {
      return;
    }
    auto offer = it->second;
    local_.erase(it);
    if (announce) {
      SendSd({OfferEntry(*offer, true)}, std::nullopt);
    }
    CloseOffer(*offer, announce);
    std::erase_if(replyPaths_, [&](const auto& entry) { return entry.second.offer == offer; });
  }

  void ReceiveService(const std::shared_ptr<LocalOffer>& offer) {
    offer->udpSocket.async_receive_from(
        asio::buffer(offer->buffer), offer->sender,
        [this, offer](const boost::system::error_code& error, std::size_t size) {
          if (offer->withdrawn || shutdown_) {
            return;
          }
          if (!error) {
            const auto from = offer->sender;
            sip::HeaderError headerError;
            for (const auto& view : sip::SplitDatagram({offer->buffer.data(), size}, headerError)) {
              OnServiceMessage(offer, view.header, view.payload, from, nullptr);
            }
            TraceMalformed(headerError, from);
          }
          ReceiveService(offer);
        });
  }

  void Accept(const std::shared_ptr<LocalOffer>& offer) {
    offer->acceptor.async_accept([this, offer](const boost::system::error_code& error, tcp::socket socket) {
      if (offer->withdrawn || shutdown_) {
        return;
      }
      if (!error) {
        auto connection = std::make_shared<TcpConnection>(std::move(socket));
        std::weak_ptr<LocalOffer> weakOffer = offer;
        connection->SetHandlers(
            [this, weakOffer](TcpConnection& c, const sip::Header& header, std::span<const std::uint8_t> payload) {
              if (auto o = weakOffer.lock()) {
                OnServiceMessage(o, header, payload, std::nullopt, c.shared_from_this());
              }
            },
            [this, weakOffer](TcpConnection& c) {
              if (auto o = weakOffer.lock()) {
                DropTcpSubscriber(*o, c.Remote());
                std::erase_if(o->connections, [&](const auto& p) { return p.get() == &c; });
              }
            });
        offer->connections.push_back(connection);
        connection->Start();
      }
      Accept(offer);
    });
  }

  void TraceMalformed(sip::HeaderError error, const udp::endpoint& from) const {
    if (error != sip::HeaderError::kNone) {
      internal::Trace().LogDebug() << "Malformed SOME/IP from " << from.address().to_string() << ":" << from.port()
                                   << " dropped: " << sip::Describe(error);
    }
  }

  void SendOnOfferChannel(LocalOffer& offer, const std::optional<udp::endpoint>& to,
                          const std::shared_ptr<TcpConnection>& connection, Bytes bytes) {
    if (connection) {
      connection->Send(std::move(bytes));
    } else if (to && offer.udpSocket.is_open()) {
      boost::system::error_code ec;
      offer.udpSocket.send_to(asio::buffer(bytes), *to, 0, ec);
    }
  }

  void AnswerError(LocalOffer& offer, const sip::Header& request, sip::ReturnCode code,
                   const std::optional<udp::endpoint>& to, const std::shared_ptr<TcpConnection>& connection) {
    sip::Header header = request;
    header.interfaceVersion = offer.network.majorVersion;
    header.messageType = sip::kTypeError;
    header.returnCode = static_cast<std::uint8_t>(code);
    SendOnOfferChannel(offer, to, connection, sip::EncodeMessage(header, {}));
  }

  void OnServiceMessage(const std::shared_ptr<LocalOffer>& offer, const sip::Header& header,
                        std::span<const std::uint8_t> payload, const std::optional<udp::endpoint>& from,
                        const std::shared_ptr<TcpConnection>& connection) {
    if (offer->withdrawn) {
      return;  // no longer offered
    }
    if (header.serviceId != offer->serviceId) {
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
    if (auto described = Described(header.serviceId)) {
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
    const auto pathKey = std::pair{header.clientId, header.sessionId};
    if (!replyPaths_.contains(pathKey)) {
      replyOrder_.push_back(pathKey);
    }
    replyPaths_[pathKey] = ReplyPath{offer, from, connection};
    while (replyOrder_.size() > kMaxReplyPaths) {
      replyPaths_.erase(replyOrder_.front());
      replyOrder_.pop_front();
    }
    Message message;
    message.serviceId = header.serviceId;
    message.instanceId = offer->instanceId;
    message.methodId = header.methodId;
    message.clientId = header.clientId;
    message.sessionId = header.sessionId;
    message.type = MessageType::kRequest;
    message.payload.assign(payload.begin(), payload.end());
    Deliver(std::move(message));
  }

  void SendReply(Message message) {
    auto it = replyPaths_.find({message.clientId, message.sessionId});
    if (it == replyPaths_.end()) {
      return;  // the request's way back is gone
    }
    ReplyPath path = std::move(it->second);
    replyPaths_.erase(it);
    std::erase(replyOrder_, std::pair{message.clientId, message.sessionId});
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
    SendOnOfferChannel(*path.offer, path.udpAt, connection, std::move(bytes));
  }

  void SendNotification(const Message& message, std::uint16_t eventgroupId) {
    const InstanceKey key{message.serviceId, message.instanceId};
    auto it = local_.find(key);
    if (it == local_.end()) {
      return;  // only an offered instance reaches subscribers
    }
    auto& offer = *it->second;
    lastValues_[{message.serviceId, message.instanceId, message.methodId}] = {eventgroupId, message.payload};
    auto group = offer.subscribers.find(eventgroupId);
    if (group == offer.subscribers.end() || group->second.empty()) {
      return;
    }
    const auto bytes = NotificationBytes(offer, message.methodId, message.payload);
    for (const auto& [id, subscriber] : group->second) {
      SendEvent(offer, subscriber, bytes);
    }
  }

  Bytes NotificationBytes(LocalOffer& offer, std::uint16_t eventId, std::span<const std::uint8_t> payload) {
    sip::Header header;
    header.serviceId = offer.serviceId;
    header.methodId = eventId;
    header.clientId = 0;
    header.sessionId = NextSession(offer.notificationSession);
    header.interfaceVersion = offer.network.majorVersion;
    header.messageType = sip::kTypeNotification;
    return sip::EncodeMessage(header, payload);
  }

  void SendEvent(LocalOffer& offer, const Subscriber& subscriber, const Bytes& bytes) {
    const bool viaTcp = subscriber.tcpAt &&
                        (offer.network.events == Carrier::kTcp || !subscriber.udpAt || bytes.size() > kMaxUdpMessage);
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

  void DropTcpSubscriber(LocalOffer& offer, const tcp::endpoint& remote) {
    for (auto& [group, subscribers] : offer.subscribers) {
      for (auto it = subscribers.begin(); it != subscribers.end();) {
        if (it->second.tcpAt && *it->second.tcpAt == remote && !it->second.udpAt) {
          NotifySubscription(offer, group, it->second.id, false);
          it = subscribers.erase(it);
        } else {
          ++it;
        }
      }
    }
  }

  void NotifySubscription(const LocalOffer& offer, std::uint16_t group, std::uint16_t id, bool subscribed) {
    if (handlers_.onSubscription) {
      try {
        handlers_.onSubscription(offer.serviceId, offer.instanceId, group, id, subscribed);
      } catch (...) {
        // The receiving thread must survive whatever its handlers throw.
      }
    }
  }

  bool EventgroupKnown(std::uint16_t serviceId, std::uint16_t group) const {
    auto described = Described(serviceId);
    if (!described) {
      return true;
    }
    return std::any_of(described->events.begin(), described->events.end(),
                       [&](const EventDeployment& e) { return e.eventgroupId == group; });
  }

  void OnSubscribeEntry(const sip::SdEntry& entry, const udp::endpoint& from, std::vector<sip::SdEntry>& answers,
                        std::vector<std::function<void()>>& after) {
    sip::SdEntry answer;
    answer.type = sip::EntryType::kSubscribeEventgroupAck;
    answer.serviceId = entry.serviceId;
    answer.instanceId = entry.instanceId;
    answer.majorVersion = entry.majorVersion;
    answer.counter = entry.counter;
    answer.eventgroupId = entry.eventgroupId;
    auto it = local_.find({entry.serviceId, entry.instanceId});
    if (it == local_.end()) {
      if (entry.ttl != 0) {
        answer.ttl = 0;  // Nack
        answers.push_back(answer);
      }
      return;
    }
    auto offer = it->second;
    std::optional<udp::endpoint> udpEndpoint;
    std::optional<tcp::endpoint> tcpEndpoint;
    for (const auto& option : entry.options) {
      if (option.type != sip::OptionType::kIpv4Endpoint) {
        continue;  // IPv6 endpoints are understood but this side speaks IPv4 only
      }
      if (option.protocol == sip::kProtocolUdp) {
        udpEndpoint = udp::endpoint(AddressOf(option), option.port);
      } else if (option.protocol == sip::kProtocolTcp) {
        tcpEndpoint = tcp::endpoint(AddressOf(option), option.port);
      }
    }
    const auto address = from.address().to_v4();
    const std::uint16_t port = udpEndpoint ? udpEndpoint->port() : (tcpEndpoint ? tcpEndpoint->port() : 0);
    auto& subscribers = offer->subscribers[entry.eventgroupId];
    const auto subscriberKey = std::pair{address, port};
    if (entry.ttl == 0) {
      if (auto sub = subscribers.find(subscriberKey); sub != subscribers.end()) {
        const auto id = sub->second.id;
        subscribers.erase(sub);
        const std::uint16_t group = entry.eventgroupId;
        after.push_back([this, offer, group, id] { NotifySubscription(*offer, group, id, false); });
      }
      return;
    }
    const bool usable = (udpEndpoint && offer->network.udpPort) || (tcpEndpoint && offer->network.tcpPort);
    if (entry.majorVersion != offer->network.majorVersion || !EventgroupKnown(entry.serviceId, entry.eventgroupId) ||
        !usable) {
      answer.ttl = 0;
      answers.push_back(answer);
      internal::Trace().LogDebug() << "Subscription of service " << entry.serviceId << " event group "
                                   << entry.eventgroupId << " from " << address.to_string() << " refused";
      return;
    }
    answer.ttl = entry.ttl;
    answers.push_back(answer);
    const auto expires = ExpiryOf(entry.ttl);
    if (auto sub = subscribers.find(subscriberKey); sub != subscribers.end()) {
      sub->second.expires = expires;
      sub->second.udpAt = udpEndpoint;
      sub->second.tcpAt = tcpEndpoint;
      return;  // a renewal
    }
    const Subscriber subscriber{udpEndpoint, tcpEndpoint, expires, nextSubscriberId_++};
    subscribers[subscriberKey] = subscriber;
    const std::uint16_t group = entry.eventgroupId;
    // The current value of each field of the group follows the Ack.
    after.push_back([this, offer, group, subscriber] {
      for (const auto& [eventKey, value] : lastValues_) {
        if (std::get<0>(eventKey) == offer->serviceId && std::get<1>(eventKey) == offer->instanceId &&
            value.first == group) {
          SendEvent(*offer, subscriber, NotificationBytes(*offer, std::get<2>(eventKey), value.second));
        }
      }
      NotifySubscription(*offer, group, subscriber.id, true);
    });
  }

  // ---- consumer side ----

  void StartFind(std::uint16_t serviceId) {
    auto& find = finds_[serviceId];
    find.timer = std::make_unique<asio::steady_timer>(io_);
    find.repetition = 0;
    const auto& t = config_.timings;
    std::uniform_int_distribution<long> delay(t.initialDelayMin.count(), t.initialDelayMax.count());
    ScheduleFind(serviceId, std::chrono::milliseconds(delay(random_)));
  }

  void ScheduleFind(std::uint16_t serviceId, std::chrono::milliseconds after) {
    auto it = finds_.find(serviceId);
    if (it == finds_.end()) {
      return;
    }
    auto* timer = it->second.timer.get();
    timer->expires_after(after);
    timer->async_wait([this, serviceId, timer](const boost::system::error_code& error) {
      auto it = finds_.find(serviceId);
      if (error || shutdown_ || it == finds_.end() || it->second.timer.get() != timer) {
        return;
      }
      const bool known = std::any_of(offers_.begin(), offers_.end(),
                                     [&](const auto& entry) { return entry.first.first == serviceId; });
      if (known) {
        return;  // offers keep coming: no need to ask
      }
      const auto network = NetworkOf(serviceId);
      sip::SdEntry entry;
      entry.type = sip::EntryType::kFindService;
      entry.serviceId = serviceId;
      entry.instanceId = network.instanceId;
      entry.majorVersion = 0xFF;
      entry.minorVersion = 0xFFFFFFFF;
      entry.ttl = config_.timings.ttl;
      SendSd({entry}, std::nullopt);
      auto& find = it->second;
      if (find.repetition < config_.timings.repetitionsMax) {
        const auto next = config_.timings.repetitionBaseDelay * (1U << find.repetition);
        ++find.repetition;
        ScheduleFind(serviceId, next);
      }
    });
  }

  Clock::time_point ExpiryOf(std::uint32_t ttl) const {
    if (ttl >= kTtlForever) {
      return Clock::time_point::max();
    }
    return Clock::now() + options_.ttlUnit * ttl;
  }

  void SetAvailable(const InstanceKey& key, bool available) {
    {
      std::lock_guard lock(mutex_);
      if (available) {
        available_.insert(key);
      } else {
        available_.erase(key);
      }
    }
    if (!available) {
      for (auto& [subKey, sub] : subscriptions_) {
        if (std::get<0>(subKey) == key.first && std::get<1>(subKey) == key.second) {
          sub.acked = false;
        }
      }
      std::erase_if(pending_, [&](const auto& entry) {
        return entry.second.serviceId == key.first && entry.second.instanceId == key.second;
      });
    }
    if (handlers_.onAvailability) {
      try {
        handlers_.onAvailability(key.first, key.second, available);
      } catch (...) {
        // The receiving thread must survive whatever its handlers throw.
      }
    }
    if (!available) {
      // A connection to an instance that is gone is closed; one is opened again on demand.
      std::vector<std::shared_ptr<TcpConnection>> unused;
      for (const auto& entry : connections_) {
        const tcp::endpoint& remote = entry.first;
        if (std::none_of(offers_.begin(), offers_.end(),
                         [&](const auto& offer) { return offer.second.tcpAt == remote; })) {
          unused.push_back(entry.second);
        }
      }
      for (auto& connection : unused) {
        connection->Close();
      }
    }
  }

  void OnOfferEntry(const sip::SdEntry& entry, const udp::endpoint& from, std::vector<std::function<void()>>& after) {
    const InstanceKey key{entry.serviceId, entry.instanceId};
    if (local_.contains(key)) {
      return;  // our own offer
    }
    if (entry.ttl == 0) {
      if (offers_.erase(key) > 0) {
        after.push_back([this, key] { SetAvailable(key, false); });
      }
      return;
    }
    const auto network = NetworkOf(entry.serviceId);
    if (entry.majorVersion != network.majorVersion ||
        (network.instanceId != 0xFFFF && network.instanceId != entry.instanceId)) {
      return;
    }
    RemoteOffer offer;
    offer.sd = from;
    offer.major = entry.majorVersion;
    offer.minor = entry.minorVersion;
    offer.expires = ExpiryOf(entry.ttl);
    bool ipv6Only = false;
    for (const auto& option : entry.options) {
      if (option.type == sip::OptionType::kIpv4Endpoint) {
        if (option.protocol == sip::kProtocolUdp) {
          offer.udpAt = udp::endpoint(AddressOf(option), option.port);
        } else if (option.protocol == sip::kProtocolTcp) {
          offer.tcpAt = tcp::endpoint(AddressOf(option), option.port);
        }
      } else if (option.type == sip::OptionType::kIpv6Endpoint) {
        ipv6Only = true;
      }
    }
    if (!offer.udpAt && !offer.tcpAt) {
      internal::Trace().LogDebug() << "Offer of service " << entry.serviceId << " instance " << entry.instanceId
                                   << (ipv6Only ? " has only IPv6 endpoints" : " has no endpoint") << ", ignored";
      return;
    }
    const bool isNew = !offers_.contains(key);
    offers_[key] = offer;
    after.push_back([this, key, isNew] {
      if (isNew) {
        SetAvailable(key, true);
      }
      // Every offer renews the subscriptions to it (and makes them anew after the instance was gone).
      std::vector<std::uint16_t> groups;
      for (const auto& [subKey, sub] : subscriptions_) {
        if (std::get<0>(subKey) == key.first && std::get<1>(subKey) == key.second) {
          groups.push_back(std::get<2>(subKey));
        }
      }
      SendSubscribes(key.first, key.second, groups, true);
    });
  }

  void SendSubscribes(std::uint16_t serviceId, std::uint16_t instanceId, const std::vector<std::uint16_t>& groups,
                      bool subscribe) {
    auto it = offers_.find({serviceId, instanceId});
    if (groups.empty() || it == offers_.end()) {
      return;
    }
    const RemoteOffer& offer = it->second;
    const auto network = NetworkOf(serviceId);
    std::vector<sip::SdEntry> entries;
    std::optional<sip::EndpointOption> tcpOption;
    const bool viaTcp = offer.tcpAt && (network.events == Carrier::kTcp || !offer.udpAt);
    if (viaTcp) {
      if (auto existing = connections_.find(*offer.tcpAt); !subscribe && existing == connections_.end()) {
        return;  // the subscription went with its connection
      }
      auto connection = ConnectionTo(*offer.tcpAt, [this, serviceId, instanceId, groups, subscribe] {
        SendSubscribes(serviceId, instanceId, groups, subscribe);
      });
      if (!connection->IsConnected()) {
        return;  // sent once the connection stands
      }
      tcpOption = sip::Ipv4Endpoint(Bytes4(connection->Local().address().to_v4()), sip::kProtocolTcp,
                                    connection->Local().port());
    }
    for (const auto group : groups) {
      sip::SdEntry entry;
      entry.type = sip::EntryType::kSubscribeEventgroup;
      const auto sub = subscriptions_.find({serviceId, instanceId, group});
      const bool again = subscribe && sub != subscriptions_.end() && sub->second.everAcked && !sub->second.acked;
      entry.serviceId = serviceId;
      entry.instanceId = instanceId;
      entry.majorVersion = offer.major;
      entry.ttl = subscribe ? config_.timings.ttl : 0;
      entry.eventgroupId = group;
      if (tcpOption) {
        entry.options.push_back(*tcpOption);
      } else {
        entry.options.push_back(sip::Ipv4Endpoint(Bytes4(unicast_), sip::kProtocolUdp, clientPort_));
      }
      if (again) {
        // After the instance was lost the provider may still hold the old subscription: ending it
        // first makes the provider treat this one as new and send the fields' values again.
        auto stop = entry;
        stop.ttl = 0;
        entries.push_back(stop);
      }
      entries.push_back(entry);
    }
    SendSd(entries, offer.sd);
  }

  void OnAckEntry(const sip::SdEntry& entry) {
    auto it = subscriptions_.find({entry.serviceId, entry.instanceId, entry.eventgroupId});
    if (it == subscriptions_.end() || !offers_.contains({entry.serviceId, entry.instanceId})) {
      return;  // an answer about an instance no longer known counts for nothing
    }
    if (entry.ttl == 0) {
      it->second.acked = false;
      internal::Trace().LogWarn() << "Subscription to service " << entry.serviceId << " instance " << entry.instanceId
                                  << " event group " << entry.eventgroupId << " refused by the provider";
      return;
    }
    it->second.acked = true;
    it->second.everAcked = true;
  }

  // Forgets everything learnt from a peer that has restarted.
  void ForgetPeer(const udp::endpoint& peer) {
    internal::Trace().LogInfo() << "SOME/IP-SD peer " << peer.address().to_string() << ":" << peer.port()
                                << " has restarted";
    std::vector<InstanceKey> gone;
    for (auto it = offers_.begin(); it != offers_.end();) {
      if (it->second.sd == peer) {
        gone.push_back(it->first);
        it = offers_.erase(it);
      } else {
        ++it;
      }
    }
    for (const auto& key : gone) {
      SetAvailable(key, false);
    }
    for (auto& [key, offer] : local_) {
      for (auto& [group, subscribers] : offer->subscribers) {
        for (auto it = subscribers.begin(); it != subscribers.end();) {
          if (it->first.first == peer.address().to_v4()) {
            NotifySubscription(*offer, group, it->second.id, false);
            it = subscribers.erase(it);
          } else {
            ++it;
          }
        }
      }
    }
  }

  void ReceiveSd(udp::socket& socket, std::array<std::uint8_t, 65536>& buffer, bool multicast) {
    auto& sender = multicast ? sdMulticastSender_ : sdUnicastSender_;
    socket.async_receive_from(
        asio::buffer(buffer), sender,
        [this, &socket, &buffer, &sender, multicast](const boost::system::error_code& error, std::size_t size) {
          if (shutdown_ || error == asio::error::operation_aborted) {
            return;
          }
          if (!error) {
            OnSdDatagram({buffer.data(), size}, sender, multicast);
          }
          ReceiveSd(socket, buffer, multicast);
        });
  }

  void OnSdDatagram(std::span<const std::uint8_t> datagram, const udp::endpoint& from, bool multicast) {
    if (from == udp::endpoint(unicast_, config_.sdPort)) {
      return;  // our own multicast, looped back
    }
    sip::HeaderError headerError;
    for (const auto& view : sip::SplitDatagram(datagram, headerError)) {
      if (view.header.serviceId != sip::kSdServiceId || view.header.methodId != sip::kSdMethodId) {
        internal::Trace().LogDebug() << "Non-SD message on the SD port dropped";
        continue;
      }
      std::string why;
      auto message = sip::DecodeSd(view.payload, &why);
      if (!message) {
        internal::Trace().LogDebug() << "Malformed SD message from " << from.address().to_string()
                                     << " dropped: " << why;
        continue;
      }
      OnSdMessage(*message, view.header.sessionId, from, multicast);
    }
    TraceMalformed(headerError, from);
  }

  void OnSdMessage(const sip::SdMessage& message, std::uint16_t session, const udp::endpoint& from, bool multicast) {
    const bool reboot = (message.flags & sip::kSdFlagReboot) != 0;
    auto& peer = peers_[{from, multicast}];
    const bool rebooted = peer.last != 0 && reboot && (!peer.reboot || session <= peer.last);
    peer = PeerSessions{session, reboot};
    if (rebooted) {
      ForgetPeer(from);
      peers_.erase({from, !multicast});
    }

    std::vector<sip::SdEntry> answers;
    std::vector<sip::SdEntry> offersToSend;
    std::vector<std::function<void()>> after;
    for (const auto& entry : message.entries) {
      switch (entry.type) {
        case sip::EntryType::kFindService:
          for (const auto& [key, offer] : local_) {
            if ((entry.serviceId == 0xFFFF || entry.serviceId == key.first) &&
                (entry.instanceId == 0xFFFF || entry.instanceId == key.second) &&
                (entry.majorVersion == 0xFF || entry.majorVersion == offer->network.majorVersion)) {
              offersToSend.push_back(OfferEntry(*offer, false));
            }
          }
          break;
        case sip::EntryType::kOfferService:
          OnOfferEntry(entry, from, after);
          break;
        case sip::EntryType::kSubscribeEventgroup:
          OnSubscribeEntry(entry, from, answers, after);
          break;
        case sip::EntryType::kSubscribeEventgroupAck:
          OnAckEntry(entry);
          break;
      }
    }
    offersToSend.insert(offersToSend.end(), answers.begin(), answers.end());
    SendSd(offersToSend, from);
    for (auto& step : after) {
      step();
    }
  }

  std::shared_ptr<TcpConnection> ConnectionTo(const tcp::endpoint& remote, std::function<void()> onConnected) {
    auto it = connections_.find(remote);
    if (it != connections_.end() && !it->second->IsClosed()) {
      return it->second;
    }
    auto connection = std::make_shared<TcpConnection>(tcp::socket(io_));
    connection->SetHandlers(
        [this](TcpConnection& c, const sip::Header& header, std::span<const std::uint8_t> payload) {
          OnClientMessage(header, payload, std::nullopt, c.Remote());
        },
        [this, remote](TcpConnection& c) { OnClientConnectionLost(remote, c); });
    connections_[remote] = connection;
    connection->Connect(remote, unicast_, std::move(onConnected));
    return connection;
  }

  void OnClientConnectionLost(const tcp::endpoint& remote, TcpConnection& connection) {
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
      DeliverError(session, request, sip::ReturnCode::kNotReachable);
    }
    // Subscriptions that rode on the connection are made again over a new one.
    for (auto& [key, sub] : subscriptions_) {
      auto offer = offers_.find({std::get<0>(key), std::get<1>(key)});
      if (offer != offers_.end() && offer->second.tcpAt == remote) {
        sub.acked = false;
      }
    }
  }

  void DeliverError(std::uint16_t session, const PendingRequest& request, sip::ReturnCode code) {
    Message message;
    message.serviceId = request.serviceId;
    message.instanceId = request.instanceId;
    message.methodId = request.methodId;
    message.clientId = clientId_;
    message.sessionId = session;
    message.type = MessageType::kError;
    message.returnCode = static_cast<std::uint8_t>(code);
    Deliver(std::move(message));
  }

  void SendRequest(Message message) {
    auto it = offers_.find({message.serviceId, message.instanceId});
    if (it == offers_.end()) {
      Message reply;
      reply.serviceId = message.serviceId;
      reply.instanceId = message.instanceId;
      reply.methodId = message.methodId;
      reply.clientId = clientId_;
      reply.sessionId = message.sessionId;
      reply.type = MessageType::kError;
      reply.returnCode = kReturnServiceNotAvailable;
      Deliver(std::move(reply));
      return;
    }
    const RemoteOffer& offer = it->second;
    const auto network = NetworkOf(message.serviceId);
    sip::Header header;
    header.serviceId = message.serviceId;
    header.methodId = message.methodId;
    header.clientId = message.clientId;
    header.sessionId = message.sessionId;
    header.interfaceVersion = offer.major;
    header.messageType = sip::kTypeRequest;
    auto bytes = sip::EncodeMessage(header, message.payload);
    const bool viaTcp =
        offer.tcpAt && (network.methods == Carrier::kTcp || !offer.udpAt || bytes.size() > kMaxUdpMessage);
    PendingRequest request{
        message.serviceId,
        message.instanceId,
        message.methodId,
        {},
        config_.requestTimeout.count() > 0 ? Clock::now() + config_.requestTimeout : Clock::time_point::max()};
    if (viaTcp) {
      auto connection = ConnectionTo(*offer.tcpAt, nullptr);
      request.connection = connection;
      pending_[message.sessionId] = request;
      connection->Send(std::move(bytes));
      return;
    }
    pending_[message.sessionId] = request;
    if (bytes.size() > kMaxUdpMessage) {
      pending_.erase(message.sessionId);
      DeliverError(message.sessionId, request, sip::ReturnCode::kMalformedMessage);
      return;
    }
    boost::system::error_code ec;
    client_.send_to(asio::buffer(bytes), *offer.udpAt, 0, ec);
  }

  void ReceiveClient() {
    client_.async_receive_from(
        asio::buffer(clientBuffer_), clientSender_, [this](const boost::system::error_code& error, std::size_t size) {
          if (shutdown_ || error == asio::error::operation_aborted) {
            return;
          }
          if (!error) {
            const auto from = clientSender_;
            sip::HeaderError headerError;
            for (const auto& view : sip::SplitDatagram({clientBuffer_.data(), size}, headerError)) {
              OnClientMessage(view.header, view.payload, from, std::nullopt);
            }
            TraceMalformed(headerError, from);
          }
          ReceiveClient();
        });
  }

  std::optional<std::uint16_t> InstanceOfSender(std::uint16_t serviceId, const std::optional<udp::endpoint>& udpFrom,
                                                const std::optional<tcp::endpoint>& tcpFrom) const {
    std::optional<std::uint16_t> only;
    int count = 0;
    for (const auto& [key, offer] : offers_) {
      if (key.first != serviceId) {
        continue;
      }
      if ((udpFrom && offer.udpAt == *udpFrom) || (tcpFrom && offer.tcpAt == *tcpFrom)) {
        return key.second;
      }
      only = key.second;
      ++count;
    }
    return count == 1 ? only : std::nullopt;
  }

  void OnClientMessage(const sip::Header& header, std::span<const std::uint8_t> payload,
                       const std::optional<udp::endpoint>& udpFrom, const std::optional<tcp::endpoint>& tcpFrom) {
    if (header.messageType == sip::kTypeResponse || header.messageType == sip::kTypeError) {
      auto it = pending_.find(header.sessionId);
      if (it == pending_.end() || it->second.serviceId != header.serviceId || it->second.methodId != header.methodId ||
          header.clientId != clientId_) {
        internal::Trace().LogDebug() << "Stray SOME/IP answer for service " << header.serviceId << " session "
                                     << header.sessionId << " dropped";
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
      Deliver(std::move(message));
      return;
    }
    if (header.messageType != sip::kTypeNotification || (header.methodId & 0x8000) == 0) {
      internal::Trace().LogDebug() << "SOME/IP message of type " << static_cast<unsigned>(header.messageType)
                                   << " for a consumer dropped";
      return;
    }
    const auto instanceId = InstanceOfSender(header.serviceId, udpFrom, tcpFrom);
    if (!instanceId) {
      internal::Trace().LogDebug() << "Notification of unknown service " << header.serviceId << " dropped";
      return;
    }
    if (auto described = Described(header.serviceId)) {
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
    Deliver(std::move(message));
  }

  void Deliver(Message message) {
    if (!handlers_.onMessage) {
      return;
    }
    try {
      handlers_.onMessage(std::move(message));
    } catch (...) {
      // The receiving thread must survive whatever its handlers throw.
    }
  }

  // ---- expiry ----

  std::chrono::milliseconds HousekeepingPeriod() const {
    auto period = std::min(options_.ttlUnit / 4, std::chrono::milliseconds(250));
    if (config_.requestTimeout.count() > 0) {
      period = std::min(period, std::max(config_.requestTimeout / 4, std::chrono::milliseconds(1)));
    }
    return std::max(period, std::chrono::milliseconds(1));
  }

  void ScheduleHousekeeping() {
    housekeeping_.expires_after(HousekeepingPeriod());
    housekeeping_.async_wait([this](const boost::system::error_code& error) {
      if (error || shutdown_) {
        return;
      }
      Expire();
      ScheduleHousekeeping();
    });
  }

  void Expire() {
    const auto now = Clock::now();
    std::vector<InstanceKey> gone;
    for (auto it = offers_.begin(); it != offers_.end();) {
      if (it->second.expires <= now) {
        gone.push_back(it->first);
        it = offers_.erase(it);
      } else {
        ++it;
      }
    }
    for (const auto& key : gone) {
      internal::Trace().LogInfo() << "Offer of service " << key.first << " instance " << key.second << " expired";
      SetAvailable(key, false);
    }
    for (auto& [key, offer] : local_) {
      for (auto& [group, subscribers] : offer->subscribers) {
        for (auto it = subscribers.begin(); it != subscribers.end();) {
          if (it->second.expires <= now) {
            NotifySubscription(*offer, group, it->second.id, false);
            it = subscribers.erase(it);
          } else {
            ++it;
          }
        }
      }
    }
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
      DeliverError(session, request, sip::ReturnCode::kTimeout);
    }
  }

  const NetworkOptions options_;
  const NetworkConfig& config_;
  asio::io_context io_;
  asio::executor_work_guard<asio::io_context::executor_type> work_;
  asio::ip::address_v4 unicast_;
  asio::ip::address_v4 group_;
  std::uint16_t clientId_ = 0;
  std::uint16_t clientPort_ = 0;
  udp::socket sdUnicast_;
  udp::socket sdMulticast_;
  udp::socket client_;
  asio::steady_timer housekeeping_;
  std::array<std::uint8_t, 65536> sdUnicastBuffer_{};
  std::array<std::uint8_t, 65536> sdMulticastBuffer_{};
  std::array<std::uint8_t, 65536> clientBuffer_{};
  udp::endpoint sdUnicastSender_;
  udp::endpoint sdMulticastSender_;
  udp::endpoint clientSender_;
  std::mt19937 random_;
  std::thread thread_;
  TransportHandlers handlers_;

  // Shared with callers.
  mutable std::mutex mutex_;
  bool started_ = false;
  bool running_ = false;
  bool stopped_ = false;
  std::set<InstanceKey> available_;
  std::set<InstanceKey> offeredHere_;
  std::map<std::uint16_t, std::shared_ptr<const ServiceDeployment>> described_;

  // I/O thread only.
  bool shutdown_ = false;
  SessionCounter multicastSession_;
  std::map<udp::endpoint, SessionCounter> unicastSessions_;
  std::map<std::pair<udp::endpoint, bool>, PeerSessions> peers_;
  std::map<std::uint16_t, int> watches_;
  std::map<std::uint16_t, FindState> finds_;
  std::map<InstanceKey, RemoteOffer> offers_;
  std::map<SubscriptionKey, Subscription> subscriptions_;
  std::map<std::uint16_t, PendingRequest> pending_;
  std::map<tcp::endpoint, std::shared_ptr<TcpConnection>> connections_;
  std::vector<std::weak_ptr<TcpConnection>> lingering_;
  std::map<InstanceKey, std::shared_ptr<LocalOffer>> local_;
  std::map<std::pair<std::uint16_t, std::uint16_t>, ReplyPath> replyPaths_;
  std::deque<std::pair<std::uint16_t, std::uint16_t>> replyOrder_;
  std::map<SubscriptionKey, std::pair<std::uint16_t, Bytes>> lastValues_;
  std::uint16_t nextSubscriberId_ = 1;
};

class NetworkTransport final : public Transport {
 public:
  explicit NetworkTransport(NetworkOptions options) : engine_(std::make_shared<Engine>(std::move(options))) {}
  ~NetworkTransport() override { engine_->Stop(); }

  void Start(TransportHandlers handlers) override { engine_->Start(std::move(handlers)); }
  void Stop() override { engine_->Stop(); }
  std::uint16_t ClientId() const override { return engine_->ClientId(); }
  void Describe(const ServiceDeployment& deployment) override { engine_->Describe(deployment); }
  std::vector<std::uint16_t> FindService(std::uint16_t serviceId) override { return engine_->FindService(serviceId); }
  void StopFindService(std::uint16_t serviceId) override { engine_->StopFindService(serviceId); }
  void Subscribe(std::uint16_t serviceId, std::uint16_t instanceId, std::uint16_t eventgroupId) override {
    engine_->Subscribe(serviceId, instanceId, eventgroupId, true);
  }
  void Unsubscribe(std::uint16_t serviceId, std::uint16_t instanceId, std::uint16_t eventgroupId) override {
    engine_->Subscribe(serviceId, instanceId, eventgroupId, false);
  }
  void OfferService(std::uint16_t serviceId, std::uint16_t instanceId) override {
    engine_->OfferService(serviceId, instanceId);
  }
  void StopOfferService(std::uint16_t serviceId, std::uint16_t instanceId) override {
    engine_->StopOfferService(serviceId, instanceId);
  }
  void Notify(Message message, std::uint16_t eventgroupId) override {
    engine_->Notify(std::move(message), eventgroupId);
  }
  void Send(Message message) override { engine_->Send(std::move(message)); }
  void PostHeartbeat(std::function<void()> answered) override { engine_->PostHeartbeat(std::move(answered)); }

 private:
  std::shared_ptr<Engine> engine_;
};

}  // namespace

std::unique_ptr<Transport> CreateNetworkTransport(NetworkOptions options) {
  return std::make_unique<NetworkTransport>(std::move(options));
}

}  // namespace ara::com::transport
