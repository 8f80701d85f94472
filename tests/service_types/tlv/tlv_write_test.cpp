// Written forms of the writable structures byte for byte, and round trips of every structure.

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include "tlv_round_trip.h"
#include "tlv_test_support.h"

namespace tlv_test {
namespace {

template <typename E>
E Enum(std::uint32_t value) {
  return static_cast<E>(value);
}

tlv::Id16 Identifier(std::uint8_t first) {
  tlv::Id16 id{};
  for (std::size_t i = 0; i < id.size(); ++i) {
    id[i] = static_cast<std::uint8_t>(first + i);
  }
  return id;
}

struct WrittenCase {
  const char* name;
  Bytes written;
  std::string expected;
};

TEST(TlvWrite, WritableStructuresWithAllAndNoMembers) {
  cmc::DT_valueControls_struct value_control;
  value_control.id = Identifier(0x00);
  value_control.currentValue = 80;
  value_control.maxValue = 100;
  value_control.minValue = 20;
  value_control.unitPercent = Enum<cmc::DT_ChargingManagementCore_valueControls_unitPercent>(1);
  value_control.unitDistance = Enum<cmc::DT_ChargingManagementCore_valueControls_unitDistance>(2);
  value_control.unitTime = Enum<cmc::DT_ChargingManagementCore_valueControls_unitTime>(3);
  value_control.resolution = 5;
  value_control.restrictionReason = Enum<cmc::DT_ChargingManagementCore_valueControls_restrictionReason>(158);
  value_control.type = Enum<cmc::DT_ChargingManagementCore_valueControls_type>(19);
  value_control.specialState = Enum<cmc::DT_ChargingManagementCore_valueControls_specialState>(1);
  value_control.specialStateConfiguration = {
      Enum<cmc::DT_ChargingManagementCore_valueControls_specialStateConfiguration>(1),
      Enum<cmc::DT_ChargingManagementCore_valueControls_specialStateConfiguration>(2)};

  cmc::DT_switchControls_struct switch_control;
  switch_control.id = Identifier(0xa0);
  switch_control.switchValue = Enum<cmc::DT_ChargingManagementCore_switchControls_switchValue>(2);
  switch_control.switchValueConfiguration = {
      Enum<cmc::DT_ChargingManagementCore_switchControls_switchValueConfiguration>(1),
      Enum<cmc::DT_ChargingManagementCore_switchControls_switchValueConfiguration>(2),
      Enum<cmc::DT_ChargingManagementCore_switchControls_switchValueConfiguration>(3)};
  switch_control.restrictionReason = Enum<cmc::DT_ChargingManagementCore_switchControls_restrictionReason>(1);
  switch_control.type = Enum<cmc::DT_ChargingManagementCore_switchControls_type>(10);

  cmc::DT_views_struct view;
  view.type = Enum<cmc::DT_ChargingManagementCore_views_type>(3);
  view.content = Enum<cmc::DT_ChargingManagementCore_views_content>(1);
  view.visibility = Enum<cmc::DT_ChargingManagementCore_views_visibility>(0);

  cmc::DT_pastErrorInformation_struct past_error;
  past_error.type = Enum<cmc::DT_ChargingManagementCore_pastErrorInformation_type>(7);
  past_error.value = Enum<cmc::DT_ChargingManagementCore_pastErrorInformation_value>(2);
  past_error.additionalInformation = Enum<cmc::DT_ChargingManagementCore_pastErrorInformation_additionalInformation>(4);
  past_error.confirmedByUser = true;

  cmc::DT_resetToFactoryData_struct reset;
  reset.elementId = 0x2a;
  reset.resetToFactoryData = Enum<cmc::DT_ChargingManagementCore_resetToFactoryData_resetToFactoryData>(1);
  reset.lastReset = 0x0000018c1a2b3c4dULL;

  const std::vector<WrittenCase> cases = {
      {"valueControls, all members", tlv::encode_field_value(std::vector{value_control}),
       "00000064 00000060"
       "7000 00000010 000102030405060708090a0b0c0d0e0f"
       "2001 00000050 2002 00000064 2003 00000014 2004 00000001 2005 00000002 2006 00000003"
       "2007 00000005 2008 0000009e 2009 00000013 200a 00000001"
       "700b 00000008 00000001 00000002"},
      {"valueControls, no member", tlv::encode_field_value(std::vector<cmc::DT_valueControls_struct>(1)),
       "00000004 00000000"},
      {"switchControls, all members", tlv::encode_field_value(std::vector{switch_control}),
       "0000003e 0000003a"
       "7000 00000010 a0a1a2a3a4a5a6a7a8a9aaabacadaeaf"
       "2001 00000002 7002 0000000c 00000001 00000002 00000003 2003 00000001 2004 0000000a"},
      {"switchControls, no member", tlv::encode_field_value(std::vector<cmc::DT_switchControls_struct>(1)),
       "00000004 00000000"},
      {"views, all members", tlv::encode_field_value(std::vector{view}),
       "00000016 00000012 2000 00000003 2001 00000001 2002 00000000"},
      {"views, no member", tlv::encode_field_value(std::vector<cmc::DT_views_struct>(1)), "00000004 00000000"},
      {"pastErrorInformation, all members", tlv::encode_field_value(std::vector{past_error}),
       "00000019 00000015 2000 00000007 2001 00000002 2002 00000004 0003 01"},
      {"pastErrorInformation, no member", tlv::encode_field_value(std::vector<cmc::DT_pastErrorInformation_struct>(1)),
       "00000004 00000000"},
      {"resetToFactoryData, all members", tlv::encode_field_value(std::vector{reset}),
       "00000017 00000013 0000 2a 2001 00000001 3002 0000018c1a2b3c4d"},
      {"resetToFactoryData, no member", tlv::encode_field_value(std::vector<cmc::DT_resetToFactoryData_struct>(1)),
       "00000004 00000000"},
      {"no element", tlv::encode_field_value(std::vector<cmc::DT_views_struct>{}), "00000000"},
      {"two elements, one of them empty",
       tlv::encode_field_value(std::vector{cmc::DT_views_struct{view.type, {}, {}}, cmc::DT_views_struct{}}),
       "0000000e 00000006 2000 00000003 00000000"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ToHex(c.written), ToHex(Hex(c.expected)));
  }
}

TEST(TlvWrite, StringsAndReferenceRecordsAreWrittenInTheFormTheyAreRead) {
  cmc::DT_chargingProcessInformation_struct process;
  process.currentSoc = cmc::valueIndicationsReference{1, 2, 3, Identifier(0x00)};
  process.evseid = std::string("DE*1");
  const Bytes written = tlv::encode_field_value(std::vector{process});
  EXPECT_EQ(ToHex(written), ToHex(Hex("0000002e 0000002a"
                                      "7002 0000001a 0001 0002 0003 00000010 000102030405060708090a0b0c0d0e0f"
                                      "7016 00000004 44452a31")));
  const auto back = tlv::decode_field_value<cmc::DT_chargingProcessInformation_struct>(written);
  ASSERT_EQ(back.size(), 1u);
  EXPECT_EQ(PresentMembers(back[0]), 2u);
  EXPECT_EQ(*back[0].evseid, "DE*1");
  EXPECT_EQ(back[0].currentSoc->value3, 3);
  EXPECT_EQ(back[0].currentSoc->identifier, Identifier(0x00));
}

TEST(TlvWrite, LengthGuards) {
  EXPECT_EQ(tlv::detail::ToLengthField(0xFFFFFFFFu), 0xFFFFFFFFu);
  try {
    tlv::detail::ToLengthField(std::size_t{0x100000000u});
    FAIL() << "no exception";
  } catch (const std::overflow_error& e) {
    EXPECT_EQ(std::string(e.what()), tlv::error_text::kLengthDoesNotFit);
  }
  try {
    tlv::detail::CheckVectorLengthField(tlv::SerializationSettings{true, 4, 4, 0});
    FAIL() << "no exception";
  } catch (const std::runtime_error& e) {
    EXPECT_EQ(std::string(e.what()), tlv::error_text::kVectorWithoutLengthField);
  }
  try {
    tlv::LengthFieldSize(tlv::WireType::kConfiguredLength, tlv::SerializationSettings{true, 4, 2, 4});
    FAIL() << "no exception";
  } catch (const std::runtime_error& e) {
    EXPECT_EQ(std::string(e.what()),
              "Violation of COM.PRS_SOMEIP_00215: All length fields must have same size and not be 0 when wire "
              "type 4 is used (4,2,4)");
  }
  EXPECT_EQ(tlv::LengthFieldSize(tlv::WireType::kConfiguredLength), 4u);
}

// Every structure of both services, with all members, with some and with none, written and read back.
template <typename T>
class TlvRoundTrip : public ::testing::Test {};

// The structure lists end in a comma; a trailing void closes them and is filtered out again.
template <typename Collected, typename... Rest>
struct WithoutVoid;
template <typename... Collected>
struct WithoutVoid<std::tuple<Collected...>> {
  using type = ::testing::Types<Collected...>;
};
template <typename... Collected, typename Head, typename... Rest>
struct WithoutVoid<std::tuple<Collected...>, Head, Rest...>
    : WithoutVoid<std::conditional_t<std::is_void_v<Head>, std::tuple<Collected...>, std::tuple<Collected..., Head>>,
                  Rest...> {};

#define ORIK_TEST_CMC_TYPE(Name, MEMBERS) cmc::Name,
#define ORIK_TEST_RBEC_TYPE(Name, MEMBERS) rbec::Name,
using AllStructures = WithoutVoid<std::tuple<>, ORIK_CMC_STRUCTURES(ORIK_TEST_CMC_TYPE)
                                                    ORIK_RBEC_STRUCTURES(ORIK_TEST_RBEC_TYPE) void>::type;
#undef ORIK_TEST_CMC_TYPE
#undef ORIK_TEST_RBEC_TYPE
TYPED_TEST_SUITE(TlvRoundTrip, AllStructures);

TYPED_TEST(TlvRoundTrip, DecodeOfEncodeGivesTheSameValue) {
  ExpectRoundTrip<TypeParam>();
}

}  // namespace
}  // namespace tlv_test
