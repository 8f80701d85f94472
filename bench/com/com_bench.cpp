// In-process latency and rate of the middleware: a notification from the provider to the
// receive handler being entered, and a Get round trip, on the views field of the
// ChargingManagementCore proxy. Reports p50/p99 per message and messages per second.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <future>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "ara/com/provider.h"
#include "ara/com/runtime.h"
#include "ara/log/logging.h"
#include "service_types/chargingmanagementcore/proxy/chargingmanagementcore_proxy.h"

namespace {

namespace cmc = zrt::services::chargingmanagementcore;
using Clock = std::chrono::steady_clock;
using Proxy = cmc::proxy::ChargingManagementCoreProxy;

constexpr std::uint16_t kViewsEventIndex = 18;
constexpr std::uint16_t kViewsGetIndex = 23;

std::vector<std::uint8_t> ViewsPayload() {
  std::vector<cmc::datatypes::DT_views_struct> value(1);
  value[0].type = static_cast<cmc::datatypes::DT_ChargingManagementCore_views_type>(1);
  value[0].content = static_cast<cmc::datatypes::DT_ChargingManagementCore_views_content>(2);
  value[0].visibility = static_cast<cmc::datatypes::DT_ChargingManagementCore_views_visibility>(0);
  return zrt::services::tlv::encode_field_value(value);
}

// A runtime, an offered provider and a proxy of it.
struct Setup {
  Setup() {
    ara::log::SetConsoleEnabled(false);
    runtime = std::make_unique<ara::com::RuntimeComponent>(ara::com::RuntimeOptions{});
    provider = std::make_unique<ara::com::ServiceProvider>(cmc::ChargingManagementCore::DefaultDeployment(), 1);
    const auto payload = ViewsPayload();
    provider->SetMethodHandler(provider->Deployment().MethodId(kViewsGetIndex),
                               [payload](const auto&, auto responder) { responder.Reply(0, payload); });
    provider->Offer();
    std::promise<Proxy::HandleType> found;
    std::once_flag once;
    auto search = Proxy::StartFindService(
        [&](std::vector<Proxy::HandleType> handles) {
          if (!handles.empty()) {
            std::call_once(once, [&] { found.set_value(handles.front()); });
          }
        },
        ara::com::InstanceIdentifier("*"));
    auto handle = found.get_future().get();
    search.Stop();
    proxy = std::make_unique<Proxy>(handle);
  }
  ~Setup() {
    proxy.reset();
    provider.reset();
    runtime.reset();
  }
  std::unique_ptr<ara::com::RuntimeComponent> runtime;
  std::unique_ptr<ara::com::ServiceProvider> provider;
  std::unique_ptr<Proxy> proxy;
};

void Report(benchmark::State& state, std::vector<double>& micros) {
  if (micros.empty()) {
    return;
  }
  std::sort(micros.begin(), micros.end());
  auto at = [&](double q) { return micros[std::min(micros.size() - 1, static_cast<std::size_t>(q * micros.size()))]; };
  state.counters["p50_us"] = at(0.50);
  state.counters["p99_us"] = at(0.99);
  state.SetItemsProcessed(static_cast<std::int64_t>(micros.size()));
}

void BM_NotificationToHandler(benchmark::State& state) {
  Setup setup;
  std::mutex mutex;
  std::condition_variable entered;
  Clock::time_point enteredAt;
  bool done = false;
  auto& views = setup.proxy->views;
  views.SetReceiveHandler([&] {
    const auto now = Clock::now();
    {
      std::lock_guard lock(mutex);
      enteredAt = now;
      done = true;
    }
    entered.notify_one();
    views.Update();
    benchmark::DoNotOptimize(views.GetCachedSamples());
    views.Cleanup();
  });
  views.Subscribe(ara::com::EventCacheUpdatePolicy::kNewestN, 1);
  setup.provider->WaitFor([](const auto& r) { return !r.subscribers.empty(); }, std::chrono::seconds(20));
  const auto eventId = setup.provider->Deployment().Event(kViewsEventIndex).eventId;
  const auto payload = ViewsPayload();
  std::vector<double> micros;
  for (auto _ : state) {
    std::unique_lock lock(mutex);
    done = false;
    lock.unlock();
    const auto sent = Clock::now();
    setup.provider->Notify(eventId, payload);
    lock.lock();
    entered.wait(lock, [&] { return done; });
    const std::chrono::duration<double> elapsed = enteredAt - sent;
    state.SetIterationTime(elapsed.count());
    micros.push_back(elapsed.count() * 1e6);
  }
  Report(state, micros);
}
BENCHMARK(BM_NotificationToHandler)->UseManualTime()->Iterations(20000);

void BM_GetRoundTrip(benchmark::State& state) {
  Setup setup;
  std::vector<double> micros;
  for (auto _ : state) {
    const auto sent = Clock::now();
    auto future = setup.proxy->views.Get();
    benchmark::DoNotOptimize(future.get());
    const std::chrono::duration<double> elapsed = Clock::now() - sent;
    state.SetIterationTime(elapsed.count());
    micros.push_back(elapsed.count() * 1e6);
  }
  Report(state, micros);
}
BENCHMARK(BM_GetRoundTrip)->UseManualTime()->Iterations(20000);

// Back-to-back notifications: how many the proxy side decodes and hands to the handler per second.
void BM_NotificationRate(benchmark::State& state) {
  Setup setup;
  constexpr std::size_t kBurst = 256;
  std::atomic<std::size_t> taken{0};
  auto& views = setup.proxy->views;
  views.SetReceiveHandler([&] {
    views.Update();
    taken += views.GetCachedSamples().size();
    views.Cleanup();
  });
  views.Subscribe(ara::com::EventCacheUpdatePolicy::kNewestN, kBurst);
  setup.provider->WaitFor([](const auto& r) { return !r.subscribers.empty(); }, std::chrono::seconds(20));
  const auto eventId = setup.provider->Deployment().Event(kViewsEventIndex).eventId;
  const auto payload = ViewsPayload();
  std::size_t sentTotal = 0;
  for (auto _ : state) {
    const auto start = Clock::now();
    for (std::size_t i = 0; i < kBurst; ++i) {
      setup.provider->Notify(eventId, payload);
    }
    sentTotal += kBurst;
    while (taken.load() < sentTotal) {
      std::this_thread::yield();
    }
    state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(sentTotal));
}
BENCHMARK(BM_NotificationRate)->UseManualTime()->Iterations(200);

}  // namespace

BENCHMARK_MAIN();
