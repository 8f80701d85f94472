#include <gmock/gmock.h>

#include <atomic>
#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
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

// The application destroyed while clients' writes are in flight, without StopServer first (the
// test keeps the root object alive, as a request thread could): the framework's server stops
// before a member its hooks use goes. Bounded in rounds; run under ASan and TSan.
TEST_F(ConcurrencyTest, DestroyedWhileRequestsAreInFlight) {
  Start();
  const std::string path = PathOf("/ChargingManagementCore/valueControls", "immediateChargingOptionsTargetSoc");
  ASSERT_FALSE(path.empty());
  const auto port = root_->GetPort();
  std::mutex mutex;
  std::condition_variable changed;
  bool inFlight = false;
  bool destroying = false;
  fake_->SetBeforeWrite([&](const std::string&) {
    std::unique_lock lock(mutex);
    inFlight = true;
    changed.notify_all();
    changed.wait_for(lock, kWait, [&] { return destroying; });
  });
  constexpr int kClients = 3;
  constexpr int kRounds = 200;
  std::atomic<int> answered{0};
  std::vector<std::thread> clients;
  for (int client = 0; client < kClients; ++client) {
    clients.emplace_back([&, client] {
      try {
        rubo::testing::HttpTestClient http(port, "127.0.0.1");
        for (int round = 0; round < kRounds; ++round) {
          const auto posted =
              http.Post(path, R"({"currentValue": )" + std::to_string(50 + (client + round) % 11 * 5) + "}");
          if (posted.status != 200) {
            break;
          }
          ++answered;
        }
      } catch (const std::exception&) {
        // The server closed the connection while stopping.
      }
    });
  }
  {
    std::unique_lock lock(mutex);
    EXPECT_TRUE(changed.wait_for(lock, kWait, [&] { return inFlight; }));
    destroying = true;
  }
  changed.notify_all();
  app_.reset();
  EXPECT_FALSE(root_->IsServing());
  for (auto& thread : clients) {
    thread.join();
  }
  EXPECT_LT(answered.load(), kClients * kRounds);
}

}  // namespace
}  // namespace orik::ruboServer::test
