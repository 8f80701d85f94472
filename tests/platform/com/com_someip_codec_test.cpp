#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "ara/com/transport/someip_codec.h"

namespace comtest {
namespace {

namespace sip = ara::com::transport::someip;
using Bytes = std::vector<std::uint8_t>;

Bytes Concat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const auto& p : parts) {
    out.insert(out.end(), p.begin(), p.end());
  }
  return out;
}

// ---- exact bytes ----

TEST(SomeIpCodecTest, ARequestHasTheSixteenByteHeaderThenItsPayload) {
  sip::Header header;
  header.serviceId = 0x7001;
  header.methodId = 0x0011;
  header.clientId = 0x0002;
  header.sessionId = 0x0003;
  header.interfaceVersion = 0x01;
  header.messageType = sip::kTypeRequest;
  const Bytes payload{0xAA, 0xBB};
  const auto bytes = sip::EncodeMessage(header, payload);
  EXPECT_EQ(bytes, (Bytes{0x70, 0x01, 0x00, 0x11, 0x00, 0x00, 0x00, 0x0A, 0x00, 0x02, 0x00, 0x03, 0x01, 0x01, 0x00,
                          0x00, 0xAA, 0xBB}));
  sip::Header back;
  ASSERT_EQ(sip::ReadHeader(bytes, back), sip::HeaderError::kNone);
  header.length = 10;
  EXPECT_EQ(back, header);
}

const Bytes kSdHeaderOfOffer{0xFF, 0xFF, 0x81, 0x00, 0x00, 0x00, 0x00, 0x3C,
                             0x00, 0x00, 0x00, 0x01, 0x01, 0x01, 0x02, 0x00};
const Bytes kOfferPayload{0xC0, 0x00, 0x00, 0x00,  // flags
                          0x00, 0x00, 0x00, 0x10,  // entries
                          0x01, 0x00, 0x00, 0x20, 0x70, 0x01, 0x00, 0x01, 0x01, 0x00, 0x00, 0x03,
                          0x00, 0x00, 0x00, 0x00,                                                   // offer
                          0x00, 0x00, 0x00, 0x18,                                                   // options
                          0x00, 0x09, 0x04, 0x00, 0x7F, 0x00, 0x00, 0x02, 0x00, 0x11, 0x77, 0x25,   // UDP 30501
                          0x00, 0x09, 0x04, 0x00, 0x7F, 0x00, 0x00, 0x02, 0x00, 0x06, 0x77, 0x26};  // TCP 30502

sip::SdMessage Offer() {
  sip::SdEntry offer;
  offer.type = sip::EntryType::kOfferService;
  offer.serviceId = 0x7001;
  offer.instanceId = 1;
  offer.majorVersion = 1;
  offer.ttl = 3;
  offer.minorVersion = 0;
  offer.options = {sip::Ipv4Endpoint({127, 0, 0, 2}, sip::kProtocolUdp, 30501),
                   sip::Ipv4Endpoint({127, 0, 0, 2}, sip::kProtocolTcp, 30502)};
  sip::SdMessage message;
  message.flags = sip::kSdFlagReboot | sip::kSdFlagUnicast;
  message.entries = {offer};
  return message;
}

TEST(SomeIpCodecTest, AnOfferWithUdpAndTcpEndpointsHasItsExactBytesAndComesBackWhole) {
  const auto bytes = sip::EncodeSdMessage(1, Offer());
  EXPECT_EQ(bytes, Concat({kSdHeaderOfOffer, kOfferPayload}));
  sip::HeaderError error;
  const auto views = sip::SplitDatagram(bytes, error);
  ASSERT_EQ(error, sip::HeaderError::kNone);
  ASSERT_EQ(views.size(), 1u);
  const auto back = sip::DecodeSd(views[0].payload);
  ASSERT_TRUE(back.has_value());
  EXPECT_EQ(*back, Offer());
}

TEST(SomeIpCodecTest, ASubscribeCarriesItsEventgroupCounterAndEndpoint) {
  sip::SdEntry subscribe;
  subscribe.type = sip::EntryType::kSubscribeEventgroup;
  subscribe.serviceId = 0x7001;
  subscribe.instanceId = 1;
  subscribe.majorVersion = 1;
  subscribe.ttl = 3;
  subscribe.counter = 2;
  subscribe.eventgroupId = 1;
  subscribe.options = {sip::Ipv4Endpoint({127, 0, 0, 3}, sip::kProtocolUdp, 50000)};
  sip::SdMessage message;
  message.entries = {subscribe};
  const auto payload = sip::EncodeSd(message);
  EXPECT_EQ(payload, (Bytes{0x40, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x06, 0x00, 0x00, 0x10, 0x70, 0x01,
                            0x00, 0x01, 0x01, 0x00, 0x00, 0x03, 0x00, 0x02, 0x00, 0x01, 0x00, 0x00, 0x00, 0x0C,
                            0x00, 0x09, 0x04, 0x00, 0x7F, 0x00, 0x00, 0x03, 0x00, 0x11, 0xC3, 0x50}));
  EXPECT_EQ(sip::DecodeSd(payload), message);
}

TEST(SomeIpCodecTest, EntriesShareOptionsByIndexAndIpv6EndpointsAreRead) {
  Bytes payload{0x40, 0, 0, 0, 0, 0, 0, 0x20};
  // Two offers: the first takes options 0 and 1 (runs 0+1 and 1+1), the second option 1 only.
  const Bytes first{0x01, 0x00, 0x01, 0x11, 0x70, 0x01, 0x00, 0x01, 0x01, 0x00, 0x00, 0x05, 0, 0, 0, 0};
  const Bytes second{0x01, 0x01, 0x00, 0x10, 0x70, 0x02, 0x00, 0x01, 0x01, 0x00, 0x00, 0x05, 0, 0, 0, 0};
  const Bytes v6{0x00, 0x15, 0x06, 0x00, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0x00, 0x11, 0x12, 0x34};
  const Bytes v4{0x00, 0x09, 0x04, 0x00, 127, 0, 0, 9, 0x00, 0x06, 0x12, 0x35};
  payload = Concat({payload, first, second, {0, 0, 0, static_cast<std::uint8_t>(v6.size() + v4.size())}, v6, v4});
  const auto message = sip::DecodeSd(payload);
  ASSERT_TRUE(message.has_value());
  ASSERT_EQ(message->entries.size(), 2u);
  ASSERT_EQ(message->entries[0].options.size(), 2u);
  EXPECT_TRUE(message->entries[0].options[0].IsIpv6());
  EXPECT_EQ(message->entries[0].options[0].address[15], 1);
  EXPECT_EQ(message->entries[0].options[0].port, 0x1234);
  EXPECT_EQ(message->entries[0].options[1].port, 0x1235);
  ASSERT_EQ(message->entries[1].options.size(), 1u);
  EXPECT_EQ(message->entries[1].options[0].protocol, sip::kProtocolTcp);
}

TEST(SomeIpCodecTest, ADatagramMayHoldSeveralMessagesAndStopsAtAMalformedOne) {
  sip::Header header;
  header.serviceId = 0x7001;
  header.methodId = 0x8001;
  header.messageType = sip::kTypeNotification;
  header.interfaceVersion = 1;
  const Bytes one = sip::EncodeMessage(header, Bytes{1});
  const Bytes two = sip::EncodeMessage(header, Bytes{2, 2});
  sip::HeaderError error;
  const Bytes datagram = Concat({one, two, {0x70, 0x01}});  // the views point into it
  auto views = sip::SplitDatagram(datagram, error);
  EXPECT_EQ(error, sip::HeaderError::kShort);
  ASSERT_EQ(views.size(), 2u);
  EXPECT_EQ(views[1].payload.size(), 2u);
  EXPECT_EQ(views[1].payload[1], 2);
}

// ---- malformed input ----

struct HeaderCase {
  const char* name;
  Bytes bytes;
  sip::HeaderError expected;
};

class MalformedHeaderTest : public ::testing::TestWithParam<HeaderCase> {};

TEST_P(MalformedHeaderTest, IsRefusedWithItsReason) {
  sip::Header header;
  EXPECT_EQ(sip::ReadHeader(GetParam().bytes, header), GetParam().expected);
  sip::HeaderError error;
  EXPECT_TRUE(sip::SplitDatagram(GetParam().bytes, error).empty());
  EXPECT_EQ(error, GetParam().expected);
}

const Bytes kHead{0x70, 0x01, 0x00, 0x11};
const Bytes kTail{0x00, 0x02, 0x00, 0x03, 0x01, 0x01, 0x00, 0x00};

INSTANTIATE_TEST_SUITE_P(
    Cases, MalformedHeaderTest,
    ::testing::Values(
        HeaderCase{"Short", Concat({kHead, {0, 0, 0, 8}, {0, 2, 0, 3, 1, 1, 0}}), sip::HeaderError::kShort},
        HeaderCase{"LengthBelowEight", Concat({kHead, {0, 0, 0, 7}, kTail}), sip::HeaderError::kBadLength},
        HeaderCase{"LengthBeyondTheData", Concat({kHead, {0, 0, 0, 12}, kTail, {1, 2, 3}}),
                   sip::HeaderError::kBadLength},
        HeaderCase{"HugeLength", Concat({kHead, {0xFF, 0xFF, 0xFF, 0xFF}, kTail}), sip::HeaderError::kBadLength},
        HeaderCase{"WrongProtocolVersion", Concat({kHead, {0, 0, 0, 8}, {0, 2, 0, 3, 2, 1, 0, 0}}),
                   sip::HeaderError::kWrongProtocolVersion}),
    [](const auto& info) { return std::string(info.param.name); });

struct SdCase {
  const char* name;
  Bytes payload;
  bool decodes;
  std::size_t entries;       // kept
  std::size_t dropped;       // left out
  std::size_t firstOptions;  // options of the first kept entry
};

class MalformedSdTest : public ::testing::TestWithParam<SdCase> {};

TEST_P(MalformedSdTest, HasTheExpectedOutcome) {
  const auto& c = GetParam();
  std::string why;
  const auto message = sip::DecodeSd(c.payload, &why);
  ASSERT_EQ(message.has_value(), c.decodes) << why;
  if (!message) {
    EXPECT_FALSE(why.empty());
    return;
  }
  EXPECT_EQ(message->entries.size(), c.entries);
  EXPECT_EQ(message->droppedEntries, c.dropped);
  if (!message->entries.empty()) {
    EXPECT_EQ(message->entries[0].options.size(), c.firstOptions);
  }
}

const Bytes kFlags{0x40, 0, 0, 0};
const Bytes kOneEntry{0, 0, 0, 0x10};
// An offer whose first option run starts at index `index` and counts `count`.
Bytes OfferEntry(std::uint8_t index, std::uint8_t count) {
  return {0x01, index, 0x00, static_cast<std::uint8_t>(count << 4), 0x70, 0x01, 0x00, 0x01, 0x01, 0x00, 0x00, 0x03, 0,
          0,    0,     0};
}
const Bytes kUdpOption{0x00, 0x09, 0x04, 0x00, 127, 0, 0, 2, 0x00, 0x11, 0x77, 0x25};
const Bytes kNoOptions{0, 0, 0, 0};

INSTANTIATE_TEST_SUITE_P(
    Cases, MalformedSdTest,
    ::testing::Values(
        SdCase{"Short", {0x40, 0, 0, 0, 0, 0, 0}, false, 0, 0, 0},
        SdCase{"EntriesNotAMultipleOfSixteen", Concat({kFlags, {0, 0, 0, 0x0F}, Bytes(15, 0), kNoOptions}), false, 0, 0,
               0},
        SdCase{"EntriesBeyondThePayload", Concat({kFlags, {0, 0, 0, 0x20}, OfferEntry(0, 0), kNoOptions}), false, 0, 0,
               0},
        SdCase{"OptionsBeyondThePayload", Concat({kFlags, kOneEntry, OfferEntry(0, 1), {0, 0, 0, 0x20}, kUdpOption}),
               false, 0, 0, 0},
        SdCase{"OptionLengthBeyondTheArray",
               Concat({kFlags, kOneEntry, OfferEntry(0, 1), {0, 0, 0, 0x0C}, {0x00, 0x40, 0x04, 0x00}, Bytes(8, 0)}),
               false, 0, 0, 0},
        SdCase{"OptionIndexOutOfRange", Concat({kFlags, kOneEntry, OfferEntry(3, 1), {0, 0, 0, 0x0C}, kUdpOption}),
               true, 0, 1, 0},
        SdCase{"OptionCountOverflow", Concat({kFlags, kOneEntry, OfferEntry(0, 15), {0, 0, 0, 0x0C}, kUdpOption}), true,
               0, 1, 0},
        SdCase{"UnknownOptionTypeIsSkipped",
               Concat({kFlags,
                       kOneEntry,
                       OfferEntry(0, 2),
                       {0, 0, 0, 0x12},
                       {0x00, 0x03, 0x77, 0x00, 0xAB, 0xCD},
                       kUdpOption}),
               true, 1, 0, 1},
        SdCase{"UnknownEntryTypeIsDropped",
               Concat({kFlags,
                       {0, 0, 0, 0x20},
                       {0x05, 0, 0, 0, 0x70, 0x01, 0, 1, 1, 0, 0, 3, 0, 0, 0, 0},
                       OfferEntry(0, 0),
                       kNoOptions}),
               true, 1, 1, 0},
        SdCase{"EndpointOptionOfTheWrongLengthIsSkipped",
               Concat({kFlags, kOneEntry, OfferEntry(0, 1), {0, 0, 0, 0x08}, {0x00, 0x05, 0x04, 0x00, 1, 2, 3, 4}}),
               true, 1, 0, 0}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace comtest
