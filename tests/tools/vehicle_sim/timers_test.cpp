#include "tools/vehicle_sim/timers.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <vector>

namespace {

using namespace std::chrono_literals;
using orik::vehicleSim::ThreadTimers;

TEST(ThreadTimers, TasksDueAtOnceRunInTheOrderGivenAndClearDropsTheRest) {
  ThreadTimers timers;
  std::mutex mutex;
  std::condition_variable done;
  std::vector<int> order;
  const auto record = [&](int n) {
    return [&, n] {
      std::lock_guard lock(mutex);
      order.push_back(n);
      done.notify_all();
    };
  };
  timers.After(1h, record(99));  // never due within the test
  for (int n = 0; n < 5; ++n) {
    timers.After(0ms, record(n));
  }
  {
    std::unique_lock lock(mutex);
    ASSERT_TRUE(done.wait_for(lock, 30s, [&] { return order.size() == 5; }));
  }
  timers.Clear();
  EXPECT_EQ(order, (std::vector<int>{0, 1, 2, 3, 4}));
}

TEST(ThreadTimers, ATaskThatThrowsDoesNotStopTheOthers) {
  ThreadTimers timers;
  std::mutex mutex;
  std::condition_variable done;
  bool ran = false;
  timers.After(0ms, [] { throw std::runtime_error("boom"); });
  timers.After(0ms, [&] {
    std::lock_guard lock(mutex);
    ran = true;
    done.notify_all();
  });
  std::unique_lock lock(mutex);
  EXPECT_TRUE(done.wait_for(lock, 30s, [&] { return ran; }));
}

}  // namespace
