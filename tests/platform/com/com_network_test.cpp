#include <gtest/gtest.h>

#include <future>
#include <string>
#include <vector>

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

  static std::vector<std::uint8_t> Request(std::uint16_t method, std::uint8_t interfaceVersion, std::uint16_t session) {
    namespace sip = ara::com::transport::someip;
    sip::Header header;
    header.serviceId = 0x7001;
    header.methodId = method;
    header.clientId = 0x0777;
    header.sessionId = session;
    header.interfaceVersion = interfaceVersion;
    header.messageType = sip::kTypeRequest;
    return sip::EncodeMessage(header, {});
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
