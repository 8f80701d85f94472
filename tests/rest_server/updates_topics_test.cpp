// The updates that find their element by type and mirror a list of properties into it.

#include <functional>
#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

#include "tests/rest_server/updates_test_support.h"

namespace orik::ruboServer::test {
namespace {

using rubo::server::RuboServer;
using Elements = std::vector<std::shared_ptr<rubo::BaseType>>;
using Type = ara::core::Optional<std::string>;

template <typename E, typename Collection>
Elements AsBase(const std::shared_ptr<Collection>& collection) {
  Elements all;
  for (auto& element : rubo::server::ElementsOf<E>(*collection)) {
    all.push_back(element);
  }
  return all;
}

// Adds a further element at the end of the collection, of the type or, for an empty one,
// without a type.
template <typename E>
std::shared_ptr<rubo::BaseType> AddTwin(RuboServer& root, const std::string& type) {
  auto twin = E::Make(std::string("twin"), ara::rest::Uuid::MakeV4(), ara::rest::Uri::Builder().ToUri());
  if (!type.empty()) {
    twin->SetListedText("type", type);
  }
  root.Add(twin);
  return twin;
}

// What the update carries: values that differ from the kinds' defaults, values equal to them
// where the property allows it, or nothing at all.
enum class Carry { kValues, kDefaults, kAbsent };

template <typename T>
ara::core::Optional<T> Pick(Carry carry, T value, T defaultValue) {
  if (carry == Carry::kAbsent) {
    return std::nullopt;
  }
  return carry == Carry::kValues ? value : defaultValue;
}
inline ara::core::Optional<std::string> Word(Carry carry, const char* value) {
  return Pick<std::string>(carry, value, value);
}

struct Topic {
  std::string name;
  std::string type;
  std::function<Elements(RuboServer&)> elements;
  std::function<std::shared_ptr<rubo::BaseType>(RuboServer&, const std::string&)> addTwin;
  std::function<void(ORIKRuboServer&, const Type&, Carry)> update;
  std::vector<std::string> properties;
};

// Test names carry the case name; the listing shows it too instead of the bytes.
void PrintTo(const Topic& param, std::ostream* out) {
  *out << param.name;
}

std::vector<Topic> Topics() {
  return {
      {"Notifications",
       "chargingNotification2",
       [](RuboServer& r) { return AsBase<cmc::NotificationObject>(r.GetChargingManagementCoreNotifications()); },
       AddTwin<cmc::NotificationObject>,
       [](ORIKRuboServer& app, const Type& type, Carry c) {
         app.Update_Notifications(type, Word(c, "generalError"), Word(c, "startInhibit"));
       },
       {"value", "additionalInformation"}},
      {"NotificationMarkers",
       "notificationMarker3",
       [](RuboServer& r) {
         return AsBase<cmc::NotificationMarkerObject>(r.GetChargingManagementCoreNotificationMarkers());
       },
       AddTwin<cmc::NotificationMarkerObject>,
       [](ORIKRuboServer& app, const Type& type, Carry c) {
         app.Update_NotificationMarkers(type, Pick(c, true, false));
       },
       {"isToBeNotified"}},
      {"OruUpdateApprovals",
       "oruUpdateApproval",
       [](RuboServer& r) {
         return AsBase<cmc::OruUpdateApprovalObject>(r.GetChargingManagementCoreOruUpdateApprovals());
       },
       AddTwin<cmc::OruUpdateApprovalObject>,
       [](ORIKRuboServer& app, const Type& type, Carry c) {
         app.Update_OruUpdateApprovals(type, Pick(c, true, false));
       },
       {"updateApproval"}},
      {"PastErrorInformation",
       "pastErrorInformation3",
       [](RuboServer& r) {
         return AsBase<cmc::PastErrorInformationObject>(r.GetChargingManagementCorePastErrorInformation());
       },
       AddTwin<cmc::PastErrorInformationObject>,
       [](ORIKRuboServer& app, const Type& type, Carry c) {
         app.Update_pastErrorInformation(type, Word(c, "failedByPe"), Word(c, "other"), Pick(c, true, false));
       },
       {"value", "additionalInformation", "confirmedByUser"}},
      {"BatteryPreconditionings",
       "batteryPreconditioning",
       [](RuboServer& r) {
         return AsBase<cmc::BatteryPreconditioningObject>(r.GetChargingManagementCoreBatteryPreconditionings());
       },
       AddTwin<cmc::BatteryPreconditioningObject>,
       [](ORIKRuboServer& app, const Type& type, Carry c) {
         app.Update_batteryPreconditionings(type, Word(c, "scheduled"));
       },
       {"preconditioningState"}},
      {"BatteryPreconditioningEnergies",
       "batteryPreconditioningEnergy1",
       [](RuboServer& r) {
         return AsBase<cmc::BatteryPreconditioningEnergyObject>(
             r.GetChargingManagementCoreBatteryPreconditioningEnergies());
       },
       AddTwin<cmc::BatteryPreconditioningEnergyObject>,
       [](ORIKRuboServer& app, const Type& type, Carry c) {
         app.Update_batteryPreconditioningEnergies(type, Pick<std::uint32_t>(c, 12, 0), Pick<std::uint32_t>(c, 34, 0));
       },
       {"firstStop", "nextStops"}},
      {"BatteryCareModes",
       "batteryCareMode",
       [](RuboServer& r) { return AsBase<cmc::BatteryCareModeObject>(r.GetChargingManagementCoreBatteryCareModes()); },
       AddTwin<cmc::BatteryCareModeObject>,
       [](ORIKRuboServer& app, const Type& type, Carry c) {
         app.Update_batteryCareModes(type, Word(c, "bcamScoreValueReached"), Word(c, "bcamInformationScreen"),
                                     Pick<std::uint32_t>(c, 80, 0), Pick(c, 12.5F, 0.0F));
       },
       {"notification", "popup", "chargeBcamThreshold", "bcamScoreThreshold"}},
      {"BidirectionalChargingModes",
       "bidirectionalChargingMode",
       [](RuboServer& r) {
         return AsBase<cmc::BidirectionalChargingModeObject>(r.GetChargingManagementCoreBidirectionalChargingModes());
       },
       AddTwin<cmc::BidirectionalChargingModeObject>,
       [](ORIKRuboServer& app, const Type& type, Carry c) {
         app.Update_BidirectionalChargingModes({type, Word(c, "dischargingActive"), Word(c, "maximumQuotaWarning"),
                                                Word(c, "discharging"), Pick(c, 1.5F, 0.0F), Pick(c, 2.5F, 0.0F),
                                                Pick(c, 3.5F, 0.0F), Pick(c, 4.5F, 0.0F)});
       },
       {"information", "notification", "chargingMode", "operatingHoursThreshold", "numbersOfCyclesThreshold",
        "amountOfEnergyThreshold", "quotaThreshold"}},
      {"ValueControls",
       "immediateChargingOptionsTargetSoc",
       [](RuboServer& r) { return AsBase<cmc::ValueControlObject>(r.GetChargingManagementCoreValueControls()); },
       AddTwin<cmc::ValueControlObject>,
       [](ORIKRuboServer& app, const Type& type, Carry c) {
         app.Update_ValueControls({type, Pick<std::uint32_t>(c, 80, 0), Pick<std::uint32_t>(c, 10, 0),
                                   Pick<std::uint32_t>(c, 100, 0), Word(c, "percent"), Word(c, "km"), Word(c, "h"),
                                   Pick<std::uint32_t>(c, 5, 1), Word(c, "calculating"), Word(c, "off"),
                                   Pick(c, std::vector<std::string>{"off"}, std::vector<std::string>{})});
       },
       {"currentValue", "minValue", "maxValue", "unitPercent", "unitDistance", "unitTime", "resolution",
        "restrictionReason", "specialState", "specialStateConfiguration"}},
      {"ValueIndications",
       "chargingProcessInformationChargePower",
       [](RuboServer& r) { return AsBase<cmc::ValueIndicationObject>(r.GetChargingManagementCoreValueIndications()); },
       AddTwin<cmc::ValueIndicationObject>,
       [](ORIKRuboServer& app, const Type& type, Carry c) {
         app.Update_valueIndications({type, Pick(c, 11.25F, 0.0F), Pick(c, 22.0F, 0.0F), Pick(c, -3.0F, 0.0F),
                                      Pick<std::string>(c, "2024-05-06T07:08:09Z", ""), Word(c, "percent"),
                                      Word(c, "min"), Word(c, "kmPerHour"), Word(c, "kW"), Word(c, "kWh"),
                                      Word(c, "error")});
       },
       {"currentValue", "maxValue", "minValue", "currentTimeDateValue", "unitPercent", "unitTime", "unitSpeed",
        "unitPower", "unitEnergy", "restrictionReason"}},
      {"ChargingProcessInformation",
       "chargingProcessInformation",
       [](RuboServer& r) {
         return AsBase<cmc::ChargingProcessInformationObject>(r.GetChargingManagementCoreChargingProcessInformation());
       },
       AddTwin<cmc::ChargingProcessInformationObject>,
       [](ORIKRuboServer& app, const Type& type, Carry c) {
         app.Update_chargingProcessInformation(
             {type, Word(c, "chargingHvBattery"), Pick<std::uint32_t>(c, 80, 0), Word(c, "immediatelyDefault"),
              Word(c, "lowCost"), Word(c, "ac"), Word(c, "emergencyCharging"), Word(c, "fullSoc"),
              Word(c, "remainingChargeTimeFull"), Word(c, "DE*ABC*E123"), Word(c, "unlimited")});
       },
       {"currentChargeState", "chargeBulkThreshold", "chargeMode", "profileChargeReason", "chargeType",
        "chargingScenario", "activeTargetSoc", "chargeTimeDisplay", "evseid", "chargeRateCuteness"}},
  };
}

class TopicTest : public UpdatesTest, public ::testing::WithParamInterface<Topic> {
 protected:
  std::shared_ptr<rubo::BaseType> Target() {
    for (const auto& element : GetParam().elements(*root_)) {
      if (rubo::server::GetTextOrEmpty(*element, "type") == GetParam().type) {
        return element;
      }
    }
    return nullptr;
  }
  Json Written() {
    Json expected;
    for (const auto& name : GetParam().properties) {
      expected[name] = nullptr;
    }
    return expected;
  }
};

TEST_P(TopicTest, FoundElementGetsEveryPropertyAndNothingIsLogged) {
  Populate();
  const auto target = Target();
  ASSERT_TRUE(target);
  GetParam().update(*app_, GetParam().type, Carry::kValues);
  const Json props = Props(*target);
  for (const auto& name : GetParam().properties) {
    EXPECT_TRUE(props.contains(name)) << name;
  }
  EXPECT_EQ(props["type"], GetParam().type);
  EXPECT_TRUE(Lines().empty());
}

TEST_P(TopicTest, TypeWithoutElementChangesNothing) {
  Populate();
  // A word of another topic: no element of this collection carries it.
  GetParam().update(*app_, "noSuchType", Carry::kValues);
  for (const auto& element : GetParam().elements(*root_)) {
    ExpectProps(*element, Written());
  }
  EXPECT_TRUE(Lines().empty());
}

TEST_P(TopicTest, OnlyTheFirstOfTwoElementsOfOneTypeIsUpdated) {
  Populate();
  const auto first = Target();
  const auto twin = GetParam().addTwin(*root_, GetParam().type);
  GetParam().update(*app_, GetParam().type, Carry::kValues);
  EXPECT_TRUE(Props(*first).contains(GetParam().properties.front()));
  ExpectProps(*twin, Written());
}

TEST_P(TopicTest, AbsentValuesRemoveTheirProperties) {
  Populate();
  const auto target = Target();
  GetParam().update(*app_, GetParam().type, Carry::kValues);
  GetParam().update(*app_, GetParam().type, Carry::kAbsent);
  ExpectProps(*target, Written());
  EXPECT_EQ(Props(*target)["type"], GetParam().type);
  EXPECT_TRUE(Lines().empty());
}

// Adding a property announces it once. Setting it announces it again when the value changed,
// and for numbers, flags and the two announced texts also when a new property gets the kind's
// default: so every first write is announced twice. A repeated update announces nothing.
TEST_P(TopicTest, FirstWriteIsAnnouncedAndARepeatIsNot) {
  Populate();
  const auto target = Target();
  Announcements announced(*target);
  GetParam().update(*app_, GetParam().type, Carry::kDefaults);
  auto names = announced.Take();
  for (const auto& name : GetParam().properties) {
    EXPECT_EQ(std::count(names.begin(), names.end(), name), 2) << name;
  }
  GetParam().update(*app_, GetParam().type, Carry::kDefaults);
  names = announced.Take();
  // An array property is set whole and announced at every write; nothing else repeats.
  names.erase(std::remove(names.begin(), names.end(), "specialStateConfiguration"), names.end());
  EXPECT_TRUE(names.empty()) << names.front();
}

TEST_P(TopicTest, EmptyTypeMatchesAnElementWithoutType) {
  Populate();
  const auto untyped = GetParam().addTwin(*root_, "");
  GetParam().update(*app_, std::string(), Carry::kValues);
  EXPECT_TRUE(Props(*untyped).contains(GetParam().properties.front()));
}

// The mediator never sends an absent type; if it did, the first comparison would fail.
TEST_P(TopicTest, AbsentTypeFailsOnlyWhenThereIsAnElementToCompare) {
  Make();
  EXPECT_NO_THROW(GetParam().update(*app_, std::nullopt, Carry::kValues));
  app_->PopulateServer();
  EXPECT_THROW(GetParam().update(*app_, std::nullopt, Carry::kValues), std::bad_optional_access);
}

// Without a root object (its construction failed) there is nothing to update: every update
// returns at once, before it would read even an absent type.
TEST_F(UpdatesTest, WithoutRootObjectEveryUpdateReturnsAtOnce) {
  ORIKRuboServer::Seams seams;
  seams.makeRoot = [](const std::string&, const std::string&) -> std::shared_ptr<RuboServer> {
    throw std::runtime_error("no memory");
  };
  Make(std::move(seams));
  log_->Clear();
  for (const auto& topic : Topics()) {
    EXPECT_NO_THROW(topic.update(*app_, std::nullopt, Carry::kValues)) << topic.name;
  }
  EXPECT_NO_THROW(app_->Update_SwitchControls(std::nullopt, "off", std::nullopt, std::nullopt));
  EXPECT_NO_THROW(app_->Update_ChargingPlugs(std::nullopt, "connected", std::nullopt, std::nullopt));
  EXPECT_NO_THROW(app_->Update_Views(std::nullopt, "nothing", std::nullopt));
  EXPECT_NO_THROW(app_->Update_resetToFactoryData("origin", 0));
  EXPECT_NO_THROW(app_->Update_NavTargetSoc(80));
  EXPECT_TRUE(Lines().empty());
}

INSTANTIATE_TEST_SUITE_P(Updates, TopicTest, ::testing::ValuesIn(Topics()),
                         [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace orik::ruboServer::test
