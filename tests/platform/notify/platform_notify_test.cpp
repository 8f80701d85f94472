#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "ara/exec/application_client.h"
#include "ara/log/capture_sink.h"
#include "ara/phm/phm.h"
#include "seam/call_recorder.h"
#include "seam/liveness.h"
#include "seam/service_manager.h"
#include "tests/platform/notify/notify_socket.h"

namespace {

using namespace std::chrono_literals;
using orik::testing::NotifySocket;
using Messages = std::vector<std::string>;

constexpr auto kWait = 10s;

// Points NOTIFY_SOCKET (and optionally the alive checkpoint) at the test's values for one test.
class ScopedEnvironment {
 public:
  ScopedEnvironment(const char* name, const std::string& value) : name_(name) { ::setenv(name, value.c_str(), 1); }
  ~ScopedEnvironment() { ::unsetenv(name_); }
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

 private:
  const char* name_;
};

// The parts that serve, ready, with I/O threads that answer at once.
class ReadyParts {
 public:
  ReadyParts() {
    platform::seam::ResetLiveness();
    for (auto& part : parts_) {
      part.SetReady(true);
    }
  }

 private:
  static void Answer(std::function<void()> answered) { answered(); }
  platform::seam::LivenessRegistration parts_[2] = {{platform::seam::LivePart::kRestServer, Answer},
                                                    {platform::seam::LivePart::kMiddleware, Answer}};
};

bool IsNotReady(const std::string& m) {
  return m.starts_with("STATUS=Not ready: ");
}

bool HasAtLeast(const NotifySocket& socket, std::size_t count) {
  return socket.WaitFor([&](const Messages& m) { return m.size() >= count; }, kWait);
}

TEST(PlatformNotify, StatesCheckpointsAndModesReachTheServiceManagerInOrder) {
  NotifySocket socket;
  ScopedEnvironment notify(platform::seam::kNotifySocketVariable, socket.Path());
  ara::phm::Phm_client client("ORIK__TANU1_Sys_Adaptive_01");
  ara::phm::SupervisionEntity entity(client);
  ara::phm::HealthChannel channel(client);
  ara::exec::ApplicationClient exec;
  ReadyParts parts;

  exec.ReportApplicationState(ara::exec::ApplicationState::kRunning);
  entity.CheckpointReached(60071, 60075);  // no heartbeat answered yet: no ping
  entity.CheckpointReached(60071, 60075);
  channel.SetHealthMode(1, 2);
  entity.CheckpointReached(60071, 60072);
  exec.ReportApplicationState(ara::exec::ApplicationState::kTerminating);

  ASSERT_TRUE(socket.WaitFor([](const Messages& m) { return !m.empty() && m.back() == "STOPPING=1"; }, kWait));
  // A datagram socket on one host keeps the order of one sender; the parts' own reports say
  // what is still awaited.
  Messages reports = socket.Messages();
  std::erase_if(reports, IsNotReady);
  EXPECT_EQ(reports, (Messages{"READY=1", "WATCHDOG=1", "STATUS=Health mode 2 (channel 1)",
                               "STATUS=Checkpoint 60072 reached (supervision 60071)", "STOPPING=1"}));
}

TEST(PlatformNotify, TheAliveCheckpointIsPlatformConfiguration) {
  NotifySocket socket;
  ScopedEnvironment notify(platform::seam::kNotifySocketVariable, socket.Path());
  ScopedEnvironment alive(ara::phm::kAliveCheckpointVariable, "60072");
  ara::phm::Phm_client client("x");
  ara::phm::SupervisionEntity entity(client);
  EXPECT_EQ(entity.AliveCheckpoint(), 60072);

  entity.CheckpointReached(60071, 60072);
  entity.CheckpointReached(60071, 60075);
  ASSERT_TRUE(HasAtLeast(socket, 2));
  // The alive report: not ready, as nothing serves here.
  EXPECT_TRUE(IsNotReady(socket.Messages()[0])) << socket.Messages()[0];
  EXPECT_EQ(socket.Messages()[1], "STATUS=Checkpoint 60075 reached (supervision 60071)");
}

class InvalidAliveCheckpoint : public ::testing::TestWithParam<const char*> {};

TEST_P(InvalidAliveCheckpoint, IsLoggedAndTheDefaultApplies) {
  ara::log::ScopedCapture capture;
  ScopedEnvironment alive(ara::phm::kAliveCheckpointVariable, GetParam());
  ara::phm::Phm_client client("x");
  ara::phm::SupervisionEntity entity(client);
  EXPECT_EQ(entity.AliveCheckpoint(), ara::phm::kDefaultAliveCheckpoint);
  EXPECT_EQ(capture->Count([](const ara::log::Record& r) {
    return r.contextId == "PLAT" && r.level == ara::log::LogLevel::kError &&
           r.text.starts_with("Ignoring ORIK_PHM_ALIVE_CHECKPOINT=");
  }),
            1u);
}

INSTANTIATE_TEST_SUITE_P(Values, InvalidAliveCheckpoint, ::testing::Values("65536", "-1", "6007x", "alive", " 60075"),
                         [](const auto& info) { return "Case" + std::to_string(info.index); });

TEST(PlatformNotify, WithoutANotifySocketNothingIsSentAndNothingFails) {
  ::unsetenv(platform::seam::kNotifySocketVariable);
  ara::phm::Phm_client client("x");
  ara::phm::SupervisionEntity entity(client);
  ara::phm::HealthChannel channel(client);
  ara::exec::ApplicationClient exec;
  EXPECT_NO_THROW(entity.CheckpointReached(60071, 60075));
  EXPECT_NO_THROW(channel.SetHealthMode(1, 1));
  EXPECT_NO_THROW(exec.ReportApplicationState(ara::exec::ApplicationState::kRunning));
}

struct UnreachableCase {
  const char* name;
  bool removedWhileRunning;  // otherwise the socket was never there
};

void PrintTo(const UnreachableCase& c, std::ostream* os) {
  *os << c.name;
}

class UnreachableServiceManager : public ::testing::TestWithParam<UnreachableCase> {};

// Every kind of report, several alive periods' worth, fails to reach the socket: none throws, and
// the log says so once, with the socket and the cause. A report that gets through afterwards
// says so once, which also leaves this process's notify state as the next test expects it.
TEST_P(UnreachableServiceManager, IsLoggedOnceAndNoReportThrowsUntilOneGetsThroughAgain) {
  ara::log::ScopedCapture capture;
  NotifySocket socket;
  const std::string path = GetParam().removedWhileRunning ? socket.Path() : socket.Path() + "-gone";
  ScopedEnvironment notify(platform::seam::kNotifySocketVariable, path);
  ara::phm::Phm_client client("x");
  ara::phm::SupervisionEntity entity(client);
  ara::phm::HealthChannel channel(client);
  ara::exec::ApplicationClient exec;
  ReadyParts parts;
  const auto isUnreachable = [&](const ara::log::Record& r) {
    return r.contextId == "PLAT" && r.level == ara::log::LogLevel::kError &&
           r.text.starts_with("Cannot notify the service manager at NOTIFY_SOCKET=\"" + path + "\" of \"") &&
           r.text.find("No such file or directory") != std::string::npos;
  };

  if (GetParam().removedWhileRunning) {
    exec.ReportApplicationState(ara::exec::ApplicationState::kRunning);
    ASSERT_TRUE(socket.WaitFor([](const Messages& m) { return NotifySocket::Count(m, "READY=1") == 1; }, kWait));
    socket.RemoveName();
  }
  EXPECT_NO_THROW(exec.ReportApplicationState(ara::exec::ApplicationState::kRunning));
  for (int period = 0; period < 5; ++period) {
    EXPECT_NO_THROW(entity.CheckpointReached(60071, 60075));
  }
  EXPECT_NO_THROW(channel.SetHealthMode(1, 3));
  EXPECT_NO_THROW(entity.CheckpointReached(60071, 60073));
  EXPECT_NO_THROW(exec.ReportApplicationState(ara::exec::ApplicationState::kTerminating));
  EXPECT_EQ(capture->Count(isUnreachable), 1u);
  EXPECT_EQ(capture->Count([](const ara::log::Record& r) { return r.level <= ara::log::LogLevel::kWarn; }), 1u);

  NotifySocket back;
  ::setenv(platform::seam::kNotifySocketVariable, back.Path().c_str(), 1);
  channel.SetHealthMode(1, 3);
  channel.SetHealthMode(1, 3);
  ASSERT_TRUE(HasAtLeast(back, 2));
  EXPECT_EQ(capture->Count([](const ara::log::Record& r) {
    return r.contextId == "PLAT" && r.level == ara::log::LogLevel::kInfo && r.text.ends_with("\" is reached again");
  }),
            1u);
  EXPECT_EQ(capture->Count(isUnreachable), 1u);
}

INSTANTIATE_TEST_SUITE_P(Notify, UnreachableServiceManager,
                         ::testing::Values(UnreachableCase{"SocketNeverThere", false},
                                           UnreachableCase{"SocketRemovedWhileRunning", true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PlatformNotify, AFailedCallSendsNothingAndTheRecorderStillSeesIt) {
  NotifySocket socket;
  ScopedEnvironment notify(platform::seam::kNotifySocketVariable, socket.Path());
  platform::seam::ScopedCallRecorder recorder;
  ara::phm::Phm_client client("x");
  ara::phm::SupervisionEntity entity(client);
  ara::phm::HealthChannel channel(client);

  recorder->FailNext("SupervisionEntity::CheckpointReached", {60071, 60072}, 1, "down");
  recorder->FailNextNonStandard("HealthChannel::SetHealthMode", 1);
  EXPECT_THROW(channel.SetHealthMode(1, 2), platform::seam::NonStandardError);
  entity.CheckpointReached(60071, 60075);  // other arguments: not failed
  EXPECT_THROW(entity.CheckpointReached(60071, 60072), std::runtime_error);
  entity.CheckpointReached(60071, 60072);  // the rule is used up
  ASSERT_TRUE(HasAtLeast(socket, 2));
  EXPECT_TRUE(IsNotReady(socket.Messages()[0])) << socket.Messages()[0];
  EXPECT_EQ(socket.Messages()[1], "STATUS=Checkpoint 60072 reached (supervision 60071)");
  EXPECT_EQ(recorder->Calls().size(), 5u);  // the client's construction and all four reports
}

// ---- The rules of the process-wide test switch ----

struct RuleCase {
  const char* name;
  const char* rules;
  std::string operation;
  std::vector<std::uint64_t> args;
  enum { kNone, kRuntime, kOther } expected;
  const char* text;
};

void PrintTo(const RuleCase& c, std::ostream* os) {
  *os << c.rules;
}

class FailureRules : public ::testing::TestWithParam<RuleCase> {};

TEST_P(FailureRules, FailTheNamedCallOnce) {
  const RuleCase& c = GetParam();
  platform::seam::FailureInjector injector;
  platform::seam::ParseFailureRules(c.rules, injector);
  const platform::seam::PlatformCall call{c.operation, {}, c.args, {}};
  switch (c.expected) {
    case RuleCase::kNone:
      EXPECT_NO_THROW(injector.Check(call));
      return;
    case RuleCase::kRuntime:
      try {
        injector.Check(call);
        ADD_FAILURE() << "expected a failure";
      } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), c.text);
      }
      break;
    case RuleCase::kOther:
      EXPECT_THROW(injector.Check(call), platform::seam::NonStandardError);
      break;
  }
  EXPECT_NO_THROW(injector.Check(call)) << "each entry fails one call";
}

INSTANTIATE_TEST_SUITE_P(
    Parse, FailureRules,
    ::testing::Values(RuleCase{"RuntimeWithArgs",
                               "HealthChannel::SetHealthMode(1,1)=runtime_error:phm down",
                               "HealthChannel::SetHealthMode",
                               {1, 1},
                               RuleCase::kRuntime,
                               "phm down"},
                      RuleCase{"OtherWithArgs",
                               "SupervisionEntity::CheckpointReached(60071,60072)=other",
                               "SupervisionEntity::CheckpointReached",
                               {60071, 60072},
                               RuleCase::kOther,
                               ""},
                      RuleCase{"OtherArgsUntouched",
                               "SupervisionEntity::CheckpointReached(60071,60072)=other",
                               "SupervisionEntity::CheckpointReached",
                               {60071, 60075},
                               RuleCase::kNone,
                               ""},
                      RuleCase{"AnyArgs",
                               "ApplicationClient::ReportApplicationState=runtime_error:",
                               "ApplicationClient::ReportApplicationState",
                               {1},
                               RuleCase::kRuntime,
                               ""},
                      RuleCase{
                          "TextWithSeparators", "X(2)=runtime_error:a: b=c", "X", {2}, RuleCase::kRuntime, "a: b=c"},
                      RuleCase{"SecondEntry", "A=other;;B(7)=runtime_error:t;", "B", {7}, RuleCase::kRuntime, "t"}),
    [](const auto& info) { return std::string(info.param.name); });

class MalformedFailureRules : public ::testing::TestWithParam<const char*> {};

TEST_P(MalformedFailureRules, AreRefused) {
  platform::seam::FailureInjector injector;
  EXPECT_THROW(platform::seam::ParseFailureRules(GetParam(), injector), std::invalid_argument);
}

INSTANTIATE_TEST_SUITE_P(Parse, MalformedFailureRules,
                         ::testing::Values("X", "X=", "X=crash", "=other", "X(1=other", "X(1,)=other", "X(a)=other",
                                           "(1)=other", "X(99999999999999999999)=other"),
                         [](const auto& info) { return "Case" + std::to_string(info.index); });

}  // namespace
