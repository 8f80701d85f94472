#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <cstring>
#include <fstream>
#include <future>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <net/if.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>

#include "ara/com/exceptions.h"
#include "ara/com/transport/someip_codec.h"
#include "network_fixture.h"

namespace comtest {
namespace {

using ara::com::Carrier;
using ara::com::ServiceNetwork;

using NetworkTest = NetworkFixture;

TEST_F(NetworkTest, AFieldsValueArrivesRightAfterSubscribingThenEveryNotificationInOrder) {
  Connect();
  provider->Notify(kAlphaEvent, NumberCodec::Encode({7}));  // before anyone subscribed: kept as the field's value
  SubscribeAlpha();
  ASSERT_TRUE(received.WaitFor([](const auto& v) { return v.size() == 1; }));
  EXPECT_EQ(received.Get().at(0), (Value{7}));
  for (std::uint32_t i = 1; i <= 50; ++i) {
    provider->Notify(kAlphaEvent, NumberCodec::Encode({i}));
  }
  ASSERT_TRUE(received.WaitFor([](const auto& v) { return v.size() == 51; }));
  const auto values = received.Get();
  for (std::uint32_t i = 1; i <= 50; ++i) {
    EXPECT_EQ(values[i], (Value{i}));
  }
}

TEST_F(NetworkTest, ANewSubscriberGetsOnlyTheFieldsCurrentValue) {
  Connect();
  provider->Notify(kAlphaEvent, NumberCodec::Encode({1}));
  provider->SetField(kAlphaEvent, NumberCodec::Encode({2}));  // a write the application accepted
  SubscribeAlpha();
  provider->Notify(kAlphaEvent, NumberCodec::Encode({3}));
  ASSERT_TRUE(received.WaitFor([](const auto& v) { return !v.empty() && v.back() == Value{3}; }));
  EXPECT_EQ(received.Get(), (std::vector<Value>{{2}, {3}}));
  EXPECT_EQ(provider->Field(kAlphaEvent), NumberCodec::Encode({3}));
}

// Events over the TCP connection the consumer opens to the provider.
class TcpEventsTest : public NetworkFixture {
 protected:
  ServiceNetwork Service() const override {
    ServiceNetwork network = net.Service();
    network.events = Carrier::kTcp;
    return network;
  }
};

TEST_F(TcpEventsTest, NotificationsTravelOverTheConnectionInOrderAfterTheFieldsValue) {
  Connect();
  provider->Notify(kAlphaEvent, NumberCodec::Encode({7}));
  SubscribeAlpha();
  const Value big(20000, 0x01020304);  // beyond a datagram
  provider->Notify(kAlphaEvent, NumberCodec::Encode(big));
  for (std::uint32_t i = 1; i <= 20; ++i) {
    provider->Notify(kAlphaEvent, NumberCodec::Encode({i}));
  }
  ASSERT_TRUE(received.WaitFor([](const auto& v) { return v.size() == 22; }));
  const auto values = received.Get();
  EXPECT_EQ(values[0], (Value{7}));
  EXPECT_EQ(values[1], big);
  EXPECT_EQ(values[21], (Value{20}));
}

TEST_F(NetworkTest, UnsubscribingEndsTheSubscriptionAtTheProvider) {
  Connect();
  SubscribeAlpha();
  proxy->alpha.Unsubscribe();
  ASSERT_TRUE(provider->WaitFor([](const auto& r) { return !r.subscribers.contains(1); }, kTimeout));
}

TEST_F(NetworkTest, ACallToAnInstanceThatStopsOfferingFailsAndLaterCallsThrowAtOnce) {
  Connect();
  provider->SetMethodHandler(kAlphaGet, [](const auto&, auto) {});  // never answers
  auto pending = proxy->alpha.Get();
  ASSERT_TRUE(provider->WaitFor([](const auto& r) { return !r.requests.empty(); }, kTimeout));
  provider->StopOffer();
  ASSERT_TRUE(WaitGone());
  ASSERT_EQ(pending.wait_for(kTimeout), std::future_status::ready);
  EXPECT_THROW(pending.get(), ara::com::ServiceNotAvailableException);
  EXPECT_THROW(proxy->alpha.Get(), ara::com::ServiceNotAvailableException);
}

// Another SOME/IP stack on this host, as widely used ones open their SD socket: the wildcard
// address on the SD port, shared with SO_REUSEADDR, a member of the SD group. The parameter says
// whether it binds before the two stacks start.
class ForeignSdSocketTest : public NetworkFixture, public ::testing::WithParamInterface<bool> {
 protected:
  void BeforeStacks() override {
    if (GetParam()) {
      BindForeign();
    }
  }
  void SetUp() override {
    NetworkFixture::SetUp();
    if (!GetParam()) {
      BindForeign();
    }
  }

  void BindForeign() {
    boost::system::error_code ec;
    foreign.open(boost::asio::ip::udp::v4(), ec);
    foreign.set_option(boost::asio::ip::udp::socket::reuse_address(true), ec);
    foreign.bind({boost::asio::ip::address_v4::any(), net.sdPort}, ec);
    ASSERT_FALSE(ec) << "wildcard bind of the SD port: " << ec.message();
    ip_mreqn join{};
    join.imr_multiaddr.s_addr = htonl(boost::asio::ip::make_address_v4(net.group).to_uint());
    join.imr_ifindex = static_cast<int>(::if_nametoindex("lo"));
    ASSERT_EQ(::setsockopt(foreign.native_handle(), IPPROTO_IP, IP_ADD_MEMBERSHIP, &join, sizeof join), 0);
    const int one = 1;
    ASSERT_EQ(::setsockopt(foreign.native_handle(), IPPROTO_IP, IP_PKTINFO, &one, sizeof one), 0);
    const timeval timeout{0, 200'000};
    ::setsockopt(foreign.native_handle(), SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
  }

  // Whether the foreign socket receives an SD message that the provider sent to the group.
  bool ForeignHearsTheProvidersMulticast() {
    const auto group = htonl(boost::asio::ip::make_address_v4(net.group).to_uint());
    const auto provider = htonl(boost::asio::ip::make_address_v4(net.provider).to_uint());
    for (int attempt = 0; attempt < 100; ++attempt) {  // at most 100 x 200 ms
      std::array<std::uint8_t, 2048> buffer{};
      std::array<char, 256> control{};
      sockaddr_in from{};
      iovec io{buffer.data(), buffer.size()};
      msghdr message{};
      message.msg_name = &from;
      message.msg_namelen = sizeof from;
      message.msg_iov = &io;
      message.msg_iovlen = 1;
      message.msg_control = control.data();
      message.msg_controllen = control.size();
      const auto size = ::recvmsg(foreign.native_handle(), &message, 0);
      if (size < 4 || buffer[0] != 0xFF || buffer[1] != 0xFF || buffer[2] != 0x81 || buffer[3] != 0x00 ||
          from.sin_addr.s_addr != provider) {
        continue;
      }
      for (auto* c = CMSG_FIRSTHDR(&message); c != nullptr; c = CMSG_NXTHDR(&message, c)) {
        if (c->cmsg_level == IPPROTO_IP && c->cmsg_type == IP_PKTINFO) {
          in_pktinfo info{};
          std::memcpy(&info, CMSG_DATA(c), sizeof info);
          if (info.ipi_addr.s_addr == group) {
            return true;
          }
        }
      }
    }
    return false;
  }

  boost::asio::io_context io;
  boost::asio::ip::udp::socket foreign{io};
};

TEST_P(ForeignSdSocketTest, BothBindInEitherOrderAndDiscoveryAndTheGroupStillWork) {
  Connect();
  SubscribeAlpha();
  provider->Notify(kAlphaEvent, NumberCodec::Encode({5}));
  ASSERT_TRUE(received.WaitFor([](const auto& v) { return !v.empty() && v.back() == Value{5}; }));
  EXPECT_TRUE(ForeignHearsTheProvidersMulticast());
}

INSTANTIATE_TEST_SUITE_P(StartOrder, ForeignSdSocketTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "ForeignFirst" : "ForeignLast"; });

// One side's unicast address is on no interface when it starts (early at boot) and appears later,
// as the transport sees it through the seam that lists the interface addresses. The parameter
// says whether the consumer (true) or the provider waits.
class AddressLaterTest : public NetworkFixture, public ::testing::WithParamInterface<bool> {
 protected:
  void SetUp() override {
    NetworkFixture::SetUp();
    provider.reset();
    runtime.reset();
    ara::com::RuntimeOptions options;
    options.threads = 2;
    options.makeTransport = [this] {
      return ara::com::transport::CreateNetworkTransport(Waiting(ConsumerOptions(), true));
    };
    runtime = std::make_unique<ara::com::RuntimeComponent>(options);
    auto providerOptions = Waiting(ProviderOptions(), false);
    provider = std::make_unique<ara::com::ServiceProvider>(
        TestService::DefaultDeployment(), 1, ara::com::transport::CreateNetworkTransport(std::move(providerOptions)));
    provider->SetMethodHandler(kBetaGet, [](const auto&, auto responder) { responder.Reply(0); });
  }

  // The waiting side sees no loopback address until `present`, and looks every 5 ms.
  ara::com::transport::NetworkOptions Waiting(ara::com::transport::NetworkOptions options, bool consumer) {
    if (consumer == GetParam()) {
      options.addressRetry = std::chrono::milliseconds(5);
      options.interfaceAddresses = [this] {
        looks.Change([](int& n) { ++n; });
        return present ? std::vector<ara::com::transport::InterfaceAddress>{{"127.0.0.1", ::if_nametoindex("lo")}}
                       : std::vector<ara::com::transport::InterfaceAddress>{};
      };
    }
    return options;
  }

  std::string WaitingAddress() const { return GetParam() ? net.consumer : net.provider; }

  std::atomic<bool> present{false};
  Watched<int> looks;
};

TEST_P(AddressLaterTest, StartIsNotFatalNothingIsFoundMeanwhileAndAllGoesOnWhenItAppears) {
  provider->Offer();
  StartSearch();
  ASSERT_TRUE(looks.WaitFor([](int n) { return n >= 4; }));
  EXPECT_TRUE(found.Get().empty() || found.Get().back().empty()) << "found while an address is missing";
  present = true;
  ASSERT_TRUE(WaitOffered());
  proxy = std::make_unique<TestProxy>(found.Get().back().at(0));
  auto get = proxy->beta.Get();
  ASSERT_EQ(get.wait_for(kTimeout), std::future_status::ready);
  EXPECT_NO_THROW(get.get());
  const auto warned = capture->Count([&](const ara::log::Record& r) {
    return r.level == ara::log::LogLevel::kWarn && r.text.find(WaitingAddress()) != std::string::npos;
  });
  EXPECT_EQ(warned, 1u);
}

INSTANTIATE_TEST_SUITE_P(WaitingSide, AddressLaterTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Consumer" : "Provider"; });

// A configured request timeout ends a call that gets no answer.
class TimeoutTest : public NetworkFixture {
 protected:
  void SetUp() override {
    NetworkFixture::SetUp();
    runtime.reset();
    ara::com::RuntimeOptions options;
    options.makeTransport = [this] {
      auto consumer = ConsumerOptions();
      consumer.config.requestTimeout = std::chrono::milliseconds(50);
      return ara::com::transport::CreateNetworkTransport(std::move(consumer));
    };
    runtime = std::make_unique<ara::com::RuntimeComponent>(options);
  }
};

TEST_F(TimeoutTest, ACallUnansweredForTheRequestTimeoutFailsWithTheTransportError) {
  Connect();
  provider->SetMethodHandler(kAlphaGet, [](const auto&, auto) {});  // never answers
  auto pending = proxy->alpha.Get();
  ASSERT_EQ(pending.wait_for(kTimeout), std::future_status::ready);
  EXPECT_THROW(pending.get(), ara::com::TransportException);
  EXPECT_TRUE(capture->WaitFor(
      [](const ara::log::Record& r) {
        return r.text.find("timed out; an answer to it coming later") != std::string::npos;
      },
      kTimeout));
}

// Offers that live a TTL of 10 s unless renewed, so that only a withdrawal or a restart ends them.
class LongTtlTest : public NetworkFixture {
 protected:
  std::chrono::milliseconds TtlUnit() const override { return std::chrono::seconds(1); }
};

TEST_F(NetworkTest, AProviderThatVanishesExpiresWithItsTtlAndIsFoundAgainWhenItReturns) {
  provider.reset();
  provider = MakeProvider(false);
  Connect();
  SubscribeAlpha();
  provider.reset();  // goes without a StopOffer
  ASSERT_TRUE(WaitGone());
  EXPECT_THROW(proxy->alpha.Get(), ara::com::ServiceNotAvailableException);
  provider = MakeProvider();
  provider->Offer();
  ASSERT_TRUE(WaitOffered());
  // The subscription is made anew and the field's value follows it.
  ASSERT_TRUE(provider->WaitFor([](const auto& r) { return r.subscribers.contains(1); }, kTimeout));
  provider->Notify(kAlphaEvent, NumberCodec::Encode({42}));
  ASSERT_TRUE(received.WaitFor([](const auto& v) { return !v.empty() && v.back() == Value{42}; }));
  auto get = proxy->beta.Get();
  ASSERT_EQ(get.wait_for(kTimeout), std::future_status::ready);
  EXPECT_NO_THROW(get.get());
}

TEST_F(LongTtlTest, AProviderThatRestartsIsRecognisedByItsSessionsAndSubscribedAgain) {
  provider.reset();
  provider = MakeProvider(false);
  Connect();
  SubscribeAlpha();
  provider.reset();  // gone without a word, long before its offer expires
  provider = MakeProvider();
  provider->Offer();
  // Restart detected: the instance went away and came back at once.
  ASSERT_TRUE(found.WaitFor(
      [](const auto& lists) { return lists.size() >= 3 && lists[lists.size() - 2].empty() && !lists.back().empty(); }));
  ASSERT_TRUE(provider->WaitFor([](const auto& r) { return r.subscribers.contains(1); }, kTimeout));
  EXPECT_GE(capture->Count([](const ara::log::Record& r) { return r.text.find("has restarted") != std::string::npos; }),
            1u);
}

TEST_F(LongTtlTest, ACallOnATcpConnectionThatIsLostFailsWithTheTransportError) {
  provider.reset();
  provider = MakeProvider(false);
  Connect();
  provider->SetMethodHandler(kAlphaGet, [](const auto&, auto) {});  // never answers
  auto pending = proxy->alpha.Get();
  ASSERT_TRUE(provider->WaitFor([](const auto& r) { return !r.requests.empty(); }, kTimeout));
  provider.reset();  // goes without a word: only the connection closes
  ASSERT_EQ(pending.wait_for(kTimeout), std::future_status::ready);
  EXPECT_THROW(pending.get(), ara::com::TransportException);
}

// Methods over each carrier.
class MethodTest : public NetworkFixture, public ::testing::WithParamInterface<Carrier> {
 protected:
  ServiceNetwork Service() const override {
    ServiceNetwork network = net.Service();
    network.methods = GetParam();
    return network;
  }
};

TEST_P(MethodTest, GetAndSetCarryTheirValuesAndTheProviderSeesTheHeader) {
  Connect();
  provider->SetMethodHandler(kAlphaGet, [](const auto&, auto r) { r.Reply(0, NumberCodec::Encode({1, 2, 3})); });
  provider->SetMethodHandler(kAlphaSet, [](const auto& request, auto r) { r.Reply(0, request.payload); });
  auto get = proxy->alpha.Get();
  ASSERT_EQ(get.wait_for(kTimeout), std::future_status::ready);
  EXPECT_EQ(get.get(), (Value{1, 2, 3}));
  const Value big(20000, 0xA5A5A5A5);  // 80 kB: more than a datagram holds
  auto set = proxy->alpha.Set(GetParam() == Carrier::kTcp ? big : Value{9});
  ASSERT_EQ(set.wait_for(kTimeout), std::future_status::ready);
  EXPECT_EQ(set.get(), GetParam() == Carrier::kTcp ? big : Value{9});
  const auto requests = provider->Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0].methodId, kAlphaGet);
  EXPECT_EQ(requests[0].instanceId, 1);
  EXPECT_NE(requests[0].clientId, 0);
  EXPECT_NE(requests[0].sessionId, requests[1].sessionId);
}

TEST_P(MethodTest, ErrorAnswersEndInTheBindingsErrors) {
  Connect();
  provider->SetMethodHandler(kAlphaGet, [](const auto&, auto r) { r.Reply(0x42); });
  provider->SetMethodHandler(kAlphaSet, [](const auto&, auto r) { r.Reply(0xFF); });
  provider->SetMethodHandler(kBetaGet, [](const auto&, auto r) { r.Reply(0x01); });
  auto application = proxy->alpha.Get();
  auto unavailable = proxy->alpha.Set({1});
  auto transport = proxy->beta.Get();
  for (auto* f : {&application, &unavailable}) {
    ASSERT_EQ(f->wait_for(kTimeout), std::future_status::ready);
  }
  ASSERT_EQ(transport.wait_for(kTimeout), std::future_status::ready);
  EXPECT_THROW(application.get(), ApplicationError);
  EXPECT_THROW(unavailable.get(), ara::com::ServiceNotAvailableException);
  EXPECT_THROW(transport.get(), ara::com::TransportException);
}

TEST_P(MethodTest, ConcurrentSetsOfOneFieldEachGetTheirOwnOutcome) {
  Connect();
  auto& held = HoldAlphaWrites();
  std::vector<ara::com::Future<Value>> sets;
  for (std::uint32_t i = 0; i < 4; ++i) {
    sets.push_back(proxy->alpha.Set({i}));
  }
  ASSERT_TRUE(held.WaitFor([](const auto& all) { return all.size() == 4; }));
  // Write 0's caller gives up first, as a caller with a bounded wait does.
  EXPECT_EQ(sets[0].wait_for(std::chrono::milliseconds(1)), std::future_status::timeout);
  // The answers come in reverse order, each with its own outcome; write 0's after its caller
  // gave up and while a later write of the field is in flight.
  struct Answer {
    std::uint32_t write;
    std::uint8_t returnCode;
  };
  for (const Answer answer : {Answer{3, 0x00}, Answer{2, 0x01}, Answer{1, 0xFF}}) {
    held.Get().at(answer.write).Reply(answer.returnCode, NumberCodec::Encode({answer.write}));
    ASSERT_EQ(sets[answer.write].wait_for(kTimeout), std::future_status::ready) << answer.write;
  }
  sets.push_back(proxy->alpha.Set({4}));
  ASSERT_TRUE(held.WaitFor([](const auto& all) { return all.size() == 5; }));
  held.Get().at(0).Reply(0, NumberCodec::Encode({0}));
  ASSERT_EQ(sets[0].wait_for(kTimeout), std::future_status::ready);
  EXPECT_EQ(sets[4].wait_for(std::chrono::milliseconds(0)), std::future_status::timeout);
  held.Get().at(4).Reply(0, NumberCodec::Encode({4}));
  ASSERT_EQ(sets[4].wait_for(kTimeout), std::future_status::ready);

  EXPECT_EQ(sets[0].get(), Value{0});
  EXPECT_THROW(sets[1].get(), ara::com::ServiceNotAvailableException);
  EXPECT_THROW(sets[2].get(), ara::com::TransportException);
  EXPECT_EQ(sets[3].get(), Value{3});
  EXPECT_EQ(sets[4].get(), Value{4});
}

INSTANTIATE_TEST_SUITE_P(Carriers, MethodTest, ::testing::Values(Carrier::kUdp, Carrier::kTcp),
                         [](const auto& info) { return info.param == Carrier::kUdp ? "Udp" : "Tcp"; });

// A foreign peer speaking raw SOME/IP to the provider's UDP port.
class RawPeerTest : public NetworkFixture {
 protected:
  ServiceNetwork Service() const override {
    ServiceNetwork network;
    network.udpPort = servicePort;
    network.tcpPort.reset();
    network.methods = Carrier::kUdp;
    return network;
  }

  void SetUp() override {
    NetworkFixture::SetUp();
    socket.open(boost::asio::ip::udp::v4());
    socket.bind({boost::asio::ip::make_address_v4(net.consumer), 0});
    const timeval timeout{0, 200'000};
    ::setsockopt(socket.native_handle(), SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
  }

  void SendToService(const std::vector<std::uint8_t>& bytes) {
    socket.send_to(boost::asio::buffer(bytes), {boost::asio::ip::make_address_v4(net.provider), servicePort});
  }

  // The next datagram within the bound, or nothing.
  std::optional<std::vector<std::uint8_t>> Receive() {
    std::vector<std::uint8_t> buffer(65536);
    for (int attempt = 0; attempt < 50; ++attempt) {  // 50 x 200 ms
      boost::system::error_code ec;
      const auto size = socket.receive(boost::asio::buffer(buffer), 0, ec);
      if (!ec) {
        buffer.resize(size);
        return buffer;
      }
    }
    return std::nullopt;
  }

  static std::vector<std::uint8_t> Request(std::uint16_t method, std::uint8_t interfaceVersion, std::uint16_t session,
                                           std::uint16_t client = 0x0777, const Value& value = {}) {
    namespace sip = ara::com::transport::someip;
    sip::Header header;
    header.serviceId = 0x7001;
    header.methodId = method;
    header.clientId = client;
    header.sessionId = session;
    header.interfaceVersion = interfaceVersion;
    header.messageType = sip::kTypeRequest;
    return sip::EncodeMessage(header, NumberCodec::Encode(value));
  }

  // The port of the consumer's UDP socket for answers and events, as the system lists it: the
  // one bound to the consumer's address that is neither SD's nor this test's own.
  std::uint16_t ConsumerClientPort() {
    char address[9];
    std::snprintf(address, sizeof address, "%08X", htonl(boost::asio::ip::make_address_v4(net.consumer).to_uint()));
    std::ifstream table("/proc/net/udp");
    std::string line;
    std::getline(table, line);  // the heading
    while (std::getline(table, line)) {
      std::istringstream fields(line);
      std::string slot;
      std::string local;
      fields >> slot >> local;
      const auto colon = local.find(':');
      if (colon == std::string::npos || local.substr(0, colon) != address) {
        continue;
      }
      const auto port = static_cast<std::uint16_t>(std::stoul(local.substr(colon + 1), nullptr, 16));
      if (port != net.sdPort && port != socket.local_endpoint().port()) {
        return port;
      }
    }
    return 0;
  }

  const std::uint16_t servicePort = FreeUdpPort();
  boost::asio::io_context io;
  boost::asio::ip::udp::socket socket{io};
};

TEST_F(RawPeerTest, MalformedInputIsDroppedAndBadRequestsAreAnsweredWithTheirErrors) {
  namespace sip = ara::com::transport::someip;
  Connect();
  provider->SetMethodHandler(kAlphaGet, [](const auto&, auto r) { r.Reply(0, NumberCodec::Encode({5})); });
  SendToService({0x70, 0x01, 0x00});                                                        // short
  SendToService({0x70, 0x01, 0x00, 0x11, 0xFF, 0xFF, 0xFF, 0xFF, 0, 1, 0, 1, 1, 1, 0, 0});  // Length beyond
  SendToService({0x70, 0x01, 0x00, 0x11, 0, 0, 0, 8, 0, 1, 0, 1, 9, 1, 0, 0});              // protocol 9
  SendToService(Request(0x0099, 1, 0x0101));
  SendToService(Request(kAlphaGet, 7, 0x0102));
  struct Expected {
    std::uint16_t session;
    std::uint8_t returnCode;
  };
  for (const Expected expected : {Expected{0x0101, 0x03}, Expected{0x0102, 0x08}}) {
    const auto answer = Receive();
    ASSERT_TRUE(answer.has_value());
    sip::Header header;
    ASSERT_EQ(sip::ReadHeader(*answer, header), sip::HeaderError::kNone);
    EXPECT_EQ(header.sessionId, expected.session);
    EXPECT_EQ(header.clientId, 0x0777);
    EXPECT_EQ(header.messageType, sip::kTypeError);
    EXPECT_EQ(header.returnCode, expected.returnCode);
    EXPECT_EQ(header.interfaceVersion, 1);
  }
  // Two requests in one datagram are both answered; the receiver still works for the proxy.
  auto both = Request(kAlphaGet, 1, 0x0201);
  const auto second = Request(kAlphaGet, 1, 0x0202);
  both.insert(both.end(), second.begin(), second.end());
  SendToService(both);
  ASSERT_TRUE(Receive().has_value());
  ASSERT_TRUE(Receive().has_value());
  auto get = proxy->alpha.Get();
  ASSERT_EQ(get.wait_for(kTimeout), std::future_status::ready);
  EXPECT_EQ(get.get(), (Value{5}));
  EXPECT_EQ(provider->Requests().size(), 3u);  // the bad ones never reached the provider
}

// A consumer that restarted (its sessions count from 1 again) or another one with the same client
// id may send a request that looks like one still pending from the proxy: each gets its own answer.
TEST_F(RawPeerTest, TwoRequestsWithOneClientAndSessionEachGetTheirOwnAnswer) {
  namespace sip = ara::com::transport::someip;
  Connect();
  auto& held = HoldAlphaWrites();
  auto set = proxy->alpha.Set({1});
  ASSERT_TRUE(held.WaitFor([](const auto& all) { return all.size() == 1; }));
  const auto proxysRequest = held.Get().at(1).Request();
  SendToService(Request(kAlphaSet, 1, proxysRequest.sessionId, proxysRequest.clientId, {2}));
  ASSERT_TRUE(held.WaitFor([](const auto& all) { return all.size() == 2; }));
  held.Get().at(1).Reply(0, NumberCodec::Encode({1}));
  held.Get().at(2).Reply(0, NumberCodec::Encode({2}));
  ASSERT_EQ(set.wait_for(kTimeout), std::future_status::ready);
  EXPECT_EQ(set.get(), Value{1});
  const auto answer = Receive();
  ASSERT_TRUE(answer.has_value());
  sip::Header header;
  ASSERT_EQ(sip::ReadHeader(*answer, header), sip::HeaderError::kNone);
  EXPECT_EQ(header.sessionId, proxysRequest.sessionId);
  EXPECT_EQ(NumberCodec::Decode({answer->begin() + sip::kHeaderSize, answer->end()}), Value{2});
}

// A pending request takes its answer only from the endpoint it was sent to; the same answer from
// anywhere else completes nothing.
TEST_F(RawPeerTest, AnAnswerFromAnywhereButWhereTheRequestWentCompletesNothing) {
  namespace sip = ara::com::transport::someip;
  Connect();
  auto& held = HoldAlphaWrites();
  auto set = proxy->alpha.Set({1});
  ASSERT_TRUE(held.WaitFor([](const auto& all) { return all.size() == 1; }));
  const auto request = held.Get().at(1).Request();
  const std::uint16_t consumerPort = ConsumerClientPort();
  ASSERT_NE(consumerPort, 0);
  sip::Header header;
  header.serviceId = 0x7001;
  header.methodId = kAlphaSet;
  header.clientId = request.clientId;
  header.sessionId = request.sessionId;
  header.interfaceVersion = 1;
  header.messageType = sip::kTypeResponse;
  const auto forged = sip::EncodeMessage(header, NumberCodec::Encode({99}));
  const std::string stranger = net.provider.substr(0, net.provider.rfind('.') + 1) +
                               std::to_string(std::stoi(net.provider.substr(net.provider.rfind('.') + 1)) + 1);
  for (const std::string& from : {stranger, net.provider}) {  // another host; the provider's host, another port
    boost::asio::ip::udp::socket forger(io, {boost::asio::ip::make_address_v4(from), 0});
    forger.send_to(boost::asio::buffer(forged), {boost::asio::ip::make_address_v4(net.consumer), consumerPort});
  }
  // The real answer arrives behind the forged ones on the same socket.
  held.Get().at(1).Reply(0, NumberCodec::Encode({1}));
  ASSERT_EQ(set.wait_for(kTimeout), std::future_status::ready);
  EXPECT_EQ(set.get(), Value{1});
}

TEST_F(RawPeerTest, GarbageOnTheSdChannelDoesNotDisturbDiscovery) {
  const boost::asio::ip::udp::endpoint group(boost::asio::ip::make_address_v4(net.group), net.sdPort);
  boost::asio::ip::udp::socket sd(io);
  sd.open(boost::asio::ip::udp::v4());
  sd.bind({boost::asio::ip::make_address_v4(net.consumer), 0});
  const std::uint8_t loopback = 1;
  ::setsockopt(sd.native_handle(), IPPROTO_IP, IP_MULTICAST_LOOP, &loopback, sizeof loopback);
  const std::vector<std::vector<std::uint8_t>> garbage{
      {0xFF, 0xFF, 0x81, 0x00},
      {0xFF, 0xFF, 0x81, 0x00, 0, 0, 0, 0x0C, 0, 0, 0, 1, 1, 1, 2, 0, 0x40, 0, 0},
      {0xFF, 0xFF, 0x81, 0x00, 0, 0, 0,    0x14, 0,    0,    0, 1, 1, 1,
       2,    0,    0x40, 0,    0, 0, 0xFF, 0xFF, 0xFF, 0xF0, 0, 0, 0, 0},
  };
  for (const auto& bytes : garbage) {
    boost::system::error_code ec;
    sd.send_to(boost::asio::buffer(bytes), group, 0, ec);
    sd.send_to(boost::asio::buffer(bytes), {boost::asio::ip::make_address_v4(net.provider), net.sdPort}, 0, ec);
  }
  Connect();
  auto get = proxy->beta.Get();
  ASSERT_EQ(get.wait_for(kTimeout), std::future_status::ready);
  EXPECT_NO_THROW(get.get());
}

// A stranger on a third loopback address speaking SD and SOME/IP to both stacks.
class StrangerTest : public RawPeerTest {
 protected:
  void SetUp() override {
    RawPeerTest::SetUp();
    const auto consumer = boost::asio::ip::make_address_v4(net.consumer).to_uint();
    stranger.open(boost::asio::ip::udp::v4());
    stranger.bind({boost::asio::ip::address_v4(consumer + 2), 0});
  }

  static std::vector<std::uint8_t> Sd(std::vector<ara::com::transport::someip::SdEntry> entries,
                                      std::uint16_t session) {
    namespace sip = ara::com::transport::someip;
    sip::SdMessage message;
    message.flags = sip::kSdFlagUnicast | sip::kSdFlagReboot;
    message.entries = std::move(entries);
    return sip::EncodeSdMessage(session, message);
  }

  boost::asio::ip::udp::socket stranger{io};
};

TEST_F(StrangerTest, SixtyFiveFindsToTheGroupLeaveTheProviderWorking) {
  namespace sip = ara::com::transport::someip;
  Connect();
  const auto bytes = Sd(std::vector<sip::SdEntry>(65, sip::FindServiceEntry(0xFFFF, 0xFFFF, 3)), 1);
  ASSERT_EQ(bytes.size(), 16u + 12u + 65u * 16u);
  const std::uint8_t loopback = 1;
  ::setsockopt(stranger.native_handle(), IPPROTO_IP, IP_MULTICAST_LOOP, &loopback, sizeof loopback);
  stranger.send_to(boost::asio::buffer(bytes), {boost::asio::ip::make_address_v4(net.group), net.sdPort});
  // The provider answers the stranger and keeps serving.
  std::vector<std::uint8_t> answer(65536);
  const timeval timeout{0, 200'000};
  ::setsockopt(stranger.native_handle(), SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
  bool answered = false;
  for (int attempt = 0; attempt < 50 && !answered; ++attempt) {  // 50 x 200 ms
    boost::system::error_code ec;
    answered = stranger.receive(boost::asio::buffer(answer), 0, ec) > 0 && !ec;
  }
  EXPECT_TRUE(answered);
  provider->SetMethodHandler(kAlphaGet, [](const auto&, auto r) { r.Reply(0, NumberCodec::Encode({5})); });
  auto get = proxy->alpha.Get();
  ASSERT_EQ(get.wait_for(kTimeout), std::future_status::ready);
  EXPECT_EQ(get.get(), (Value{5}));
}

TEST_F(StrangerTest, NotificationsStopOffersAndRivalOffersFromAStrangerAreRefused) {
  namespace sip = ara::com::transport::someip;
  Connect();
  SubscribeAlpha();
  const boost::asio::ip::udp::endpoint consumerSd(boost::asio::ip::make_address_v4(net.consumer), net.sdPort);
  const auto strangerAddress = stranger.local_endpoint().address().to_v4().to_bytes();
  const auto stop = sip::MakeEntry(sip::EntryType::kOfferService, 0x7001, 1, 1, 0);
  auto rival = stop;
  rival.ttl = 30;
  rival.options.push_back(sip::Ipv4Endpoint(strangerAddress, sip::kProtocolUdp, stranger.local_endpoint().port()));
  // The notification goes to every UDP port of the consumer's address: one of them is its own.
  sip::Header header;
  header.serviceId = 0x7001;
  header.methodId = kAlphaEvent;
  header.interfaceVersion = 1;
  header.messageType = sip::kTypeNotification;
  const auto spoofed = sip::EncodeMessage(header, NumberCodec::Encode({2999}));
  struct Case {
    const char* name;
    std::vector<std::uint8_t> bytes;
  };
  const std::vector<Case> cases{{"StopOffer", Sd({stop}, 1)}, {"rival Offer", Sd({rival}, 2)}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    stranger.send_to(boost::asio::buffer(c.bytes), consumerSd);
  }
  for (std::uint32_t port = 32768; port < 61000; ++port) {  // the kernel's ephemeral range
    boost::system::error_code ec;
    stranger.send_to(boost::asio::buffer(spoofed),
                     {boost::asio::ip::make_address_v4(net.consumer), static_cast<std::uint16_t>(port)}, 0, ec);
  }
  // The real provider's value still arrives after all that, and nothing else did; calls still reach it.
  provider->Notify(kAlphaEvent, NumberCodec::Encode({42}));
  ASSERT_TRUE(received.WaitFor([](const auto& v) { return !v.empty() && v.back() == Value{42}; }));
  for (const auto& value : received.Get()) {
    EXPECT_NE(value, (Value{2999}));
  }
  EXPECT_FALSE(found.Get().back().empty());
  auto get = proxy->beta.Get();
  ASSERT_EQ(get.wait_for(kTimeout), std::future_status::ready);
  EXPECT_NO_THROW(get.get());
  EXPECT_GE(capture->Count([](const ara::log::Record& r) {
    return r.text.find("ignored: the instance is offered by") != std::string::npos;
  }),
            1u);
}

TEST_F(StrangerTest, AResponseFromAStrangerDoesNotCompleteAPendingCall) {
  namespace sip = ara::com::transport::someip;
  Connect();
  Watched<std::vector<ara::com::ServiceProvider::Responder>> held;
  provider->SetMethodHandler(kAlphaSet,
                             [&held](const auto&, auto r) { held.Change([&](auto& list) { list.push_back(r); }); });
  auto pending = proxy->alpha.Set({7});
  ASSERT_TRUE(held.WaitFor([](const auto& list) { return !list.empty(); }));
  const auto request = held.Get().at(0).Request();
  sip::Header header;
  header.serviceId = request.serviceId;
  header.methodId = request.methodId;
  header.clientId = request.clientId;
  header.sessionId = request.sessionId;
  header.interfaceVersion = 1;
  header.messageType = sip::kTypeResponse;
  const auto spoofed = sip::EncodeMessage(header, NumberCodec::Encode({2999}));
  for (std::uint32_t port = 32768; port < 61000; ++port) {  // the kernel's ephemeral range
    boost::system::error_code ec;
    stranger.send_to(boost::asio::buffer(spoofed),
                     {boost::asio::ip::make_address_v4(net.consumer), static_cast<std::uint16_t>(port)}, 0, ec);
  }
  // The provider's own answer, sent after all of them, is the one the call gets.
  held.Get().at(0).Reply(0, NumberCodec::Encode({7}));
  ASSERT_EQ(pending.wait_for(kTimeout), std::future_status::ready);
  EXPECT_EQ(pending.get(), (Value{7}));
}

TEST_F(StrangerTest, OffersOfServicesNotUsedAndRivalOffersOpenNoConnections) {
  namespace sip = ara::com::transport::someip;
  Connect();
  SubscribeAlpha();
  boost::asio::ip::tcp::acceptor listener(io, {stranger.local_endpoint().address(), 0});
  listener.non_blocking(true);
  const auto strangerAddress = stranger.local_endpoint().address().to_v4().to_bytes();
  const auto tcpAt = sip::Ipv4Endpoint(strangerAddress, sip::kProtocolTcp, listener.local_endpoint().port());
  struct Case {
    const char* name;
    std::uint16_t serviceId;
    std::uint16_t instanceId;
  };
  std::uint16_t session = 1;
  for (const Case& c : {Case{"a service the consumer does not use", 0x7002, 1},
                        Case{"the instance another address offers", 0x7001, 1}}) {
    SCOPED_TRACE(c.name);
    auto offer = sip::MakeEntry(sip::EntryType::kOfferService, c.serviceId, c.instanceId, 1, 30);
    offer.options.push_back(tcpAt);
    stranger.send_to(boost::asio::buffer(Sd({offer}, session++)),
                     {boost::asio::ip::make_address_v4(net.consumer), net.sdPort});
  }
  // An instance of its own, offered after the others, shows that the consumer has read them all.
  auto own = sip::MakeEntry(sip::EntryType::kOfferService, 0x7001, 2, 1, 30);
  own.options.push_back(sip::Ipv4Endpoint(strangerAddress, sip::kProtocolUdp, stranger.local_endpoint().port()));
  stranger.send_to(boost::asio::buffer(Sd({own}, session++)),
                   {boost::asio::ip::make_address_v4(net.consumer), net.sdPort});
  ASSERT_TRUE(found.WaitFor([](const auto& lists) { return !lists.empty() && lists.back().size() == 2; }));
  boost::system::error_code ec;
  boost::asio::ip::tcp::socket accepted(io);
  listener.accept(accepted, ec);
  EXPECT_EQ(ec, boost::asio::error::would_block);
}

}  // namespace
}  // namespace comtest
