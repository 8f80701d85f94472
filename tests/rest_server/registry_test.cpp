#include <gmock/gmock.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "tests/rest_server/rest_server_fixture.h"

namespace orik::ruboServer::test {
namespace {

using ::testing::ElementsAre;
using Strings = std::vector<std::string>;

// A registry that records every call's start and end and can hold calls at a gate. The gate
// opens by itself after kWait, so a failing test never hangs.
class SlowRegistry : public std::enable_shared_from_this<SlowRegistry> {
 public:
  ORIKRuboServer::RegistryCall Call() {
    return [self = shared_from_this()](rubo::ServerService& service, const rubo::UriList* uris) {
      self->Run(service, uris);
    };
  }

  void Close() {
    std::lock_guard lock(mutex_);
    open_ = false;
  }
  void Open() {
    {
      std::lock_guard lock(mutex_);
      open_ = true;
    }
    changed_.notify_all();
  }
  void FailFor(std::string serviceUri) {
    std::lock_guard lock(mutex_);
    failFor_ = std::move(serviceUri);
  }
  void Note(const std::string& event) {
    {
      std::lock_guard lock(mutex_);
      events_.push_back(event);
    }
    changed_.notify_all();
  }
  Strings Events() const {
    std::lock_guard lock(mutex_);
    return events_;
  }
  bool WaitForEvents(std::size_t count) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, kWait, [&] { return events_.size() >= count; });
  }
  bool WaitForEvent(const std::string& event) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, kWait,
                             [&] { return std::find(events_.begin(), events_.end(), event) != events_.end(); });
  }

 private:
  void Run(rubo::ServerService& service, const rubo::UriList* uris) {
    const std::string name = service.GetUri().ToString(false);
    std::string call = (uris != nullptr ? "Register(" : "Deregister(") + name;
    if (uris != nullptr) {
      for (const auto& uri : *uris) {
        call += "," + uri.ToString(false);
      }
    }
    call += ")";
    Note("+" + call);
    std::unique_lock lock(mutex_);
    changed_.wait_for(lock, kWait, [&] { return open_; });
    events_.push_back("-" + call);
    const bool fail = name == failFor_;
    lock.unlock();
    changed_.notify_all();
    if (fail) {
      throw std::runtime_error("registry down");
    }
  }

  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  bool open_ = true;
  std::string failFor_;
  Strings events_;
};

constexpr const char* kRegisterCmc = "Register(/ChargingManagementCore,http://[::1]/)";
constexpr const char* kRegisterFr = "Register(/FactoryReset,http://[::1]/)";
constexpr const char* kDeregisterCmc = "Deregister(/ChargingManagementCore)";
constexpr const char* kDeregisterFr = "Deregister(/FactoryReset)";

class RegistryTest : public RestServerTest {
 protected:
  void MakeWithRegistry() {
    ORIKRuboServer::Seams seams;
    seams.registry = registry_->Call();
    Make(std::move(seams));
  }
  // The events of one service, in order.
  Strings EventsOf(const std::string& service) const {
    Strings events;
    for (const auto& event : registry_->Events()) {
      if (event.find("(" + service) != std::string::npos) {
        events.push_back(event);
      }
    }
    return events;
  }

  std::shared_ptr<SlowRegistry> registry_ = std::make_shared<SlowRegistry>();
};

TEST_F(RegistryTest, FrameworkRegistryGetsTheLoopbackUriAndNothingOnDeregistration) {
  Make();
  const auto logged = [this](const std::string& text) {
    return log_->WaitFor([&](const ara::log::Record& r) { return r.contextId == "RUBO" && r.text == text; }, kWait);
  };
  app_->Update_Registry(true);
  EXPECT_TRUE(logged("[Rubo] Registry: service /ChargingManagementCore registered at [http://[::1]/]"));
  EXPECT_TRUE(logged("[Rubo] Registry: service /FactoryReset registered at [http://[::1]/]"));
  EXPECT_EQ(ServerLines(*log_), Strings{"[Rubo] Will Register services"});
  EXPECT_EQ(root_->GetFactoryReset()->GetRegisteredUris().size(), 1u);

  app_->Update_Registry(false);
  EXPECT_TRUE(logged("[Rubo] Registry: service /ChargingManagementCore deregistered"));
  EXPECT_TRUE(logged("[Rubo] Registry: service /FactoryReset deregistered"));
  EXPECT_EQ(ServerLines(*log_), (Strings{"[Rubo] Will Register services", "[Rubo] Will Unregister services"}));
}

TEST_F(RegistryTest, ChangeWhileATaskRunsWaitsForIt) {
  MakeWithRegistry();
  registry_->Close();
  app_->Update_Registry(true);  // both registrations start and are held
  ASSERT_TRUE(registry_->WaitForEvents(2));
  std::thread later([this] { app_->Update_Registry(false); });
  // Nothing of the deregistration may reach the registry while the registrations run; the
  // order checks below would catch it, the gate only makes it likely to be tried.
  registry_->Open();
  later.join();
  ASSERT_TRUE(registry_->WaitForEvents(8));
  EXPECT_THAT(EventsOf("/ChargingManagementCore"),
              ElementsAre(std::string("+") + kRegisterCmc, std::string("-") + kRegisterCmc,
                          std::string("+") + kDeregisterCmc, std::string("-") + kDeregisterCmc));
  EXPECT_THAT(EventsOf("/FactoryReset"),
              ElementsAre(std::string("+") + kRegisterFr, std::string("-") + kRegisterFr,
                          std::string("+") + kDeregisterFr, std::string("-") + kDeregisterFr));
  EXPECT_EQ(ServerLines(*log_), (Strings{"[Rubo] Will Register services", "[Rubo] Will Unregister services"}));
}

TEST_F(RegistryTest, SameFlagTwiceStartsTwoMoreTasks) {
  MakeWithRegistry();
  app_->Update_Registry(true);
  app_->Update_Registry(true);
  ASSERT_TRUE(registry_->WaitForEvents(8));
  EXPECT_EQ(EventsOf("/ChargingManagementCore").size(), 4u);
  EXPECT_EQ(EventsOf("/FactoryReset").size(), 4u);
}

TEST_F(RegistryTest, DestructionWaitsForARunningTask) {
  MakeWithRegistry();
  registry_->Close();
  app_->Update_Registry(true);
  ASSERT_TRUE(registry_->WaitForEvents(2));
  std::thread destroy([this, app = std::move(app_)]() mutable {
    app.reset();
    registry_->Note("destroyed");
  });
  const bool destroyedEarly = registry_->Events().back() == "destroyed";
  registry_->Open();
  destroy.join();
  EXPECT_FALSE(destroyedEarly);
  const auto events = registry_->Events();
  ASSERT_EQ(events.size(), 5u);
  EXPECT_EQ(events.back(), "destroyed");
}

TEST_F(RegistryTest, FailingTaskIsLoggedWithTheRuboTag) {
  MakeWithRegistry();
  registry_->FailFor("/FactoryReset");
  app_->Update_Registry(true);
  EXPECT_TRUE(log_->WaitFor(
      [](const ara::log::Record& r) {
        return r.contextId == "ORIK" && r.level == ara::log::LogLevel::kInfo &&
               r.text == "[Rubo] Registry task of FactoryReset failed: registry down";
      },
      kWait));
  ASSERT_TRUE(registry_->WaitForEvents(4));
}

TEST_F(RegistryTest, WithoutRootNothingIsStarted) {
  ORIKRuboServer::Seams seams;
  seams.registry = registry_->Call();
  seams.makeRoot = [](const std::string&, const std::string&) -> std::shared_ptr<rubo::server::RuboServer> {
    throw std::runtime_error("no root");
  };
  Make(std::move(seams));
  app_->Update_Registry(true);
  app_->Update_Registry(false);
  EXPECT_TRUE(ServerLines(*log_).empty());
  EXPECT_TRUE(registry_->Events().empty());
}

TEST_F(RegistryTest, ConcurrentChangesReachTheRegistryOneAtATimePerService) {
  MakeWithRegistry();
  constexpr int kRounds = 10;
  std::thread up([this] {
    for (int i = 0; i < kRounds; ++i) {
      app_->Update_Registry(true);
    }
  });
  std::thread down([this] {
    for (int i = 0; i < kRounds; ++i) {
      app_->Update_Registry(false);
    }
  });
  up.join();
  down.join();
  ASSERT_TRUE(registry_->WaitForEvents(8 * kRounds));
  for (const char* service : {"/ChargingManagementCore", "/FactoryReset"}) {
    const auto events = EventsOf(service);
    ASSERT_EQ(events.size(), 4u * kRounds);
    for (std::size_t i = 0; i < events.size(); i += 2) {
      EXPECT_EQ(events[i][0], '+') << service << " #" << i;
      EXPECT_EQ(events[i + 1], "-" + events[i].substr(1)) << service << " #" << i;
    }
  }
}

}  // namespace
}  // namespace orik::ruboServer::test
