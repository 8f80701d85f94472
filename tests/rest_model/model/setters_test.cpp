#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "ara/rest/ogm.h"
#include "ara/rest/uuid.h"
#include "rest_model/elements/elements.h"

namespace rubo::server::charging_management_core {
namespace {

namespace ogm = ara::rest::ogm;
using ::testing::StrEq;
using ::testing::ThrowsMessage;

template <typename E>
std::shared_ptr<E> Fresh() {
  return E::Make("test", ara::rest::Uuid::MakeV4(), {});
}

// A named setter, a word of its own list and a word that only a sibling list holds.
struct ListSetterCase {
  std::string setter;
  std::string property;
  std::function<bool(const std::string&)> set;
  std::function<const rubo::BaseType&()> element;
  std::string own;
  std::string sibling;
};

template <typename E>
ListSetterCase Case(std::string setter, std::string property, bool (E::*set)(const std::string&), std::string own,
                    std::string sibling) {
  auto element = Fresh<E>();
  return {std::move(setter),
          std::move(property),
          [element, set](const std::string& value) { return ((*element).*set)(value); },
          [element]() -> const rubo::BaseType& { return *element; },
          std::move(own),
          std::move(sibling)};
}

TEST(ListBoundSetters, EachConsultsItsOwnListOnly) {
  using CPI = ChargingProcessInformationObject;
  using VI = ValueIndicationObject;
  const std::vector<ListSetterCase> cases = {
      Case<ViewObject>("SetContent", "content", &ViewObject::SetContent, "bcamInformationScreen", "popup"),
      Case<ViewObject>("SetType", "type", &ViewObject::SetType, "popup", "noView"),
      Case<CPI>("SetCurrentChargeState", "currentChargeState", &CPI::SetCurrentChargeState, "chargingHvBattery",
                "immediatelyStopped"),
      Case<CPI>("SetChargeMode", "chargeMode", &CPI::SetChargeMode, "extendedProfile", "minSoc"),
      Case<CPI>("SetProfileChargeReason", "profileChargeReason", &CPI::SetProfileChargeReason, "owncurrent", "dc"),
      Case<CPI>("SetChargeType", "chargeType", &CPI::SetChargeType, "dc", "off"),
      Case<CPI>("SetChargingScenario", "chargingScenario", &CPI::SetChargingScenario, "plugReleasable", "fullSoc"),
      Case<CPI>("SetActiveTargetSoc", "activeTargetSoc", &CPI::SetActiveTargetSoc, "fullSoc", "remainingChargeTimeNav"),
      Case<CPI>("SetChargeTimeDisplay", "chargeTimeDisplay", &CPI::SetChargeTimeDisplay, "remainingChargeTimeNav",
                "unlimited"),
      Case<CPI>("SetChargeRateCuteness", "chargeRateCuteness", &CPI::SetChargeRateCuteness, "limitedHighSoc",
                "chargingProcessInformation"),
      Case<CPI>("SetType", "type", &CPI::SetType, "chargingProcessInformation", "ac"),
      Case<VI>("SetUnitPercent", "unitPercent", &VI::SetUnitPercent, "percent", "kW"),
      Case<VI>("SetUnitTime", "unitTime", &VI::SetUnitTime, "min", "kWh"),
      Case<VI>("SetUnitSpeed", "unitSpeed", &VI::SetUnitSpeed, "kmPerHour", "min"),
      Case<VI>("SetUnitPower", "unitPower", &VI::SetUnitPower, "kW", "kWh"),
      Case<VI>("SetUnitEnergy", "unitEnergy", &VI::SetUnitEnergy, "kWh", "percent"),
      Case<VI>("SetRestrictionReason", "restrictionReason", &VI::SetRestrictionReason, "pluggedIn", "celsius"),
      Case<ValueControlObject>("SetType", "type", &ValueControlObject::SetType, "bidirectionalChargingModesMaxSoc",
                               "km"),
      Case<NotificationMarkerObject>("SetType", "type", &NotificationMarkerObject::SetType, "notificationMarker2",
                                     "notificationMarker1notificationSocValue"),
      Case<NotificationObject>("SetType", "type", &NotificationObject::SetType, "chargingNotification5", "both"),
      Case<PastErrorInformationObject>("SetType", "type", &PastErrorInformationObject::SetType, "pastErrorInformation2",
                                       "startInhibit"),
      Case<SwitchControlObject>("SetType", "type", &SwitchControlObject::SetType, "frontFlapState", "open"),
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.setter + " " + c.property);
    EXPECT_THAT([&] { c.set(c.sibling); }, ThrowsMessage<std::domain_error>(StrEq("Unsupported type: " + c.sibling)));
    EXPECT_FALSE(c.element().HasField(c.property));
    EXPECT_TRUE(c.set(c.own));
    EXPECT_EQ(c.element().GetFieldValue<ogm::String>(c.property), c.own);
    EXPECT_FALSE(c.set(c.own));
  }
}

TEST(SetCurrentValue, AcceptsZeroToThreeThousand) {
  const auto control = Fresh<ValueControlObject>();
  EXPECT_TRUE(control->SetCurrentValue(3000));
  for (const std::int64_t refused : {std::int64_t{3001}, std::int64_t{-1}, INT64_MIN}) {
    EXPECT_THAT([&] { control->SetCurrentValue(refused); },
                ThrowsMessage<std::domain_error>(StrEq("Value out of range")));
  }
  EXPECT_EQ(control->GetFieldValue<ogm::Int>("currentValue"), 3000);
}

TEST(SetCurrentValue, AnnouncesANewlyAddedPropertyEvenWithoutChange) {
  const auto control = Fresh<ValueControlObject>();
  std::vector<std::string> announced;
  control->SetPostPropertyChangeCallback(
      [&](std::shared_ptr<rubo::BaseType>, const std::string& name) { announced.push_back(name); });

  EXPECT_FALSE(control->SetCurrentValue(0)) << "0 is the default of a new Int property";
  EXPECT_EQ(control->GetFieldValue<ogm::Int>("currentValue"), 0);
  EXPECT_THAT(announced, ::testing::Contains("currentValue"));

  announced.clear();
  EXPECT_FALSE(control->SetCurrentValue(0));
  EXPECT_TRUE(announced.empty()) << "an existing property with the same value announces nothing";
}

TEST(SetSpecialStateConfiguration, RefusesTheWholeListBeforeChangingAnything) {
  const auto control = Fresh<ValueControlObject>();
  EXPECT_TRUE(control->SetSpecialStateConfiguration({"off"}));
  EXPECT_THAT(
      [&] {
        control->SetSpecialStateConfiguration({"off", "reduced"});
      },
      ThrowsMessage<std::domain_error>(StrEq("Unsupported type: reduced")));
  EXPECT_EQ(control->GetSpecialStateConfiguration(), ValueList{"off"});

  control->SetSpecialStateConfiguration({"off", "off"});
  EXPECT_EQ(control->GetSpecialStateConfiguration(), (ValueList{"off", "off"}));
  control->SetSpecialStateConfiguration({});
  EXPECT_TRUE(control->HasField("specialStateConfiguration"));
  EXPECT_TRUE(control->GetSpecialStateConfiguration().empty());

  const auto fresh = Fresh<ValueControlObject>();
  EXPECT_THROW(fresh->SetSpecialStateConfiguration({"Off"}), std::domain_error);
  EXPECT_FALSE(fresh->HasField("specialStateConfiguration"));
}

TEST(SwitchValueConfiguration, ItemsComeFromTheSwitchValues) {
  const auto control = Fresh<SwitchControlObject>();
  EXPECT_TRUE(control->SetSwitchValueConfiguration({"locked", "unlocking", "chargingImmedieateActionTime"}));
  EXPECT_EQ(control->GetSwitchValueConfiguration(), (ValueList{"locked", "unlocking", "chargingImmedieateActionTime"}));
  EXPECT_THAT(
      [&] {
        control->SetSwitchValueConfiguration({"locked", "chargingImmediateActionTime"});
      },
      ThrowsMessage<std::domain_error>(StrEq("Unsupported type: chargingImmediateActionTime")));
  EXPECT_EQ(control->GetSwitchValueConfiguration().size(), 3u);
  // Both switch-value lists hold the same words.
  const auto& lists = control->GetValueLists();
  EXPECT_EQ(lists.For("switchValue"), lists.For("switchValueConfiguration"));
}

TEST(Getters, ReadTextOnly) {
  const auto control = Fresh<SwitchControlObject>();
  EXPECT_EQ(control->GetType(), "");
  EXPECT_TRUE(control->GetSwitchValueConfiguration().empty());

  auto mixed = ogm::Array::Make();
  mixed->Append(ogm::String::Make("off"));
  mixed->Append(ogm::Int::Make(5));
  mixed->Append(ogm::String::Make("reduced"));
  control->AddField<ogm::Array>("switchValueConfiguration");
  control->SetFieldValue<ogm::Field, ogm::Array>("switchValueConfiguration", std::move(mixed));
  EXPECT_EQ(control->GetSwitchValueConfiguration(), (ValueList{"off", "reduced"}));

  const auto view = Fresh<ViewObject>();
  EXPECT_EQ(view->GetContent(), "");
  view->SetContent("nothing");
  EXPECT_EQ(view->GetContent(), "nothing");
}

}  // namespace
}  // namespace rubo::server::charging_management_core
