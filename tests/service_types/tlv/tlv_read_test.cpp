// Reading rules and failures of the field decoders, as one table of payloads.

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

#include "tlv_test_support.h"

namespace tlv_test {
namespace {

constexpr std::size_t kWholePayload = static_cast<std::size_t>(-1);

struct ReadCase {
  const char* name;
  Outcome (*decode)(std::span<const std::uint8_t>);
  std::string payload;
  Outcome expected;
};

// Decoded; `written` is the decoded value in its written form.
Outcome Read(std::string written, std::size_t position = kWholePayload) {
  return {Failure::kNone, {}, ToHex(Hex(written)), position};
}
Outcome Fails(Failure failure, std::string_view text) {
  return {failure, std::string(text), {}, 0};
}

const auto kViews = &Decode<cmc::DT_views_struct>;
const auto kSwitchControls = &Decode<cmc::DT_switchControls_struct>;
const auto kValueIndications = &Decode<cmc::DT_valueIndications_struct>;
const auto kChargingPlugs = &Decode<cmc::DT_chargingPlugs_struct>;
const auto kReset = &Decode<cmc::DT_resetToFactoryData_struct>;
// The three structures whose decoders run the member procedure in place.
const auto kEnergies = &Decode<cmc::DT_batteryPreconditioningEnergies_struct>;
const auto kApprovals = &Decode<cmc::DT_oruUpdateApprovals_struct>;
const auto kMarkers = &Decode<cmc::DT_notificationMarkers_struct>;

#define ID16 "000102030405060708090a0b0c0d0e0f"
#define REF "0001 0002 0003 00000010 " ID16

const std::string kReadBeyond(tlv::error_text::kReadBeyondEnd);
const std::string kInvalidEnd(tlv::error_text::kInvalidEndPosition);
const std::string kTooSmall(tlv::error_text::kRecordLengthTooSmall);
const std::string kSmallerThanExpected(tlv::error_text::kRecordLengthSmallerThanExpected);
const std::string kWireType(tlv::error_text::kInvalidWireType);

const std::vector<ReadCase>& Cases() {
  static const std::vector<ReadCase> cases = {
      // Members of one element.
      {"members in list order", kViews, "00000016 00000012 2000 00000003 2001 00000001 2002 00000002",
       Read("00000016 00000012 2000 00000003 2001 00000001 2002 00000002")},
      {"later member first: the earlier one stays absent, the rest is skipped", kViews,
       "00000010 0000000c 2001 00000001 2000 00000003", Read("0000000a 00000006 2001 00000001")},
      {"members 1, 0, 2 on the wire: only 1 is read", kViews,
       "00000016 00000012 2001 00000001 2000 00000003 2002 00000002", Read("0000000a 00000006 2001 00000001")},
      {"repeated data id ends the element", kViews, "00000016 00000012 2000 00000003 2000 00000004 2001 00000001",
       Read("0000000a 00000006 2000 00000003")},
      {"a peer sending data id 6 last loses it", kChargingPlugs,
       "0000003c 00000038 2000 00000001 2003 00000002 2004 00000003 2005 00000004 7006 0000001a " REF,
       Read("0000001c 00000018 2000 00000001 2003 00000002 2004 00000003 2005 00000004")},
      {"unlisted wire type 1 is skipped as 2 bytes", kViews, "00000014 00000010 1123 abcd 2000 00000003 2001 00000001",
       Read("00000010 0000000c 2000 00000003 2001 00000001")},
      {"unlisted wire type 3 is skipped as 8 bytes", kViews,
       "0000001a 00000016 2000 00000003 3123 0102030405060708 2001 00000001",
       Read("00000010 0000000c 2000 00000003 2001 00000001")},
      {"unlisted wire type 5 is skipped by its 1-byte length", kViews,
       "0000001c 00000018 2000 00000003 2001 00000001 5123 03 aabbcc 2002 00000002",
       Read("00000016 00000012 2000 00000003 2001 00000001 2002 00000002")},
      {"unlisted wire types 0, 2, 4, 6, 7 before, between and after known members", kViews,
       "00000039 00000035 0100 ff 2000 00000003 2101 11223344 4102 00000001 ee 2001 00000001 6103 0002 abcd "
       "7104 00000000 2002 00000002 7105 00000001 99",
       Read("00000016 00000012 2000 00000003 2001 00000001 2002 00000002")},
      {"only unlisted members", kViews, "00000007 00000003 0123 01", Read("00000004 00000000")},
      {"tag bit 15 is ignored", kViews, "00000010 0000000c a000 00000003 a001 00000001",
       Read("00000010 0000000c 2000 00000003 2001 00000001")},
      {"bool bytes 0x02 and 0x03 read as false and true", kApprovals, "0000000e 00000003 0001 02 00000003 0001 03",
       Read("0000000e 00000003 0001 00 00000003 0001 01")},
      {"u8 and u64 members", kReset, "00000017 00000013 0000 2a 2001 00000001 3002 0000018c1a2b3c4d",
       Read("00000017 00000013 0000 2a 2001 00000001 3002 0000018c1a2b3c4d")},
      // Wire types of known members.
      {"enumeration sent with wire type 7", kViews, "0000000e 0000000a 7000 00000004 00000003",
       Fails(Failure::kRuntime, kWireType)},
      {"u32 sent with wire type 0", kEnergies, "00000007 00000003 0001 05", Fails(Failure::kRuntime, kWireType)},
      {"u32 sent with wire type 3", kEnergies, "0000000e 0000000a 3001 0000000000000005",
       Fails(Failure::kRuntime, kWireType)},
      {"bool sent with wire type 2", kApprovals, "0000000a 00000006 2001 00000001",
       Fails(Failure::kRuntime, kWireType)},
      {"16-byte array with wire type 5", kSwitchControls, "00000017 00000013 5000 10 " ID16,
       Read("0000001a 00000016 7000 00000010 " ID16)},
      {"16-byte array with wire type 6", kSwitchControls, "00000018 00000014 6000 0010 " ID16,
       Read("0000001a 00000016 7000 00000010 " ID16)},
      {"vector with wire type 6", kSwitchControls, "00000010 0000000c 6002 0008 00000001 00000002",
       Read("00000012 0000000e 7002 00000008 00000001 00000002")},
      {"reference record with wire type 4", kMarkers, "00000024 00000020 4001 0000001a " REF,
       Read("00000024 00000020 7001 0000001a " REF)},
      {"string with wire type 5 and length 0 is present and empty", kValueIndications, "00000007 00000003 5004 00",
       Read("0000000a 00000006 7004 00000000")},
      // Lengths of known members.
      {"16-byte array of length 20: first 16 bytes, 4 skipped", kSwitchControls,
       "00000024 00000020 7000 00000014 " ID16 " 11223344 2004 00000001",
       Read("00000020 0000001c 7000 00000010 " ID16 " 2004 00000001")},
      {"16-byte array of length 10", kSwitchControls, "0000001a 00000016 7000 0000000a " ID16,
       Fails(Failure::kOutOfRange, kTooSmall)},
      {"vector of length 6 reads two elements and fails", kSwitchControls,
       "00000012 0000000e 7002 00000006 00000001 00000002", Fails(Failure::kOutOfRange, kTooSmall)},
      {"present empty vector", kSwitchControls, "0000000a 00000006 7002 00000000",
       Read("0000000a 00000006 7002 00000000")},
      {"vector end beyond the payload", kSwitchControls, "0000000e 0000000a 7002 00000100 00000001",
       Fails(Failure::kOutOfRange, kInvalidEnd)},
      {"reference record with identifier length 20: first 16 bytes, 4 skipped", kMarkers,
       "00000028 00000024 7001 0000001e 0001 0002 0003 00000014 " ID16 " aabbccdd",
       Read("00000024 00000020 7001 0000001a " REF)},
      {"reference record with identifier length 15", kMarkers,
       "00000024 00000020 7001 0000001a 0001 0002 0003 0000000f " ID16,
       Fails(Failure::kOutOfRange, kSmallerThanExpected)},
      {"reference record end beyond the payload", kMarkers, "00000010 0000000c 7001 000000ff 0001 0002 0003",
       Fails(Failure::kOutOfRange, kInvalidEnd)},
      {"string", kValueIndications, "0000000e 0000000a 7004 00000004 41422a31",
       Read("0000000e 0000000a 7004 00000004 41422a31")},
      {"string longer than the payload", kValueIndications, "0000000c 00000008 7004 00001000 4142",
       Fails(Failure::kOutOfRange, kReadBeyond)},
      {"string of length 0xffffffff", kValueIndications, "0000000a 00000006 7004 ffffffff",
       Fails(Failure::kOutOfRange, kReadBeyond)},
      {"unlisted member longer than the payload", kViews, "0000000a 00000006 7123 00000010",
       Fails(Failure::kOutOfRange, kReadBeyond)},
      {"member value running past its element end", kViews, "0000000a 00000004 2000 00000003",
       Fails(Failure::kOutOfRange, kTooSmall)},
      {"tag cut off by the end of the payload", kViews, "00000005 00000001 20",
       Fails(Failure::kOutOfRange, kReadBeyond)},
      // The array of elements.
      {"empty payload", kViews, "", Fails(Failure::kOutOfRange, kReadBeyond)},
      {"payload of 3 bytes", kViews, "000000", Fails(Failure::kOutOfRange, kReadBeyond)},
      {"array length 0 with trailing bytes", kViews, "00000000 2000 0000", Read("00000000", 4)},
      {"array length beyond the payload", kViews, "00000010 00000000", Fails(Failure::kOutOfRange, kInvalidEnd)},
      {"array length 0xffffffff", kViews, "ffffffff 00000000", Fails(Failure::kOutOfRange, kInvalidEnd)},
      {"structure length cut off", kViews, "00000002 0000", Fails(Failure::kOutOfRange, kReadBeyond)},
      {"structure length beyond the payload", kViews, "00000008 00000010 20000000",
       Fails(Failure::kOutOfRange, kInvalidEnd)},
      {"structure length 0xffffffff", kViews, "00000008 ffffffff 20000000", Fails(Failure::kOutOfRange, kInvalidEnd)},
      {"element of length 0 and a further element", kViews, "0000000e 00000000 00000006 2000 00000003",
       Read("0000000e 00000000 00000006 2000 00000003")},
      {"excess bytes of an element are skipped", kViews,
       "00000024 00000016 2000 00000003 2001 00000001 2002 00000002 ffffffff 00000006 2000 00000004",
       Read("00000020 00000012 2000 00000003 2001 00000001 2002 00000002 00000006 2000 00000004")},
      {"last element ending after the array end", kViews, "00000006 00000006 2000 00000003",
       Fails(Failure::kOutOfRange, kTooSmall)},
      {"bytes after the field value are not looked at", kViews, "0000000a 00000006 2000 00000003 ffff",
       Read("0000000a 00000006 2000 00000003", 14)},
  };
  return cases;
}

TEST(TlvRead, PayloadTable) {
  for (const auto& c : Cases()) {
    SCOPED_TRACE(c.name);
    const Bytes payload = Hex(c.payload);
    Outcome expected = c.expected;
    if (expected.failure == Failure::kNone && expected.position == kWholePayload) {
      expected.position = payload.size();
    }
    const Outcome actual = c.decode(payload);
    EXPECT_EQ(actual.failure, expected.failure);
    EXPECT_EQ(actual.text, expected.text);
    EXPECT_EQ(actual.written, expected.written);
    EXPECT_EQ(actual.position, expected.position);
  }
}

// The in-place decoders and the generic one agree on every payload of the table, whatever structure
// the payload was made for.
TEST(TlvRead, InPlaceDecodersBehaveLikeTheGenericOne) {
  for (const auto& c : Cases()) {
    SCOPED_TRACE(c.name);
    const Bytes payload = Hex(c.payload);
    EXPECT_EQ(Decode<cmc::DT_batteryPreconditioningEnergies_struct>(payload),
              DecodeByVisit<cmc::DT_batteryPreconditioningEnergies_struct>(payload));
    EXPECT_EQ(Decode<cmc::DT_oruUpdateApprovals_struct>(payload),
              DecodeByVisit<cmc::DT_oruUpdateApprovals_struct>(payload));
    EXPECT_EQ(Decode<cmc::DT_notificationMarkers_struct>(payload),
              DecodeByVisit<cmc::DT_notificationMarkers_struct>(payload));
  }
}

// A failed decode keeps the elements appended before the failure; callers discard them.
TEST(TlvRead, FailureLeavesTheEarlierElements) {
  const Bytes payload = Hex("00000014 00000006 2000 00000003 00000006 7000 00000010");
  tlv::ReadCursor cursor{payload, 0};
  std::vector<cmc::DT_views_struct> value;
  EXPECT_THROW(deserialize_field_value(cursor, value), std::runtime_error);
  ASSERT_EQ(value.size(), 2u);
  EXPECT_EQ(static_cast<std::uint32_t>(*value[0].type), 3u);
}

// Guards that no payload can reach with the structures of both services.
TEST(TlvRead, UnreachableGuards) {
  try {
    tlv::detail::CheckedEnd(std::numeric_limits<std::size_t>::max() - 2, 5);
    FAIL() << "no exception";
  } catch (const std::overflow_error& e) {
    EXPECT_EQ(std::string(e.what()), tlv::error_text::kSizeOverflow);
  }
  // An unlisted tag met by a reader without tag list.
  const Bytes body = Hex("2005 00000001");
  tlv::ReadCursor cursor{body, 0};
  tlv::MemberReader reader(cursor, body.size(), {});
  ara::core::Optional<std::uint32_t> member;
  try {
    reader(member, 0x2000);
    FAIL() << "no exception";
  } catch (const std::runtime_error& e) {
    EXPECT_EQ(std::string(e.what()), tlv::error_text::kNoTagList);
  }
}

}  // namespace
}  // namespace tlv_test
