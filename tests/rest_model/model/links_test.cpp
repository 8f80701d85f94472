#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "ara/rest/ogm.h"
#include "ara/rest/uuid.h"
#include "rest_model/collections/charge_modes.h"
#include "rest_model/elements/elements.h"
#include "rubo/format.h"

namespace rubo::server::charging_management_core {
namespace {

namespace ogm = ara::rest::ogm;

template <typename E>
std::shared_ptr<E> Fresh(const std::string& type = {}) {
  auto element = E::Make("test", ara::rest::Uuid::MakeV4(), {});
  if constexpr (requires { element->SetType(type); }) {
    if (!type.empty()) {
      element->SetType(type);
    }
  }
  return element;
}

const ogm::Object& Linked(const ogm::Object& rendering, const std::string& property) {
  return ogm::Get<ogm::Object>(rendering, property);
}

TEST(LinkedElements, RenderTheirPresentState) {
  const auto plug = Fresh<ChargingPlugObject>("frontLeft1");
  const auto lock = Fresh<SwitchControlObject>("frontLeft1PlugLockState");
  const auto flap = Fresh<SwitchControlObject>("frontLeft1FlapState");
  const auto flapLock = Fresh<SwitchControlObject>("frontLeft1FlapLockState");
  plug->SetPlugLockState(lock);
  plug->SetFlapState(flap);
  plug->SetFlapLockState(flapLock);

  // Changed after linking: the parent's rendering follows, its stored snapshot does not.
  lock->SetListedText("switchValue", "locked");
  const auto rendering = plug->ToOGM();
  EXPECT_EQ(ogm::Get<ogm::String>(Linked(*rendering, "plugLockState"), "switchValue").GetValue(), "locked");
  EXPECT_EQ(ogm::Get<ogm::String>(Linked(*rendering, "plugLockState"), "type").GetValue(), "frontLeft1PlugLockState");
  EXPECT_EQ(ogm::Get<ogm::String>(Linked(*rendering, "flapState"), "type").GetValue(), "frontLeft1FlapState");
  EXPECT_EQ(ogm::Get<ogm::String>(Linked(*rendering, "flapLockState"), "type").GetValue(), "frontLeft1FlapLockState");
  EXPECT_FALSE(Linked(plug->GetOGM(), "plugLockState").HasField("switchValue"));
  EXPECT_EQ(plug->GetPlugLockState(), lock);
}

TEST(LinkedElements, NestedLinksRenderThroughTheChildsOwnRendering) {
  const auto option = Fresh<ImmediateChargingOptionObject>("immediateChargingOption");
  const auto nav = Fresh<ValueControlObject>("immediateChargingOptionsNavTargetSoc");
  option->SetNavTargetSoc(nav);
  ASSERT_EQ(option->GetNavTargetSoc(), nav);
  option->GetNavTargetSoc()->SetCurrentValue(80);
  EXPECT_EQ(ogm::Get<ogm::Int>(Linked(*option->ToOGM(), "navTargetSoc"), "currentValue").GetValue(), 80);

  // A composite linked into nothing still renders its own links.
  const auto action = Fresh<ImmediateActionObject>("immediateAction");
  const auto stop = Fresh<SwitchControlObject>("immediateActionStartStopCharging");
  action->SetStartStopCharging(stop);
  stop->SetListedText("switchValue", "stopCharging");
  EXPECT_EQ(ogm::Get<ogm::String>(Linked(*action->ToOGM(), "startStopCharging"), "switchValue").GetValue(),
            "stopCharging");
}

TEST(LinkedElements, EmptyLinkRendersTheStoredValue) {
  const auto plug = Fresh<ChargingPlugObject>("front");
  plug->AddField<ogm::Object>("flapState");
  auto stored = ogm::Object::Make();
  stored->Insert("note", ogm::String::Make("stored"));
  plug->SetFieldValue<ogm::Field, ogm::Object>("flapState", std::move(stored));
  EXPECT_EQ(ogm::Get<ogm::String>(Linked(*plug->ToOGM(), "flapState"), "note").GetValue(), "stored");
}

TEST(LinkedElements, ARemovedPropertyIsNotAddedBack) {
  const auto plug = Fresh<ChargingPlugObject>("front");
  const auto flap = Fresh<SwitchControlObject>("frontFlapState");
  plug->SetFlapState(flap);
  plug->RemoveField("flapState");
  EXPECT_FALSE(plug->ToOGM()->HasField("flapState"));
  EXPECT_EQ(plug->GetFlapState(), flap);
}

TEST(LinkedElements, RenderingLeavesTheElementUnchanged) {
  const auto modes = Fresh<BidirectionalChargingModeObject>("bidirectionalChargingMode");
  const auto minSoc = Fresh<ValueControlObject>("bidirectionalChargingModesMinSoc");
  modes->SetMinSoc(minSoc);
  const auto before = modes->GetOGM();
  minSoc->SetCurrentValue(20);
  (void)modes->ToOGM();
  EXPECT_EQ(modes->GetOGM(), before);
}

TEST(LinkedElements, UnlinkingKeepsThePropertyWithoutValue) {
  const auto marker = Fresh<NotificationMarkerObject>("notificationMarker1");
  const auto time = Fresh<ValueControlObject>("notificationMarker1notificationTimeValue");
  marker->SetNotificationSocValue(Fresh<ValueControlObject>("notificationMarker1notificationSocValue"));
  marker->SetNotificationRangeValue(Fresh<ValueControlObject>("notificationMarker1notificationRangeValue"));
  marker->SetNotificationTimeValue(time);
  ASSERT_TRUE(marker->GetOGM().GetField("notificationTimeValue")->HasValue());

  marker->SetNotificationTimeValue(nullptr);
  EXPECT_EQ(marker->GetNotificationTimeValue(), nullptr);
  const auto committed = marker->GetOGM();
  ASSERT_NE(committed.GetField("notificationTimeValue"), nullptr);
  EXPECT_FALSE(committed.GetField("notificationTimeValue")->HasValue());
  EXPECT_FALSE(marker->ToOGM()->GetField("notificationTimeValue")->HasValue());
  EXPECT_TRUE(marker->ToOGM()->GetField("notificationSocValue")->HasValue());
}

TEST(LinkedElements, RenderWhileTheApplicationRelinks) {
  const auto plug = Fresh<ChargingPlugObject>("rearLeft1");
  const auto open = Fresh<SwitchControlObject>("rearLeft1FlapState");
  const auto other = Fresh<SwitchControlObject>("rearLeft2FlapState");
  plug->SetFlapState(open);
  std::thread writer([&] {
    for (int i = 0; i < 200; ++i) {
      plug->SetFlapState(i % 2 == 0 ? other : open);
      open->SetListedText("switchValue", i % 2 == 0 ? "opening" : "closing");
    }
  });
  for (int i = 0; i < 200; ++i) {
    const auto rendering = plug->ToOGM();
    ASSERT_TRUE(rendering->GetField("flapState")->HasValue());
  }
  writer.join();
}

TEST(LinkedElements, ChargeModeMadeByTheCollectionRendersPlain) {
  ChargeModes modes;
  const auto element = modes.MakeElement(ara::rest::Uuid::MakeV4(), {}, "ChargeModeObject");
  const auto chargeMode = std::dynamic_pointer_cast<ChargeModeObject>(element);
  ASSERT_NE(chargeMode, nullptr);
  EXPECT_EQ(chargeMode->GetStartStopCharging(), nullptr);
  EXPECT_EQ(chargeMode->GetChargeModeSelection(), nullptr);
  EXPECT_EQ(*chargeMode->ToOGM(), chargeMode->GetOGM());
  EXPECT_EQ(element->GetUri().ToString().rfind("/ChargingManagementCore/chargeModes/", 0), 0u);
}

}  // namespace
}  // namespace rubo::server::charging_management_core

namespace rubo::server::factory_reset {
namespace {

namespace ogm = ara::rest::ogm;

std::string Rendered(const ResetObject& reset) {
  return ogm::Get<ogm::String>(*reset.ToOGM(), "lastReset").GetValue();
}

TEST(ResetElement, RendersItsDateText) {
  const auto reset = ResetObject::Make("ResetObject", ara::rest::Uuid::MakeV4(), {});
  EXPECT_FALSE(reset->ToOGM()->HasField("lastReset"));
  reset->AddField<ogm::String>("lastReset");
  reset->SetFieldValue<ogm::String>("lastReset", "whatever", false);
  EXPECT_EQ(Rendered(*reset), rubo::format::DateTime(1970, 1, 1, 0, 0, 0, 0, "+00:00").GetValue());
  EXPECT_EQ(reset->GetFieldValue<ogm::String>("lastReset"), "whatever");

  const rubo::format::DateTime when(2024, 5, 6, 7, 8, 9, 0, "+00:00");
  reset->SetLastReset(when);
  EXPECT_EQ(reset->GetFieldValue<ogm::String>("lastReset"), when.GetValue());
  EXPECT_EQ(Rendered(*reset), when.GetValue());
}

TEST(ResetElement, SetLastResetKeepsNoForeignCallback) {
  const auto first = ResetObject::Make("ResetObject", ara::rest::Uuid::MakeV4(), {});
  const auto second = ResetObject::Make("ResetObject", ara::rest::Uuid::MakeV4(), {});
  first->SetLastReset(rubo::format::DateTime(2020, 1, 2, 3, 4, 5, 0, "+00:00"));

  // A date-time taken from the first element carries the first element's callback.
  second->SetLastReset(first->GetLastReset());
  auto copy = second->GetLastReset();
  copy.SetValue(2030, 12, 31, 23, 59, 58, 0, "+00:00");
  EXPECT_EQ(second->GetFieldValue<ogm::String>("lastReset"), copy.GetValue());
  EXPECT_EQ(first->GetFieldValue<ogm::String>("lastReset"),
            rubo::format::DateTime(2020, 1, 2, 3, 4, 5, 0, "+00:00").GetValue());

  // A callback of anyone else is not carried either.
  int foreignCalls = 0;
  rubo::format::DateTime foreign(2021, 1, 1, 0, 0, 0, 0, "+00:00");
  foreign.SetPostValueChangeCallback([&](const std::string&) { ++foreignCalls; });
  second->SetLastReset(foreign);
  auto again = second->GetLastReset();
  again.SetValue(2022, 2, 2, 2, 2, 2, 0, "+00:00");
  EXPECT_EQ(foreignCalls, 0);
  EXPECT_EQ(second->GetFieldValue<ogm::String>("lastReset"), again.GetValue());
}

}  // namespace
}  // namespace rubo::server::factory_reset
