#include <gmock/gmock.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "tests/rest_server/rest_server_fixture.h"

namespace orik::ruboServer::test {
namespace {

namespace ogm = ara::rest::ogm;

using ConcurrencyTest = RestServerTest;

// POSTs and GETs of one element from several clients while the vehicle side writes another
// property of it and the mediator is rewired. Bounded in rounds; run under TSan.
TEST_F(ConcurrencyTest, PostsGetsAndVehicleWritesOnOneElement) {
  Start();
  const std::string path = PathOf("/ChargingManagementCore/valueControls", "immediateChargingOptionsTargetSoc");
  ASSERT_FALSE(path.empty());
  const auto element = root_->FindByUriRecursive(path);
  const auto port = root_->GetPort();
  const auto otherFake = std::make_shared<FakeCommMngr>();
  constexpr int kClients = 4;
  constexpr int kRounds = 20;

  std::atomic<int> unexpected{0};
  std::vector<std::thread> threads;
  for (int client = 0; client < kClients; ++client) {
    threads.emplace_back([&, client] {
      rubo::testing::HttpTestClient http(port, "127.0.0.1");
      for (int round = 0; round < kRounds; ++round) {
        const int value = client * 100 + round;
        const auto posted = http.Post(path, R"({"currentValue": )" + std::to_string(value) + "}");
        const auto read = http.Get(path);
        if (posted.status != 200 || read.status != 200) {
          ++unexpected;
        }
      }
    });
  }
  threads.emplace_back([&] {
    for (int round = 0; round < kRounds; ++round) {
      if (!element->HasField("restrictionReason")) {
        element->AddField<ogm::String>("restrictionReason");
      }
      element->SetFieldValue<ogm::String>("restrictionReason", round % 2 == 0 ? "calculating" : "error", false);
    }
  });
  threads.emplace_back([&] {
    for (int round = 0; round < kRounds; ++round) {
      app_->SetCommunicationsManager(round % 2 == 0 ? std::shared_ptr<FakeCommMngr>(otherFake) : fake_);
    }
  });
  for (auto& thread : threads) {
    thread.join();
  }
  EXPECT_EQ(unexpected.load(), 0);
  // Every POST was written to one of the two mediators, and the element shows one of them.
  EXPECT_EQ(fake_->Calls().size() + otherFake->Calls().size(), 1u + kClients * kRounds);
  const auto final = GetJson(path);
  EXPECT_TRUE(final.contains("currentValue"));
  EXPECT_TRUE(final.contains("restrictionReason"));
}

}  // namespace
}  // namespace orik::ruboServer::test
