// Latency and rate of the middleware: a notification from the provider's Notify to the receive
// handler being entered (back to back, "flat out", and paced at 1 kHz), and a Get round trip, on
// the views field of the ChargingManagementCore proxy. Each runs over the in-process bus and over
// SOME/IP on loopback (notifications over UDP; Get over UDP and over TCP), the two SOME/IP stacks
// on addresses of their own. Reports p50/p99 per message and messages per second.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <future>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <boost/asio.hpp>

#include "ara/com/provider.h"
#include "ara/com/runtime.h"
#include "ara/com/transport/network_transport.h"
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

enum Mode : std::int64_t { kInProcess, kUdp, kTcp };
const char* const kModeNames[] = {"in_process", "someip_udp", "someip_tcp"};

std::uint16_t FreeUdpPort() {
  boost::asio::io_context io;
  boost::asio::ip::udp::socket socket(io, {boost::asio::ip::make_address_v4("127.0.0.1"), 0});
  return socket.local_endpoint().port();
}

// Both SOME/IP stacks on loopback addresses, an SD port and a group of their own.
ara::com::transport::NetworkOptions NetworkOf(const std::string& unicast, std::uint16_t sdPort, Mode mode) {
  ara::com::transport::NetworkOptions options;
  options.config.unicast = unicast;
  options.config.sdMulticast = "239.255.77.1";
  options.config.sdPort = sdPort;
  options.config.timings.initialDelayMax = std::chrono::milliseconds(5);
  options.config.timings.repetitionBaseDelay = std::chrono::milliseconds(10);
  options.config.timings.cyclicOfferDelay = std::chrono::milliseconds(500);
  ara::com::ServiceNetwork service;
  service.methods = mode == kTcp ? ara::com::Carrier::kTcp : ara::com::Carrier::kUdp;
  options.config.services[cmc::ChargingManagementCore::DefaultDeployment().interfaceName] = service;
  return options;
}

// A runtime, an offered provider and a proxy of it.
struct Setup {
  explicit Setup(Mode mode = kInProcess) {
    ara::log::SetConsoleEnabled(false);
    ara::com::RuntimeOptions options;
    const auto sdPort = FreeUdpPort();
    if (mode != kInProcess) {
      options.makeTransport = [=] {
        return ara::com::transport::CreateNetworkTransport(NetworkOf("127.77.0.1", sdPort, mode));
      };
    }
    runtime = std::make_unique<ara::com::RuntimeComponent>(options);
    if (mode == kInProcess) {
      provider = std::make_unique<ara::com::ServiceProvider>(cmc::ChargingManagementCore::DefaultDeployment(), 1);
    } else {
      provider = std::make_unique<ara::com::ServiceProvider>(
          cmc::ChargingManagementCore::DefaultDeployment(), 1,
          ara::com::transport::CreateNetworkTransport(NetworkOf("127.77.0.2", sdPort, mode)));
    }
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

// range(0): the mode; range(1): microseconds between notifications (0: the next one as soon as the
// last has been handled).
void BM_NotificationToHandler(benchmark::State& state) {
  const auto mode = static_cast<Mode>(state.range(0));
  const std::chrono::microseconds period(state.range(1));
  state.SetLabel(std::string(kModeNames[mode]) + (period.count() == 0 ? " flat out" : " 1 kHz"));
  Setup setup(mode);
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
  auto next = Clock::now();
  for (auto _ : state) {
    if (period.count() > 0) {
      next += period;
      std::this_thread::sleep_until(next);
    }
    std::unique_lock lock(mutex);
    done = false;
    lock.unlock();
    const auto sent = Clock::now();
    setup.provider->Notify(eventId, payload);
    lock.lock();
    if (!entered.wait_for(lock, std::chrono::seconds(5), [&] { return done; })) {
      state.SkipWithError("a notification was lost");
      break;
    }
    const std::chrono::duration<double> elapsed = enteredAt - sent;
    state.SetIterationTime(elapsed.count());
    micros.push_back(elapsed.count() * 1e6);
  }
  Report(state, micros);
}
BENCHMARK(BM_NotificationToHandler)
    ->UseManualTime()
    ->Iterations(5000)
    ->Args({kInProcess, 0})
    ->Args({kInProcess, 1000})
    ->Args({kUdp, 0})
    ->Args({kUdp, 1000});

void BM_GetRoundTrip(benchmark::State& state) {
  const auto mode = static_cast<Mode>(state.range(0));
  state.SetLabel(kModeNames[mode]);
  Setup setup(mode);
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
BENCHMARK(BM_GetRoundTrip)->UseManualTime()->Iterations(5000)->Arg(kInProcess)->Arg(kUdp)->Arg(kTcp);

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
