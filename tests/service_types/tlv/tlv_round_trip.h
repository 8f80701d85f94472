#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "tlv_test_support.h"

namespace tlv_test {

// The round trip of one structure, checked with gtest assertions: elements with all members,
// with some and with none, written and read back.
//
// Only tlv_round_trip_*.cpp include the definition (ORIK_TLV_ROUND_TRIP_DEFINITION) and
// instantiate it, a share of the structures each, because every structure's encoder and decoder
// are large to compile; the typed test suite only calls it.
template <typename T>
void ExpectRoundTrip();

#ifdef ORIK_TLV_ROUND_TRIP_DEFINITION
template <typename T>
void ExpectRoundTrip() {
  using TypeParam = T;
  std::vector<TypeParam> value;
  for (std::uint32_t salt = 0; salt < 6; ++salt) {
    TypeParam element;
    element.visit(FillVisitor{salt});
    element.visit(ThinVisitor{salt == 0 ? ~0ULL : 0x9E3779B97F4A7C15ULL * salt});
    value.push_back(element);
  }
  value.emplace_back();
  const Bytes written = tlv::encode_field_value(value);
  tlv::ReadCursor cursor{written, 0};
  std::vector<TypeParam> back;
  deserialize_field_value(cursor, back);
  EXPECT_EQ(cursor.position, written.size());
  ASSERT_EQ(back.size(), value.size());
  EXPECT_EQ(PresentMembers(back[0]), TypeParam::kMemberCount);
  EXPECT_EQ(PresentMembers(back.back()), 0u);
  for (std::size_t i = 0; i < value.size(); ++i) {
    EXPECT_EQ(PresentMembers(back[i]), PresentMembers(value[i]));
  }
  EXPECT_EQ(ToHex(tlv::encode_field_value(back)), ToHex(written));
}
#endif

}  // namespace tlv_test
