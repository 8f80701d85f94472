#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "com_fixture.h"

namespace comtest {
namespace {

using ara::com::EventCacheUpdatePolicy;
using ara::log::LogLevel;

// What a future ended in: the value, or the text of its exception.
template <typename T>
std::string Outcome(ara::com::Future<T>& future) {
  if (future.wait_for(kTimeout) != std::future_status::ready) {
    return "not ready";
  }
  try {
    const auto value = future.get();
    std::string text = "value";
    for (auto v : value) {
      text += " " + std::to_string(v);
    }
    return text;
  } catch (const std::exception& e) {
    return e.what();
  }
}

std::vector<std::uint32_t> Flatten(const std::vector<ara::com::SamplePtr<Value>>& samples) {
  std::vector<std::uint32_t> all;
  for (const auto& s : samples) {
    all.insert(all.end(), s->begin(), s->end());
  }
  return all;
}

class FieldTest : public ComFixture {
 protected:
  void SetUp() override {
    ComFixture::SetUp();
    proxy = Connect();
  }
};

TEST_F(FieldTest, ReplyReturnCodesDecideTheFutureOutcome) {
  struct Case {
    std::uint8_t returnCode;
    std::vector<std::uint8_t> payload;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {0, {0, 0, 0, 5, 0, 0, 0, 6}, "value 5 6"},
      {0, {}, "value"},
      {255, {}, "Service not available exception"},
      {1, {}, "Transport exception"},
      {7, {0, 0, 0, 5}, "Transport exception"},
      {0x42, {}, "application error"},        // the method's hook names its own error
      {0, {1, 2, 3}, "Transport exception"},  // undecodable reply
  };
  for (const auto& c : cases) {
    provider->SetMethodHandler(kAlphaGet,
                               [&](const auto&, auto responder) { responder.Reply(c.returnCode, c.payload); });
    auto future = proxy->alpha.Get();
    EXPECT_EQ(Outcome(future), c.expected) << "return code " << int{c.returnCode};
  }
  EXPECT_TRUE(capture->Contains("ACOM", LogLevel::kError,
                                "Method_call_deserializer_exception: Read beyond the end of the data buffer"));
}

TEST_F(FieldTest, CallsOnAnInstanceNotOfferedThrowAtOnceAndSendNothing) {
  const auto before = provider->Requests().size();
  Watched<bool> gone;
  auto search = TestProxy::StartFindService(
      [&](auto handles) {
        if (handles.empty()) {
          gone.Change([](bool& g) { g = true; });
        }
      },
      ara::com::InstanceIdentifier("*"));
  provider->StopOffer();
  ASSERT_TRUE(gone.WaitFor([](bool g) { return g; }));
  EXPECT_THROW(proxy->alpha.Get(), ara::com::ServiceNotAvailableException);
  EXPECT_THROW(proxy->alpha.Set({1}), ara::com::ServiceNotAvailableException);
  try {
    proxy->beta.Get();
    ADD_FAILURE() << "no exception";
  } catch (const ara::com::ServiceNotAvailableException& e) {
    EXPECT_STREQ(e.what(), "Service not available exception");
  }
  EXPECT_EQ(provider->Requests().size(), before);
}

TEST_F(FieldTest, ACallPendingWhenTheInstanceGoesAwayFails) {
  std::promise<ara::com::ServiceProvider::Responder> kept;
  provider->SetMethodHandler(kAlphaGet, [&](const auto&, auto responder) { kept.set_value(responder); });
  auto future = proxy->alpha.Get();
  auto responder = kept.get_future().get();
  provider->StopOffer();
  EXPECT_EQ(Outcome(future), "Service not available exception");
  responder.Reply(0, {});  // a late answer to a finished call is dropped
}

TEST_F(FieldTest, ALateAnswerToADroppedFutureIsHarmless) {
  std::optional<ara::com::ServiceProvider::Responder> kept;
  Watched<bool> asked;
  provider->SetMethodHandler(kAlphaGet, [&](const auto&, auto responder) {
    kept = responder;
    asked.Change([](bool& a) { a = true; });
  });
  { auto dropped = proxy->alpha.Get(); }
  ASSERT_TRUE(asked.WaitFor([](bool a) { return a; }));
  kept->Reply(0, {0, 0, 0, 1});
  provider->SetMethodHandler(kAlphaGet, [](const auto&, auto responder) { responder.Reply(0, {0, 0, 0, 2}); });
  auto future = proxy->alpha.Get();
  EXPECT_EQ(Outcome(future), "value 2");
}

TEST_F(FieldTest, AnAnswerCanComeLaterFromAnotherThread) {
  std::promise<ara::com::ServiceProvider::Responder> kept;
  provider->SetMethodHandler(kAlphaGet, [&](const auto&, auto responder) { kept.set_value(responder); });
  auto future = proxy->alpha.Get();
  std::thread later([&] { kept.get_future().get().Reply(0, {0, 0, 0, 9}); });
  EXPECT_EQ(Outcome(future), "value 9");
  later.join();
}

TEST_F(FieldTest, AMalformedNotificationNeverReachesTheHandler) {
  Watched<std::vector<std::uint32_t>> seen;
  proxy->alpha.SetReceiveHandler([&] {
    proxy->alpha.Update();
    const auto values = Flatten(proxy->alpha.GetCachedSamples());
    proxy->alpha.Cleanup();
    seen.Change([&](auto& s) { s.insert(s.end(), values.begin(), values.end()); });
  });
  SubscribeAlpha(*proxy, 5);
  provider->Notify(kAlphaEvent, {1, 2, 3});
  NotifyAlpha({4});
  ASSERT_TRUE(seen.WaitFor([](const auto& s) { return !s.empty(); }));
  Sync(*proxy);
  EXPECT_EQ(seen.Get(), (std::vector<std::uint32_t>{4}));
  EXPECT_TRUE(capture->Contains("ACOM", LogLevel::kError,
                                "Event_deserialize_exception: Read beyond the end of the data buffer"));
}

TEST_F(FieldTest, ExceptionsFromAHandlerAreTracedAndTheQueueGoesOn) {
  Watched<int> runs;
  proxy->alpha.SetReceiveHandler([&] {
    proxy->alpha.Update();
    const auto samples = proxy->alpha.GetCachedSamples();
    proxy->alpha.Cleanup();
    runs.Change([](int& r) { ++r; });
    if (!samples.empty() && samples.back()->front() == 1) {
      throw std::runtime_error("relay failed");
    }
  });
  SubscribeAlpha(*proxy, 1);
  NotifyAlpha({1});
  ASSERT_TRUE(runs.WaitFor([](int r) { return r >= 1; }));
  NotifyAlpha({2});
  ASSERT_TRUE(runs.WaitFor([](int r) { return r >= 2; }));
  EXPECT_TRUE(capture->Contains("ACOM", LogLevel::kError, "Exception in receive handler of alpha: relay failed"));
}

TEST_F(FieldTest, SubscriptionsSurviveTheServiceGoingAwayAndComingBack) {
  Watched<std::vector<std::uint32_t>> seen;
  proxy->alpha.SetReceiveHandler([&] {
    proxy->alpha.Update();
    const auto values = Flatten(proxy->alpha.GetCachedSamples());
    proxy->alpha.Cleanup();
    seen.Change([&](auto& s) { s.insert(s.end(), values.begin(), values.end()); });
  });
  SubscribeAlpha(*proxy, 3);
  NotifyAlpha({1});
  ASSERT_TRUE(seen.WaitFor([](const auto& s) { return s.size() == 1; }));

  provider->StopOffer();
  provider->Offer();
  ASSERT_TRUE(provider->WaitFor([](const auto& r) { return r.subscribers.contains(1); }, kTimeout));
  EXPECT_EQ(provider->SubscribeCounts().at(1), 2);  // renewed by the middleware, not by the user
  NotifyAlpha({2});
  // The renewed subscription brings the field's value again, as a new one does.
  ASSERT_TRUE(seen.WaitFor([](const auto& s) { return s.size() == 3; }));
  EXPECT_EQ(seen.Get(), (std::vector<std::uint32_t>{1, 1, 2}));
}

TEST_F(FieldTest, CacheKeepsTheNewestSamplesUpToItsSize) {
  struct Case {
    std::size_t cacheSize;
    bool cleanupBetween;
    std::vector<std::uint32_t> first;
    std::vector<std::uint32_t> second;
  };
  // 15 samples, Update, then 2 more and Update again.
  const std::vector<Case> cases = {
      {1, true, {15}, {17}},
      {1, false, {15}, {17}},
      {11, true, {5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}, {16, 17}},
      {11, false, {5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}, {7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("cache " + std::to_string(c.cacheSize) + (c.cleanupBetween ? " with" : " without") + " Cleanup");
    proxy->alpha.Subscribe(EventCacheUpdatePolicy::kNewestN, c.cacheSize);  // again: a fresh cache
    ASSERT_TRUE(provider->WaitFor([](const auto& r) { return r.subscribers.contains(1); }, kTimeout));
    for (std::uint32_t v = 1; v <= 15; ++v) {
      NotifyAlpha({v});
    }
    Sync(*proxy);
    EXPECT_TRUE(proxy->alpha.Update());
    EXPECT_EQ(Flatten(proxy->alpha.GetCachedSamples()), c.first);
    if (c.cleanupBetween) {
      proxy->alpha.Cleanup();
    }
    NotifyAlpha({16});
    NotifyAlpha({17});
    Sync(*proxy);
    proxy->alpha.Update();
    EXPECT_EQ(Flatten(proxy->alpha.GetCachedSamples()), c.second);
    EXPECT_FALSE(proxy->alpha.Update());  // nothing new
  }
}

TEST_F(FieldTest, UpdateTakesOnlyWhatTheFilterAccepts) {
  SubscribeAlpha(*proxy, 10);
  for (std::uint32_t v = 1; v <= 6; ++v) {
    NotifyAlpha({v});
  }
  Sync(*proxy);
  EXPECT_TRUE(proxy->alpha.Update([](const Value& v) { return v.front() % 2 == 0; }));
  EXPECT_EQ(Flatten(proxy->alpha.GetCachedSamples()), (std::vector<std::uint32_t>{2, 4, 6}));
}

TEST_F(FieldTest, LastNPolicyHoldsOnlyTheSamplesSinceTheLastUpdate) {
  SubscribeAlpha(*proxy, 3, EventCacheUpdatePolicy::kLastN);
  NotifyAlpha({1});
  NotifyAlpha({2});
  Sync(*proxy);
  proxy->alpha.Update();
  NotifyAlpha({3});
  Sync(*proxy);
  proxy->alpha.Update();
  EXPECT_EQ(Flatten(proxy->alpha.GetCachedSamples()), (std::vector<std::uint32_t>{3}));
}

TEST_F(FieldTest, CachedSamplesStayValidAfterCleanup) {
  SubscribeAlpha(*proxy, 1);
  NotifyAlpha({8});
  Sync(*proxy);
  proxy->alpha.Update();
  const auto samples = proxy->alpha.GetCachedSamples();
  proxy->alpha.Cleanup();
  EXPECT_TRUE(proxy->alpha.GetCachedSamples().empty());
  ASSERT_EQ(samples.size(), 1u);
  EXPECT_EQ(*samples[0], (Value{8}));
}

TEST_F(FieldTest, BadSubscriptionsAreRefused) {
  EXPECT_THROW(proxy->alpha.Subscribe(EventCacheUpdatePolicy::kNewestN, 0), std::invalid_argument);
  EXPECT_THROW(proxy->alpha.Subscribe(static_cast<EventCacheUpdatePolicy>(7), 1), std::invalid_argument);
}

TEST_F(FieldTest, ProxiesOfOneInstanceShareTheEvent) {
  auto second = Connect();
  SubscribeAlpha(*proxy, 1);
  second->alpha.Subscribe(EventCacheUpdatePolicy::kNewestN, 1);
  NotifyAlpha({3});
  Sync(*proxy);
  Sync(*second);
  proxy->alpha.Update();
  second->alpha.Update();
  const auto a = proxy->alpha.GetCachedSamples();
  const auto b = second->alpha.GetCachedSamples();
  ASSERT_EQ(a.size(), 1u);
  ASSERT_EQ(b.size(), 1u);
  EXPECT_EQ(a[0].get(), b[0].get());  // decoded once, for both
  EXPECT_EQ(provider->SubscribeCounts().at(1), 1);

  second.reset();  // the first proxy keeps its share and its subscription
  EXPECT_EQ(provider->SubscribedEventgroups(), std::vector<std::uint16_t>{1});
  NotifyAlpha({4});
  Sync(*proxy);
  proxy->alpha.Update();
  EXPECT_EQ(Flatten(proxy->alpha.GetCachedSamples()), (std::vector<std::uint32_t>{4}));
}

TEST_F(FieldTest, OneFieldsHandlerNeverOverlapsItselfWhileOthersRun) {
  Gate release;
  Watched<int> alphaRuns;
  Watched<int> betaRuns;
  std::atomic<int> inside{0};
  std::atomic<int> overlaps{0};
  TestProxy* raw = proxy.get();  // `proxy` is empty while its object is being destroyed
  raw->alpha.SetReceiveHandler([&] {
    if (++inside > 1) {
      ++overlaps;
    }
    alphaRuns.Change([](int& r) { ++r; });
    release.Wait();
    raw->alpha.Update();
    raw->alpha.Cleanup();
    --inside;
  });
  raw->beta.SetReceiveHandler([&] {
    raw->beta.Update();
    betaRuns.Change([](int& r) { ++r; });
  });
  SubscribeAlpha(*proxy, 2);
  proxy->beta.Subscribe(EventCacheUpdatePolicy::kNewestN, 1);
  ASSERT_TRUE(provider->WaitFor([](const auto& r) { return r.subscribers.contains(2); }, kTimeout));

  NotifyAlpha({1});
  ASSERT_TRUE(alphaRuns.WaitFor([](int r) { return r == 1; }));
  NotifyAlpha({2});
  NotifyAlpha({3});
  // beta runs while alpha's handler is blocked: different fields are not serialised.
  provider->Notify(kBetaEvent, NumberCodec::Encode({9}));
  ASSERT_TRUE(betaRuns.WaitFor([](int r) { return r == 1; }));
  EXPECT_EQ(alphaRuns.Get(), 1);
  release.Open();
  ASSERT_TRUE(alphaRuns.WaitFor([](int r) { return r == 2; }));
  for (std::uint32_t v = 4; v < 40; ++v) {
    NotifyAlpha({v});
  }
  Sync(*proxy);
  proxy.reset();  // waits for queued handler runs
  EXPECT_EQ(overlaps.load(), 0);
  EXPECT_EQ(inside.load(), 0);
}

TEST_F(FieldTest, DestroyingAProxyWaitsForARunningHandler) {
  Gate entered;
  Gate release;
  std::atomic<int> order{0};
  std::atomic<int> handlerDone{0};
  std::atomic<int> proxyGone{0};
  TestProxy* raw = proxy.get();  // `proxy` is empty while its object is being destroyed
  raw->alpha.SetReceiveHandler([&] {
    entered.Open();
    release.Wait();
    raw->alpha.Update();  // the field is still whole while its destructor waits
    raw->alpha.Cleanup();
    handlerDone = ++order;
  });
  SubscribeAlpha(*proxy, 1);
  NotifyAlpha({1});
  ASSERT_TRUE(entered.Wait());
  auto destroyer = std::async(std::launch::async, [&] {
    proxy.reset();
    proxyGone = ++order;
  });
  // The destructor unsubscribes first; once the provider has seen that, it is waiting.
  ASSERT_TRUE(provider->WaitFor([](const auto& r) { return !r.subscribers.contains(1); }, kTimeout));
  release.Open();
  destroyer.get();
  EXPECT_EQ(handlerDone.load(), 1);
  EXPECT_EQ(proxyGone.load(), 2);
}

TEST_F(FieldTest, AHandlerMayDestroyItsOwnProxy) {
  Watched<bool> done;
  proxy->alpha.SetReceiveHandler([&] {
    proxy.reset();
    done.Change([](bool& d) { d = true; });
  });
  SubscribeAlpha(*proxy, 1);
  NotifyAlpha({1});
  ASSERT_TRUE(done.WaitFor([](bool d) { return d; }));
  ASSERT_TRUE(provider->WaitFor([](const auto& r) { return !r.subscribers.contains(1); }, kTimeout));
}

class SingleThreadFieldTest : public FieldTest {
 protected:
  std::size_t Threads() const override { return 1; }
};

TEST_F(SingleThreadFieldTest, AHandlerWaitingForAnAnswerGetsItWithTheOnlyWorkerBusy) {
  provider->SetMethodHandler(kAlphaSet,
                             [](const auto& request, auto responder) { responder.Reply(0, request.payload); });
  Watched<std::string> outcome;
  proxy->beta.SetReceiveHandler([&] {
    proxy->beta.Update();
    auto future = proxy->alpha.Set({5});
    const auto status = future.wait_for(kTimeout);
    outcome.Change([&](std::string& o) { o = status == std::future_status::ready ? Outcome(future) : "timeout"; });
  });
  proxy->beta.Subscribe(EventCacheUpdatePolicy::kNewestN, 1);
  ASSERT_TRUE(provider->WaitFor([](const auto& r) { return r.subscribers.contains(2); }, kTimeout));
  provider->Notify(kBetaEvent, NumberCodec::Encode({1}));
  ASSERT_TRUE(outcome.WaitFor([](const std::string& o) { return !o.empty(); }));
  EXPECT_EQ(outcome.Get(), "value 5");
}

TEST_F(SingleThreadFieldTest, DestructionFromAnotherFieldsHandlerDoesNotNeedASecondWorker) {
  Watched<bool> done;
  Gate alphaQueued;
  proxy->alpha.SetReceiveHandler([&] {});
  proxy->beta.SetReceiveHandler([&] {
    alphaQueued.Wait();
    proxy.reset();  // alpha's queued run cannot get the only worker: it runs here
    done.Change([](bool& d) { d = true; });
  });
  SubscribeAlpha(*proxy, 1);
  proxy->beta.Subscribe(EventCacheUpdatePolicy::kNewestN, 1);
  ASSERT_TRUE(provider->WaitFor([](const auto& r) { return r.subscribers.contains(2); }, kTimeout));
  provider->Notify(kBetaEvent, NumberCodec::Encode({1}));
  NotifyAlpha({1});
  Sync(*proxy);
  alphaQueued.Open();
  ASSERT_TRUE(done.WaitFor([](bool d) { return d; }));
}

}  // namespace
}  // namespace comtest
