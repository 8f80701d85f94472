#include "tools/vehicle_sim/shared_transport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <vector>

#include "ara/com/provider.h"
#include "ara/com/transport/local_bus.h"

namespace {

using namespace std::chrono_literals;
namespace transport = ara::com::transport;
using orik::vehicleSim::SharedTransport;

ara::com::ServiceDeployment Deployment(std::uint16_t serviceId) {
  ara::com::ServiceDeployment deployment;
  deployment.interfaceName = "test" + std::to_string(serviceId);
  deployment.serviceId = serviceId;
  deployment.events = {{0x8001, 1}};
  deployment.methodIds = {0x0001};
  return deployment;
}

// A consumer endpoint that records replies and what it sees offered.
struct Consumer {
  explicit Consumer(const std::shared_ptr<transport::LocalBus>& bus) : endpoint(bus->CreateEndpoint()) {
    transport::TransportHandlers handlers;
    handlers.onMessage = [this](transport::Message message) {
      std::lock_guard lock(mutex);
      replies.push_back(message);
      changed.notify_all();
    };
    endpoint->Start(std::move(handlers));
  }
  ~Consumer() { endpoint->Stop(); }
  bool WaitForReplies(std::size_t count) {
    std::unique_lock lock(mutex);
    return changed.wait_for(lock, 30s, [&] { return replies.size() >= count; });
  }
  void Call(std::uint16_t serviceId, std::uint16_t session) {
    transport::Message request;
    request.serviceId = serviceId;
    request.instanceId = 1;
    request.methodId = 0x0001;
    request.sessionId = session;
    endpoint->Send(request);
  }

  std::unique_ptr<transport::Transport> endpoint;
  std::mutex mutex;
  std::condition_variable changed;
  std::vector<transport::Message> replies;
};

TEST(SharedTransport, TwoProvidersOnOneEndpointEachGetTheirOwnRequests) {
  auto bus = std::make_shared<transport::LocalBus>();
  auto shared = std::make_shared<SharedTransport>(bus->CreateEndpoint());
  ara::com::ServiceProvider first(Deployment(0x1001), 1, shared->For(0x1001));
  ara::com::ServiceProvider second(Deployment(0x1002), 1, shared->For(0x1002));
  const auto answer = [](std::uint8_t code) {
    return [code](const transport::Message&, ara::com::ServiceProvider::Responder r) { r.Reply(code); };
  };
  first.SetMethodHandler(0x0001, answer(0));
  second.SetMethodHandler(0x0001, answer(7));
  first.Offer();
  second.Offer();

  Consumer consumer(bus);
  consumer.Call(0x1001, 1);
  consumer.Call(0x1002, 2);
  ASSERT_TRUE(consumer.WaitForReplies(2));
  std::lock_guard lock(consumer.mutex);
  for (const auto& reply : consumer.replies) {
    EXPECT_EQ(reply.returnCode, reply.serviceId == 0x1001 ? 0 : 7);
  }
  EXPECT_EQ(first.Requests().size(), 1u);
  EXPECT_EQ(second.Requests().size(), 1u);
}

TEST(SharedTransport, OneProviderGoneLeavesTheOtherServing) {
  auto bus = std::make_shared<transport::LocalBus>();
  auto shared = std::make_shared<SharedTransport>(bus->CreateEndpoint());
  auto first = std::make_unique<ara::com::ServiceProvider>(Deployment(0x1001), 1, shared->For(0x1001));
  ara::com::ServiceProvider second(Deployment(0x1002), 1, shared->For(0x1002));
  second.SetMethodHandler(0x0001,
                          [](const transport::Message&, ara::com::ServiceProvider::Responder r) { r.Reply(0); });
  first->Offer();
  second.Offer();

  auto watcher = bus->CreateEndpoint();
  watcher->Start({});
  EXPECT_EQ(watcher->FindService(0x1001).size(), 1u);
  first.reset();
  EXPECT_TRUE(watcher->FindService(0x1001).empty()) << "the gone provider's offer is withdrawn";
  watcher->Stop();

  Consumer consumer(bus);
  consumer.Call(0x1002, 3);
  EXPECT_TRUE(consumer.WaitForReplies(1));
}

}  // namespace
