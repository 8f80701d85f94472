#include "tools/vehicle_sim/field_table.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "tests/tools/vehicle_sim/every_structure.h"
#include "tools/vehicle_sim/element_json.h"

namespace {

using namespace orik::vehicleSim;
using nlohmann::json;
using orik::vehicleSim::test::EveryStructure;
using orik::vehicleSim::test::StructureName;
using orik::vehicleSim::test::Structures;

TYPED_TEST_SUITE(EveryStructure, Structures, StructureName);

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
