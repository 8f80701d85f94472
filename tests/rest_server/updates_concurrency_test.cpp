// Updates of one element while clients read and write it; run under the thread sanitizer this
// shows the updates need no more locking than they take. Every loop is bounded.

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "tests/rest_server/updates_test_support.h"

namespace orik::ruboServer::test {
namespace {

constexpr int kRounds = 150;

TEST_F(UpdatesTest, UpdatesOfOneElementRunAlongsideRequests) {
  Start();
  const auto indication = FirstOfType<cmc::ValueIndicationObject>(root_->GetChargingManagementCoreValueIndications(),
                                                                  "chargingProcessInformationCurrentSoc");
  const auto process = FirstOfType<cmc::ChargingProcessInformationObject>(
      root_->GetChargingManagementCoreChargingProcessInformation(), "chargingProcessInformation");
  const auto control = FirstOfType<cmc::ValueControlObject>(root_->GetChargingManagementCoreValueControls(),
                                                            "immediateChargingOptionsTargetSoc");
  ASSERT_TRUE(indication && process && control);
  const std::string indicationPath = indication->GetUri().ToString();
  const std::string processPath = process->GetUri().ToString();
  const std::string controlPath = control->GetUri().ToString();
  const std::uint16_t port = root_->GetPort();

  std::atomic<int> failedReads{0};
  std::vector<std::thread> threads;
  // The mediator calls each topic from one thread at a time; different topics run at once.
  threads.emplace_back([&] {
    for (int i = 0; i < kRounds; ++i) {
      app_->Update_valueIndications({"chargingProcessInformationCurrentSoc", static_cast<float>(i), 100.0F, 0.0F,
                                     std::nullopt, "percent", std::nullopt, std::nullopt, std::nullopt, std::nullopt,
                                     i % 2 == 0 ? ara::core::Optional<std::string>("error") : std::nullopt});
    }
  });
  threads.emplace_back([&] {
    for (int i = 0; i < kRounds; ++i) {
      app_->Update_ValueControls({"immediateChargingOptionsTargetSoc", static_cast<std::uint32_t>(i % 100), 0, 100,
                                  "percent", std::nullopt, std::nullopt, 1, std::nullopt, std::nullopt,
                                  std::vector<std::string>{}});
    }
  });
  threads.emplace_back([&] {
    for (int i = 0; i < kRounds; ++i) {
      app_->Update_Views("popup", i % 2 == 0 ? "chargingInformationScreen" : "nothing", "newRequest");
    }
  });
  const std::vector<std::string> positions = {"rearLeft2",  "rearLeft1", "frontRight2", "frontRight1", "rearRight1",
                                              "rearRight2", "front",     "frontLeft1",  "frontLeft2"};
  // Switch-control updates make the plugs' lock-state controls while the plugs are being made,
  // so both sides look for and make the same types at once.
  threads.emplace_back([&] {
    for (int i = 0; i < kRounds; ++i) {
      if (i % 2 == 0) {
        app_->Update_SwitchControls("immediateActionStartStopCharging", "stopCharging", std::nullopt, std::nullopt);
      } else {
        app_->Update_SwitchControls(positions[(i / 2) % positions.size()] + "PlugLockState", "locked", std::nullopt,
                                    std::nullopt);
      }
    }
  });
  threads.emplace_back([&] {
    for (int i = 0; i < kRounds; ++i) {
      app_->Update_ChargingPlugs(positions[i % positions.size()], i % 2 == 0 ? "connected" : "disconnected", "ready",
                                 "Typ2Ac");
    }
  });
  for (const auto& path : {indicationPath, processPath}) {
    threads.emplace_back([&, path] {
      rubo::testing::HttpTestClient client(port, "127.0.0.1");
      for (int i = 0; i < kRounds / 3; ++i) {
        if (client.Get(path).status != 200) {
          ++failedReads;
        }
        if (client.Get("/ChargingManagementCore/views").status != 200) {
          ++failedReads;
        }
      }
    });
  }
  threads.emplace_back([&] {
    rubo::testing::HttpTestClient client(port, "127.0.0.1");
    for (int i = 0; i < kRounds / 3; ++i) {
      client.Post(controlPath, R"({"currentValue": 50})");
      client.Get(controlPath);
    }
  });
  for (auto& thread : threads) {
    thread.join();
  }
  EXPECT_EQ(failedReads.load(), 0);
  // Each topic ends with its last update applied.
  ExpectProps(*indication, {{"currentValue", kRounds - 1}, {"restrictionReason", nullptr}});
  EXPECT_EQ(root_->GetChargingManagementCoreChargingPlugs()->GetElements().size(), 9u);
  for (const auto& position : positions) {
    for (const char* suffix : {"PlugLockState", "FlapLockState"}) {
      EXPECT_EQ(
          OfType<cmc::SwitchControlObject>(root_->GetChargingManagementCoreSwitchControls(), position + suffix).size(),
          1u)
          << position << suffix;
    }
  }
}

}  // namespace
}  // namespace orik::ruboServer::test
