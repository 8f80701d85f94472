#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <thread>

#include "someip_client/sync/interruptable_timer.h"

namespace {

using orik::someipSync::InterruptableTimer;
using namespace std::chrono_literals;

constexpr auto kBound = 30s;

TEST(InterruptableTimer, ZeroWaitWithoutStopPassesWhole) {
  InterruptableTimer timer;
  EXPECT_TRUE(timer.WaitFor(0s));
  EXPECT_TRUE(timer.WaitFor(0s));
}

TEST(InterruptableTimer, WaitAfterStopReturnsFalseEveryTime) {
  InterruptableTimer timer;
  timer.StopWaiting();
  // An hour-long wait must return at once: the test would hit its timeout otherwise.
  for (int i = 0; i < 3; ++i) {
    EXPECT_FALSE(timer.WaitFor(std::chrono::hours(1)));
  }
  EXPECT_FALSE(timer.WaitFor(0s));
}

TEST(InterruptableTimer, StopEndsRunningWaitsOfEveryWaiter) {
  InterruptableTimer timer;
  auto first = std::async(std::launch::async, [&] { return timer.WaitFor(std::chrono::hours(1)); });
  auto second = std::async(std::launch::async, [&] { return timer.WaitFor(std::chrono::hours(1)); });
  // The stop may come before or after the waits began; either way both must end with false.
  timer.StopWaiting();
  ASSERT_EQ(first.wait_for(kBound), std::future_status::ready);
  ASSERT_EQ(second.wait_for(kBound), std::future_status::ready);
  EXPECT_FALSE(first.get());
  EXPECT_FALSE(second.get());
}

}  // namespace
