#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "com_fixture.h"

namespace comtest {
namespace {

using ara::com::InstanceIdentifier;
using ara::log::LogLevel;
using Lists = std::vector<std::vector<std::string>>;

std::vector<std::string> Texts(const std::vector<TestProxy::HandleType>& handles) {
  std::vector<std::string> texts;
  for (const auto& h : handles) {
    texts.emplace_back(h.GetInstanceId().ToString());
  }
  return texts;
}

class FindServiceTest : public ComFixture {
 protected:
  ara::com::FindServiceHandle Record(Watched<Lists>& lists, const std::string& instance = "*") {
    return TestProxy::StartFindService(
        [&lists](std::vector<TestProxy::HandleType> handles) {
          lists.Change([&](Lists& l) { l.push_back(Texts(handles)); });
        },
        InstanceIdentifier(instance));
  }
};

TEST_F(FindServiceTest, ReportsTheFullListAtStartAndOnEveryChange) {
  Watched<Lists> lists;
  auto search = Record(lists);
  ASSERT_TRUE(lists.WaitFor([](const Lists& l) { return l.size() == 1; }));

  ara::com::ServiceProvider second(TestService::DefaultDeployment(), 7);
  provider->Offer();
  ASSERT_TRUE(lists.WaitFor([](const Lists& l) { return l.size() == 2; }));
  second.Offer();
  ASSERT_TRUE(lists.WaitFor([](const Lists& l) { return l.size() == 3; }));
  provider->StopOffer();
  ASSERT_TRUE(lists.WaitFor([](const Lists& l) { return l.size() == 4; }));
  second.StopOffer();
  ASSERT_TRUE(lists.WaitFor([](const Lists& l) { return l.size() == 5; }));
  provider->Offer();
  ASSERT_TRUE(lists.WaitFor([](const Lists& l) { return l.size() == 6; }));

  const Lists expected = {{}, {"1"}, {"1", "7"}, {"7"}, {}, {"1"}};
  EXPECT_EQ(lists.Get(), expected);
}

TEST_F(FindServiceTest, AnInstanceAlreadyOfferedIsInTheFirstList) {
  provider->Offer();
  Watched<Lists> lists;
  // An offer reaches the bus before Offer returns, so the first list must hold it.
  auto search = Record(lists);
  ASSERT_TRUE(lists.WaitFor([](const Lists& l) { return !l.empty(); }));
  EXPECT_EQ(lists.Get().front(), std::vector<std::string>{"1"});
}

TEST_F(FindServiceTest, ASpecificInstanceIgnoresTheOthers) {
  Watched<Lists> lists;
  auto search = Record(lists, "7");
  ara::com::ServiceProvider seven(TestService::DefaultDeployment(), 7);
  provider->Offer();  // instance 1: not reported
  seven.Offer();
  ASSERT_TRUE(lists.WaitFor([](const Lists& l) { return l.size() == 2; }));
  EXPECT_EQ(lists.Get(), (Lists{{}, {"7"}}));
}

TEST_F(FindServiceTest, MalformedInstanceTextsAreRefused) {
  for (const char* text : {"", "x", "-1", "65535", "1 ", "**"}) {
    EXPECT_THROW(TestProxy::StartFindService([](auto) {}, InstanceIdentifier(text)), std::invalid_argument) << text;
  }
}

TEST_F(FindServiceTest, HandlesShareOneDescriptionOfTheInstance) {
  provider->Offer();
  Watched<std::vector<TestProxy::HandleType>> found;
  auto search = TestProxy::StartFindService(
      [&](std::vector<TestProxy::HandleType> handles) { found.Change([&](auto& v) { v = std::move(handles); }); },
      InstanceIdentifier("*"));
  ASSERT_TRUE(found.WaitFor([](const auto& v) { return !v.empty(); }));
  const auto handle = found.Get().at(0);
  const auto copy = handle;
  EXPECT_EQ(copy.Info().get(), handle.Info().get());
  EXPECT_EQ(copy, handle);
  EXPECT_EQ(handle.GetInstanceId().ToString(), "1");
}

TEST_F(FindServiceTest, StoppingWaitsForARunningHandler) {
  Gate entered;
  Gate release;
  std::atomic<bool> finished{false};
  auto search = TestProxy::StartFindService(
      [&](auto) {
        entered.Open();
        release.Wait();
        finished = true;
      },
      InstanceIdentifier("*"));
  ASSERT_TRUE(entered.Wait());
  std::thread opener([&] { release.Open(); });
  search.Stop();
  EXPECT_TRUE(finished);  // Stop returned only after the handler did
  opener.join();
}

TEST_F(FindServiceTest, StoppingFromInsideTheHandlerDoesNotDeadlock) {
  Watched<int> calls;
  ara::com::FindServiceHandle search;
  Gate assigned;
  search = TestProxy::StartFindService(
      [&](auto) {
        assigned.Wait();
        search.Stop();
        calls.Change([](int& c) { ++c; });
      },
      InstanceIdentifier("*"));
  assigned.Open();
  ASSERT_TRUE(calls.WaitFor([](int c) { return c == 1; }));

  Watched<Lists> other;
  auto witness = Record(other);
  provider->Offer();
  ASSERT_TRUE(other.WaitFor([](const Lists& l) { return l.size() == 2; }));
  EXPECT_EQ(calls.Get(), 1);
}

TEST_F(FindServiceTest, AnExceptionFromTheHandlerIsTracedAndTheSearchGoesOn) {
  Watched<int> calls;
  auto search = TestProxy::StartFindService(
      [&](auto handles) {
        calls.Change([](int& c) { ++c; });
        if (handles.empty()) {
          throw std::runtime_error("no instance yet");
        }
      },
      InstanceIdentifier("*"));
  ASSERT_TRUE(calls.WaitFor([](int c) { return c == 1; }));
  provider->Offer();
  ASSERT_TRUE(calls.WaitFor([](int c) { return c == 2; }));
  EXPECT_TRUE(capture->Contains("ACOM", LogLevel::kError, "Exception in find-service handler: no instance yet"));
}

using RuntimeTest = ComFixture;

TEST_F(RuntimeTest, OnlyOneRuntimeExistsAtATime) {
  EXPECT_THROW(ara::com::RuntimeComponent(false, ""), std::logic_error);
}

TEST_F(RuntimeTest, FindServiceAndProxiesNeedTheRuntime) {
  provider->Offer();
  Watched<std::vector<TestProxy::HandleType>> found;
  auto search = TestProxy::StartFindService(
      [&](std::vector<TestProxy::HandleType> handles) { found.Change([&](auto& v) { v = std::move(handles); }); },
      InstanceIdentifier("*"));
  ASSERT_TRUE(found.WaitFor([](const auto& v) { return !v.empty(); }));
  search.Stop();
  auto handle = found.Get().at(0);
  runtime.reset();
  EXPECT_THROW(TestProxy::StartFindService([](auto) {}, InstanceIdentifier("*")), std::logic_error);
  EXPECT_THROW(TestProxy{handle}, std::logic_error);
  // A new runtime can be created after the old one is gone.
  runtime = std::make_unique<ara::com::RuntimeComponent>(ara::com::RuntimeOptions{});
  EXPECT_NO_THROW(TestProxy{handle});
}

TEST_F(RuntimeTest, ShuttingDownFailsCallsStillWaitingForAnAnswer) {
  proxy = Connect();
  provider->SetMethodHandler(kAlphaGet, [](const auto&, auto) {});  // never answers
  auto future = proxy->alpha.Get();
  ASSERT_TRUE(provider->WaitFor([](const auto& r) { return !r.requests.empty(); }, kTimeout));
  auto doomed = std::move(proxy);
  doomed.reset();
  runtime.reset();
  ASSERT_EQ(future.wait_for(kTimeout), std::future_status::ready);
  EXPECT_THROW(future.get(), ara::com::ServiceNotAvailableException);
  EXPECT_THROW(future.get(), std::future_error);  // the state is gone after the first get
}

TEST_F(RuntimeTest, AProviderSeesItsRequestsWithSomeIpHeaders) {
  proxy = Connect();
  provider->SetMethodHandler(kAlphaSet,
                             [](const auto& request, auto responder) { responder.Reply(0, request.payload); });
  auto future = proxy->alpha.Set({0x01020304});
  ASSERT_EQ(future.wait_for(kTimeout), std::future_status::ready);
  EXPECT_EQ(future.get(), (Value{0x01020304}));
  const auto requests = provider->Requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].serviceId, 0x7001);
  EXPECT_EQ(requests[0].instanceId, 1);
  EXPECT_EQ(requests[0].methodId, kAlphaSet);
  EXPECT_NE(requests[0].clientId, 0);
  EXPECT_NE(requests[0].sessionId, 0);
  EXPECT_EQ(requests[0].type, ara::com::transport::MessageType::kRequest);
  EXPECT_EQ(requests[0].payload, (std::vector<std::uint8_t>{1, 2, 3, 4}));
}

}  // namespace
}  // namespace comtest
