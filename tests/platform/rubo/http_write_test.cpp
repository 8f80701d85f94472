// POSTs whose pre-update hook waits (a vehicle that answers late), over real HTTP on loopback:
// the writes that queue for one element are bounded and never lock other clients out, a write
// whose client has gone never runs whatever the client sent after it, a client that half-closes
// learns whether its write was made, and the connections fit the open-file limit. Hooks wait on
// a gate the test opens; no case waits for a timeout constant.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "ara/log/capture_sink.h"
#include "ara/log/logging.h"
#include "tests/platform/rubo/raw_client.h"
#include "tests/platform/rubo/served_tree.h"
#include "tests/platform/rubo/swarm.h"

namespace {

using rubo::testing::ConfigOf;
using rubo::testing::FreshlyServed;
using rubo::testing::kServerAddress;
using rubo::testing::kWait;
using rubo::testing::RawClient;
using rubo::testing::ServedTree;
using rubo::testing::Swarm;
using rubo::testing::SwarmSources;
using rubo::testing::WaitUntil;
using namespace std::chrono_literals;

bool IsDrop(const ara::log::Record& record, const std::string& peer) {
  return record.contextId == "RUBO" && record.level == ara::log::LogLevel::kInfo &&
         record.text.starts_with("[Rubo] Dropped a POST to ") &&
         record.text.ends_with(" from " + peer + ": the client closed the connection before it ran");
}

// Waits (bounded) until the capture holds `count` drops of that peer.
bool WaitForDrops(const ara::log::ScopedCapture& capture, const std::string& peer, std::size_t count) {
  return WaitUntil([&] { return capture->Count([&](const ara::log::Record& r) { return IsDrop(r, peer); }) >= count; },
                   kWait);
}

// ---- queued writes

// Behind a write that runs, a bounded number wait; the next is answered 503 at once, as when all
// slots are busy, and its hook never runs.
TEST(QueuedWriteTest, BeyondTheBoundA503AndNoHook) {
  ServedTree tree(ConfigOf({{"maxQueuedUpdates", 2}, {"retryAfterSeconds", 3}}));
  tree.gate.Close();
  auto running = tree.Connect();
  ASSERT_TRUE(running.Send(tree.Post(R"({"mode":"first"})")));
  ASSERT_TRUE(tree.gate.WaitEntered(1));
  std::vector<std::unique_ptr<RawClient>> more;
  for (int i = 0; i < 3; ++i) {
    more.push_back(std::make_unique<RawClient>(kServerAddress, tree.Port()));
    ASSERT_TRUE(more.back()->Send(tree.Post(R"({"mode":"more"})")));
  }
  // Whichever of the three came last finds two waiting: it is answered while the hook still waits.
  int refused = -1;
  const auto deadline = std::chrono::steady_clock::now() + kWait;
  while (refused < 0 && std::chrono::steady_clock::now() < deadline) {
    for (std::size_t i = 0; i < more.size() && refused < 0; ++i) {
      if (!more[i]->QuietFor(1ms)) {
        refused = static_cast<int>(i);
      }
    }
  }
  ASSERT_GE(refused, 0);
  const auto busy = more[static_cast<std::size_t>(refused)]->Read();
  EXPECT_EQ(busy.status, 503u);
  EXPECT_EQ(busy.Header("retry-after"), "3");
  EXPECT_EQ(busy.Header("connection"), "close");
  EXPECT_EQ(tree.gate.Entered(), 1);
  tree.gate.Open();
  EXPECT_EQ(running.Read().status, 200u);
  for (std::size_t i = 0; i < more.size(); ++i) {
    if (static_cast<int>(i) != refused) {
      EXPECT_EQ(more[i]->Read().status, 200u);
    }
  }
  EXPECT_EQ(tree.gate.Entered(), 3);
}

// Every slot is held by a write that runs or waits: a fresh connection gets the slot of the
// write queued last, which is answered 503 and never runs.
TEST(QueuedWriteTest, AQueuedWriteGivesItsSlotToAFreshConnection) {
  ServedTree tree(ConfigOf({{"maxConnections", 3}}));
  tree.gate.Close();
  auto running = tree.Connect("127.0.0.51");
  ASSERT_TRUE(running.Send(tree.Post(R"({"mode":"first"})")));
  ASSERT_TRUE(tree.gate.WaitEntered(1));
  RawClient queued[2] = {RawClient(kServerAddress, tree.Port(), "127.0.0.52"),
                         RawClient(kServerAddress, tree.Port(), "127.0.0.52")};
  for (auto& client : queued) {
    ASSERT_TRUE(client.Send(tree.Post(R"({"mode":"queued"})")));
  }
  // A connection is turned away only while the queued requests are still being read: the
  // fresh client tries again, within a bound.
  unsigned status = 0;
  for (int attempt = 0; attempt < 50 && status != 200; ++attempt) {
    RawClient fresh(kServerAddress, tree.Port(), "127.0.0.53");
    if (fresh.Send(tree.Get(tree.path))) {
      status = fresh.Read(5s).status;
    }
  }
  EXPECT_EQ(status, 200u);
  tree.gate.Open();
  EXPECT_EQ(running.Read().status, 200u);
  std::vector<unsigned> answers = {queued[0].Read().status, queued[1].Read().status};
  std::sort(answers.begin(), answers.end());
  EXPECT_EQ(answers, (std::vector<unsigned>{200, 503}));
  EXPECT_EQ(tree.gate.Entered(), 2);
}

struct FreshCase {
  const char* name;
  std::function<std::string(const ServedTree&)> request;
};

const FreshCase kFresh[] = {
    {"Get", [](const ServedTree& tree) { return tree.Get(tree.path); }},
    {"PostElsewhere", [](const ServedTree& tree) { return tree.Post(R"({"mode":"fresh"})", {}, tree.path2); }},
};

class LockOutTest : public ::testing::TestWithParam<FreshCase> {};

// 8 addresses keep 256 complete POSTs outstanding on one element whose hook waits 100 ms, each
// sent again on a new connection as soon as it is answered: a fresh client from a ninth address,
// one connection per request, is served nearly always.
TEST_P(LockOutTest, FreshClientIsServedWhileWritesQueueOnOneElement) {
  ServedTree tree(ConfigOf({{"maxConnections", 256}, {"maxConnectionsPerPeer", 64}, {"lingerTimeoutMs", 50}}));
  tree.gate.Close();
  tree.gate.HoldFor(100ms);
  Swarm writers(tree.Port(), SwarmSources("127.0.43.", 8), 32, tree.Post(R"({"mode":"flood"})"), Swarm::Mode::kRepeat);
  // The element's queue is full and the writers are being turned away before the fresh client
  // starts.
  ASSERT_TRUE(WaitUntil([&] { return writers.Busy() >= 256; }, kWait));
  constexpr int kRequests = 40;
  const int served = FreshlyServed(kServerAddress, tree.Port(), "127.0.43.30", GetParam().request(tree), kRequests);
  ::testing::Test::RecordProperty("fresh_served", served);
  EXPECT_GE(served, kRequests * 8 / 10);
}

INSTANTIATE_TEST_SUITE_P(Writes, LockOutTest, ::testing::ValuesIn(kFresh),
                         [](const ::testing::TestParamInfo<FreshCase>& info) { return std::string(info.param.name); });

// ---- abandoned writes

// Descriptors this process has open: the test's clients and the server's connections.
std::size_t OpenDescriptors() {
  std::size_t count = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
    ++count;
  }
  return count;
}

// Waits (bounded) until `count` descriptors are open: no more (at least, with `atLeast`).
bool WaitForOpenDescriptors(std::size_t count, bool atLeast = false) {
  return WaitUntil([&] { return atLeast ? OpenDescriptors() >= count : OpenDescriptors() <= count; }, kWait);
}

struct AbandonCase {
  const char* name;
  std::function<std::string(const ServedTree&)> after;  // what the client sends after its POST
  bool reset;                                           // gone with a reset, else an orderly close
};

const AbandonCase kAbandons[] = {
    {"Closed", [](const ServedTree&) { return std::string(); }, false},
    {"Reset", [](const ServedTree&) { return std::string(); }, true},
    {"CrlfThenClosed", [](const ServedTree&) { return std::string("\r\n"); }, false},
    {"PipelinedGetThenClosed", [](const ServedTree& tree) { return tree.Get("/"); }, false},
    {"PipelinedPostThenReset", [](const ServedTree& tree) { return tree.Post(R"({"mode":"pipelined"})"); }, true},
    // Up to what the server holds of a pipelined request's head.
    {"BytesUpToTheBoundThenClosed", [](const ServedTree&) { return std::string(3000, 'x'); }, false},
};

class AbandonTest : public ::testing::TestWithParam<AbandonCase> {};

// 64 clients send a POST while another one runs on the same element, then more bytes, then go:
// none of their writes is made, each drop is logged once, the server closes each, and the next
// real POST runs right after the first.
TEST_P(AbandonTest, AWaitingWriteWhoseClientWentNeverRuns) {
  ara::log::ScopedCapture capture;
  ServedTree tree(ConfigOf({{"maxWorkerThreads", 2}, {"maxQueuedUpdates", 100}}));
  tree.gate.Close();
  auto first = tree.Connect("127.0.0.31");
  ASSERT_TRUE(first.Send(tree.Post(R"({"mode":"first"})")));
  ASSERT_TRUE(tree.gate.WaitEntered(1));
  const auto descriptors = OpenDescriptors();
  constexpr int kGivenUp = 64;
  std::vector<std::unique_ptr<RawClient>> clients;
  for (int i = 0; i < kGivenUp; ++i) {
    clients.push_back(std::make_unique<RawClient>(kServerAddress, tree.Port(), "127.0.0.32"));
    ASSERT_TRUE(clients.back()->Send(tree.Post(R"({"mode":"abandoned"})")));
  }
  // Once the server has accepted every one (a client's descriptor and the server's each), what
  // follows comes as a client's later bytes do.
  ASSERT_TRUE(WaitForOpenDescriptors(descriptors + 2 * kGivenUp, true));
  const auto after = GetParam().after(tree);
  for (auto& client : clients) {
    if (!after.empty()) {
      ASSERT_TRUE(client->Send(after));
    }
    if (GetParam().reset) {
      client->ResetNow();
    } else {
      client->CloseNow();
    }
  }
  // The server has seen every one of them go once it holds none of their descriptors.
  ASSERT_TRUE(WaitForOpenDescriptors(descriptors));
  const auto drops = capture->Count([](const ara::log::Record& r) { return IsDrop(r, "127.0.0.32"); });
  if (GetParam().reset) {
    // A reset may come before the server read the POST (it is then never seen).
    EXPECT_LE(drops, static_cast<std::size_t>(kGivenUp));
  } else {
    EXPECT_EQ(drops, static_cast<std::size_t>(kGivenUp));
  }
  auto last = tree.Connect("127.0.0.33");
  ASSERT_TRUE(last.Send(tree.Post(R"({"mode":"last"})")));
  tree.gate.Open();
  EXPECT_EQ(first.Read().status, 200u);
  EXPECT_EQ(last.Read().status, 200u);
  EXPECT_EQ(tree.gate.Entered(), 2);
  EXPECT_EQ(tree.Mode(), "last");
}

INSTANTIATE_TEST_SUITE_P(Writes, AbandonTest, ::testing::ValuesIn(kAbandons),
                         [](const ::testing::TestParamInfo<AbandonCase>& info) {
                           return std::string(info.param.name);
                         });

// ---- half-close

struct HalfCloseCase {
  const char* name;
  bool behindAnother;  // the POST waits behind one that runs on the same element
  bool answered;
};

// A client that shuts down its sending side can still read: once its write has started it is
// answered; while the write still waits behind another, the half-close counts as its going.
const HalfCloseCase kHalfCloses[] = {
    {"AfterItsWriteStarted", false, true},
    {"WhileItsWriteWaits", true, false},
};

class HalfCloseTest : public ::testing::TestWithParam<HalfCloseCase> {};

TEST_P(HalfCloseTest, AnsweredOnceItsWriteStarted) {
  ara::log::ScopedCapture capture;
  ServedTree tree(ConfigOf({}));
  tree.gate.Close();
  std::unique_ptr<RawClient> other;
  if (GetParam().behindAnother) {
    other = std::make_unique<RawClient>(kServerAddress, tree.Port(), "127.0.0.61");
    ASSERT_TRUE(other->Send(tree.Post(R"({"mode":"other"})")));
    ASSERT_TRUE(tree.gate.WaitEntered(1));
  }
  auto client = tree.Connect("127.0.0.62");
  ASSERT_TRUE(client.Send(tree.Post(R"({"mode":"half"})")));
  if (GetParam().behindAnother) {
    client.ShutdownSend();
    ASSERT_TRUE(WaitForDrops(capture, "127.0.0.62", 1));
  } else {
    ASSERT_TRUE(tree.gate.WaitEntered(1));
    client.ShutdownSend();
  }
  tree.gate.Open();
  const auto response = client.Read();
  EXPECT_TRUE(client.WaitClosed());
  if (GetParam().answered) {
    EXPECT_EQ(response.status, 200u);
    EXPECT_EQ(tree.Mode(), "half");
  } else {
    EXPECT_EQ(response.status, 0u);
    EXPECT_EQ(other->Read().status, 200u);
    EXPECT_EQ(tree.gate.Entered(), 1);
    EXPECT_EQ(tree.Mode(), "other");
  }
}

INSTANTIATE_TEST_SUITE_P(Writes, HalfCloseTest, ::testing::ValuesIn(kHalfCloses),
                         [](const ::testing::TestParamInfo<HalfCloseCase>& info) {
                           return std::string(info.param.name);
                         });

// ---- descriptors

rlimit OpenFileLimit() {
  rlimit limit{};
  ::getrlimit(RLIMIT_NOFILE, &limit);
  return limit;
}

// Restores this process's open-file limit.
class OpenFileLimitGuard {
 public:
  OpenFileLimitGuard() : saved_(OpenFileLimit()) {}
  ~OpenFileLimitGuard() { ::setrlimit(RLIMIT_NOFILE, &saved_); }
  OpenFileLimitGuard(const OpenFileLimitGuard&) = delete;
  OpenFileLimitGuard& operator=(const OpenFileLimitGuard&) = delete;
  const rlimit& Saved() const { return saved_; }

 private:
  rlimit saved_;
};

// CPU time (user and system, in clock ticks) of the server's I/O threads.
long IoThreadTicks() {
  long total = 0;
  for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
    std::ifstream comm(task.path() / "comm");
    std::string name;
    std::getline(comm, name);
    if (name != "rubo-io") {
      continue;
    }
    std::ifstream stat(task.path() / "stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    // After the name's closing parenthesis: state, then fields 4.. of which utime and stime
    // are the 14th and 15th.
    std::istringstream fields(text.substr(text.rfind(')') + 2));
    std::string field;
    long utime = 0;
    long stime = 0;
    for (int index = 3; fields >> field; ++index) {
      if (index == 14) {
        utime = std::stol(field);
      } else if (index == 15) {
        stime = std::stol(field);
        break;
      }
    }
    total += utime + stime;
  }
  return total;
}

// Out of descriptors, the server neither spins on the connection it cannot accept nor loses
// it: once descriptors are free again, the waiting client is served.
TEST(OpenFileTest, AcceptBacksOffWhileOutOfDescriptorsAndRecovers) {
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
  // Its undefined-behaviour checks open descriptors of their own to look at memory, and report
  // an object they cannot look at as a fault.
  GTEST_SKIP() << "the sanitizer runtime needs descriptors while the process has none";
#endif
#endif
  OpenFileLimitGuard guard;
  ServedTree tree(ConfigOf({}));
  const int client = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  ASSERT_GE(client, 0);
  rlimit few = guard.Saved();
  few.rlim_cur = std::min<rlim_t>(few.rlim_cur, 512);  // quick to use up
  ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &few), 0);
  const long before = IoThreadTicks();
  std::vector<int> hoarded;
  for (int fd = 0; (fd = ::dup(STDERR_FILENO)) >= 0;) {
    hoarded.push_back(fd);
  }
  ASSERT_EQ(errno, EMFILE);
  // The kernel completes the connection; the server cannot accept it.
  sockaddr_in server{};
  server.sin_family = AF_INET;
  server.sin_port = htons(tree.Port());
  ::inet_pton(AF_INET, kServerAddress, &server.sin_addr);
  ASSERT_EQ(::connect(client, reinterpret_cast<sockaddr*>(&server), sizeof(server)), 0);
  const std::string request = tree.Get(tree.path);
  ASSERT_EQ(::send(client, request.data(), request.size(), MSG_NOSIGNAL), static_cast<ssize_t>(request.size()));
  pollfd answer{client, POLLIN, 0};
  const int early = ::poll(&answer, 1, 300);  // the server tries to accept meanwhile
  for (const int fd : hoarded) {
    ::close(fd);
  }
  const long spent = IoThreadTicks() - before;
  EXPECT_EQ(early, 0);
  // A spinning accept would take about the whole 300 ms of one thread.
  EXPECT_LT(spent * 1000 / ::sysconf(_SC_CLK_TCK), 100) << "ticks " << spent;
  ASSERT_EQ(::poll(&answer, 1, static_cast<int>(std::chrono::milliseconds(kWait).count())), 1);
  char reply[64] = {};
  EXPECT_GT(::recv(client, reply, sizeof(reply) - 1, 0), 0);
  EXPECT_TRUE(std::string(reply).starts_with("HTTP/1.1 200 OK")) << reply;
  ::close(client);
}

// The server raises its soft open-file limit as far as its slots need, when the hard limit
// lets it.
TEST(OpenFileTest, SoftLimitRaisedForTheSlots) {
  OpenFileLimitGuard guard;
  if (guard.Saved().rlim_max < 2 * 300 + 64) {
    GTEST_SKIP() << "hard open-file limit too low here";
  }
  rlimit low = guard.Saved();
  low.rlim_cur = 200;
  ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &low), 0);
  ara::log::ScopedCapture capture;
  ServedTree tree(ConfigOf({{"maxConnections", 300}}));
  EXPECT_EQ(OpenFileLimit().rlim_cur, 2u * 300 + 64);
  EXPECT_EQ(capture->Count([](const ara::log::Record& r) { return r.level == ara::log::LogLevel::kWarn; }), 0u);
}

// Where the hard limit is too low, the server serves as many connections as fit and says so.
void ServeUnderALowHardLimit() {
  const rlimit low{200, 200};
  if (::setrlimit(RLIMIT_NOFILE, &low) != 0) {
    std::fprintf(stderr, "setrlimit failed\n");
    std::_Exit(2);
  }
  ara::log::ScopedCapture capture;
  ServedTree tree(ConfigOf({{"maxConnections", 256}}));
  const bool said = capture->Contains("RUBO", ara::log::LogLevel::kWarn,
                                      "[Rubo] The open-file limit of 200 descriptors leaves room for 68 connections, "
                                      "not the 256 configured: serving that many");
  std::vector<std::unique_ptr<RawClient>> clients;
  int served = 0;
  for (int i = 0; i < 40; ++i) {
    clients.push_back(std::make_unique<RawClient>(kServerAddress, tree.Port(), "127.0.0.72"));
    served += clients.back()->Send(tree.Get(tree.path)) && clients.back()->Read().status == 200u ? 1 : 0;
  }
  const auto failures = capture->Count([](const ara::log::Record& r) { return r.level == ara::log::LogLevel::kError; });
  std::fprintf(stderr, "said %d, served %d, errors %zu\n", said ? 1 : 0, served, failures);
  std::_Exit(said && served == 40 && failures == 0 ? 0 : 1);
}

TEST(OpenFileDeathTest, SlotsLoweredToTheHardLimitAndSaidOnce) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(ServeUnderALowHardLimit(), ::testing::ExitedWithCode(0), "said 1, served 40, errors 0");
}

}  // namespace
