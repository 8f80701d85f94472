#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "comm_mngr_fakes.h"

namespace orik::commMngr::test {
namespace {

using ara::core::Optional;
using orik::enums::SOMEIP_RESPONSE_TYPE;
using Send = std::function<SOMEIP_RESPONSE_TYPE(CommunicationsManager&)>;

constexpr auto kError = SOMEIP_RESPONSE_TYPE::RESPONSE_ERROR;
const Optional<std::string> kNone;

struct Case {
  const char* name;
  Send send;
  bool reachesListener;            // true: the listener's own result comes back
  std::vector<std::string> calls;  // on the listener
  std::vector<std::string> logs;   // level initial and text
};

std::vector<Case> Cases() {
  const std::string cm = "I [CommMngr] ";
  const std::string rs = "I [CommMngr][Rubo -> SomeIp] ";
  return {
      // ---- value controls
      {"ValueControlWithSpecialState",
       [](auto& m) { return m.TellSomeIpToUpdate_ValueControls("immediateChargingOptionsTargetSoc", 80u, "off"); },
       true,
       {"Update_ValueControls(0,80,0,RUBO)"},
       {cm +
            "Translated ValueControl object type immediateChargingOptionsTargetSoc from rubo into type 0 for someip...",
        cm + "Translated ValueControl object specialState off from rubo into specialState 0 for someip..."}},
      {"ValueControlWithoutValueOrSpecialState",
       [](auto& m) {
         return m.TellSomeIpToUpdate_ValueControls("bidirectionalChargingModesMinSoc", std::nullopt, kNone);
       },
       true,
       {"Update_ValueControls(20,-,-,RUBO)"},
       {cm +
        "Translated ValueControl object type bidirectionalChargingModesMinSoc from rubo into type 20 for someip..."}},
      {"ValueControlUntranslatableSpecialStateGoesOnEmpty",
       [](auto& m) { return m.TellSomeIpToUpdate_ValueControls("notificationMarker1notificationSocValue", 5u, "Off"); },
       true,
       {"Update_ValueControls(10,5,-,RUBO)"},
       {cm + "Translated ValueControl object type notificationMarker1notificationSocValue from rubo into type 10 for "
             "someip...",
        "D [CommMngr][Someip -> Rubo] Map exception"}},
      {"ValueControlUntranslatableType",
       [](auto& m) { return m.TellSomeIpToUpdate_ValueControls("ImmediateChargingOptionsTargetSoc", 80u, "off"); },
       false,
       {},
       {"D [CommMngr] Unable to translate ValueControl object type ImmediateChargingOptionsTargetSoc from rubo. "
        "Returning..."}},

      // ---- switch controls
      {"SwitchControlWithValue",
       [](auto& m) { return m.TellSomeIpToUpdate_SwitchControls("frontPlugLockState", "unlocking"); },
       true,
       {"Update_SwitchControls(18,10)"},
       {cm + "Translated SwitchControl object type frontPlugLockState from rubo into type 18 for someip...",
        cm + "Translated SwitchControl object value unlocking from rubo into value 10 for someip..."}},
      {"SwitchControlTypeAlone",
       [](auto& m) { return m.TellSomeIpToUpdate_SwitchControls("immediateActionStartStopCharging", kNone); },
       true,
       {"Update_SwitchControls(30,-)"},
       {cm + "Translated SwitchControl object type immediateActionStartStopCharging from rubo into type 30 for "
             "someip..."}},
      {"SwitchControlUntranslatableValue",
       [](auto& m) { return m.TellSomeIpToUpdate_SwitchControls("frontPlugLockState", "unlocking "); },
       false,
       {},
       {"D [CommMngr] Unable to translate SwitchControl object value unlocking  from rubo. Returning..."}},
      {"SwitchControlUntranslatableType",
       [](auto& m) { return m.TellSomeIpToUpdate_SwitchControls("", "off"); },
       false,
       {},
       {"D [CommMngr] Unable to translate SwitchControl object type  from rubo. Returning..."}},

      // ---- views
      {"ViewTranslated",
       [](auto& m) { return m.TellSomeIpToUpdate_Views("itSystemScreen", "itSystemPeInformationScreen", "noView"); },
       true,
       {"Update_Views(2,4,0)"},
       {rs + "Translated View object {type} itSystemScreen from rubo into {type} 2 for someip...",
        rs + "Translated View object {content} itSystemPeInformationScreen from rubo into {content} 4 for someip...",
        rs + "Translated View object {visibility} noView from rubo into {visibility} 0 for someip..."}},
      {"ViewUntranslatableContentAndNoVisibilityStillWritten",
       [](auto& m) { return m.TellSomeIpToUpdate_Views("bcamScreen", "Nothing", kNone); },
       true,
       {"Update_Views(1,-,-)"},
       {rs + "Translated View object {type} bcamScreen from rubo into {type} 1 for someip...",
        rs + "Unable to map View {content} Nothing from rubo (or View {content} was not updated in this request)",
        rs + "Unable to map View {visibility} no_value from rubo (or View {visibility} was not updated in this "
             "request)"}},
      {"ViewUntranslatableType",
       [](auto& m) { return m.TellSomeIpToUpdate_Views("Popup", "nothing", "noView"); },
       false,
       {},
       {"D [CommMngr][Rubo -> SomeIp] Unable to translate View object {type} Popup from rubo. Returning..."}},

      // ---- past error information
      {"PastErrorInformation",
       [](auto& m) { return m.TellSomeIpToUpdate_pastErrorInformation("pastErrorInformation2", true); },
       true,
       {"Update_pastErrorInformation(1,true)"},
       {rs + "Translated pastErrorInformation object {type} pastErrorInformation2 from rubo into {type} 1 for "
             "someip..."}},
      {"PastErrorInformationWithoutFlag",
       [](auto& m) { return m.TellSomeIpToUpdate_pastErrorInformation("pastErrorInformation1", std::nullopt); },
       true,
       {"Update_pastErrorInformation(0,-)"},
       {rs + "Translated pastErrorInformation object {type} pastErrorInformation1 from rubo into {type} 0 for "
             "someip..."}},
      {"PastErrorInformationUntranslatableType",
       [](auto& m) { return m.TellSomeIpToUpdate_pastErrorInformation("pastErrorInformation4", true); },
       false,
       {},
       {"D [CommMngr][Rubo -> SomeIp] Unable to translate pastErrorInformation object type pastErrorInformation4 "
        "from rubo. Returning..."}},

      // ---- reset status
      {"ResetStatus",
       [](auto& m) { return m.TellSomeIpToUpdate_ResetStatus("notOrigin"); },
       true,
       {"Update_FactoryResetInfo(1)"},
       {cm + "Translated ResetToFactoryData object  reset notOrigin from rubo into type 1 for someip..."}},
      {"ResetStatusAbsent", [](auto& m) { return m.TellSomeIpToUpdate_ResetStatus(kNone); }, false, {}, {}},
      {"ResetStatusUntranslatable",
       [](auto& m) { return m.TellSomeIpToUpdate_ResetStatus("factory"); },
       false,
       {},
       {"D [CommMngr][Someip -> Rubo] Map exception"}},

      // ---- navigation target: always type 19 from "RBEC", nothing translated or logged
      {"NavTargetSoc",
       [](auto& m) { return m.TellSomeIpToUpdate_NavTargetSoc(300u); },
       true,
       {"Update_ValueControls(19,300,-,RBEC)"},
       {}},
  };
}

class RuboToSomeIpTest : public ::testing::Test, public MediatorFixture {};

TEST_F(RuboToSomeIpTest, TranslatesEveryWriteAndReturnsTheListenersResultUnchanged) {
  for (const auto result : {SOMEIP_RESPONSE_TYPE::RESPONSE_RECEIVED, SOMEIP_RESPONSE_TYPE::RESPONSE_TIMEOUT,
                            SOMEIP_RESPONSE_TYPE::RESPONSE_ERROR}) {
    listener->result = result;
    for (const auto& c : Cases()) {
      SCOPED_TRACE(std::string(c.name) + " listener result " + std::to_string(static_cast<int>(result)));
      ClearAll();
      EXPECT_EQ(c.send(*mediator), c.reachesListener ? result : kError);
      EXPECT_EQ(listener->Calls(), c.calls);
      EXPECT_EQ(Logs(), c.logs);
      EXPECT_TRUE(rubo->Calls().empty());
    }
  }
}

TEST_F(RuboToSomeIpTest, ResetTurnsAListenerExceptionIntoAnError) {
  listener->hook = [](const std::string&) { throw std::runtime_error("transport"); };
  EXPECT_EQ(mediator->TellSomeIpToUpdate_ResetStatus("origin"), kError);
  EXPECT_EQ(listener->Calls(), std::vector<std::string>{"Update_FactoryResetInfo(0)"});
  EXPECT_EQ(Logs(), (std::vector<std::string>{
                        "I [CommMngr] Translated ResetToFactoryData object  reset origin from rubo into type 0 for "
                        "someip...",
                        "D [CommMngr][Someip -> Rubo] Map exception"}));
}

TEST_F(RuboToSomeIpTest, OtherWritesPassAListenerExceptionOn) {
  listener->hook = [](const std::string&) { throw std::runtime_error("transport"); };
  EXPECT_THROW(mediator->TellSomeIpToUpdate_ValueControls("immediateChargingOptionsTargetSoc", 1u, kNone),
               std::runtime_error);
  EXPECT_THROW(mediator->TellSomeIpToUpdate_NavTargetSoc(1u), std::runtime_error);
  EXPECT_THROW(mediator->TellSomeIpToUpdate_SwitchControls("frontFlapState", kNone), std::runtime_error);
  EXPECT_THROW(mediator->TellSomeIpToUpdate_Views("popup", kNone, kNone), std::runtime_error);
  EXPECT_THROW(mediator->TellSomeIpToUpdate_pastErrorInformation("pastErrorInformation1", true), std::runtime_error);
}

TEST_F(RuboToSomeIpTest, StartsTheChargingListenerThenTheRouteListenerThenLogs) {
  std::vector<std::string> order;
  listener->hook = [&](const std::string&) { order.push_back("cmc, logged=" + std::to_string(Logs().size())); };
  rbec->hook = [&](const std::string&) { order.push_back("rbec, logged=" + std::to_string(Logs().size())); };
  mediator->TellSomeIpToStartListener();
  EXPECT_EQ(order, (std::vector<std::string>{"cmc, logged=0", "rbec, logged=0"}));
  EXPECT_EQ(Logs(), std::vector<std::string>{"I [CommMngr] Cmc and rbec listeners started"});
}

// Between the unwiring at shutdown and the end of the poll, notifications and requests, calls
// still arrive: each is dropped (or answered with an error) after one line, touching nobody.
TEST_F(RuboToSomeIpTest, CallsAfterUnwiringTouchNoPartner) {
  mediator->SetRubo(nullptr);
  mediator->SetSomeIp(nullptr);
  mediator->SetRbec(nullptr);
  using namespace zrt::services::chargingmanagementcore::datatypes;

  const std::vector<std::function<void()>> updates = {
      [&] { mediator->TellRuboToUpdate_chargingProcessInformation({}); },
      [&] { mediator->TellRuboToUpdate_NotificationMarkers(std::nullopt, true); },
      [&] { mediator->TellRuboToUpdate_Notifications(std::nullopt, std::nullopt, std::nullopt); },
      [&] { mediator->TellRuboToUpdate_OruUpdateApprovals(std::nullopt, true); },
      [&] { mediator->TellRuboToUpdate_pastErrorInformation(std::nullopt, std::nullopt, std::nullopt, true); },
      [&] { mediator->TellRuboToUpdate_SwitchControls(std::nullopt, std::nullopt, std::nullopt, std::nullopt); },
      [&] { mediator->TellRuboToUpdate_valueIndications({}); },
      [&] {
        mediator->TellRuboToUpdate_Views(DT_ChargingManagementCore_views_type::popup, std::nullopt, std::nullopt);
      },
      [&] { mediator->TellRuboToUpdate_ResetToFactoryData(std::nullopt, 1u); },
      [&] {
        const Optional<DT_ChargingManagementCore_valueControls_type> type =
            DT_ChargingManagementCore_valueControls_type::immediateChargingOptionsNavTargetSoc;
        const Optional<std::uint32_t> n;
        const Optional<DT_ChargingManagementCore_valueControls_unitPercent> up;
        const Optional<DT_ChargingManagementCore_valueControls_unitDistance> ud;
        const Optional<DT_ChargingManagementCore_valueControls_unitTime> ut;
        const Optional<DT_ChargingManagementCore_valueControls_restrictionReason> rr;
        const Optional<DT_ChargingManagementCore_valueControls_specialState> ss;
        const Optional<std::vector<DT_ChargingManagementCore_valueControls_specialStateConfiguration>> cfg;
        mediator->TellRuboToUpdate_ValueControls(ValueControlsMembers{type, n, n, n, up, ud, ut, n, rr, ss, cfg});
      },
      [&] { mediator->TellRuboToUpdate_Registry(true); },
      [&] { mediator->TellRuboToUpdate_ChargingPlugs(std::nullopt, std::nullopt, std::nullopt, std::nullopt); },
      [&] { mediator->TellRuboToUpdate_BatteryCareModes(std::nullopt, 1u, std::nullopt, std::nullopt, 1.0f); },
      [&] { mediator->TellRuboToUpdate_BatteryPreconditionings(std::nullopt, std::nullopt); },
      [&] { mediator->TellRuboToUpdate_BatteryPreconditioningEnergies(std::nullopt, 1u, 2u); },
      [&] {
        const Optional<DT_ChargingManagementCore_bidirectionalChargingModes_type> type;
        const Optional<DT_ChargingManagementCore_bidirectionalChargingModes_information> info;
        const Optional<DT_ChargingManagementCore_bidirectionalChargingModes_notification> note;
        const Optional<DT_ChargingManagementCore_bidirectionalChargingModes_chargingMode> mode;
        const Optional<float> f;
        mediator->TellRuboToUpdate_BidirectionalChargingModes(
            BidirectionalChargingModesMembers{type, info, note, mode, f, f, f, f});
      },
      [&] { mediator->TellRuboToUpdate_NavTargetSoc(80u); },
      [&] { mediator->TellSomeIpToStartListener(); },
  };
  for (std::size_t i = 0; i < updates.size(); ++i) {
    SCOPED_TRACE(i);
    ClearAll();
    EXPECT_NO_THROW(updates[i]());
    const auto logs = Logs();
    ASSERT_EQ(logs.size(), 1u);
    EXPECT_EQ(logs[0].substr(0, 2), "I ");
  }

  const std::vector<Send> writes = {
      [](auto& m) { return m.TellSomeIpToUpdate_ValueControls("immediateChargingOptionsTargetSoc", 1u, kNone); },
      [](auto& m) { return m.TellSomeIpToUpdate_NavTargetSoc(1u); },
      [](auto& m) { return m.TellSomeIpToUpdate_SwitchControls("frontFlapState", kNone); },
      [](auto& m) { return m.TellSomeIpToUpdate_Views("popup", kNone, kNone); },
      [](auto& m) { return m.TellSomeIpToUpdate_pastErrorInformation("pastErrorInformation1", true); },
      [](auto& m) { return m.TellSomeIpToUpdate_ResetStatus("origin"); },
  };
  for (std::size_t i = 0; i < writes.size(); ++i) {
    SCOPED_TRACE(i);
    ClearAll();
    EXPECT_EQ(writes[i](*mediator), kError);
    const auto logs = Logs();
    ASSERT_EQ(logs.size(), 1u);
    EXPECT_EQ(logs[0].substr(0, 2), "I ");
  }

  // An absent reset status is refused without a line, wired or not.
  ClearAll();
  EXPECT_EQ(mediator->TellSomeIpToUpdate_ResetStatus(kNone), kError);
  EXPECT_TRUE(Logs().empty());

  EXPECT_TRUE(rubo->Calls().empty());
  EXPECT_TRUE(listener->Calls().empty());
  EXPECT_TRUE(rbec->Calls().empty());
}

// The entry point unwires while other threads are still calling in.
TEST_F(RuboToSomeIpTest, UnwiringWhileCallsArriveIsSafe) {
  using namespace zrt::services::chargingmanagementcore::datatypes;
  constexpr int kCalls = 200;
  std::vector<std::thread> callers;
  callers.emplace_back([&] {
    for (int i = 0; i < kCalls; ++i) {
      mediator->TellRuboToUpdate_Views(DT_ChargingManagementCore_views_type::popup, std::nullopt, std::nullopt);
      mediator->TellRuboToUpdate_Registry(i % 2 == 0);
    }
  });
  callers.emplace_back([&] {
    for (int i = 0; i < kCalls; ++i) {
      mediator->TellSomeIpToUpdate_SwitchControls("frontFlapState", kNone);
      mediator->TellSomeIpToUpdate_NavTargetSoc(50u);
    }
  });
  mediator->SetRubo(nullptr);
  mediator->SetSomeIp(nullptr);
  mediator->SetRbec(nullptr);
  for (auto& t : callers) {
    t.join();
  }
  // The fakes outlive the unwiring only through the test's own pointers.
  EXPECT_EQ(rubo.use_count(), 1);
  EXPECT_EQ(listener.use_count(), 1);
}

}  // namespace
}  // namespace orik::commMngr::test
