#include "ara/com/transport/service_discovery.h"

#include <algorithm>
#include <functional>
#include <string>

#include "ara/com/internal/trace.h"
#include "ara/log/logging.h"

namespace ara::com::transport::sd {

namespace {

namespace sip = someip;

constexpr std::uint32_t kTtlForever = 0xFFFFFF;
// An SD message names at most 256 options; beyond this payload size a datagram no longer fits the
// frame of an ordinary Ethernet link.
constexpr std::size_t kMaxOptionsPerMessage = 256;
constexpr std::size_t kMaxSdPayload = 1400;
// Peers this side keeps a sending session counter for without knowing anything else of them
// (they only look for services); beyond this the counters of such peers start again.
constexpr std::size_t kMaxSessionPeers = 1024;
// Instances of one service known from offers; an offer of one more is ignored.
constexpr std::size_t kMaxOfferedInstances = 256;
// Subscribers of one event group; a subscription beyond it is refused.
constexpr std::size_t kMaxSubscribersPerGroup = 256;

std::array<std::uint8_t, 4> Bytes4(const boost::asio::ip::address_v4& a) {
  return a.to_bytes();
}

boost::asio::ip::address_v4 AddressOf(const sip::EndpointOption& option) {
  return boost::asio::ip::address_v4({option.address[0], option.address[1], option.address[2], option.address[3]});
}

std::size_t EncodedSize(const sip::SdEntry& entry) {
  std::size_t size = 16;
  for (const auto& option : entry.options) {
    size += option.IsIpv6() ? 24 : 12;
  }
  return size;
}

// The IPv4 endpoints an entry names, one per carrier (the last one wins).
struct Endpoints {
  std::optional<UdpEndpoint> udp;
  std::optional<TcpEndpoint> tcp;
  bool ipv6 = false;  // IPv6 endpoints are understood but this side speaks IPv4 only
};
Endpoints EndpointsOf(const sip::SdEntry& entry) {
  Endpoints endpoints;
  for (const auto& option : entry.options) {
    if (option.type == sip::OptionType::kIpv6Endpoint) {
      endpoints.ipv6 = true;
    } else if (option.type == sip::OptionType::kIpv4Endpoint && option.protocol == sip::kProtocolUdp) {
      endpoints.udp = UdpEndpoint(AddressOf(option), option.port);
    } else if (option.type == sip::OptionType::kIpv4Endpoint && option.protocol == sip::kProtocolTcp) {
      endpoints.tcp = TcpEndpoint(AddressOf(option), option.port);
    }
  }
  return endpoints;
}

std::string Where(const UdpEndpoint& endpoint) {
  return endpoint.address().to_string() + ":" + std::to_string(endpoint.port());
}

}  // namespace

ServiceDiscovery::ServiceDiscovery(SdHost& host, SdOptions options)
    : host_(host), options_(std::move(options)), random_(options_.randomStart) {}

// ---- sending ----

// Entries go out in the order given; a reply too large for one message is split over several,
// each with its own session id.
void ServiceDiscovery::Send(const std::vector<sip::SdEntry>& entries, const std::optional<UdpEndpoint>& to,
                            SdActions& out) {
  std::size_t at = 0;
  while (at < entries.size()) {
    sip::SdMessage message;
    std::size_t options = 0;
    std::size_t size = 12;
    while (at < entries.size()) {
      const auto& entry = entries[at];
      if (!message.entries.empty() &&
          (options + entry.options.size() > kMaxOptionsPerMessage || size + EncodedSize(entry) > kMaxSdPayload)) {
        break;
      }
      options += entry.options.size();
      size += EncodedSize(entry);
      message.entries.push_back(entry);
      ++at;
    }
    if (to && !unicastSessions_.contains(*to) && unicastSessions_.size() >= kMaxSessionPeers) {
      std::erase_if(unicastSessions_, [&](const auto& item) { return !Relevant(item.first); });
      if (unicastSessions_.size() >= kMaxSessionPeers) {
        unicastSessions_.erase(unicastSessions_.begin());
      }
    }
    auto& counter = to ? unicastSessions_[*to] : multicastSession_;
    const auto [session, reboot] = counter.Take();
    message.flags = static_cast<std::uint8_t>(sip::kSdFlagUnicast | (reboot ? sip::kSdFlagReboot : 0));
    out.emplace_back(SdSend{to, sip::EncodeSdMessage(session, message)});
  }
}

sip::SdEntry ServiceDiscovery::OfferEntry(const LocalOffer& offer, bool stop) const {
  auto entry = sip::MakeEntry(sip::EntryType::kOfferService, offer.info.instance.first, offer.info.instance.second,
                              offer.info.network.majorVersion, stop ? 0 : options_.timings.ttl);
  entry.minorVersion = offer.info.network.minorVersion;
  if (offer.info.udpPort != 0) {
    entry.options.push_back(sip::Ipv4Endpoint(Bytes4(options_.unicast), sip::kProtocolUdp, offer.info.udpPort));
  }
  if (offer.info.tcpPort != 0) {
    entry.options.push_back(sip::Ipv4Endpoint(Bytes4(options_.unicast), sip::kProtocolTcp, offer.info.tcpPort));
  }
  return entry;
}

TimePoint ServiceDiscovery::ExpiryOf(std::uint32_t ttl, TimePoint now) const {
  if (ttl >= kTtlForever) {
    return TimePoint::max();
  }
  return now + options_.ttlUnit * ttl;
}

std::chrono::milliseconds ServiceDiscovery::InitialDelay() {
  const auto& t = options_.timings;
  std::uniform_int_distribution<long> delay(t.initialDelayMin.count(), t.initialDelayMax.count());
  return std::chrono::milliseconds(delay(random_));
}

// ---- received messages ----

// A peer whose sessions are worth following: it offers an instance this side uses, or
// subscribes to one offered here. Nothing is kept of any other peer.
bool ServiceDiscovery::Relevant(const UdpEndpoint& peer) const {
  if (std::any_of(offers_.begin(), offers_.end(), [&](const auto& item) { return item.second.sd == peer; })) {
    return true;
  }
  const auto address = peer.address().to_v4();
  for (const auto& [key, offer] : local_) {
    for (const auto& [group, subscribers] : offer.subscribers) {
      if (std::any_of(subscribers.begin(), subscribers.end(),
                      [&](const auto& item) { return item.first.first == address; })) {
        return true;
      }
    }
  }
  return false;
}

void ServiceDiscovery::TrackSessions(std::uint16_t sessionId, bool reboot, const UdpEndpoint& from, bool multicast,
                                     SdActions& out) {
  auto& peer = peers_[{from, multicast}];
  const bool rebooted = peer.last != 0 && reboot && (!peer.reboot || sessionId <= peer.last);
  peer = PeerSessions{sessionId, reboot};
  if (rebooted) {
    ForgetPeer(from, out);
    peers_.erase({from, !multicast});
  }
}

void ServiceDiscovery::OnMessage(const sip::SdMessage& message, std::uint16_t sessionId, const UdpEndpoint& from,
                                 bool multicast, TimePoint now, SdActions& out) {
  if (from == UdpEndpoint(options_.unicast, options_.sdPort)) {
    return;  // our own multicast, looped back
  }
  TrackSessions(sessionId, (message.flags & sip::kSdFlagReboot) != 0, from, multicast, out);
  std::vector<sip::SdEntry> offers;
  std::vector<sip::SdEntry> answers;
  Deferred after;
  for (const auto& entry : message.entries) {
    switch (entry.type) {
      case sip::EntryType::kFindService:
        OnFind(entry, offers);
        break;
      case sip::EntryType::kOfferService:
        OnOffer(entry, from, now, after);
        break;
      case sip::EntryType::kSubscribeEventgroup:
        OnSubscribe(entry, from, now, answers, after);
        break;
      case sip::EntryType::kSubscribeEventgroupAck:
        OnAck(entry, from);
        break;
    }
  }
  offers.insert(offers.end(), answers.begin(), answers.end());
  Send(offers, from, out);
  for (auto& step : after) {
    if (auto* event = std::get_if<SdEvent>(&step)) {
      out.emplace_back(std::move(*event));
      continue;
    }
    // An offer renews the subscriptions to it, and makes them anew after the instance was gone.
    const auto instance = std::get<InstanceKey>(step);
    std::vector<std::uint16_t> groups;
    for (const auto& [key, sub] : subscriptions_) {
      if (std::get<0>(key) == instance.first && std::get<1>(key) == instance.second) {
        groups.push_back(std::get<2>(key));
      }
    }
    SendSubscribes(instance, groups, true, out);
  }
  if (!Relevant(from)) {
    peers_.erase({from, multicast});
  }
}

void ServiceDiscovery::OnFind(const sip::SdEntry& entry, std::vector<sip::SdEntry>& answers) const {
  for (const auto& [key, offer] : local_) {
    if ((entry.serviceId == 0xFFFF || entry.serviceId == key.first) &&
        (entry.instanceId == 0xFFFF || entry.instanceId == key.second) &&
        (entry.majorVersion == 0xFF || entry.majorVersion == offer.info.network.majorVersion)) {
      auto answer = OfferEntry(offer, false);
      // Finds that match one instance several times are answered with it once.
      if (std::find(answers.begin(), answers.end(), answer) == answers.end()) {
        answers.push_back(std::move(answer));
      }
    }
  }
}

SdEvent ServiceDiscovery::Gone(const InstanceKey& instance) {
  for (auto& [key, sub] : subscriptions_) {
    if (std::get<0>(key) == instance.first && std::get<1>(key) == instance.second) {
      sub.acked = false;
    }
  }
  return SdEvent{SdEvent::Kind::kGone, instance};
}

void ServiceDiscovery::OnOffer(const sip::SdEntry& entry, const UdpEndpoint& from, TimePoint now, Deferred& after) {
  const InstanceKey key{entry.serviceId, entry.instanceId};
  if (local_.contains(key)) {
    return;  // our own offer
  }
  const auto network = host_.UsedNetwork(entry.serviceId);
  if (!network) {
    return;  // a service this side does not use
  }
  auto known = offers_.find(key);
  if (known != offers_.end() && known->second.expires <= now) {
    offers_.erase(known);
    known = offers_.end();
    after.emplace_back(Gone(key));
  }
  // Only the peer that made the offer may change or end it while it lives.
  if (known != offers_.end() && known->second.sd.address() != from.address()) {
    if (contestedWarning_.Allow(now)) {
      internal::Trace().LogWarn() << (entry.ttl == 0 ? "StopOffer" : "Offer") << " of service " << entry.serviceId
                                  << " instance " << entry.instanceId << " from " << Where(from)
                                  << " ignored: the instance is offered by " << Where(known->second.sd);
    }
    return;
  }
  if (entry.ttl == 0) {
    if (known != offers_.end()) {
      offers_.erase(known);
      after.emplace_back(Gone(key));
    }
    return;
  }
  if (entry.majorVersion != network->majorVersion ||
      (network->instanceId != 0xFFFF && network->instanceId != entry.instanceId)) {
    return;
  }
  RemoteOffer offer;
  offer.sd = from;
  offer.major = entry.majorVersion;
  offer.minor = entry.minorVersion;
  offer.expires = ExpiryOf(entry.ttl, now);
  const auto endpoints = EndpointsOf(entry);
  offer.udpAt = endpoints.udp;
  offer.tcpAt = endpoints.tcp;
  if (!offer.udpAt && !offer.tcpAt) {
    internal::Trace().LogDebug() << "Offer of service " << entry.serviceId << " instance " << entry.instanceId
                                 << (endpoints.ipv6 ? " has only IPv6 endpoints" : " has no endpoint") << ", ignored";
    return;
  }
  const bool isNew = known == offers_.end();
  if (isNew && std::count_if(offers_.begin(), offers_.end(), [&](const auto& item) {
                 return item.first.first == entry.serviceId;
               }) >= static_cast<std::ptrdiff_t>(kMaxOfferedInstances)) {
    return;
  }
  const bool moved = !isNew && (known->second.udpAt != offer.udpAt || known->second.tcpAt != offer.tcpAt);
  offers_[key] = offer;
  if (isNew) {
    after.emplace_back(SdEvent{SdEvent::Kind::kOffered, key});
  }
  if (moved) {
    after.emplace_back(SdEvent{SdEvent::Kind::kEndpointsMoved, key});
  }
  after.emplace_back(key);  // renews the subscriptions once the rest is out
}

void ServiceDiscovery::OnSubscribe(const sip::SdEntry& entry, const UdpEndpoint& from, TimePoint now,
                                   std::vector<sip::SdEntry>& answers, Deferred& after) {
  sip::SdEntry answer;
  answer.type = sip::EntryType::kSubscribeEventgroupAck;
  answer.serviceId = entry.serviceId;
  answer.instanceId = entry.instanceId;
  answer.majorVersion = entry.majorVersion;
  answer.counter = entry.counter;
  answer.eventgroupId = entry.eventgroupId;
  const InstanceKey key{entry.serviceId, entry.instanceId};
  auto it = local_.find(key);
  if (it == local_.end()) {
    if (entry.ttl != 0) {
      answer.ttl = 0;  // Nack
      answers.push_back(answer);
    }
    return;
  }
  auto& offer = it->second;
  const auto [udpEndpoint, tcpEndpoint, ipv6] = EndpointsOf(entry);
  const auto address = from.address().to_v4();
  const std::uint16_t port = udpEndpoint ? udpEndpoint->port() : (tcpEndpoint ? tcpEndpoint->port() : 0);
  const auto refuse = [&] {
    answer.ttl = 0;
    answers.push_back(answer);
    internal::Trace().LogDebug() << "Subscription of service " << entry.serviceId << " event group "
                                 << entry.eventgroupId << " from " << address.to_string() << " refused";
  };
  if (!host_.EventgroupKnown(entry.serviceId, entry.eventgroupId)) {
    if (entry.ttl != 0) {
      refuse();  // and nothing kept of it
    }
    return;
  }
  auto& subscribers = offer.subscribers[entry.eventgroupId];
  const auto subscriberKey = std::pair{address, port};
  auto known = subscribers.find(subscriberKey);
  if (entry.ttl == 0) {
    if (known != subscribers.end()) {
      const auto subscriber = known->second;
      subscribers.erase(known);
      after.emplace_back(SdEvent{SdEvent::Kind::kUnsubscribed, key, entry.eventgroupId, subscriber});
    }
    return;
  }
  const bool usable = (udpEndpoint && offer.info.udpPort != 0) || (tcpEndpoint && offer.info.tcpPort != 0);
  const bool room = known != subscribers.end() || subscribers.size() < kMaxSubscribersPerGroup;
  if (entry.majorVersion != offer.info.network.majorVersion || !usable || !room) {
    refuse();
    return;
  }
  answer.ttl = entry.ttl;
  answers.push_back(answer);
  const auto expires = ExpiryOf(entry.ttl, now);
  if (known != subscribers.end()) {
    known->second.expires = expires;
    known->second.udpAt = udpEndpoint;
    known->second.tcpAt = tcpEndpoint;
    return;  // a renewal
  }
  const Subscriber subscriber{udpEndpoint, tcpEndpoint, expires, nextSubscriberId_++};
  subscribers[subscriberKey] = subscriber;
  // The host sends the current value of each field of the group after the Ack.
  after.emplace_back(SdEvent{SdEvent::Kind::kSubscribed, key, entry.eventgroupId, subscriber});
}

void ServiceDiscovery::OnAck(const sip::SdEntry& entry, const UdpEndpoint& from) {
  auto it = subscriptions_.find({entry.serviceId, entry.instanceId, entry.eventgroupId});
  const auto offer = offers_.find({entry.serviceId, entry.instanceId});
  if (it == subscriptions_.end() || offer == offers_.end() || offer->second.sd.address() != from.address()) {
    return;  // an answer about an instance not known from this peer counts for nothing
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
void ServiceDiscovery::ForgetPeer(const UdpEndpoint& peer, SdActions& out) {
  internal::Trace().LogInfo() << "SOME/IP-SD peer " << Where(peer) << " has restarted";
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
    out.emplace_back(Gone(key));
  }
  for (auto& [key, offer] : local_) {
    for (auto& [group, subscribers] : offer.subscribers) {
      for (auto it = subscribers.begin(); it != subscribers.end();) {
        if (it->first.first == peer.address().to_v4()) {
          out.emplace_back(SdEvent{SdEvent::Kind::kUnsubscribed, key, group, it->second});
          it = subscribers.erase(it);
        } else {
          ++it;
        }
      }
    }
  }
}

// ---- time ----

void ServiceDiscovery::Tick(TimePoint now, SdActions& out) {
  TickOffers(now, out);
  TickFinds(now, out);
  Expire(now, out);
}

TimePoint ServiceDiscovery::NextDue() const {
  TimePoint due = TimePoint::max();
  for (const auto& [key, offer] : local_) {
    due = std::min(due, offer.due);
    for (const auto& [group, subscribers] : offer.subscribers) {
      for (const auto& [id, subscriber] : subscribers) {
        due = std::min(due, subscriber.expires);
      }
    }
  }
  for (const auto& [serviceId, find] : finds_) {
    due = std::min(due, find.due);
  }
  for (const auto& [key, offer] : offers_) {
    due = std::min(due, offer.expires);
  }
  return due;
}

// Initial wait, then the repetition phase, then the cyclic offers.
void ServiceDiscovery::TickOffers(TimePoint now, SdActions& out) {
  const auto& t = options_.timings;
  for (auto& [key, offer] : local_) {
    if (offer.due > now) {
      continue;
    }
    Send({OfferEntry(offer, false)}, std::nullopt, out);
    if (offer.repetition < t.repetitionsMax) {
      offer.due = now + t.repetitionBaseDelay * (1U << offer.repetition);
      ++offer.repetition;
    } else {
      offer.due = now + t.cyclicOfferDelay;
    }
  }
}

// A find repeats until an offer of the service is known, at most through the repetition phase.
void ServiceDiscovery::TickFinds(TimePoint now, SdActions& out) {
  const auto& t = options_.timings;
  for (auto& [serviceId, find] : finds_) {
    if (find.due > now) {
      continue;
    }
    find.due = TimePoint::max();
    const auto id = serviceId;
    if (std::any_of(offers_.begin(), offers_.end(), [&](const auto& item) { return item.first.first == id; })) {
      continue;  // offers keep coming: no need to ask
    }
    const auto network = host_.UsedNetwork(serviceId).value_or(ServiceNetwork{});
    Send({sip::FindServiceEntry(serviceId, network.instanceId, t.ttl)}, std::nullopt, out);
    if (find.repetition < t.repetitionsMax) {
      find.due = now + t.repetitionBaseDelay * (1U << find.repetition);
      ++find.repetition;
    }
  }
}

void ServiceDiscovery::Expire(TimePoint now, SdActions& out) {
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
    out.emplace_back(Gone(key));
  }
  for (auto& [key, offer] : local_) {
    for (auto& [group, subscribers] : offer.subscribers) {
      for (auto it = subscribers.begin(); it != subscribers.end();) {
        if (it->second.expires <= now) {
          out.emplace_back(SdEvent{SdEvent::Kind::kUnsubscribed, key, group, it->second});
          it = subscribers.erase(it);
        } else {
          ++it;
        }
      }
    }
  }
}

void ServiceDiscovery::WithdrawAll(SdActions& out) {
  std::vector<InstanceKey> offered;
  for (const auto& [key, offer] : local_) {
    offered.push_back(key);
  }
  for (const auto& key : offered) {
    StopOffer(key, true, out);
  }
  std::map<InstanceKey, std::vector<std::uint16_t>> groups;
  for (const auto& [key, sub] : subscriptions_) {
    groups[{std::get<0>(key), std::get<1>(key)}].push_back(std::get<2>(key));
  }
  for (const auto& [key, list] : groups) {
    SendSubscribes(key, list, false, out);
  }
}

// ---- provider side ----

void ServiceDiscovery::Offer(const LocalOfferInfo& info, TimePoint now) {
  if (local_.contains(info.instance)) {
    return;
  }
  LocalOffer offer;
  offer.info = info;
  offer.due = now + InitialDelay();
  local_.emplace(info.instance, std::move(offer));
}

void ServiceDiscovery::StopOffer(const InstanceKey& instance, bool announce, SdActions& out) {
  auto it = local_.find(instance);
  if (it == local_.end()) {
    return;
  }
  const auto entry = OfferEntry(it->second, true);
  local_.erase(it);
  if (announce) {
    Send({entry}, std::nullopt, out);
  }
}

std::vector<Subscriber> ServiceDiscovery::SubscribersOf(const InstanceKey& instance, std::uint16_t eventgroupId) const {
  std::vector<Subscriber> list;
  auto it = local_.find(instance);
  if (it == local_.end()) {
    return list;
  }
  auto group = it->second.subscribers.find(eventgroupId);
  if (group != it->second.subscribers.end()) {
    for (const auto& [id, subscriber] : group->second) {
      list.push_back(subscriber);
    }
  }
  return list;
}

void ServiceDiscovery::DropTcpSubscriber(const InstanceKey& instance, const TcpEndpoint& remote, SdActions& out) {
  auto it = local_.find(instance);
  if (it == local_.end()) {
    return;
  }
  for (auto& [group, subscribers] : it->second.subscribers) {
    for (auto sub = subscribers.begin(); sub != subscribers.end();) {
      if (sub->second.tcpAt && *sub->second.tcpAt == remote && !sub->second.udpAt) {
        out.emplace_back(SdEvent{SdEvent::Kind::kUnsubscribed, instance, group, sub->second});
        sub = subscribers.erase(sub);
      } else {
        ++sub;
      }
    }
  }
}

// ---- consumer side ----

void ServiceDiscovery::StartFind(std::uint16_t serviceId, TimePoint now) {
  finds_[serviceId] = Find{now + InitialDelay(), 0};
}

void ServiceDiscovery::Subscribe(const InstanceKey& instance, std::uint16_t eventgroupId, SdActions& out) {
  if (++subscriptions_[{instance.first, instance.second, eventgroupId}].count == 1) {
    SendSubscribes(instance, {eventgroupId}, true, out);
  }
}

void ServiceDiscovery::Unsubscribe(const InstanceKey& instance, std::uint16_t eventgroupId, SdActions& out) {
  auto it = subscriptions_.find({instance.first, instance.second, eventgroupId});
  if (it == subscriptions_.end() || --it->second.count > 0) {
    return;
  }
  subscriptions_.erase(it);
  SendSubscribes(instance, {eventgroupId}, false, out);
}

void ServiceDiscovery::SendSubscribes(const InstanceKey& instance, const std::vector<std::uint16_t>& groups,
                                      bool subscribe, SdActions& out) {
  auto it = offers_.find(instance);
  if (groups.empty() || it == offers_.end()) {
    return;
  }
  const RemoteOffer offer = it->second;
  const auto endpoint = host_.EventEndpoint(instance, offer, groups, subscribe);
  if (!endpoint) {
    return;
  }
  std::vector<sip::SdEntry> entries;
  for (const auto group : groups) {
    auto entry = sip::MakeEntry(sip::EntryType::kSubscribeEventgroup, instance.first, instance.second, offer.major,
                                subscribe ? options_.timings.ttl : 0);
    entry.eventgroupId = group;
    const auto sub = subscriptions_.find({instance.first, instance.second, group});
    const bool again = subscribe && sub != subscriptions_.end() && sub->second.everAcked && !sub->second.acked;
    entry.options.push_back(*endpoint);
    if (again) {
      // After the instance was lost the provider may still hold the old subscription: ending it
      // first makes the provider treat this one as new and send the fields' values again.
      auto stop = entry;
      stop.ttl = 0;
      entries.push_back(stop);
    }
    entries.push_back(entry);
  }
  Send(entries, offer.sd, out);
}

const RemoteOffer* ServiceDiscovery::OfferOf(const InstanceKey& instance) const {
  auto it = offers_.find(instance);
  return it == offers_.end() ? nullptr : &it->second;
}

bool ServiceDiscovery::AnyOfferAt(const TcpEndpoint& endpoint) const {
  return std::any_of(offers_.begin(), offers_.end(), [&](const auto& item) { return item.second.tcpAt == endpoint; });
}

void ServiceDiscovery::ConnectionLost(const TcpEndpoint& remote) {
  for (auto& [key, sub] : subscriptions_) {
    auto offer = offers_.find({std::get<0>(key), std::get<1>(key)});
    if (offer != offers_.end() && offer->second.tcpAt == remote) {
      sub.acked = false;
    }
  }
}

std::optional<std::uint16_t> ServiceDiscovery::InstanceAt(std::uint16_t serviceId,
                                                          const std::optional<UdpEndpoint>& udpFrom,
                                                          const std::optional<TcpEndpoint>& tcpFrom) const {
  for (const auto& [key, offer] : offers_) {
    if (key.first == serviceId && ((udpFrom && offer.udpAt == *udpFrom) || (tcpFrom && offer.tcpAt == *tcpFrom))) {
      return key.second;
    }
  }
  return std::nullopt;
}

}  // namespace ara::com::transport::sd
