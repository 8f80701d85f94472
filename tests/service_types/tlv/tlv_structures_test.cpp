// The member tables against the tag lists as the services define them (typed by hand, not derived
// from the tables), and the value semantics of the structures.

#include <gtest/gtest.h>

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "tlv_test_support.h"

namespace tlv_test {
namespace {

struct TagListCase {
  const char* structure;
  std::span<const std::uint16_t> (*tags)();
  std::vector<std::uint16_t> expected;
};

TEST(TlvStructures, TagListsInDeclarationOrder) {
  const std::vector<TagListCase> cases = {
      {"batteryCareModes",
       &cmc::DT_batteryCareModes_struct::get_tlv_tags,
       {0x2000, 0x7001, 0x2002, 0x2003, 0x2004, 0x7005, 0x2006}},
      {"batteryPreconditioningEnergies",
       &cmc::DT_batteryPreconditioningEnergies_struct::get_tlv_tags,
       {0x2000, 0x2001, 0x2002}},
      {"batteryPreconditionings",
       &cmc::DT_batteryPreconditionings_struct::get_tlv_tags,
       {0x2000, 0x7001, 0x7002, 0x2003, 0x7004, 0x7005, 0x7006}},
      {"bidirectionalChargingModes",
       &cmc::DT_bidirectionalChargingModes_struct::get_tlv_tags,
       {0x2000, 0x2001, 0x2002, 0x2003, 0x7004, 0x7005, 0x7006, 0x2007, 0x7008, 0x2009, 0x700A, 0x200B, 0x700C,
        0x200D}},
      {"chargeModes", &cmc::DT_chargeModes_struct::get_tlv_tags, {0x2000, 0x7001, 0x7002, 0x2003, 0x2004}},
      {"chargingPlugs",
       &cmc::DT_chargingPlugs_struct::get_tlv_tags,
       {0x2000, 0x7001, 0x7002, 0x7006, 0x2003, 0x2004, 0x2005}},
      {"chargingProcessInformation",
       &cmc::DT_chargingProcessInformation_struct::get_tlv_tags,
       {0x2000, 0x2001, 0x2010, 0x7002, 0x2004, 0x2011, 0x7003, 0x7005, 0x7012, 0x7013, 0x2006, 0x2007, 0x2008,
        0x7009, 0x700A, 0x700B, 0x700F, 0x7014, 0x7015, 0x200C, 0x700D, 0x700E, 0x7016, 0x7017, 0x7018, 0x2019}},
      {"immediateActions", &cmc::DT_immediateActions_struct::get_tlv_tags, {0x2000, 0x7001, 0x7002, 0x7003, 0x7004}},
      {"immediateChargingOptions",
       &cmc::DT_immediateChargingOptions_struct::get_tlv_tags,
       {0x2000, 0x7001, 0x7002, 0x7007, 0x7003, 0x7004, 0x7005, 0x7006, 0x7008}},
      {"notificationMarkers",
       &cmc::DT_notificationMarkers_struct::get_tlv_tags,
       {0x2000, 0x7001, 0x7002, 0x7003, 0x0004}},
      {"notifications", &cmc::DT_notifications_struct::get_tlv_tags, {0x2000, 0x2001, 0x2003, 0x2002}},
      {"oruUpdateApprovals", &cmc::DT_oruUpdateApprovals_struct::get_tlv_tags, {0x2000, 0x0001}},
      {"pastErrorInformation", &cmc::DT_pastErrorInformation_struct::get_tlv_tags, {0x2000, 0x2001, 0x2002, 0x0003}},
      {"resetToFactoryData", &cmc::DT_resetToFactoryData_struct::get_tlv_tags, {0x0000, 0x2001, 0x3002}},
      {"statistics",
       &cmc::DT_statistics_struct::get_tlv_tags,
       {0x2000, 0x2001, 0x2002, 0x2003, 0x2004, 0x2005, 0x2006, 0x2007}},
      {"switchControls", &cmc::DT_switchControls_struct::get_tlv_tags, {0x7000, 0x2001, 0x7002, 0x2003, 0x2004}},
      {"valueControls",
       &cmc::DT_valueControls_struct::get_tlv_tags,
       {0x7000, 0x2001, 0x2002, 0x2003, 0x2004, 0x2005, 0x2006, 0x2007, 0x2008, 0x2009, 0x200A, 0x700B}},
      {"valueIndications",
       &cmc::DT_valueIndications_struct::get_tlv_tags,
       {0x7000, 0x2001, 0x2002, 0x2003, 0x7004, 0x2005, 0x2006, 0x2007, 0x2008, 0x2009, 0x200A, 0x200B, 0x200C}},
      {"views", &cmc::DT_views_struct::get_tlv_tags, {0x2000, 0x2001, 0x2002}},
      {"destinations", &rbec::DT_destinations_struct::get_tlv_tags, {0x2000, 0x2001, 0x2002, 0x2003, 0x2004, 0x2005}},
      {"rangeOnRouteValues", &rbec::DT_rangeOnRouteValues_struct::get_tlv_tags, {0x2000, 0x2001}},
      {"routeBasedResidualEnergyValues",
       &rbec::DT_routeBasedResidualEnergyValues_struct::get_tlv_tags,
       {0x2000, 0x2001}},
      {"rwmStatus", &rbec::DT_rwmStatus_struct::get_tlv_tags, {0x2000, 0x2001, 0x2002, 0x0003, 0x0004}},
      {"targetSocChargings", &rbec::DT_targetSocChargings_struct::get_tlv_tags, {0x2000, 0x0001}},
  };
  ASSERT_EQ(cases.size(), 24u);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.structure);
    const auto tags = c.tags();
    EXPECT_EQ(std::vector<std::uint16_t>(tags.begin(), tags.end()), c.expected);
    // Every call hands out the same list.
    EXPECT_EQ(c.tags().data(), tags.data());
  }
}

struct Recorder {
  std::vector<std::uint16_t> tags;
  std::vector<const void*> members;
  template <typename T>
  void operator()(const ara::core::Optional<T>& member, std::uint16_t tag) {
    tags.push_back(tag);
    members.push_back(&member);
  }
};

TEST(TlvStructures, VisitWalksMembersInDeclarationOrderWithTheirTags) {
  const cmc::DT_chargingPlugs_struct plug;
  Recorder recorder;
  plug.visit(recorder);
  const auto list = cmc::DT_chargingPlugs_struct::get_tlv_tags();
  EXPECT_EQ(recorder.tags, std::vector<std::uint16_t>(list.begin(), list.end()));
  const std::vector<const void*> members = {
      &plug.type,     &plug.plugLockState,       &plug.flapLockState,      &plug.flapState,
      &plug.plugType, &plug.plugConnectionState, &plug.infrastructureState};
  EXPECT_EQ(recorder.members, members);
  EXPECT_EQ(cmc::DT_chargingPlugs_struct::kMemberCount, 7u);
  EXPECT_EQ(cmc::DT_chargingProcessInformation_struct::kMemberCount, 26u);
}

TEST(TlvStructures, ValueSemanticsKeepPresenceMemberByMember) {
  cmc::DT_valueControls_struct source;
  EXPECT_EQ(PresentMembers(source), 0u);
  source.type = static_cast<cmc::DT_ChargingManagementCore_valueControls_type>(99);  // not an enumerator
  source.specialStateConfiguration.emplace();                                        // present and empty

  cmc::DT_valueControls_struct copy = source;
  EXPECT_EQ(PresentMembers(copy), 2u);
  EXPECT_EQ(static_cast<std::uint32_t>(*copy.type), 99u);
  ASSERT_TRUE(copy.specialStateConfiguration.has_value());
  EXPECT_TRUE(copy.specialStateConfiguration->empty());

  // Assigning an absent vector member over a present one leaves it absent; assigning back restores it.
  cmc::DT_valueControls_struct target;
  target.specialStateConfiguration =
      std::vector<cmc::DT_ChargingManagementCore_valueControls_specialStateConfiguration>{
          static_cast<cmc::DT_ChargingManagementCore_valueControls_specialStateConfiguration>(3),
          static_cast<cmc::DT_ChargingManagementCore_valueControls_specialStateConfiguration>(1)};
  const cmc::DT_valueControls_struct saved = target;
  target = cmc::DT_valueControls_struct{};
  EXPECT_FALSE(target.specialStateConfiguration.has_value());
  target = saved;
  EXPECT_EQ(tlv::encode_field_value(std::vector{target}), tlv::encode_field_value(std::vector{saved}));

  cmc::DT_chargingProcessInformation_struct process;
  process.evseid = std::string();
  const cmc::DT_chargingProcessInformation_struct moved = std::move(process);
  ASSERT_TRUE(moved.evseid.has_value());
  EXPECT_TRUE(moved.evseid->empty());

  rbec::DT_targetSocChargings_struct soc;
  soc.targetSoc = 255;
  const rbec::DT_targetSocChargings_struct soc_copy = soc;
  EXPECT_FALSE(soc_copy.type.has_value());
  EXPECT_EQ(*soc_copy.targetSoc, 255);
}

}  // namespace
}  // namespace tlv_test
