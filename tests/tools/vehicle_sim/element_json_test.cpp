#include "tools/vehicle_sim/element_json.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "service_types/tlv/codec.h"
#include "tests/tools/vehicle_sim/every_structure.h"

namespace {

using namespace orik::vehicleSim;
using nlohmann::json;

// A value of every member kind that differs from the default, so that a lost member shows.
template <typename T>
T Sample() {
  if constexpr (std::is_same_v<T, bool>) {
    return true;
  } else if constexpr (std::is_enum_v<T>) {
    // The last word of the vocabulary where there is one, else a number outside any.
    const auto rows = EnumWords<T>::Rows();
    return static_cast<T>(rows.empty() ? 77u : rows.back().value);
  } else if constexpr (std::is_unsigned_v<T>) {
    return std::numeric_limits<T>::max();
  } else if constexpr (std::is_same_v<T, float>) {
    return 12.5f;
  } else if constexpr (std::is_same_v<T, std::string>) {
    return "DE*ABC*E123";
  } else if constexpr (std::is_same_v<T, zrt::services::tlv::Id16>) {
    return {0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88, 0x99, 0xaa, 0xbb, 0xcc, 0xdd, 0xee, 0xff};
  } else if constexpr (zrt::services::tlv::IsReferenceRecord<T>::value) {
    return T{1, 2, 65535, Sample<zrt::services::tlv::Id16>()};
  } else {
    return {Sample<typename T::value_type>(), static_cast<typename T::value_type>(99)};
  }
}

template <typename Element>
Element FullElement() {
  Element element;
  element.visit([](auto& member, std::uint16_t) {
    member = Sample<typename std::remove_cvref_t<decltype(member)>::value_type>();
  });
  return element;
}

// ---- every structure of both services: every member through JSON and back

using orik::vehicleSim::test::EveryStructure;
using orik::vehicleSim::test::StructureName;
using orik::vehicleSim::test::Structures;

TYPED_TEST_SUITE(EveryStructure, Structures, StructureName);

TYPED_TEST(EveryStructure, EveryMemberSurvivesJsonAndBack) {
  const std::vector<TypeParam> value{FullElement<TypeParam>(), TypeParam{}};
  const json text = FieldToJson(value);
  ASSERT_EQ(text.size(), 2u);
  EXPECT_EQ(text[0].size(), TypeParam::kMemberCount) << text.dump();
  EXPECT_TRUE(text[1].empty()) << "an element without members is an empty object";

  const auto back = FieldFromJson<TypeParam>(json::parse(text.dump()), "field");
  EXPECT_EQ(zrt::services::tlv::encode_field_value(back), zrt::services::tlv::encode_field_value(value));
}

}  // namespace
