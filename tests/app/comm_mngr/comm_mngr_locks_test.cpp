#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "comm_mngr_fakes.h"

namespace orik::commMngr::test {
namespace {

using namespace zrt::services::chargingmanagementcore::datatypes;
using ara::core::Optional;
using VT = DT_ChargingManagementCore_valueControls_type;

// Sends a value-control element that carries only its type and a current value.
void SendValueControl(CommunicationsManager& mediator, VT type, std::uint32_t value) {
  const Optional<VT> t = type;
  const Optional<std::uint32_t> v = value;
  const Optional<std::uint32_t> none;
  const Optional<DT_ChargingManagementCore_valueControls_unitPercent> up;
  const Optional<DT_ChargingManagementCore_valueControls_unitDistance> ud;
  const Optional<DT_ChargingManagementCore_valueControls_unitTime> ut;
  const Optional<DT_ChargingManagementCore_valueControls_restrictionReason> rr;
  const Optional<DT_ChargingManagementCore_valueControls_specialState> ss;
  const Optional<std::vector<DT_ChargingManagementCore_valueControls_specialStateConfiguration>> cfg;
  mediator.TellRuboToUpdate_ValueControls(ValueControlsMembers{t, v, none, none, up, ud, ut, none, rr, ss, cfg});
}

// Events seen by the partners, in the order they happened.
class Events {
 public:
  void Add(std::string event) {
    std::lock_guard<std::mutex> lock(mutex_);
    events_.push_back(std::move(event));
  }
  std::vector<std::string> Get() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return events_;
  }
  bool Has(const std::string& event) const {
    const auto all = Get();
    return std::find(all.begin(), all.end(), event) != all.end();
  }
  std::ptrdiff_t IndexOf(const std::string& event) const {
    const auto all = Get();
    return std::find(all.begin(), all.end(), event) - all.begin();
  }

 private:
  mutable std::mutex mutex_;
  std::vector<std::string> events_;
};

class LocksTest : public ::testing::Test, public MediatorFixture {
 protected:
  ~LocksTest() override {
    gate->Open();
    for (auto& t : threads) {
      t.join();
    }
  }
  template <typename F>
  void Spawn(F f) {
    threads.emplace_back(std::move(f));
  }

  std::shared_ptr<Gate> gate = std::make_shared<Gate>();
  std::shared_ptr<Events> events = std::make_shared<Events>();
  std::vector<std::thread> threads;
};

TEST_F(LocksTest, NavTargetValueControlAndNavTargetAreSerialisedWhileOtherValueControlsRunBeside) {
  rubo->hook = [gate = gate, events = events](const std::string& call) {
    if (call.find("immediateChargingOptionsNavTargetSoc") != std::string::npos) {
      events->Add("vc19 in");
      gate->Pass();
      events->Add("vc19 out");
    } else if (call.rfind("Update_NavTargetSoc", 0) == 0) {
      events->Add("nav");
    } else {
      events->Add("vc0");
    }
  };
  auto mediatorRef = mediator;
  Spawn([mediatorRef] { SendValueControl(*mediatorRef, VT::immediateChargingOptionsNavTargetSoc, 70); });
  ASSERT_TRUE(gate->WaitUntilWaiting(1));
  Spawn([mediatorRef] { mediatorRef->TellRuboToUpdate_NavTargetSoc(80u); });

  // Another type goes through while the navigation-target lock is held.
  ASSERT_TRUE(
      FinishesWithin([mediatorRef] { SendValueControl(*mediatorRef, VT::immediateChargingOptionsTargetSoc, 90); }));
  EXPECT_TRUE(events->Has("vc0"));
  EXPECT_FALSE(events->Has("nav"));

  gate->Open();
  for (auto& t : threads) {
    t.join();
  }
  threads.clear();
  ASSERT_TRUE(events->Has("nav"));
  EXPECT_LT(events->IndexOf("vc19 out"), events->IndexOf("nav"));
}

TEST_F(LocksTest, ValueControlWriteWaitsForTheNavTargetWriteWhileOtherWritesGoOn) {
  listener->hook = [gate = gate, events = events](const std::string& call) {
    if (call.find("RBEC") != std::string::npos) {
      events->Add("rbec in");
      gate->Pass();
      events->Add("rbec out");
    } else if (call.find("RUBO") != std::string::npos) {
      events->Add("rubo");
    } else {
      events->Add("other");
    }
  };
  auto mediatorRef = mediator;
  Spawn([mediatorRef] { mediatorRef->TellSomeIpToUpdate_NavTargetSoc(80u); });
  ASSERT_TRUE(gate->WaitUntilWaiting(1));
  Spawn([mediatorRef] {
    mediatorRef->TellSomeIpToUpdate_ValueControls("immediateChargingOptionsTargetSoc", 50u, std::nullopt);
  });

  ASSERT_TRUE(FinishesWithin([mediatorRef] {
    mediatorRef->TellSomeIpToUpdate_SwitchControls("frontPlugLockState", std::string("locking"));
    mediatorRef->TellSomeIpToUpdate_Views("popup", std::string("nothing"), std::nullopt);
    mediatorRef->TellSomeIpToUpdate_pastErrorInformation("pastErrorInformation1", true);
    mediatorRef->TellSomeIpToUpdate_ResetStatus(std::string("origin"));
  }));
  const auto seen = events->Get();
  EXPECT_EQ(std::count(seen.begin(), seen.end(), std::string("other")), 4);
  EXPECT_FALSE(events->Has("rubo"));

  gate->Open();
  for (auto& t : threads) {
    t.join();
  }
  threads.clear();
  ASSERT_TRUE(events->Has("rubo"));
  EXPECT_LT(events->IndexOf("rbec out"), events->IndexOf("rubo"));
}

// Every lock-taking operation, paired with a second call that needs the same lock.
struct LockedCall {
  const char* name;
  std::function<void(CommunicationsManager&)> call;
};

std::vector<LockedCall> LockedCalls() {
  return {
      {"chargingProcessInformation",
       [](auto& m) {
         ChargingProcessInformationMembers members;
         std::get<ChargingProcessInformationMembersIndex::type>(members) =
             DT_ChargingManagementCore_chargingProcessInformation_type::chargingProcessInformation;
         m.TellRuboToUpdate_chargingProcessInformation(std::move(members));
       }},
      {"NotificationMarkers",
       [](auto& m) {
         m.TellRuboToUpdate_NotificationMarkers(DT_ChargingManagementCore_notificationMarkers_type::notificationMarker1,
                                                true);
       }},
      {"Notifications",
       [](auto& m) {
         m.TellRuboToUpdate_Notifications(DT_ChargingManagementCore_notifications_type::chargingNotification1,
                                          std::nullopt, std::nullopt);
       }},
      {"OruUpdateApprovals",
       [](auto& m) {
         m.TellRuboToUpdate_OruUpdateApprovals(DT_ChargingManagementCore_oruUpdateApprovals_type::oruUpdateApproval,
                                               true);
       }},
      {"pastErrorInformation",
       [](auto& m) {
         m.TellRuboToUpdate_pastErrorInformation(
             DT_ChargingManagementCore_pastErrorInformation_type::pastErrorInformation1, std::nullopt, std::nullopt,
             std::nullopt);
       }},
      {"SwitchControls",
       [](auto& m) {
         m.TellRuboToUpdate_SwitchControls(DT_ChargingManagementCore_switchControls_type::frontFlapState, std::nullopt,
                                           std::nullopt, std::nullopt);
       }},
      {"valueIndications",
       [](auto& m) {
         ValueIndicationsMembers members;
         std::get<ValueIndicationsMembersIndex::type>(members) =
             DT_ChargingManagementCore_valueIndications_type::batteryCareModesBcamScore;
         m.TellRuboToUpdate_valueIndications(std::move(members));
       }},
      {"Views",
       [](auto& m) {
         m.TellRuboToUpdate_Views(DT_ChargingManagementCore_views_type::popup, std::nullopt, std::nullopt);
       }},
      {"ResetToFactoryData", [](auto& m) { m.TellRuboToUpdate_ResetToFactoryData(std::nullopt, std::nullopt); }},
      {"ValueControls type 0", [](auto& m) { SendValueControl(m, VT::immediateChargingOptionsTargetSoc, 1); }},
      {"ValueControls type 19", [](auto& m) { SendValueControl(m, VT::immediateChargingOptionsNavTargetSoc, 1); }},
      {"ChargingPlugs",
       [](auto& m) {
         m.TellRuboToUpdate_ChargingPlugs(DT_ChargingManagementCore_chargingPlugs_type::front, std::nullopt,
                                          std::nullopt, std::nullopt);
       }},
      {"BatteryCareModes",
       [](auto& m) {
         m.TellRuboToUpdate_BatteryCareModes(DT_ChargingManagementCore_batteryCareModes_type::batteryCareMode,
                                             std::nullopt, std::nullopt, std::nullopt, std::nullopt);
       }},
      {"BatteryPreconditionings",
       [](auto& m) {
         m.TellRuboToUpdate_BatteryPreconditionings(
             DT_ChargingManagementCore_batteryPreconditionings_type::batteryPreconditioning, std::nullopt);
       }},
      {"BatteryPreconditioningEnergies",
       [](auto& m) {
         m.TellRuboToUpdate_BatteryPreconditioningEnergies(
             DT_ChargingManagementCore_batteryPreconditioningEnergies_type::batteryPreconditioningEnergy1, std::nullopt,
             std::nullopt);
       }},
      {"BidirectionalChargingModes",
       [](auto& m) {
         const Optional<DT_ChargingManagementCore_bidirectionalChargingModes_type> type =
             DT_ChargingManagementCore_bidirectionalChargingModes_type::bidirectionalChargingMode;
         const Optional<DT_ChargingManagementCore_bidirectionalChargingModes_information> info;
         const Optional<DT_ChargingManagementCore_bidirectionalChargingModes_notification> note;
         const Optional<DT_ChargingManagementCore_bidirectionalChargingModes_chargingMode> mode;
         const Optional<float> f;
         m.TellRuboToUpdate_BidirectionalChargingModes(
             BidirectionalChargingModesMembers{type, info, note, mode, f, f, f, f});
       }},
      {"NavTargetSoc to the REST side", [](auto& m) { m.TellRuboToUpdate_NavTargetSoc(1u); }},
      {"ValueControls write",
       [](auto& m) { m.TellSomeIpToUpdate_ValueControls("immediateChargingOptionsTargetSoc", 1u, std::nullopt); }},
      {"NavTargetSoc write", [](auto& m) { m.TellSomeIpToUpdate_NavTargetSoc(1u); }},
  };
}

TEST_F(LocksTest, PartnerExceptionLeavesNoLockHeld) {
  auto throwing = std::make_shared<std::atomic<bool>>(false);
  const auto hook = [throwing](const std::string&) {
    if (throwing->load()) {
      throw std::runtime_error("partner failed");
    }
  };
  rubo->hook = hook;
  listener->hook = hook;
  for (const auto& c : LockedCalls()) {
    SCOPED_TRACE(c.name);
    throwing->store(true);
    EXPECT_THROW(c.call(*mediator), std::runtime_error);
    throwing->store(false);
    auto mediatorRef = mediator;
    EXPECT_TRUE(FinishesWithin([mediatorRef, call = c.call] { call(*mediatorRef); }));
  }
  // The lock shared between a type-19 value control and the navigation target, crosswise.
  throwing->store(true);
  EXPECT_THROW(SendValueControl(*mediator, VT::immediateChargingOptionsNavTargetSoc, 1), std::runtime_error);
  throwing->store(false);
  auto mediatorRef = mediator;
  EXPECT_TRUE(FinishesWithin([mediatorRef] { mediatorRef->TellRuboToUpdate_NavTargetSoc(1u); }));
}

TEST_F(LocksTest, AbsentValueControlTypeHoldsNoLock) {
  const Optional<VT> none;
  const Optional<std::uint32_t> n;
  const Optional<DT_ChargingManagementCore_valueControls_unitPercent> up;
  const Optional<DT_ChargingManagementCore_valueControls_unitDistance> ud;
  const Optional<DT_ChargingManagementCore_valueControls_unitTime> ut;
  const Optional<DT_ChargingManagementCore_valueControls_restrictionReason> rr;
  const Optional<DT_ChargingManagementCore_valueControls_specialState> ss;
  const Optional<std::vector<DT_ChargingManagementCore_valueControls_specialStateConfiguration>> cfg;
  EXPECT_THROW(
      mediator->TellRuboToUpdate_ValueControls(ValueControlsMembers{none, n, n, n, up, ud, ut, n, rr, ss, cfg}),
      std::bad_optional_access);
  auto mediatorRef = mediator;
  EXPECT_TRUE(FinishesWithin([mediatorRef] {
    SendValueControl(*mediatorRef, VT::immediateChargingOptionsTargetSoc, 1);
    SendValueControl(*mediatorRef, VT::immediateChargingOptionsNavTargetSoc, 1);
  }));
}

}  // namespace
}  // namespace orik::commMngr::test
