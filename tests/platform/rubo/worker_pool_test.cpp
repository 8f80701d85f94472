#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "rubo/detail/worker_pool.h"

namespace {

using namespace std::chrono_literals;
using rubo::detail::SerialByKey;
using rubo::detail::WorkerPool;

constexpr auto kWait = 20s;

// Waits (bounded) until the predicate holds, looking again whenever the monitor is notified.
class Monitor {
 public:
  template <typename F>
  void Change(F f) {
    std::lock_guard lock(mutex_);
    f();
    changed_.notify_all();
  }
  template <typename P>
  bool WaitFor(P predicate, std::chrono::milliseconds timeout = kWait) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, predicate);
  }
  std::mutex& Mutex() { return mutex_; }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
};

TEST(WorkerPoolTest, NeverMoreThreadsThanTheMaximumAndEveryTaskRuns) {
  WorkerPool pool(3, 10s);
  Monitor monitor;
  int running = 0;
  int mostRunning = 0;
  int done = 0;
  bool open = false;
  for (int i = 0; i < 12; ++i) {
    ASSERT_TRUE(pool.Submit([&] {
      monitor.Change([&] {
        ++running;
        mostRunning = std::max(mostRunning, running);
      });
      monitor.WaitFor([&] { return open; });
      monitor.Change([&] {
        --running;
        ++done;
      });
    }));
  }
  ASSERT_TRUE(monitor.WaitFor([&] { return running == 3; }));
  EXPECT_EQ(pool.ThreadCount(), 3u);
  monitor.Change([&] { open = true; });
  ASSERT_TRUE(monitor.WaitFor([&] { return done == 12; }));
  std::lock_guard lock(monitor.Mutex());
  EXPECT_EQ(mostRunning, 3);
}

TEST(WorkerPoolTest, ThreadsEndWhenIdleAndStartAgainForNewWork) {
  WorkerPool pool(4, 20ms);
  std::atomic<int> done{0};
  for (int i = 0; i < 8; ++i) {
    pool.Submit([&] { ++done; });
  }
  const auto deadline = std::chrono::steady_clock::now() + kWait;
  // Polled: the pool has no notification for a thread that ends.
  while ((done < 8 || pool.ThreadCount() != 0) && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::yield();
  }
  EXPECT_EQ(done, 8);
  EXPECT_EQ(pool.ThreadCount(), 0u);
  Monitor monitor;
  bool ran = false;
  ASSERT_TRUE(pool.Submit([&] { monitor.Change([&] { ran = true; }); }));
  EXPECT_TRUE(monitor.WaitFor([&] { return ran; }));
}

TEST(WorkerPoolTest, StopRunsWhatIsQueuedThenRefuses) {
  WorkerPool pool(1, 10s);
  std::atomic<int> done{0};
  for (int i = 0; i < 5; ++i) {
    pool.Submit([&] { ++done; });
  }
  pool.Stop();
  EXPECT_EQ(done, 5);
  EXPECT_FALSE(pool.Submit([&] { ++done; }));
  EXPECT_EQ(pool.ThreadCount(), 0u);
}

TEST(WorkerPoolTest, ATaskThatThrowsLeavesThePoolWorking) {
  WorkerPool pool(1, 10s);
  Monitor monitor;
  bool ran = false;
  pool.Submit([] { throw std::runtime_error("task failed"); });
  pool.Submit([] { throw 42; });
  pool.Submit([&] { monitor.Change([&] { ran = true; }); });
  EXPECT_TRUE(monitor.WaitFor([&] { return ran; }));
}

TEST(SerialByKeyTest, OneKeyInOrderOnOneThreadOtherKeysAlongside) {
  WorkerPool pool(4, 10s);
  SerialByKey serial(pool);
  Monitor monitor;
  std::vector<int> order;
  int runningA = 0;
  int mostRunningA = 0;
  bool bRan = false;
  bool open = false;
  const int keyA = 0;
  const int keyB = 0;
  for (int i = 0; i < 6; ++i) {
    ASSERT_EQ(serial.Run(&keyA,
                         [&, i] {
                           monitor.Change([&] {
                             ++runningA;
                             mostRunningA = std::max(mostRunningA, runningA);
                             order.push_back(i);
                           });
                           // The first task of A holds until B has run beside it.
                           monitor.WaitFor([&] { return open; });
                           monitor.Change([&] { --runningA; });
                         }),
              SerialByKey::Outcome::kQueued);
  }
  ASSERT_TRUE(monitor.WaitFor([&] { return runningA == 1; }));
  ASSERT_EQ(serial.Run(&keyB, [&] { monitor.Change([&] { bRan = true; }); }), SerialByKey::Outcome::kQueued);
  EXPECT_TRUE(monitor.WaitFor([&] { return bRan; }));
  monitor.Change([&] { open = true; });
  ASSERT_TRUE(monitor.WaitFor([&] { return order.size() == 6 && runningA == 0; }));
  pool.Stop();  // the chain may still be leaving; the pool ends before the serialiser
  std::lock_guard lock(monitor.Mutex());
  EXPECT_EQ(order, (std::vector<int>{0, 1, 2, 3, 4, 5}));
  EXPECT_EQ(mostRunningA, 1);
}

TEST(SerialByKeyTest, RefusedOnceThePoolStops) {
  WorkerPool pool(1, 10s);
  SerialByKey serial(pool);
  pool.Stop();
  const int key = 0;
  EXPECT_EQ(serial.Run(&key, [] {}), SerialByKey::Outcome::kStopped);
  // The key is not left busy: the next attempt is refused the same way, not queued.
  EXPECT_EQ(serial.Run(&key, [] {}), SerialByKey::Outcome::kStopped);
}

// Behind a running task at most the given number wait; one taken back frees its place and never
// runs, and the first (already with the pool) cannot be taken back.
TEST(SerialByKeyTest, WaitingTasksAreBoundedAndCanBeTakenBack) {
  WorkerPool pool(2, 10s);
  SerialByKey serial(pool);
  Monitor monitor;
  std::vector<int> ran;
  bool open = false;
  const int key = 0;
  const auto task = [&](int i) {
    return [&, i] {
      monitor.Change([&] { ran.push_back(i); });
      monitor.WaitFor([&] { return open; });
    };
  };
  SerialByKey::Ticket tickets[4] = {};
  ASSERT_EQ(serial.Run(&key, task(0), 2, &tickets[0]), SerialByKey::Outcome::kQueued);
  ASSERT_TRUE(monitor.WaitFor([&] { return ran.size() == 1; }));
  EXPECT_EQ(serial.Run(&key, task(1), 2, &tickets[1]), SerialByKey::Outcome::kQueued);
  EXPECT_EQ(serial.Run(&key, task(2), 2, &tickets[2]), SerialByKey::Outcome::kQueued);
  EXPECT_EQ(serial.Run(&key, task(3), 2, &tickets[3]), SerialByKey::Outcome::kFull);
  EXPECT_FALSE(serial.Cancel(&key, tickets[0]));
  EXPECT_TRUE(serial.Cancel(&key, tickets[1]));
  EXPECT_FALSE(serial.Cancel(&key, tickets[1]));
  EXPECT_EQ(serial.Run(&key, task(4), 2), SerialByKey::Outcome::kQueued);
  monitor.Change([&] { open = true; });
  ASSERT_TRUE(monitor.WaitFor([&] { return ran.size() == 3; }));
  pool.Stop();
  std::lock_guard lock(monitor.Mutex());
  EXPECT_EQ(ran, (std::vector<int>{0, 2, 4}));
}

}  // namespace
