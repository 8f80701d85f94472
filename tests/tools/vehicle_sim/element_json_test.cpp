#include "tools/vehicle_sim/element_json.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "service_types/tlv/codec.h"
#include "tools/vehicle_sim/field_table.h"

namespace {

using namespace orik::vehicleSim;
using nlohmann::json;
namespace cmc = zrt::services::chargingmanagementcore::datatypes;
namespace rbec = zrt::services::routebasedenergycontents::datatypes;

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

template <typename Element>
class EveryStructure : public ::testing::Test {};

// The member tables expand to ", Type" each; the leading void takes the first comma.
template <typename Void, typename... Elements>
struct AfterVoid {
  using type = ::testing::Types<Elements...>;
};
#define ORIK_TEST_CMC_TYPE(Name, MEMBERS) , cmc::Name
#define ORIK_TEST_RBEC_TYPE(Name, MEMBERS) , rbec::Name
using Structures =
    AfterVoid<void ORIK_CMC_STRUCTURES(ORIK_TEST_CMC_TYPE) ORIK_RBEC_STRUCTURES(ORIK_TEST_RBEC_TYPE)>::type;

struct StructureName {
  template <typename Element>
  static std::string GetName(int index) {
#define ORIK_TEST_NAME_OF(Namespace, Name)                \
  if constexpr (std::is_same_v<Element, Namespace::Name>) \
    return #Name;
#define ORIK_TEST_CMC_NAME(Name, MEMBERS) ORIK_TEST_NAME_OF(cmc, Name)
#define ORIK_TEST_RBEC_NAME(Name, MEMBERS) ORIK_TEST_NAME_OF(rbec, Name)
    ORIK_CMC_STRUCTURES(ORIK_TEST_CMC_NAME)
    ORIK_RBEC_STRUCTURES(ORIK_TEST_RBEC_NAME)
    return std::to_string(index);
  }
};
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

TYPED_TEST(EveryStructure, EveryMemberNameIsRefusedOnlyWhenUnknown) {
  for (const std::string_view name : MemberNames<TypeParam>::kNames) {
    EXPECT_NO_THROW(ElementFromJson<TypeParam>(json{{std::string(name), nullptr}}, "f[0]")) << name;
  }
  EXPECT_THROW(ElementFromJson<TypeParam>(json{{"noSuchMember", 1}}, "f[0]"), ConversionError);
}

// ---- the field table

TEST(FieldTable, HoldsEveryFieldOfBothServicesOnce) {
  EXPECT_EQ(Fields().size(), 24u);
  for (const FieldInfo& field : Fields()) {
    EXPECT_EQ(FindField(field.name), &field);
  }
  EXPECT_EQ(FindField("noSuchField"), nullptr);
}

TEST(FieldTable, KnowsMethodsAndIdentityMembers) {
  const FieldInfo& views = *FindField("views");
  EXPECT_EQ(views.eventIndex, 18u);
  EXPECT_EQ(views.getMethodIndex, 23u);
  EXPECT_EQ(views.setMethodIndex, 24u);
  EXPECT_EQ(views.identityMember, "type");
  EXPECT_EQ(FindField("chargeModes")->identityMember, "chargeModesType");
  EXPECT_EQ(FindField("statistics")->identityMember, "statisicsType");
  EXPECT_EQ(FindField("resetToFactoryData")->identityMember, "elementId");
  EXPECT_EQ(FindField("rwmStatus")->identityMember, "");
  const FieldInfo& target = *FindField("targetSocChargings");
  EXPECT_EQ(target.service, Service::kRouteBasedEnergyContents);
  EXPECT_EQ(target.eventIndex, 4u);
  EXPECT_FALSE(target.setMethodIndex.has_value());
}

// ---- enumerations: by number and by word

TEST(Enumerations, WordAndNumberGiveTheSameValueAndWordsComeOut) {
  const FieldInfo& switches = *FindField("switchControls");
  const json byWord = json::parse(R"([{"switchValue": "off", "switchValueConfiguration": ["locked", "off"]}])");
  const json byNumber = json::parse(R"([{"switchValue": 2, "switchValueConfiguration": [7, 2]}])");
  EXPECT_EQ(switches.encode(byWord), switches.encode(byNumber));
  EXPECT_EQ(switches.decode(switches.encode(byNumber)), byWord);
}

TEST(Enumerations, ValueOutsideTheVocabularyTravelsAsItsNumber) {
  const FieldInfo& views = *FindField("views");
  const json value = json::parse(R"([{"type": 99}])");
  EXPECT_EQ(views.decode(views.encode(value)), value);
}

// ---- refusals name the field, the element and the member

struct Refusal {
  const char* name;
  const char* field;
  const char* value;  // JSON text of the field value
  const char* message;
  friend void PrintTo(const Refusal& refusal, std::ostream* out) { *out << refusal.name; }
};

class Refusals : public ::testing::TestWithParam<Refusal> {};

TEST_P(Refusals, NameFieldAndMember) {
  const FieldInfo& field = *FindField(GetParam().field);
  try {
    field.encode(json::parse(GetParam().value));
    FAIL() << "accepted " << GetParam().value;
  } catch (const ConversionError& e) {
    EXPECT_THAT(e.what(), ::testing::HasSubstr(GetParam().message));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, Refusals,
    ::testing::Values(
        Refusal{"UnknownMember", "views", R"([{"type": 0}, {"colour": 1}])",
                "views[1]: unknown member \"colour\" (members: type, content, visibility)"},
        Refusal{"EnumerationAsBool", "views", R"([{"visibility": true}])",
                "views[0].visibility: expected an enumeration number or word, got true"},
        Refusal{"UnknownWord", "views", R"([{"type": "tv"}])", "views[0].type: unknown word \"tv\" (words: popup"},
        Refusal{"EnumerationTooLarge", "views", R"([{"type": 4294967296}])", "views[0].type: expected an unsigned"},
        Refusal{"U8TooLarge", "targetSocChargings", R"([{"targetSoc": 256}])",
                "targetSocChargings[0].targetSoc: expected an unsigned integer from 0 to 255, got 256"},
        Refusal{"U32Negative", "valueControls", R"([{"currentValue": -1}])",
                "valueControls[0].currentValue: expected an unsigned integer from 0 to 4294967295, got -1"},
        Refusal{"U32Fraction", "valueControls", R"([{"currentValue": 1.5}])",
                "valueControls[0].currentValue: expected"},
        Refusal{"FloatAsString", "valueIndications", R"([{"currentValue": "12"}])",
                "valueIndications[0].currentValue: expected a number, got \"12\""},
        Refusal{"FloatOutOfRange", "valueIndications", R"([{"currentValue": 1e300}])",
                "valueIndications[0].currentValue: expected a number within the range of a 32-bit float"},
        Refusal{"BoolAsNumber", "oruUpdateApprovals", R"([{"updateApproval": 1}])",
                "oruUpdateApprovals[0].updateApproval: expected true or false, got 1"},
        Refusal{"StringAsNumber", "valueIndications", R"([{"currentTimeDateValue": 5}])",
                "valueIndications[0].currentTimeDateValue: expected a string, got 5"},
        Refusal{"IdTooShort", "switchControls", R"([{"id": "0011"}])",
                "switchControls[0].id: expected 32 hex digits, got \"0011\""},
        Refusal{"IdNotHex", "switchControls", R"([{"id": "zz112233445566778899aabbccddeeff"}])",
                "switchControls[0].id: expected 32 hex digits"},
        Refusal{"ReferenceUnknownMember", "chargingPlugs", R"([{"plugLockState": {"value4": 1}}])",
                "chargingPlugs[0].plugLockState: unknown member \"value4\" of a reference record"},
        Refusal{"ReferenceValueTooLarge", "chargingPlugs", R"([{"plugLockState": {"value1": 65536}}])",
                "chargingPlugs[0].plugLockState.value1: expected an unsigned integer from 0 to 65535"},
        Refusal{"ReferenceNotObject", "chargingPlugs", R"([{"plugLockState": 3}])",
                "chargingPlugs[0].plugLockState: expected an object"},
        Refusal{"VectorNotArray", "switchControls", R"([{"switchValueConfiguration": "on"}])",
                "switchControls[0].switchValueConfiguration: expected an array, got \"on\""},
        Refusal{"VectorItemUnknownWord", "switchControls", R"([{"switchValueConfiguration": ["off", "dim"]}])",
                "switchControls[0].switchValueConfiguration[1]: unknown word \"dim\""},
        Refusal{"ElementNotObject", "views", R"([[1]])", "views[0]: expected an object of member names, got [1]"},
        Refusal{"FieldNotArray", "views", R"({"type": 0})", "views: expected an array of elements"}),
    [](const ::testing::TestParamInfo<Refusal>& info) { return std::string(info.param.name); });

TEST(Floats, ShowTheirShortestText) {
  const FieldInfo& indications = *FindField("valueIndications");
  const json value = json::parse(R"([{"currentValue": 10.8, "maxValue": 22}])");
  EXPECT_EQ(indications.decode(indications.encode(value)).dump(), R"([{"currentValue":10.8,"maxValue":22}])");
}

TEST(Identifiers, ReadWithDashesAndWrittenAsPlainHex) {
  const FieldInfo& switches = *FindField("switchControls");
  const json withDashes = json::array({{{"id", "00112233-4455-6677-8899-AABBCCDDEEFF"}}});
  EXPECT_EQ(switches.decode(switches.encode(withDashes))[0]["id"], "00112233445566778899aabbccddeeff");
}

TEST(Members, NullLeavesAMemberAbsentAndEmptyStringsStayPresent) {
  const FieldInfo& indications = *FindField("valueIndications");
  const json value = json::array({{{"currentValue", nullptr}, {"currentTimeDateValue", ""}}});
  EXPECT_EQ(indications.decode(indications.encode(value)), json::array({{{"currentTimeDateValue", ""}}}));
}

}  // namespace
