#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <fstream>
#include <memory>
#include <optional>
#include <ostream>
#include <regex>
#include <string>
#include <vector>

#include "app/version.h"
#include "tests/app/entry/gateway_process.h"
#include "tests/platform/notify/notify_socket.h"

namespace {

using namespace std::chrono_literals;
using orik::testing::GatewayProcess;
using orik::testing::LogLine;
using orik::testing::NotifySocket;
using Messages = std::vector<std::string>;

// Bounds for conditions, generous for sanitizer builds on a loaded machine; none is slept through.
constexpr auto kStartBound = 60s;
constexpr auto kStopBound = 60s;

constexpr const char* kSignalText = "sig_handler -> SIGABRT || SIGINT || SIGTERM ";
const std::string kStartLine = std::string("ORIK version ") + orik::kVersion + " has started!";
const std::string kStopLine = std::string("ORIK version ") + orik::kVersion + " has stopped!";

#if defined(__SANITIZE_THREAD__)
// ThreadSanitizer defers an asynchronous signal that reaches a thread outside its interceptors
// until that thread next enters one, which an idle thread may never do: under it a stop signal
// is sent again until the process stops, and the text may come once per signal sent.
constexpr bool kSignalsMayBeDeferred = true;
#else
constexpr bool kSignalsMayBeDeferred = false;
#endif

// Sends `signal` (again every few seconds where signals may be deferred) and waits for the exit.
std::optional<int> StopProcess(GatewayProcess& process, int signal) {
  const auto deadline = std::chrono::steady_clock::now() + kStopBound;
  EXPECT_TRUE(process.Signal(signal));
  for (;;) {
    const auto wait = kSignalsMayBeDeferred ? std::chrono::milliseconds(5s) : kStopBound;
    if (auto status = process.WaitForExit(wait)) {
      return status;
    }
    if (!kSignalsMayBeDeferred || std::chrono::steady_clock::now() >= deadline) {
      ADD_FAILURE() << "the process did not stop; its threads:\n" << process.ThreadStates();
      return std::nullopt;
    }
    process.Signal(signal);
  }
}

// Standard output holds the signal text `times` times, end to end (at least that often where
// signals may be deferred and sent again).
void ExpectSignalText(const std::string& out, std::size_t times) {
  const std::string text = kSignalText;
  std::size_t repeats = out.size() / text.size();
  std::string expected;
  for (std::size_t i = 0; i < repeats; ++i) {
    expected += text;
  }
  EXPECT_EQ(out, expected) << "only whole signal texts, end to end";
  if (kSignalsMayBeDeferred) {
    EXPECT_GE(repeats, times) << out;
  } else {
    EXPECT_EQ(repeats, times) << out;
  }
}

constexpr const char* kReady = "READY=1";
constexpr const char* kStopping = "STOPPING=1";
constexpr const char* kWatchdog = "WATCHDOG=1";
constexpr const char* kMode1 = "STATUS=Health mode 1 (channel 1)";
constexpr const char* kMode2 = "STATUS=Health mode 2 (channel 1)";
constexpr const char* kMode3 = "STATUS=Health mode 3 (channel 1)";
constexpr const char* kCp60071 = "STATUS=Checkpoint 60071 reached (supervision 60071)";
constexpr const char* kCp60072 = "STATUS=Checkpoint 60072 reached (supervision 60071)";
constexpr const char* kCp60073 = "STATUS=Checkpoint 60073 reached (supervision 60071)";
constexpr const char* kCp60074 = "STATUS=Checkpoint 60074 reached (supervision 60071)";

// What the platform says while it is not (yet) ready or alive, with the cause.
constexpr const char* kNotReady = "STATUS=Not ready: ";
constexpr const char* kNotAlive = "STATUS=Not alive: ";

// Every report of a whole run but the alive checkpoint's, in the order the process makes them:
// "READY=1" once the REST server serves, during its start.
const Messages kFullRun = {kMode1, kCp60071, kReady, kCp60072, kMode2, kMode3, kCp60073, kStopping, kCp60074};

bool IsLivenessStatus(const std::string& m) {
  return m.starts_with(kNotReady) || m.starts_with(kNotAlive);
}

Messages Without(const Messages& messages, const Messages& dropped) {
  Messages kept;
  for (const auto& m : messages) {
    if (std::find(dropped.begin(), dropped.end(), m) == dropped.end()) {
      kept.push_back(m);
    }
  }
  return kept;
}

// The reports that the application's own calls make: without the alive checkpoint's pings and
// the lines that say why the process is not ready or alive, which come at times of their own.
Messages WithoutWatchdog(const Messages& messages) {
  Messages kept;
  for (const auto& m : Without(messages, {kWatchdog})) {
    if (!IsLivenessStatus(m)) {
      kept.push_back(m);
    }
  }
  return kept;
}

std::ptrdiff_t IndexOf(const Messages& messages, const std::string& message) {
  const auto it = std::find(messages.begin(), messages.end(), message);
  return it == messages.end() ? -1 : it - messages.begin();
}

std::size_t WatchdogsAfter(const Messages& messages, const std::string& message) {
  const auto from = IndexOf(messages, message);
  return from < 0 ? 0 : NotifySocket::Count(Messages(messages.begin() + from, messages.end()), kWatchdog);
}

// A file in its own temporary folder, removed at the end.
class TempFile {
 public:
  explicit TempFile(const std::string& content) {
    std::string pattern = "/tmp/orik-entry-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) {
      throw std::runtime_error("mkdtemp failed");
    }
    dir_ = pattern;
    path_ = dir_ + "/charging_management_core_conf.json";
    std::ofstream(path_) << content;
  }
  ~TempFile() {
    ::unlink(path_.c_str());
    ::rmdir(dir_.c_str());
  }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;
  const std::string& Path() const { return path_; }

 private:
  std::string dir_;
  std::string path_;
};

std::string ConfigOnPort(std::uint16_t port) {
  return R"({"address": "::1", "port": )" + std::to_string(port) + "}";
}

// A listening socket on an ephemeral IPv6 loopback port, to take the port away from the gateway.
class TakenPort {
 public:
  TakenPort() : fd_(::socket(AF_INET6, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
    sockaddr_in6 address{};
    address.sin6_family = AF_INET6;
    address.sin6_addr = in6addr_loopback;
    socklen_t length = sizeof address;
    if (fd_ < 0 || ::bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(fd_, 1) != 0 ||
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
      throw std::runtime_error("cannot listen on ::1");
    }
    port_ = ntohs(address.sin6_port);
  }
  ~TakenPort() { ::close(fd_); }
  TakenPort(const TakenPort&) = delete;
  TakenPort& operator=(const TakenPort&) = delete;
  std::uint16_t Port() const { return port_; }

 private:
  int fd_;
  std::uint16_t port_ = 0;
};

// One HTTP/1.1 request over IPv6 loopback with bounded waits; returns the whole reply.
std::string HttpGet(std::uint16_t port, const std::string& target) {
  const int fd = ::socket(AF_INET6, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) {
    return {};
  }
  timeval bound{30, 0};
  ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &bound, sizeof bound);
  ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &bound, sizeof bound);
  sockaddr_in6 address{};
  address.sin6_family = AF_INET6;
  address.sin6_addr = in6addr_loopback;
  address.sin6_port = htons(port);
  std::string reply;
  if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
    const std::string request = "GET " + target + " HTTP/1.1\r\nHost: [::1]\r\nConnection: close\r\n\r\n";
    if (::send(fd, request.data(), request.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(request.size())) {
      char chunk[4096];
      for (ssize_t n; (n = ::recv(fd, chunk, sizeof chunk, 0)) > 0;) {
        reply.append(chunk, static_cast<std::size_t>(n));
      }
    }
  }
  ::close(fd);
  return reply;
}

std::ptrdiff_t LogIndex(const std::vector<LogLine>& logs, const std::string& context, const std::string& text) {
  for (std::size_t i = 0; i < logs.size(); ++i) {
    if (logs[i].contextId == context && logs[i].text == text) {
      return static_cast<std::ptrdiff_t>(i);
    }
  }
  return -1;
}

// One gateway run: a notify socket, a framework configuration and the process.
class GatewayRun {
 public:
  explicit GatewayRun(const std::string& config = ConfigOnPort(0), GatewayProcess::Environment extra = {})
      : config_(config) {
    extra.emplace_back("NOTIFY_SOCKET", notify_.Path());
    extra.emplace_back("RUBO_SERVER_CONFIG", config_.Path());
    process_ = std::make_unique<GatewayProcess>(ORIK_GATEWAY_EXECUTABLE, extra);
  }

  GatewayProcess& Process() { return *process_; }
  NotifySocket& Notify() { return notify_; }

  bool WaitForMessage(const std::string& message) {
    return notify_.WaitFor([&](const Messages& m) { return IndexOf(m, message) >= 0; }, kStartBound);
  }

  // Waits until start-up has reported health mode 2 and the alive checkpoint has come at least
  // three times since the state running.
  bool WaitUntilRunning() {
    return notify_.WaitFor([](const Messages& m) { return IndexOf(m, kMode2) >= 0 && WatchdogsAfter(m, kReady) >= 3; },
                           kStartBound);
  }

  // Stops with `signal` and waits for the exit status.
  std::optional<int> StopWith(int signal) { return StopProcess(*process_, signal); }

  std::optional<int> WaitForExit() {
    auto status = process_->WaitForExit(kStopBound);
    if (!status) {
      ADD_FAILURE() << "the process did not stop; its threads:\n" << process_->ThreadStates();
    }
    return status;
  }

  // What every orderly stop shows: the start and stop lines in order around the end of the main
  // block, and the state reports each once, running before terminating.
  void ExpectOrderlyLifecycle(std::size_t readyReports = 1) {
    const auto logs = process_->Logs();
    const auto started = LogIndex(logs, "ORIK_MAIN", kStartLine);
    const auto ended = LogIndex(logs, "DFLT", "Ended main block.");
    const auto stopped = LogIndex(logs, "ORIK_MAIN", kStopLine);
    EXPECT_GE(started, 0) << process_->Stderr();
    EXPECT_LT(started, ended);
    EXPECT_LT(ended, stopped);
    const auto messages = notify_.Messages();
    EXPECT_EQ(NotifySocket::Count(messages, kReady), readyReports);
    EXPECT_EQ(NotifySocket::Count(messages, kStopping), 1u);
  }

 private:
  NotifySocket notify_;
  TempFile config_;
  std::unique_ptr<GatewayProcess> process_;
};

// ---- Stop signals ----

struct StopSignal {
  const char* name;
  int number;
};

void PrintTo(const StopSignal& s, std::ostream* os) {
  *os << s.name;
}

class StopSignals : public ::testing::TestWithParam<StopSignal> {};

TEST_P(StopSignals, PrintTheTextOnceAndStopInOrderWithStatusZero) {
  GatewayRun run;
  ASSERT_TRUE(run.WaitUntilRunning()) << run.Process().Stderr();
  EXPECT_EQ(run.StopWith(GetParam().number), 0) << run.Process().Stderr();

  ExpectSignalText(run.Process().Stdout(), 1);
  if (!kSignalsMayBeDeferred) {
    EXPECT_EQ(run.Process().Stdout().size(), 44u);
  }
  run.ExpectOrderlyLifecycle();
  const auto messages = run.Notify().Messages();
  EXPECT_EQ(WithoutWatchdog(messages), kFullRun);
  // The alive checkpoint kept coming while the process ran.
  EXPECT_GE(NotifySocket::Count(
                Messages(messages.begin() + IndexOf(messages, kReady), messages.begin() + IndexOf(messages, kStopping)),
                kWatchdog),
            3u);
}

INSTANTIATE_TEST_SUITE_P(Signals, StopSignals,
                         ::testing::Values(StopSignal{"SIGTERM", SIGTERM}, StopSignal{"SIGINT", SIGINT},
                                           StopSignal{"SIGABRT", SIGABRT}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(GatewayProcess, TwoSignalsWriteTheTextTwiceEndToEndAndStopOnce) {
  GatewayRun run;
  ASSERT_TRUE(run.WaitUntilRunning()) << run.Process().Stderr();
  // Held stopped, the process receives both signals before it can act on either.
  ASSERT_TRUE(run.Process().Signal(SIGSTOP));
  ASSERT_TRUE(run.Process().Signal(SIGTERM));
  ASSERT_TRUE(run.Process().Signal(SIGINT));
  ASSERT_TRUE(run.Process().Signal(SIGCONT));
  EXPECT_EQ(kSignalsMayBeDeferred ? run.StopWith(SIGTERM) : run.WaitForExit(), 0) << run.Process().Stderr();
  ExpectSignalText(run.Process().Stdout(), 2);
  run.ExpectOrderlyLifecycle();
  const auto logs = run.Process().Logs();
  EXPECT_EQ(std::count_if(logs.begin(), logs.end(), [](const LogLine& l) { return l.text == kStopLine; }), 1);
}

TEST(GatewayProcess, ASignalDuringStartUpStillReportsTheEndOfStartUpThenStops) {
  GatewayRun run;
  // The handler is installed before the state running is reported.
  ASSERT_TRUE(run.WaitForMessage(kReady)) << run.Process().Stderr();
  EXPECT_EQ(run.StopWith(SIGTERM), 0) << run.Process().Stderr();
  ExpectSignalText(run.Process().Stdout(), 1);
  run.ExpectOrderlyLifecycle();
  EXPECT_EQ(WithoutWatchdog(run.Notify().Messages()), kFullRun);
}

// ---- The REST server inside the process ----

std::optional<std::uint16_t> ServedPort(const GatewayProcess& process) {
  static const std::regex kServing(R"(Serving HTTP on \S+ port (\d+))");
  std::optional<std::uint16_t> port;
  process.WaitForLog(
      [&](const LogLine& line) {
        std::smatch match;
        if (line.contextId == "RUBO" && line.level == "INFO" && std::regex_match(line.text, match, kServing)) {
          port = static_cast<std::uint16_t>(std::stoul(match[1]));
        }
        return port.has_value();
      },
      kStartBound);
  return port;
}

TEST(GatewayProcess, ServesTheChargingManagementCoreServiceWhileRunning) {
  GatewayRun run;
  const auto port = ServedPort(run.Process());
  ASSERT_TRUE(port) << run.Process().Stderr();
  ASSERT_TRUE(run.WaitUntilRunning()) << run.Process().Stderr();
  const std::string reply = HttpGet(*port, "/ChargingManagementCore");
  EXPECT_TRUE(reply.starts_with("HTTP/1.1 200")) << reply;
  EXPECT_NE(reply.find("\"switchControls\""), std::string::npos) << reply;
  EXPECT_EQ(run.StopWith(SIGTERM), 0) << run.Process().Stderr();
  run.ExpectOrderlyLifecycle();
}

// ---- What systemd hears when a part cannot serve ----

struct RestFailureCase {
  const char* name;
  const char* config;  // nullptr: a port that another socket holds
};

void PrintTo(const RestFailureCase& c, std::ostream* os) {
  *os << c.name;
}

class RestStartFailures : public ::testing::TestWithParam<RestFailureCase> {};

TEST_P(RestStartFailures, AreLoggedStartUpGoesOnAndNeitherReadyNorAPingIsSentWhileTheCauseIsShown) {
  TakenPort taken;
  GatewayRun run(GetParam().config != nullptr ? GetParam().config : ConfigOnPort(taken.Port()));
  const std::string failed = "Failed to start server:";
  std::string reason;
  ASSERT_TRUE(run.Process().WaitForLog(
      [&](const LogLine& l) {
        if (l.contextId == "ORIK" && l.level == "ERROR" && l.text.starts_with(failed)) {
          reason = l.text.substr(failed.size());
        }
        return !reason.empty();
      },
      kStartBound))
      << run.Process().Stderr();
  // Start-up goes on to the main loop, and the alive reports after its end show the cause again
  // (health mode 2 replaced it), with no ping.
  const std::string cause = std::string(kNotReady) + "REST server: failed to start: " + reason;
  ASSERT_TRUE(run.Notify().WaitFor(
      [&](const Messages& m) {
        const auto mode2 = IndexOf(m, kMode2);
        return mode2 >= 0 && std::find(m.begin() + mode2, m.end(), cause) != m.end();
      },
      kStartBound))
      << cause << "\n"
      << run.Process().Stderr();
  EXPECT_EQ(run.StopWith(SIGTERM), 0) << run.Process().Stderr();
  ExpectSignalText(run.Process().Stdout(), 1);
  run.ExpectOrderlyLifecycle(0);
  const auto messages = run.Notify().Messages();
  EXPECT_EQ(NotifySocket::Count(messages, kWatchdog), 0u);
  EXPECT_EQ(WithoutWatchdog(messages), Without(kFullRun, {kReady}));
}

INSTANTIATE_TEST_SUITE_P(Rest, RestStartFailures,
                         ::testing::Values(RestFailureCase{"PortTaken", nullptr},
                                           RestFailureCase{"PortOutOfRange", R"({"port": 70000})"},
                                           RestFailureCase{"NotJson", "{port"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(GatewayProcess, ReadyFollowsServing) {
  GatewayRun run;
  const auto port = ServedPort(run.Process());
  ASSERT_TRUE(port) << run.Process().Stderr();
  ASSERT_TRUE(run.WaitForMessage(kReady)) << run.Process().Stderr();
  // Nothing of the start-up that follows is awaited: the port answers once READY=1 is out.
  const std::string reply = HttpGet(*port, "/");
  EXPECT_TRUE(reply.starts_with("HTTP/1.1 200")) << reply;
  const auto messages = run.Notify().Messages();
  EXPECT_LT(IndexOf(messages, kCp60071), IndexOf(messages, kReady));
  EXPECT_EQ(run.StopWith(SIGTERM), 0) << run.Process().Stderr();
}

struct StallCase {
  const char* name;
  const char* part;   // of the test variant's stall switch
  const char* cause;  // after "Not alive: "
};

void PrintTo(const StallCase& c, std::ostream* os) {
  *os << c.part;
}

class StalledIoThreads : public ::testing::TestWithParam<StallCase> {};

TEST_P(StalledIoThreads, StopThePingsAtTheNextAliveReportAndNameTheCause) {
  const StallCase& c = GetParam();
  TempFile folder("");
  const std::string trigger = folder.Path() + ".stall";
  GatewayRun run(ConfigOnPort(0), {{"ORIK_TEST_STALL_IO", std::string(c.part) + ":" + trigger}});
  ASSERT_TRUE(run.WaitUntilRunning()) << run.Process().Stderr();
  std::ofstream(trigger).close();

  const std::string stalled = std::string("STATUS=Test: stalling the ") + c.part + " I/O thread";
  const std::string cause = std::string(kNotAlive) + c.cause;
  ASSERT_TRUE(run.Notify().WaitFor(
      [&](const Messages& m) {
        const auto from = IndexOf(m, stalled);
        return from >= 0 && std::find(m.begin() + from, m.end(), cause) != m.end();
      },
      kStartBound))
      << ::testing::PrintToString(run.Notify().Messages()) << "\n"
      << run.Process().Stderr();
  // The heartbeat posted with the last ping is the one left unanswered: no ping follows.
  EXPECT_EQ(WatchdogsAfter(run.Notify().Messages(), stalled), 0u);
  ::unlink(trigger.c_str());
  // A process with a stuck I/O thread cannot stop in order: the harness ends it.
}

INSTANTIATE_TEST_SUITE_P(
    Threads, StalledIoThreads,
    ::testing::Values(StallCase{"Http", "rest",
                                "REST server: an HTTP I/O thread has not answered since the last alive report"},
                      StallCase{"Middleware", "middleware",
                                "middleware runtime: its I/O thread has not answered since the last alive report"}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- Guarded health reports, failed through the platform's test switch ----

struct GuardedCase {
  const char* name;
  const char* failure;  // the rule for ORIK_PLATFORM_TEST_FAILURES
  const char* text;     // the line logged in the application's default context at Info
  Messages skipped;     // reports that are not made
  bool failsEndOfInit;  // health mode 2 never comes
};

void PrintTo(const GuardedCase& c, std::ostream* os) {
  *os << c.failure;
}

class GuardedReports : public ::testing::TestWithParam<GuardedCase> {};

TEST_P(GuardedReports, AreLoggedSkipTheRestOfTheirGroupAndLetTheProcessGoOn) {
  const GuardedCase& c = GetParam();
  GatewayRun run(ConfigOnPort(0), {{"ORIK_PLATFORM_TEST_FAILURES", c.failure}});
  const auto isFailureLine = [&](const LogLine& l) {
    return l.contextId == "DFLT" && l.level == "INFO" && l.text == c.text;
  };
  if (c.failsEndOfInit) {
    ASSERT_TRUE(run.Process().WaitForLog(isFailureLine, kStartBound)) << run.Process().Stderr();
    ASSERT_TRUE(run.Notify().WaitFor([](const Messages& m) { return WatchdogsAfter(m, kReady) >= 3; }, kStartBound));
  } else {
    ASSERT_TRUE(run.WaitUntilRunning()) << run.Process().Stderr();
  }
  EXPECT_EQ(run.StopWith(SIGTERM), 0) << run.Process().Stderr();

  const auto logs = run.Process().Logs();
  EXPECT_EQ(std::count_if(logs.begin(), logs.end(), isFailureLine), 1) << run.Process().Stderr();
  EXPECT_EQ(WithoutWatchdog(run.Notify().Messages()), Without(kFullRun, c.skipped));
  EXPECT_GE(LogIndex(logs, "ORIK_MAIN", kStopLine), 0);
  ExpectSignalText(run.Process().Stdout(), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Phases, GuardedReports,
    ::testing::Values(GuardedCase{"InitRuntime",
                                  "HealthChannel::SetHealthMode(1,1)=runtime_error:phm down",
                                  "Exception at reporting PHM status in phase INIT: phm down",
                                  {kMode1, kCp60071},
                                  false},
                      GuardedCase{"InitOther",
                                  "HealthChannel::SetHealthMode(1,1)=other",
                                  "Unexpected exception at reporting PHM status in phase INIT",
                                  {kMode1, kCp60071},
                                  false},
                      GuardedCase{"InitSecondCall",
                                  "SupervisionEntity::CheckpointReached(60071,60071)=runtime_error:cp",
                                  "Exception at reporting PHM status in phase INIT: cp",
                                  {kCp60071},
                                  false},
                      GuardedCase{"InitEndRuntime",
                                  "SupervisionEntity::CheckpointReached(60071,60072)=runtime_error:late",
                                  "Exception at reporting PHM status at end of phase INIT: late",
                                  {kCp60072, kMode2},
                                  true},
                      GuardedCase{"InitEndOther",
                                  "SupervisionEntity::CheckpointReached(60071,60072)=other",
                                  "Unexpected exception at reporting PHM status at the end of phase INIT",
                                  {kCp60072, kMode2},
                                  true},
                      GuardedCase{"ShutdownStartRuntime",
                                  "HealthChannel::SetHealthMode(1,3)=runtime_error:going",
                                  "Exception at reporting PHM status at start of phase SHUTDOWN: going",
                                  {kMode3, kCp60073},
                                  false},
                      GuardedCase{"ShutdownStartOther",
                                  "HealthChannel::SetHealthMode(1,3)=other",
                                  "Unexpected exception at reporting PHM status at start of phase SHUTDOWN",
                                  {kMode3, kCp60073},
                                  false},
                      GuardedCase{"ShutdownEndRuntime",
                                  "ApplicationClient::ReportApplicationState(1)=runtime_error:gone",
                                  "Exception at reporting PHM status at end of phase SHUTDOWN: gone",
                                  {kStopping, kCp60074},
                                  false},
                      GuardedCase{"ShutdownEndOther",
                                  "ApplicationClient::ReportApplicationState(1)=other",
                                  "Unexpected exception at reporting PHM status at end of phase SHUTDOWN",
                                  {kStopping, kCp60074},
                                  false},
                      GuardedCase{"ShutdownEndSecondCall",
                                  "SupervisionEntity::CheckpointReached(60071,60074)=other",
                                  "Unexpected exception at reporting PHM status at end of phase SHUTDOWN",
                                  {kCp60074},
                                  false}),
    [](const auto& info) { return std::string(info.param.name); });

struct AliveCase {
  const char* name;
  const char* failure;
  const char* text;
};

void PrintTo(const AliveCase& c, std::ostream* os) {
  *os << c.failure;
}

class AliveFailures : public ::testing::TestWithParam<AliveCase> {};

TEST_P(AliveFailures, AreLoggedAndTheAliveReportsGoOn) {
  GatewayRun run(ConfigOnPort(0), {{"ORIK_PLATFORM_TEST_FAILURES", GetParam().failure}});
  ASSERT_TRUE(run.Process().WaitForLog(
      [&](const LogLine& l) { return l.contextId == "DFLT" && l.level == "INFO" && l.text == GetParam().text; },
      kStartBound))
      << run.Process().Stderr();
  ASSERT_TRUE(run.WaitUntilRunning()) << run.Process().Stderr();
  EXPECT_EQ(run.StopWith(SIGTERM), 0) << run.Process().Stderr();
  EXPECT_EQ(WithoutWatchdog(run.Notify().Messages()), kFullRun);
}

INSTANTIATE_TEST_SUITE_P(
    Alive, AliveFailures,
    ::testing::Values(AliveCase{"Runtime",
                                "SupervisionEntity::CheckpointReached(60071,60075)=runtime_error:no watchdog",
                                "Exception at reporting PHM checkpoint: no watchdog"},
                      AliveCase{"Other", "SupervisionEntity::CheckpointReached(60071,60075)=other",
                                "Unexpected exception at reporting PHM checkpoint"}),
    [](const auto& info) { return std::string(info.param.name); });

class WithoutANotifySocket : public ::testing::TestWithParam<bool> {};

TEST_P(WithoutANotifySocket, ItStillStartsAndStops) {
  TempFile config(ConfigOnPort(0));
  GatewayProcess::Environment environment{{"RUBO_SERVER_CONFIG", config.Path()}};
  if (GetParam()) {
    environment.emplace_back("NOTIFY_SOCKET", "");  // set but empty: as if unset
  }
  GatewayProcess process(ORIK_GATEWAY_EXECUTABLE, environment);
  ASSERT_TRUE(process.WaitForLog([](const LogLine& l) { return l.text == kStartLine; }, kStartBound))
      << process.Stderr();
  ASSERT_TRUE(process.WaitForLog([](const LogLine& l) { return l.text.starts_with("Serving HTTP on "); }, kStartBound))
      << process.Stderr();
  EXPECT_EQ(StopProcess(process, SIGTERM), 0) << process.Stderr();
  ExpectSignalText(process.Stdout(), 1);
}

INSTANTIATE_TEST_SUITE_P(Notify, WithoutANotifySocket, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "EmptyName" : "Unset"; });

// ---- A service manager that cannot be reached ----

struct UnreachableCase {
  const char* name;
  bool removedWhileRunning;  // otherwise NOTIFY_SOCKET names a socket that was never there
};

void PrintTo(const UnreachableCase& c, std::ostream* os) {
  *os << c.name;
}

class UnreachableServiceManager : public ::testing::TestWithParam<UnreachableCase> {};

TEST_P(UnreachableServiceManager, IsLoggedOnceAndTheProcessServesAndStopsInOrder) {
  TempFile config(ConfigOnPort(0));
  NotifySocket socket;
  const std::string path = GetParam().removedWhileRunning ? socket.Path() : config.Path() + ".notify";
  GatewayProcess process(ORIK_GATEWAY_EXECUTABLE, {{"RUBO_SERVER_CONFIG", config.Path()}, {"NOTIFY_SOCKET", path}});
  const auto isUnreachable = [&](const LogLine& l) {
    return l.contextId == "PLAT" && l.level == "ERROR" &&
           l.text.starts_with("Cannot notify the service manager at NOTIFY_SOCKET=\"" + path + "\"");
  };
  if (GetParam().removedWhileRunning) {
    ASSERT_TRUE(socket.WaitFor([](const Messages& m) { return WatchdogsAfter(m, kReady) >= 3; }, kStartBound))
        << process.Stderr();
    socket.RemoveName();
  }
  ASSERT_TRUE(process.WaitForLog(isUnreachable, kStartBound)) << process.Stderr();
  const auto port = ServedPort(process);
  ASSERT_TRUE(port) << process.Stderr();
  const std::string reply = HttpGet(*port, "/ChargingManagementCore");
  EXPECT_TRUE(reply.starts_with("HTTP/1.1 200")) << reply;

  // Every report of the shutdown is lost too, and says nothing more.
  EXPECT_EQ(StopProcess(process, SIGTERM), 0) << process.Stderr();
  ExpectSignalText(process.Stdout(), 1);
  const auto logs = process.Logs();
  EXPECT_EQ(std::count_if(logs.begin(), logs.end(), isUnreachable), 1) << process.Stderr();
  EXPECT_EQ(std::count_if(logs.begin(), logs.end(), [](const LogLine& l) { return l.level == "ERROR"; }), 1)
      << process.Stderr();
  EXPECT_GE(LogIndex(logs, "ORIK_MAIN", kStopLine), 0) << process.Stderr();
}

INSTANTIATE_TEST_SUITE_P(Notify, UnreachableServiceManager,
                         ::testing::Values(UnreachableCase{"SocketNeverThere", false},
                                           UnreachableCase{"SocketRemovedWhileRunning", true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(GatewayProcess, AnUnusableMiddlewareConfigurationEndsTheProcessWithAnErrorAndItsCauseAsTheLastStatus) {
  TempFile config(ConfigOnPort(0));
  TempFile deployment(R"({"network": {"sd": {"port": "not a number"}}, "services": []})");
  NotifySocket notify;
  GatewayProcess process(ORIK_GATEWAY_EXECUTABLE, {{"RUBO_SERVER_CONFIG", config.Path()},
                                                   {"ORIK_COM_DEPLOYMENT", deployment.Path()},
                                                   {"NOTIFY_SOCKET", notify.Path()}});
  EXPECT_EQ(process.WaitForExit(kStopBound), 1) << process.Stderr();
  std::string error;
  EXPECT_TRUE(process.WaitForLog(
      [&](const LogLine& l) {
        if (l.level == "ERROR" && l.text.starts_with("Failed to start the middleware runtime: ") &&
            l.text.find(deployment.Path()) != std::string::npos && l.text.find("sd.port") != std::string::npos) {
          error = l.text;
        }
        return !error.empty();
      },
      kStopBound))
      << process.Stderr();
  EXPECT_EQ(process.Stdout(), "");
  ASSERT_TRUE(notify.ReadEverythingSentSoFar(kStopBound));
  Messages statuses = notify.Messages();
  std::erase_if(statuses, [](const std::string& m) { return !m.starts_with("STATUS="); });
  ASSERT_FALSE(statuses.empty());
  EXPECT_EQ(statuses.back(), "STATUS=" + error);
  EXPECT_EQ(NotifySocket::Count(notify.Messages(), kReady), 0u);
}

}  // namespace
