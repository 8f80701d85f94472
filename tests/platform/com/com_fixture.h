#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "ara/com/find_service.h"
#include "ara/com/provider.h"
#include "ara/com/runtime.h"
#include "ara/log/capture_sink.h"
#include "ara/log/logging.h"
#include "test_service.h"

namespace comtest {

inline constexpr std::chrono::seconds kTimeout{20};
inline constexpr std::uint16_t kAlphaEvent = 0x8001;
inline constexpr std::uint16_t kBetaEvent = 0x8002;
inline constexpr std::uint16_t kAlphaGet = 0x0011;
inline constexpr std::uint16_t kAlphaSet = 0x0012;
inline constexpr std::uint16_t kBetaGet = 0x0013;

// A condition to wait on: a value guarded by a mutex, with bounded waits.
template <typename T>
class Watched {
 public:
  // Notifies under the lock: a waiter that returns may end the object's life at once.
  void Change(const std::function<void(T&)>& change) {
    std::lock_guard lock(mutex_);
    change(value_);
    changed_.notify_all();
  }
  bool WaitFor(const std::function<bool(const T&)>& predicate, std::chrono::milliseconds timeout = kTimeout) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return predicate(value_); });
  }
  T Get() const {
    std::lock_guard lock(mutex_);
    return value_;
  }

 private:
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  T value_{};
};

// A gate a handler can block on until the test opens it.
class Gate {
 public:
  void Open() {
    open_.Change([](bool& v) { v = true; });
  }
  bool Wait() {
    return open_.WaitFor([](bool v) { return v; });
  }

 private:
  Watched<bool> open_;
};

class ComFixture : public ::testing::Test {
 protected:
  virtual std::size_t Threads() const { return 4; }

  void SetUp() override {
    ara::log::SetConsoleEnabled(false);
    ara::com::RuntimeOptions options;
    options.threads = Threads();
    runtime = std::make_unique<ara::com::RuntimeComponent>(options);
    provider = std::make_unique<ara::com::ServiceProvider>(TestService::DefaultDeployment(), 1);
    provider->SetMethodHandler(kBetaGet, [](const auto&, auto responder) { responder.Reply(0); });
  }

  void TearDown() override {
    proxy.reset();
    provider.reset();
    runtime.reset();
    ara::log::SetConsoleEnabled(true);
  }

  // Offers the instance and builds a proxy from the first handle found.
  std::unique_ptr<TestProxy> Connect() {
    provider->Offer();
    Watched<std::vector<TestProxy::HandleType>> found;
    auto search = TestProxy::StartFindService(
        [&](std::vector<TestProxy::HandleType> handles) { found.Change([&](auto& v) { v = std::move(handles); }); },
        ara::com::InstanceIdentifier("*"));
    EXPECT_TRUE(found.WaitFor([](const auto& v) { return !v.empty(); }));
    search.Stop();
    auto handles = found.Get();
    return std::make_unique<TestProxy>(handles.at(0));
  }

  // Every notification the provider sent before the call has been taken in by the proxy side
  // when it returns: the answer travels behind them on the same way.
  static void Sync(TestProxy& p) { ASSERT_EQ(p.beta.Get().wait_for(kTimeout), std::future_status::ready); }

  void NotifyAlpha(const Value& value) { provider->Notify(kAlphaEvent, NumberCodec::Encode(value)); }

  // Subscribes alpha and waits until the provider has seen it.
  void SubscribeAlpha(TestProxy& p, std::size_t cacheSize,
                      ara::com::EventCacheUpdatePolicy policy = ara::com::EventCacheUpdatePolicy::kNewestN) {
    p.alpha.Subscribe(policy, cacheSize);
    ASSERT_TRUE(provider->WaitFor([](const auto& r) { return r.subscribers.contains(1); }, kTimeout));
  }

  ara::log::ScopedCapture capture;
  std::unique_ptr<ara::com::RuntimeComponent> runtime;
  std::unique_ptr<ara::com::ServiceProvider> provider;
  std::unique_ptr<TestProxy> proxy;
};

}  // namespace comtest
