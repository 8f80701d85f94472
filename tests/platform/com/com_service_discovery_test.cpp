// Service discovery without sockets: messages in, messages and events out, time passed in.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "ara/com/transport/service_discovery.h"

namespace comtest {
namespace {

namespace sd = ara::com::transport::sd;
namespace sip = ara::com::transport::someip;
using namespace std::chrono_literals;
using Kind = sd::SdEvent::Kind;
using Ms = std::chrono::milliseconds;

constexpr std::uint16_t kService = 0x7001;
constexpr std::uint16_t kInstance = 1;
constexpr std::uint16_t kGroup = 1;
constexpr sd::InstanceKey kKey{kService, kInstance};

boost::asio::ip::address_v4 Address(const char* text) {
  return boost::asio::ip::make_address_v4(text);
}
const sd::UdpEndpoint kOwner{Address("127.9.0.2"), 30490};
const sd::UdpEndpoint kStranger{Address("127.9.0.3"), 30490};

// Uses service kService, event group kGroup; events to UDP 127.9.0.1:40000.
class FakeHost : public sd::SdHost {
 public:
  std::optional<ara::com::ServiceNetwork> UsedNetwork(std::uint16_t serviceId) const override {
    if (serviceId != kService) {
      return std::nullopt;
    }
    return ara::com::ServiceNetwork{};
  }
  bool EventgroupKnown(std::uint16_t, std::uint16_t group) const override { return group == kGroup; }
  std::optional<sip::EndpointOption> EventEndpoint(const sd::InstanceKey&, const sd::RemoteOffer&,
                                                   const std::vector<std::uint16_t>&, bool) override {
    return sip::Ipv4Endpoint({127, 9, 0, 1}, sip::kProtocolUdp, 40000);
  }
};

struct Sent {
  std::optional<sd::UdpEndpoint> to;
  std::uint16_t session;
  sip::SdMessage message;
  std::size_t size;
};

class ServiceDiscoveryTest : public ::testing::Test {
 protected:
  ServiceDiscoveryTest() : machine(host, Options()) {}

  static sd::SdOptions Options() {
    sd::SdOptions options;
    options.unicast = Address("127.9.0.1");
    options.timings.initialDelayMin = 10ms;
    options.timings.initialDelayMax = 10ms;
    options.timings.repetitionBaseDelay = 5ms;
    options.timings.repetitionsMax = 2;
    options.timings.cyclicOfferDelay = 100ms;
    options.timings.ttl = 3;
    options.ttlUnit = 1s;
    return options;
  }

  // Splits what the machine answered into the messages sent and the events reported.
  void Take(sd::SdActions& actions) {
    for (auto& action : actions) {
      if (auto* send = std::get_if<sd::SdSend>(&action)) {
        sip::HeaderError error;
        const auto views = sip::SplitDatagram(send->bytes, error);
        ASSERT_EQ(views.size(), 1u);
        auto message = sip::DecodeSd(views[0].payload);
        ASSERT_TRUE(message.has_value());
        sent.push_back({send->to, views[0].header.sessionId, *message, send->bytes.size()});
      } else {
        events.push_back(std::get<sd::SdEvent>(action));
      }
    }
    actions.clear();
  }

  void Receive(const sip::SdMessage& message, std::uint16_t session, const sd::UdpEndpoint& from,
               bool multicast = false) {
    sd::SdActions actions;
    machine.OnMessage(message, session, from, multicast, now, actions);
    Take(actions);
  }

  // Moves the clock on to `until`, ticking at every moment the machine asks for.
  std::vector<Ms> RunUntil(sd::TimePoint until) {
    std::vector<Ms> ticks;
    for (int i = 0; i < 1000 && machine.NextDue() <= until; ++i) {
      now = std::max(now, machine.NextDue());
      const auto before = sent.size();
      sd::SdActions actions;
      machine.Tick(now, actions);
      Take(actions);
      if (sent.size() > before) {
        ticks.push_back(std::chrono::duration_cast<Ms>(now - start));
      }
    }
    now = std::max(now, until);
    return ticks;
  }

  static sip::SdEntry OfferEntry(std::uint32_t ttl, std::uint16_t service = kService, std::uint16_t udpPort = 30501) {
    auto entry = sip::MakeEntry(sip::EntryType::kOfferService, service, kInstance, 1, ttl);
    entry.options.push_back(sip::Ipv4Endpoint({127, 9, 0, 2}, sip::kProtocolUdp, udpPort));
    return entry;
  }
  static sip::SdMessage With(std::vector<sip::SdEntry> entries, bool reboot = true) {
    sip::SdMessage message;
    message.flags = static_cast<std::uint8_t>(sip::kSdFlagUnicast | (reboot ? sip::kSdFlagReboot : 0));
    message.entries = std::move(entries);
    return message;
  }
  static sip::SdEntry SubscribeEntry(std::uint32_t ttl, std::uint16_t group = kGroup, std::uint16_t port = 41000) {
    auto entry = sip::MakeEntry(sip::EntryType::kSubscribeEventgroup, kService, kInstance, 1, ttl);
    entry.eventgroupId = group;
    entry.options.push_back(sip::Ipv4Endpoint({127, 9, 0, 2}, sip::kProtocolUdp, port));
    return entry;
  }
  static sip::SdEntry FindEntry() { return sip::FindServiceEntry(0xFFFF, 0xFFFF, 3); }
  void OfferHere(std::uint16_t service = kService) {
    ara::com::ServiceNetwork network;
    machine.Offer({{service, kInstance}, network, 30501, 30502}, now);
  }

  std::vector<Kind> Kinds() const {
    std::vector<Kind> kinds;
    for (const auto& event : events) {
      kinds.push_back(event.kind);
    }
    return kinds;
  }

  FakeHost host;
  sd::ServiceDiscovery machine;
  const sd::TimePoint start = sd::TimePoint{} + 1000h;
  sd::TimePoint now = start;
  std::vector<Sent> sent;
  std::vector<sd::SdEvent> events;
};

TEST_F(ServiceDiscoveryTest, AnOfferWaitsItsInitialDelayThenRepeatsWithDoublingDelaysThenGoesCyclic) {
  OfferHere();
  EXPECT_EQ(RunUntil(start + 400ms), (std::vector<Ms>{10ms, 15ms, 25ms, 125ms, 225ms, 325ms}));
  for (const auto& s : sent) {
    EXPECT_FALSE(s.to.has_value());  // to the group
    ASSERT_EQ(s.message.entries.size(), 1u);
    EXPECT_EQ(s.message.entries[0].type, sip::EntryType::kOfferService);
    EXPECT_EQ(s.message.entries[0].options.size(), 2u);
  }
  // One multicast session counter from 1, the reboot flag set until it wraps.
  EXPECT_EQ(sent.front().session, 1);
  EXPECT_EQ(sent.back().session, 6);
  EXPECT_NE(sent.back().message.flags & sip::kSdFlagReboot, 0);
  sd::SdActions actions;
  machine.StopOffer(kKey, true, actions);
  Take(actions);
  ASSERT_EQ(sent.back().message.entries.size(), 1u);
  EXPECT_EQ(sent.back().message.entries[0].ttl, 0u);
  EXPECT_EQ(machine.NextDue(), sd::TimePoint::max());
}

TEST_F(ServiceDiscoveryTest, AFindRepeatsThroughTheRepetitionPhaseAndNotOnceAnOfferIsKnown) {
  struct Case {
    const char* name;
    bool offerKnown;
    std::vector<Ms> finds;
  };
  for (const Case& c : {Case{"nothing offered", false, {10ms, 15ms, 25ms}}, Case{"offer known", true, {}}}) {
    SCOPED_TRACE(c.name);
    sd::ServiceDiscovery fresh(host, Options());
    sent.clear();
    now = start;
    if (c.offerKnown) {
      sd::SdActions actions;
      fresh.OnMessage(With({OfferEntry(3)}), 1, kOwner, true, now, actions);
    }
    fresh.StartFind(kService, now);
    std::vector<Ms> finds;
    for (int i = 0; i < 10 && fresh.NextDue() <= start + 1s; ++i) {
      now = fresh.NextDue();
      sd::SdActions actions;
      fresh.Tick(now, actions);
      for (const auto& action : actions) {
        if (const auto* send = std::get_if<sd::SdSend>(&action)) {
          finds.push_back(std::chrono::duration_cast<Ms>(now - start));
          EXPECT_FALSE(send->to.has_value());
        }
      }
    }
    EXPECT_EQ(finds, c.finds);
  }
}

TEST_F(ServiceDiscoveryTest, APeersOfferLivesItsTtlAndIsRenewedByEachRepetition) {
  Receive(With({OfferEntry(3)}), 1, kOwner, true);
  EXPECT_EQ(Kinds(), (std::vector<Kind>{Kind::kOffered}));
  ASSERT_NE(machine.OfferOf(kKey), nullptr);
  EXPECT_EQ(machine.InstanceAt(kService, sd::UdpEndpoint(Address("127.9.0.2"), 30501), std::nullopt), kInstance);
  EXPECT_EQ(machine.InstanceAt(kService, sd::UdpEndpoint(Address("127.9.0.3"), 30501), std::nullopt), std::nullopt);
  RunUntil(start + 2s);
  Receive(With({OfferEntry(3)}), 2, kOwner, true);  // renews: expires 3 s from now
  RunUntil(start + 4900ms);
  EXPECT_EQ(Kinds(), (std::vector<Kind>{Kind::kOffered}));
  RunUntil(start + 5s);
  EXPECT_EQ(Kinds(), (std::vector<Kind>{Kind::kOffered, Kind::kGone}));
  EXPECT_EQ(machine.OfferOf(kKey), nullptr);
}

TEST_F(ServiceDiscoveryTest, APeerHasRestartedWhenItsRebootFlagComesBackOrItsSessionsGoBack) {
  struct Step {
    std::uint16_t session;
    bool reboot;
  };
  struct Case {
    const char* name;
    std::vector<Step> steps;
    bool restarted;
  };
  const std::vector<Case> cases{
      {"sessions counting up", {{1, true}, {2, true}, {3, true}}, false},
      {"session goes back with the flag", {{5, true}, {3, true}}, true},
      {"flag set again after the wrap", {{10, false}, {1, true}}, true},
      {"wrap without the flag", {{0xFFFF, true}, {1, false}}, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    sd::ServiceDiscovery fresh(host, Options());
    std::vector<Kind> kinds;
    for (const auto& step : c.steps) {
      sd::SdActions actions;
      fresh.OnMessage(With({OfferEntry(3)}, step.reboot), step.session, kOwner, true, now, actions);
      for (const auto& action : actions) {
        if (const auto* event = std::get_if<sd::SdEvent>(&action)) {
          kinds.push_back(event->kind);
        }
      }
    }
    const std::vector<Kind> expected = c.restarted ? std::vector<Kind>{Kind::kOffered, Kind::kGone, Kind::kOffered}
                                                   : std::vector<Kind>{Kind::kOffered};
    EXPECT_EQ(kinds, expected);
  }
}

TEST_F(ServiceDiscoveryTest, SubscriptionsAreAckedRenewedEndedAndExpireOrAreRefused) {
  OfferHere();
  struct Case {
    const char* name;
    sip::SdEntry entry;
    std::optional<std::uint32_t> answerTtl;  // nullopt: no answer
    std::vector<Kind> events;
  };
  const std::vector<Case> cases{
      {"new", SubscribeEntry(3), 3u, {Kind::kSubscribed}},
      {"renewal", SubscribeEntry(3), 3u, {}},
      {"unknown event group", SubscribeEntry(3, 9), 0u, {}},
      {"stop", SubscribeEntry(0), std::nullopt, {Kind::kUnsubscribed}},
      {"again", SubscribeEntry(3), 3u, {Kind::kSubscribed}},
  };
  std::uint16_t session = 1;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    sent.clear();
    events.clear();
    Receive(With({c.entry}), session++, kOwner);
    if (c.answerTtl) {
      ASSERT_EQ(sent.size(), 1u);
      EXPECT_EQ(sent[0].to, kOwner);
      ASSERT_EQ(sent[0].message.entries.size(), 1u);
      EXPECT_EQ(sent[0].message.entries[0].type, sip::EntryType::kSubscribeEventgroupAck);
      EXPECT_EQ(sent[0].message.entries[0].ttl, *c.answerTtl);
    } else {
      EXPECT_TRUE(sent.empty());
    }
    EXPECT_EQ(Kinds(), c.events);
  }
  EXPECT_EQ(machine.SubscribersOf(kKey, kGroup).size(), 1u);
  events.clear();
  RunUntil(now + 3s);
  EXPECT_EQ(Kinds(), (std::vector<Kind>{Kind::kUnsubscribed}));
  EXPECT_TRUE(machine.SubscribersOf(kKey, kGroup).empty());
}

TEST_F(ServiceDiscoveryTest, OnlyThePeerThatOfferedAnInstanceChangesOrEndsItWhileTheOfferLives) {
  struct Case {
    const char* name;
    Ms after;  // since the owner's offer (TTL 3 s)
    sd::UdpEndpoint from;
    sip::SdEntry entry;
    std::vector<Kind> events;
    sd::UdpEndpoint ownerAfter;
  };
  const std::vector<Case> cases{
      {"stop from a stranger", 10ms, kStranger, OfferEntry(0), {}, kOwner},
      {"offer from a stranger", 10ms, kStranger, OfferEntry(3, kService, 30999), {}, kOwner},
      {"stop from the owner", 10ms, kOwner, OfferEntry(0), {Kind::kGone}, kOwner},
      {"the owner moves its endpoint", 10ms, kOwner, OfferEntry(3, kService, 30999), {Kind::kEndpointsMoved}, kOwner},
      {"a stranger after the offer expired",
       3100ms,
       kStranger,
       OfferEntry(3),
       {Kind::kGone, Kind::kOffered},
       kStranger},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    sd::ServiceDiscovery fresh(host, Options());
    now = start;
    sd::SdActions actions;
    fresh.OnMessage(With({OfferEntry(3)}), 1, kOwner, true, now, actions);
    actions.clear();
    fresh.OnMessage(With({c.entry}), 2, c.from, true, now + c.after, actions);
    std::vector<Kind> kinds;
    for (const auto& action : actions) {
      if (const auto* event = std::get_if<sd::SdEvent>(&action)) {
        kinds.push_back(event->kind);
      }
    }
    EXPECT_EQ(kinds, c.events);
    if (const auto* offer = fresh.OfferOf(kKey)) {
      EXPECT_EQ(offer->sd, c.ownerAfter);
    }
  }
}

TEST_F(ServiceDiscoveryTest, OffersOfServicesThisSideDoesNotUseLeaveNoTrace) {
  Receive(With({OfferEntry(3, 0x7002)}), 1, kStranger, true);
  EXPECT_TRUE(events.empty());
  EXPECT_EQ(machine.OfferOf({0x7002, kInstance}), nullptr);
  EXPECT_EQ(machine.NextDue(), sd::TimePoint::max());
}

TEST_F(ServiceDiscoveryTest, AtMostTwoHundredFiftySixInstancesOfAServiceAreKnown) {
  std::uint16_t session = 1;
  for (std::uint16_t instance = 1; instance <= 300; ++instance) {
    auto offer = OfferEntry(3);
    offer.instanceId = instance;
    Receive(With({offer}), session++, kOwner, true);
  }
  EXPECT_EQ(events.size(), 256u);
  EXPECT_EQ(machine.OfferOf({kService, 257}), nullptr);
}

TEST_F(ServiceDiscoveryTest, AnAnswerTooLargeForOneMessageIsSplitAndEachInstanceAnsweredOnce) {
  OfferHere(kService);
  OfferHere(0x7002);
  // 65 finds of any service: two instances each, answered as one offer per instance.
  Receive(With(std::vector<sip::SdEntry>(65, FindEntry())), 1, kStranger);
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].message.entries.size(), 2u);
  // 150 subscriptions of distinct subscribers: 150 Acks, spread over messages that each fit.
  sent.clear();
  std::vector<sip::SdEntry> subscribes;
  for (std::uint16_t port = 0; port < 150; ++port) {
    subscribes.push_back(SubscribeEntry(3, kGroup, static_cast<std::uint16_t>(42000 + port)));
  }
  Receive(With(subscribes), 2, kOwner);
  ASSERT_GT(sent.size(), 1u);
  std::size_t acks = 0;
  std::uint16_t session = 0;
  for (const auto& s : sent) {
    EXPECT_LE(s.size, 16u + 1400u);
    EXPECT_GT(s.session, session);  // each message its own session
    session = s.session;
    acks += s.message.entries.size();
  }
  EXPECT_EQ(acks, 150u);
}

TEST_F(ServiceDiscoveryTest, PeersThatOnlyLookForServicesLeaveBoundedState) {
  OfferHere();
  for (std::uint32_t i = 0; i < 5000; ++i) {
    const sd::UdpEndpoint from(boost::asio::ip::address_v4(0x7F0A0000U + i), static_cast<std::uint16_t>(1000 + i));
    Receive(With({FindEntry()}), 1, from);
  }
  EXPECT_LE(machine.PeersKept(), 1024u);
  // A subscriber's state is kept.
  Receive(With({SubscribeEntry(3)}), 1, kOwner);
  EXPECT_EQ(machine.SubscribersOf(kKey, kGroup).size(), 1u);
}

TEST_F(ServiceDiscoveryTest, AnAckCountsOnlyFromThePeerThatOfferedTheInstance) {
  // Once acked, a subscription made anew after the instance was gone first ends the old one.
  struct Case {
    const char* name;
    sd::UdpEndpoint ackFrom;
    std::size_t entriesWhenBack;
  };
  for (const Case& c : {Case{"from the owner", kOwner, 2}, Case{"from a stranger", kStranger, 1}}) {
    SCOPED_TRACE(c.name);
    sd::ServiceDiscovery fresh(host, Options());
    now = start;
    sd::SdActions actions;
    fresh.Subscribe(kKey, kGroup, actions);
    fresh.OnMessage(With({OfferEntry(3)}), 1, kOwner, true, now, actions);
    sip::SdEntry ack = SubscribeEntry(3);
    ack.type = sip::EntryType::kSubscribeEventgroupAck;
    ack.options.clear();
    fresh.OnMessage(With({ack}), 1, c.ackFrom, false, now, actions);
    fresh.OnMessage(With({OfferEntry(0)}), 2, kOwner, true, now, actions);
    actions.clear();
    fresh.OnMessage(With({OfferEntry(3)}), 3, kOwner, true, now, actions);
    sent.clear();
    Take(actions);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].to, kOwner);
    EXPECT_EQ(sent[0].message.entries.size(), c.entriesWhenBack);
  }
}

}  // namespace
}  // namespace comtest
