// The reset-to-factory data (every reset element, no type) and the navigation target (the value
// control linked under the immediate charging option).

#include <cstdlib>
#include <ctime>
#include <limits>
#include <string>

#include "tests/rest_server/updates_test_support.h"

namespace orik::ruboServer::test {
namespace {

using ara::core::Optional;

struct ResetCase {
  std::string name;
  Optional<std::string> reset;
  Optional<std::uint64_t> timestamp;
  Json expected;
  std::vector<std::string> lines;
};

// Test names carry the case name; the listing shows it too instead of the bytes.
void PrintTo(const ResetCase& param, std::ostream* out) {
  *out << param.name;
}

constexpr std::uint64_t kEpoch = 0;
// 2023-11-14T22:13:20Z
constexpr std::uint64_t kNovember2023 = 1700000000;
// Early in the year 70000: representable in time_t, not in the date-time's 16-bit year.
constexpr std::uint64_t kYear70000 = 2146819420800;
// 1 January 20000: a 16-bit year that the date-time's four digits cannot show.
constexpr std::uint64_t kYear20000 = 568971820800;

const char* const kEpochText = "1970-01-01T00:00:00+00:00";

std::vector<ResetCase> ResetCases() {
  return {
      {"OriginAtTheEpoch",
       "origin",
       kEpoch,
       {{"isFactoryDefault", true}, {"lastReset", kEpochText}},
       {"[Rubo] Updated time : year=1970month=1day=1hour=0min=0sec=0"}},
      {"NotOriginWithADate",
       "notOrigin",
       kNovember2023,
       {{"isFactoryDefault", false}, {"lastReset", "2023-11-14T22:13:20+00:00"}},
       {"[Rubo] Updated time : year=2023month=11day=14hour=22min=13sec=20"}},
      {"EmptyTextIsNotOrigin", "", std::nullopt, {{"isFactoryDefault", false}, {"lastReset", nullptr}}, {}},
      {"AbsentValueRemovesTheFlag",
       std::nullopt,
       kEpoch,
       {{"isFactoryDefault", nullptr}, {"lastReset", kEpochText}},
       {"[Rubo] Updated time : year=1970month=1day=1hour=0min=0sec=0"}},
      {"TimestampBeyondTimeTIsTheEpoch",
       "origin",
       std::numeric_limits<std::uint64_t>::max(),
       {{"isFactoryDefault", true}, {"lastReset", kEpochText}},
       {}},
      {"YearBeyondSixteenBitsIsTheEpoch", "origin", kYear70000, {{"lastReset", kEpochText}}, {}},
      // The date-time cannot show it; the element keeps its earlier date.
      {"YearBeyondFourDigitsIsRefused",
       "origin",
       kYear20000,
       {{"isFactoryDefault", true}, {"lastReset", "2023-11-14T22:13:20+00:00"}},
       {"[Rubo] Unknown exception caught while updating resetToFactoryData object."}},
  };
}

class ResetTest : public UpdatesTest, public ::testing::WithParamInterface<ResetCase> {
 protected:
  std::shared_ptr<rubo::server::factory_reset::ResetObject> Reset() {
    return root_->GetFactoryResetResets()->GetResetObjects().front();
  }
};

TEST_P(ResetTest, PropertiesAndLines) {
  Populate();
  const auto reset = Reset();
  // What an earlier report left, so that removals show.
  app_->Update_resetToFactoryData("origin", kNovember2023);
  log_->Clear();
  app_->Update_resetToFactoryData(GetParam().reset, GetParam().timestamp);
  ExpectProps(*reset, GetParam().expected);
  EXPECT_EQ(Lines(), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(Updates, ResetTest, ::testing::ValuesIn(ResetCases()),
                         [](const auto& info) { return info.param.name; });

// The date-time is labelled "+00:00", so it must show UTC whatever the local zone is.
TEST_F(UpdatesTest, LastResetIsUtcWhateverTheLocalZone) {
  Populate();
  const char* saved = std::getenv("TZ");
  const std::string previous = saved != nullptr ? saved : "";
  ::setenv("TZ", "XYZ-2", 1);
  ::tzset();
  app_->Update_resetToFactoryData("origin", kEpoch);
  if (saved != nullptr) {
    ::setenv("TZ", previous.c_str(), 1);
  } else {
    ::unsetenv("TZ");
  }
  ::tzset();
  ExpectProps(*root_->GetFactoryResetResets()->GetResetObjects().front(), {{"lastReset", kEpochText}});
}

TEST_F(UpdatesTest, ResetDataGoesToEveryResetElement) {
  Populate();
  auto second = rubo::server::factory_reset::ResetObject::Make("ResetObject", ara::rest::Uuid::MakeV4(),
                                                               ara::rest::Uri::Builder().ToUri());
  root_->Add(second);
  app_->Update_resetToFactoryData("notOrigin", kNovember2023);
  for (const auto& reset : root_->GetFactoryResetResets()->GetResetObjects()) {
    ExpectProps(*reset, {{"isFactoryDefault", false}, {"lastReset", "2023-11-14T22:13:20+00:00"}});
  }
}

TEST_F(UpdatesTest, FlagIsAnnouncedOnFirstWrite) {
  Populate();
  const auto reset = root_->GetFactoryResetResets()->GetResetObjects().front();
  Announcements announced(*reset);
  app_->Update_resetToFactoryData("notOrigin", std::nullopt);
  // Once when added, once more when set to false, the default of a new flag.
  EXPECT_EQ(announced.Take(), (std::vector<std::string>{"isFactoryDefault", "isFactoryDefault"}));
  app_->Update_resetToFactoryData("notOrigin", std::nullopt);
  EXPECT_TRUE(announced.Take().empty());
}

class NavTargetTest : public UpdatesTest {
 protected:
  std::shared_ptr<cmc::ImmediateChargingOptionObject> Option() {
    return FirstOfType<cmc::ImmediateChargingOptionObject>(root_->GetChargingManagementCoreImmediateChargingOptions(),
                                                           "immediateChargingOption");
  }
};

TEST_F(NavTargetTest, SetsTheLinkedValueControlOnly) {
  Populate();
  const auto option = Option();
  const auto target = option->GetNavTargetSoc();
  ASSERT_TRUE(target);
  const Json optionBefore = Props(*option);
  app_->Update_NavTargetSoc(80);
  ExpectProps(*target, {{"currentValue", 80}, {"type", "immediateChargingOptionsNavTargetSoc"}});
  EXPECT_EQ(Props(*option), optionBefore);
  EXPECT_TRUE(Lines().empty());
}

TEST_F(NavTargetTest, MissingOptionOrLinkOnlyLogs) {
  Populate();
  const auto option = Option();
  const auto target = option->GetNavTargetSoc();
  option->SetNavTargetSoc(nullptr);
  app_->Update_NavTargetSoc(80);
  root_->Remove(option);
  app_->Update_NavTargetSoc(81);
  const std::string line = "[Rubo][RBEC -> Rubo] Can't find navtargetsoc object. Exiting method.";
  EXPECT_EQ(Lines(), (std::vector<std::string>{line, line}));
  ExpectProps(*target, {{"currentValue", nullptr}});
}

}  // namespace
}  // namespace orik::ruboServer::test
