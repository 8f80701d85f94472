#pragma once

// Two SOME/IP stacks over real loopback sockets: a consumer runtime and a provider, each on its
// own 127.x.y.z address, sharing an SD port and multicast group that no other test uses.

#include <gtest/gtest.h>

#include <boost/asio.hpp>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "ara/com/find_service.h"
#include "ara/com/provider.h"
#include "ara/com/runtime.h"
#include "ara/com/transport/network_transport.h"
#include "ara/log/capture_sink.h"
#include "ara/log/logging.h"
#include "com_fixture.h"
#include "test_service.h"

namespace comtest {

// A free port of the loopback interface: bound, read back and released.
inline std::uint16_t FreeUdpPort() {
  boost::asio::io_context io;
  boost::asio::ip::udp::socket socket(io,
                                      boost::asio::ip::udp::endpoint(boost::asio::ip::make_address_v4("127.0.0.1"), 0));
  return socket.local_endpoint().port();
}

// Addresses and the SD channel of one test.
struct TestNetwork {
  std::string consumer;
  std::string provider;
  std::string group;
  std::uint16_t sdPort;
  // The provider's ports; 0: any free one.
  std::uint16_t udpPort = 0;
  std::uint16_t tcpPort = 0;

  // A capture of the traffic (the CI's wire check) names the ports in ORIK_COM_WIRE_PORTS as
  // "<sd>,<udp>,<tcp>", so that a dissector knows where SOME/IP runs.
  static TestNetwork Make() {
    std::random_device random;
    std::uniform_int_distribution<int> octet(1, 250);
    const std::string base = "127." + std::to_string(octet(random)) + "." + std::to_string(octet(random)) + ".";
    const int host = octet(random);
    TestNetwork net{base + std::to_string(host), base + std::to_string(host + 1),
                    "239.255." + std::to_string(octet(random)) + "." + std::to_string(octet(random)), 0};
    unsigned sd = 0;
    unsigned udp = 0;
    unsigned tcp = 0;
    const char* wire = std::getenv("ORIK_COM_WIRE_PORTS");
    if (wire != nullptr && std::sscanf(wire, "%u,%u,%u", &sd, &udp, &tcp) == 3) {
      net.sdPort = static_cast<std::uint16_t>(sd);
      net.udpPort = static_cast<std::uint16_t>(udp);
      net.tcpPort = static_cast<std::uint16_t>(tcp);
    } else {
      net.sdPort = FreeUdpPort();
    }
    return net;
  }

  // The service's network side with this test's ports.
  ara::com::ServiceNetwork Service() const {
    ara::com::ServiceNetwork network;
    network.udpPort = udpPort;
    network.tcpPort = tcpPort;
    return network;
  }

  // Fast SD: offers every 20 ms after a short repetition phase; a TTL of 10 units.
  ara::com::NetworkConfig Config(const std::string& unicast) const {
    ara::com::NetworkConfig config;
    config.unicast = unicast;
    config.sdMulticast = group;
    config.sdPort = sdPort;
    config.timings.initialDelayMin = std::chrono::milliseconds(0);
    config.timings.initialDelayMax = std::chrono::milliseconds(5);
    config.timings.repetitionBaseDelay = std::chrono::milliseconds(5);
    config.timings.repetitionsMax = 2;
    config.timings.cyclicOfferDelay = std::chrono::milliseconds(20);
    config.timings.ttl = 10;
    return config;
  }
};

class NetworkFixture : public ::testing::Test {
 protected:
  // How long one TTL unit lasts: a TTL of 10 expires in a second.
  virtual std::chrono::milliseconds TtlUnit() const { return std::chrono::milliseconds(100); }
  virtual ara::com::ServiceNetwork Service() const { return net.Service(); }

  // Runs after the test's network is chosen and before the two stacks start.
  virtual void BeforeStacks() {}

  void SetUp() override {
    ara::log::SetConsoleEnabled(false);
    net = TestNetwork::Make();
    BeforeStacks();
    ara::com::RuntimeOptions options;
    options.threads = 2;
    options.makeTransport = [this] { return ara::com::transport::CreateNetworkTransport(ConsumerOptions()); };
    runtime = std::make_unique<ara::com::RuntimeComponent>(options);
    provider = MakeProvider();
  }

  void TearDown() override {
    if (HasFailure()) {
      for (const auto& text : capture->Texts("ACOM")) {
        std::fprintf(stderr, "ACOM: %s\n", text.c_str());
      }
    }
    proxy.reset();
    search.Stop();
    provider.reset();
    runtime.reset();
    ara::log::SetConsoleEnabled(true);
  }

  ara::com::transport::NetworkOptions ConsumerOptions() const {
    ara::com::transport::NetworkOptions options{net.Config(net.consumer), TtlUnit()};
    options.config.services["comtest::TestService"] = Service();
    return options;
  }

  ara::com::transport::NetworkOptions ProviderOptions() const {
    ara::com::transport::NetworkOptions options{net.Config(net.provider), TtlUnit()};
    options.config.services["comtest::TestService"] = Service();
    return options;
  }

  std::unique_ptr<ara::com::ServiceProvider> MakeProvider(bool withdrawOnStop = true) {
    auto options = ProviderOptions();
    options.withdrawOnStop = withdrawOnStop;
    auto p = std::make_unique<ara::com::ServiceProvider>(
        TestService::DefaultDeployment(), 1, ara::com::transport::CreateNetworkTransport(std::move(options)));
    p->SetMethodHandler(kBetaGet, [](const auto&, auto responder) { responder.Reply(0); });
    return p;
  }

  // Watches the instances find service reports, for the whole test.
  void StartSearch() {
    search = TestProxy::StartFindService(
        [this](std::vector<TestProxy::HandleType> handles) {
          found.Change([&](auto& lists) { lists.push_back(std::move(handles)); });
        },
        ara::com::InstanceIdentifier("*"));
  }

  bool WaitOffered() {
    return found.WaitFor([](const auto& lists) { return !lists.empty() && !lists.back().empty(); });
  }
  bool WaitGone() {
    return found.WaitFor([](const auto& lists) { return !lists.empty() && lists.back().empty(); });
  }

  // Offers, finds the instance and builds a proxy of it.
  void Connect() {
    provider->Offer();
    StartSearch();
    ASSERT_TRUE(WaitOffered());
    proxy = std::make_unique<TestProxy>(found.Get().back().at(0));
  }

  // Subscribes alpha with a receive handler collecting every value, and waits for the provider.
  void SubscribeAlpha() {
    auto* alpha = &proxy->alpha;  // the handler may still run while the proxy is being destroyed
    alpha->SetReceiveHandler([this, alpha] {
      alpha->Update();
      for (const auto& sample : alpha->GetCachedSamples()) {
        received.Change([&](auto& values) { values.push_back(*sample); });
      }
      alpha->Cleanup();
    });
    proxy->alpha.Subscribe(ara::com::EventCacheUpdatePolicy::kLastN, 100);
    ASSERT_TRUE(provider->WaitFor([](const auto& r) { return r.subscribers.contains(1); }, kTimeout));
  }

  // The provider keeps the responder of every write of alpha, by the first number written, and
  // answers none of them by itself.
  using HeldWrites = Watched<std::map<std::uint32_t, ara::com::ServiceProvider::Responder>>;
  HeldWrites& HoldAlphaWrites() {
    provider->SetMethodHandler(kAlphaSet, [this](const auto& request, ara::com::ServiceProvider::Responder r) {
      const auto index = NumberCodec::Decode(request.payload).at(0);
      heldWrites.Change([&](auto& all) { all.emplace(index, std::move(r)); });
    });
    return heldWrites;
  }

  ara::log::ScopedCapture capture;
  HeldWrites heldWrites;
  TestNetwork net;
  std::unique_ptr<ara::com::RuntimeComponent> runtime;
  std::unique_ptr<ara::com::ServiceProvider> provider;
  std::unique_ptr<TestProxy> proxy;
  ara::com::FindServiceHandle search;
  Watched<std::vector<std::vector<TestProxy::HandleType>>> found;
  Watched<std::vector<Value>> received;
};

}  // namespace comtest
