#pragma once

// SOME/IP service discovery as a state machine: it is fed decoded SD messages with the endpoint
// they came from, the calls of this side's consumer and provider, and the time; it answers with
// the SD messages to send and the events to report, in the order they happen. It does no I/O and
// reads no clock, so that every timed behaviour can be driven by a test.

#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/ip/udp.hpp>

#include <chrono>
#include <cstdint>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <tuple>
#include <utility>
#include <variant>
#include <vector>

#include "ara/com/deployment.h"
#include "ara/com/transport/someip_codec.h"
#include "ara/com/transport/throttle.h"

namespace ara::com::transport::sd {

using Clock = std::chrono::steady_clock;
using TimePoint = Clock::time_point;
using UdpEndpoint = boost::asio::ip::udp::endpoint;
using TcpEndpoint = boost::asio::ip::tcp::endpoint;
using InstanceKey = std::pair<std::uint16_t, std::uint16_t>;

// An instance offered by a peer, as its latest offer describes it.
struct RemoteOffer {
  UdpEndpoint sd;  // where the offer came from: the peer's SD endpoint
  std::uint8_t major = 0;
  std::uint32_t minor = 0;
  std::optional<UdpEndpoint> udpAt;
  std::optional<TcpEndpoint> tcpAt;
  TimePoint expires;
};

// A peer subscribed to an event group of an instance offered here.
struct Subscriber {
  std::optional<UdpEndpoint> udpAt;
  std::optional<TcpEndpoint> tcpAt;
  TimePoint expires;
  std::uint16_t id = 0;
};

// An SD message to send; no `to`: to the SD multicast group.
struct SdSend {
  std::optional<UdpEndpoint> to;
  std::vector<std::uint8_t> bytes;
};

struct SdEvent {
  enum class Kind : std::uint8_t {
    kOffered,         // a peer's instance became available
    kGone,            // ... went away (stopped, expired, peer restarted)
    kEndpointsMoved,  // its owner offers it on other endpoints now
    kSubscribed,      // a peer subscribed to an event group offered here
    kUnsubscribed,    // ... left it (stopped, expired, peer restarted, connection lost)
  };
  Kind kind;
  InstanceKey instance;
  std::uint16_t eventgroupId = 0;
  Subscriber subscriber{};
};

using SdAction = std::variant<SdSend, SdEvent>;
using SdActions = std::vector<SdAction>;

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

// What the machine needs to know from the side that runs it.
class SdHost {
 public:
  virtual ~SdHost() = default;
  // The network side of a service this side was told about; nullopt for any other service.
  virtual std::optional<ServiceNetwork> UsedNetwork(std::uint16_t serviceId) const = 0;
  virtual bool EventgroupKnown(std::uint16_t serviceId, std::uint16_t eventgroupId) const = 0;
  // The endpoint option a subscription to the offered instance names for its events; nullopt:
  // none now (for events over TCP the host sends the subscriptions again once its connection
  // stands, through SendSubscribes).
  virtual std::optional<someip::EndpointOption> EventEndpoint(const InstanceKey& instance, const RemoteOffer& offer,
                                                              const std::vector<std::uint16_t>& groups,
                                                              bool subscribe) = 0;
};

struct SdOptions {
  boost::asio::ip::address_v4 unicast;  // this side's address; its SD port is `sdPort`
  std::uint16_t sdPort = 30490;
  SdTimings timings;
  std::chrono::milliseconds ttlUnit{1000};  // what one unit of a TTL on the wire lasts
  std::uint32_t randomStart = 0;            // starts the random initial delays
};

// An instance this side offers, with the ports its sockets are bound to.
struct LocalOfferInfo {
  InstanceKey instance;
  ServiceNetwork network;
  std::uint16_t udpPort = 0;  // 0: not offered over UDP
  std::uint16_t tcpPort = 0;
};

class ServiceDiscovery {
 public:
  ServiceDiscovery(SdHost& host, SdOptions options);

  // ---- both sides ----
  void OnMessage(const someip::SdMessage& message, std::uint16_t sessionId, const UdpEndpoint& from, bool multicast,
                 TimePoint now, SdActions& out);
  // Timers and expiry up to `now`.
  void Tick(TimePoint now, SdActions& out);
  // When Tick has something to do next; TimePoint::max() when nothing.
  TimePoint NextDue() const;
  // Withdraws every offer and subscription of this side on the wire.
  void WithdrawAll(SdActions& out);

  // ---- provider side ----
  void Offer(const LocalOfferInfo& offer, TimePoint now);
  void StopOffer(const InstanceKey& instance, bool announce, SdActions& out);
  bool IsOfferedHere(const InstanceKey& instance) const { return local_.contains(instance); }
  std::vector<Subscriber> SubscribersOf(const InstanceKey& instance, std::uint16_t eventgroupId) const;
  // A subscriber whose only way was this connection has gone with it.
  void DropTcpSubscriber(const InstanceKey& instance, const TcpEndpoint& remote, SdActions& out);

  // ---- consumer side ----
  void StartFind(std::uint16_t serviceId, TimePoint now);
  void StopFind(std::uint16_t serviceId) { finds_.erase(serviceId); }
  void Subscribe(const InstanceKey& instance, std::uint16_t eventgroupId, SdActions& out);
  void Unsubscribe(const InstanceKey& instance, std::uint16_t eventgroupId, SdActions& out);
  void SendSubscribes(const InstanceKey& instance, const std::vector<std::uint16_t>& groups, bool subscribe,
                      SdActions& out);
  const RemoteOffer* OfferOf(const InstanceKey& instance) const;
  bool AnyOfferAt(const TcpEndpoint& endpoint) const;
  // The subscriptions riding on a lost connection are made again over a new one.
  void ConnectionLost(const TcpEndpoint& remote);
  // The instance of the service whose offered endpoint this is; nullopt for any other sender.
  std::optional<std::uint16_t> InstanceAt(std::uint16_t serviceId, const std::optional<UdpEndpoint>& udpFrom,
                                          const std::optional<TcpEndpoint>& tcpFrom) const;

  // Peers whose session state is kept (a bound under floods of strangers).
  std::size_t PeersKept() const { return peers_.size() + unicastSessions_.size(); }

 private:
  struct LocalOffer {
    LocalOfferInfo info;
    TimePoint due;
    unsigned repetition = 0;
    // event group -> subscriber (address, port) -> subscriber
    std::map<std::uint16_t, std::map<std::pair<boost::asio::ip::address_v4, std::uint16_t>, Subscriber>> subscribers;
  };
  struct Find {
    TimePoint due;
    unsigned repetition = 0;
  };
  struct Subscription {
    int count = 0;
    bool acked = false;
    bool everAcked = false;
  };
  struct PeerSessions {
    std::uint16_t last = 0;
    bool reboot = false;
  };
  using SubscriptionKey = std::tuple<std::uint16_t, std::uint16_t, std::uint16_t>;

  void Send(const std::vector<someip::SdEntry>& entries, const std::optional<UdpEndpoint>& to, SdActions& out);
  someip::SdEntry OfferEntry(const LocalOffer& offer, bool stop) const;
  TimePoint ExpiryOf(std::uint32_t ttl, TimePoint now) const;
  std::chrono::milliseconds InitialDelay();
  bool Relevant(const UdpEndpoint& peer) const;
  void TrackSessions(std::uint16_t sessionId, bool reboot, const UdpEndpoint& from, bool multicast, SdActions& out);
  void ForgetPeer(const UdpEndpoint& peer, SdActions& out);
  // Events, and the instances whose subscriptions are to be renewed, in the order they arose
  // while a message was read; they follow the answer to the message.
  using Deferred = std::vector<std::variant<SdEvent, InstanceKey>>;
  SdEvent Gone(const InstanceKey& instance);

  void OnFind(const someip::SdEntry& entry, std::vector<someip::SdEntry>& answers) const;
  void OnOffer(const someip::SdEntry& entry, const UdpEndpoint& from, TimePoint now, Deferred& after);
  void OnSubscribe(const someip::SdEntry& entry, const UdpEndpoint& from, TimePoint now,
                   std::vector<someip::SdEntry>& answers, Deferred& after);
  void OnAck(const someip::SdEntry& entry, const UdpEndpoint& from);

  void TickOffers(TimePoint now, SdActions& out);
  void TickFinds(TimePoint now, SdActions& out);
  void Expire(TimePoint now, SdActions& out);

  SdHost& host_;
  const SdOptions options_;
  std::mt19937 random_;
  SessionCounter multicastSession_;
  std::map<UdpEndpoint, SessionCounter> unicastSessions_;
  std::map<std::pair<UdpEndpoint, bool>, PeerSessions> peers_;
  std::map<InstanceKey, LocalOffer> local_;
  std::map<std::uint16_t, Find> finds_;
  std::map<InstanceKey, RemoteOffer> offers_;
  std::map<SubscriptionKey, Subscription> subscriptions_;
  std::uint16_t nextSubscriberId_ = 1;
  Throttle contestedWarning_;
};

}  // namespace ara::com::transport::sd
