#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "ara/log/capture_sink.h"
#include "someip_client/sync/someip_sync.h"

namespace {

using orik::someipSync::SomeipSync;
using orik::someipSync::WaitTimerInterface;
using namespace std::chrono_literals;
using ara::log::LogLevel;

constexpr auto kBound = 30s;

// Shared log of what the poll thread did, in order.
class Journal {
 public:
  void Add(std::string entry) {
    std::lock_guard lock(mutex_);
    entries_.push_back(std::move(entry));
    changed_.notify_all();
  }
  std::vector<std::string> Entries() const {
    std::lock_guard lock(mutex_);
    return entries_;
  }
  bool WaitForSize(std::size_t n) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, kBound, [&] { return entries_.size() >= n; });
  }

 private:
  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  std::vector<std::string> entries_;
};

// Each wait blocks until the test releases it with a result or the timer is stopped.
class ScriptedTimer : public WaitTimerInterface {
 public:
  explicit ScriptedTimer(Journal& journal) : journal_(journal) {}

  bool WaitFor(const std::chrono::seconds& duration) override {
    std::unique_lock lock(mutex_);
    journal_.Add("wait " + std::to_string(duration.count()));
    changed_.wait(lock, [&] { return stop_ || !results_.empty(); });
    if (!results_.empty()) {
      const bool result = results_.front();
      results_.pop_front();
      return result;
    }
    return false;
  }
  void StopWaiting() override {
    std::lock_guard lock(mutex_);
    stop_ = true;
    changed_.notify_all();
  }
  void Release(bool result) {
    std::lock_guard lock(mutex_);
    results_.push_back(result);
    changed_.notify_all();
  }

 private:
  Journal& journal_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<bool> results_;
  bool stop_ = false;
};

class FakeClient : public orik::getFutures::Abstract_GetFutures {
 public:
  FakeClient(Journal& journal, std::string name, std::function<void()> action = {})
      : journal_(journal), name_(std::move(name)), action_(std::move(action)) {}
  void FetchData() override {
    journal_.Add("fetch " + name_);
    if (action_) {
      action_();
    }
  }

 private:
  Journal& journal_;
  std::string name_;
  std::function<void()> action_;
};

using Entries = std::vector<std::string>;

struct SyncFixture : ::testing::Test {
  ara::log::ScopedCapture capture;
  Journal journal;
  std::shared_ptr<ScriptedTimer> timer = std::make_shared<ScriptedTimer>(journal);

  bool Logged(const std::string& text) const { return capture->Contains("DSNC", LogLevel::kInfo, text); }
};

TEST_F(SyncFixture, PollsClientsInOrderWithRequestedDurationsUntilStopped) {
  {
    SomeipSync sync(5s, 120s, timer);
    sync.AddClient(std::make_shared<FakeClient>(journal, "cmc"));
    sync.AddClient(std::make_shared<FakeClient>(journal, "rbec"));
    sync.StartSync();
    ASSERT_TRUE(journal.WaitForSize(1));
    timer->Release(true);
    ASSERT_TRUE(journal.WaitForSize(4));
    timer->Release(true);
    ASSERT_TRUE(journal.WaitForSize(7));
  }  // destruction stops the third wait
  EXPECT_EQ(journal.Entries(),
            (Entries{"wait 5", "fetch cmc", "fetch rbec", "wait 120", "fetch cmc", "fetch rbec", "wait 120"}));
  EXPECT_TRUE(Logged("SomeipSync initial wait before sync ended successfully: true"));
  EXPECT_TRUE(Logged("SomeipSync waited whole duration: true"));
  EXPECT_TRUE(Logged("SomeipSync waited whole duration: false"));
  EXPECT_EQ(capture->Count([](const auto& r) {
    return r.text == "[DataSync] Secondary thread about to do get requests to someip...";
  }),
            2u);
  EXPECT_TRUE(Logged("[DataSync][DESTRUCTOR] Sync component ended normally."));
}

TEST_F(SyncFixture, StopDuringInitialWaitStillRunsExactlyOnePoll) {
  {
    SomeipSync sync(5s, 120s, timer);
    sync.AddClient(std::make_shared<FakeClient>(journal, "cmc"));
    sync.StartSync();
    ASSERT_TRUE(journal.WaitForSize(1));
  }
  EXPECT_EQ(journal.Entries(), (Entries{"wait 5", "fetch cmc", "wait 120"}));
  EXPECT_TRUE(Logged("SomeipSync initial wait before sync ended successfully: false"));
  EXPECT_TRUE(Logged("SomeipSync waited whole duration: false"));
  EXPECT_TRUE(Logged("[DataSync][DESTRUCTOR] Sync component ended normally."));
}

TEST_F(SyncFixture, StopDuringPollLetsThePassFinishAndEndsWithoutAnotherPoll) {
  std::mutex gateMutex;
  std::condition_variable gateChanged;
  bool open = false;
  auto sync = std::make_unique<SomeipSync>(5s, 120s, timer);
  sync->AddClient(std::make_shared<FakeClient>(journal, "cmc", [&] {
    std::unique_lock lock(gateMutex);
    gateChanged.wait(lock, [&] { return open; });
  }));
  sync->AddClient(std::make_shared<FakeClient>(journal, "rbec"));
  sync->StartSync();
  ASSERT_TRUE(journal.WaitForSize(1));
  timer->Release(true);
  ASSERT_TRUE(journal.WaitForSize(2));  // inside the first client's poll
  std::thread destroyer([&] { sync.reset(); });
  // The stop request reaches the timer before the destructor joins; the gate opens either way.
  {
    std::lock_guard lock(gateMutex);
    open = true;
  }
  gateChanged.notify_all();
  destroyer.join();
  EXPECT_EQ(journal.Entries(), (Entries{"wait 5", "fetch cmc", "fetch rbec", "wait 120"}));
  EXPECT_TRUE(Logged("SomeipSync waited whole duration: false"));
}

TEST_F(SyncFixture, DestructionBeforeStartLogsThatNoThreadWasJoined) {
  { SomeipSync sync(5s, 120s, timer); }
  EXPECT_TRUE(journal.Entries().empty());
  EXPECT_TRUE(Logged("[DataSync][DESTRUCTOR] Sync thread not joined."));
  EXPECT_FALSE(Logged("[DataSync][DESTRUCTOR] Sync component ended normally."));
}

TEST_F(SyncFixture, FailingClientIsLoggedAndTheOthersAreStillPolled) {
  {
    SomeipSync sync(5s, 120s, timer);
    sync.AddClient(std::make_shared<FakeClient>(journal, "std", [] { throw std::runtime_error("boom"); }));
    sync.AddClient(std::make_shared<FakeClient>(journal, "other", [] { throw 42; }));
    sync.AddClient(std::make_shared<FakeClient>(journal, "last"));
    sync.StartSync();
    ASSERT_TRUE(journal.WaitForSize(1));
    timer->Release(true);
    ASSERT_TRUE(journal.WaitForSize(5));
    timer->Release(true);
    ASSERT_TRUE(journal.WaitForSize(9));  // the thread lived on into a second pass
  }
  EXPECT_EQ(journal.Entries(), (Entries{"wait 5", "fetch std", "fetch other", "fetch last", "wait 120", "fetch std",
                                        "fetch other", "fetch last", "wait 120"}));
  EXPECT_TRUE(Logged("[DataSync] Poll of a client failed: boom"));
  EXPECT_TRUE(Logged("[DataSync] Poll of a client failed: Unknown"));
}

TEST_F(SyncFixture, SecondStartIsIgnored) {
  {
    SomeipSync sync(5s, 120s, timer);
    sync.AddClient(std::make_shared<FakeClient>(journal, "cmc"));
    sync.StartSync();
    sync.StartSync();
    ASSERT_TRUE(journal.WaitForSize(1));
  }
  EXPECT_TRUE(Logged("[DataSync] Sync thread already started; StartSync ignored."));
  EXPECT_EQ(journal.Entries(), (Entries{"wait 5", "fetch cmc", "wait 120"}));
}

TEST(SomeipSyncOwnTimer, ZeroInitialWaitPollsAndDestructionEndsTheLongPeriodAtOnce) {
  ara::log::ScopedCapture capture;
  Journal journal;
  {
    SomeipSync sync(0s, std::chrono::hours(24));
    sync.AddClient(std::make_shared<FakeClient>(journal, "cmc"));
    sync.StartSync();
    ASSERT_TRUE(journal.WaitForSize(1));
  }
  EXPECT_EQ(journal.Entries(), (Entries{"fetch cmc"}));
  EXPECT_TRUE(
      capture->Contains("DSNC", LogLevel::kInfo, "SomeipSync initial wait before sync ended successfully: true"));
  EXPECT_TRUE(capture->Contains("DSNC", LogLevel::kInfo, "SomeipSync waited whole duration: false"));
}

}  // namespace
