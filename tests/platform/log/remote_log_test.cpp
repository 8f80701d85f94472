// Remote mode against a real dlt-daemon: each test starts its own daemon (own FIFO
// directory and loopback port) and a writer process, and reads back what dlt-receive got.

#include <dlt/dlt_types.h>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <ostream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "ara/log/remote_ids.h"
#include "dlt_harness.h"
#include "remote_log_script.h"

namespace {

using ara::log::LogLevel;
using orik::logtest::Child;
using orik::logtest::DltControl;
using orik::logtest::DltDaemon;
using orik::logtest::DltReceiver;
using orik::logtest::DltRecord;
using orik::logtest::TempDir;

// Bounds for waits on other processes; they only end a test that would otherwise hang.
constexpr auto kTimeout = std::chrono::seconds(60);

using Entry = std::pair<int, std::string>;  // DLT level, text

bool ExitedWith(const std::optional<int>& status, int code) {
  return status && WIFEXITED(*status) && WEXITSTATUS(*status) == code;
}

std::map<std::string, std::vector<Entry>> ByContext(const std::vector<DltRecord>& records) {
  std::map<std::string, std::vector<Entry>> byContext;
  for (const auto& record : records) {
    byContext[record.contextId].emplace_back(record.level, record.text);
  }
  return byContext;
}

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

class DltRemoteLogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!ara::log::RemoteSupported()) {
      GTEST_SKIP() << "this build leaves the DLT library out";
    }
    ASSERT_TRUE(daemon_.Started()) << daemon_.Diagnostics();
    receiver_.emplace(daemon_);
    ASSERT_TRUE(receiver_->WaitConnected(kTimeout)) << daemon_.Diagnostics();
  }

  Child RunWriter(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), REMOTE_LOG_WRITER);
    return Child(arguments, {{"DLT_PIPE_DIR", daemon_.PipeDir()}, {"ORIK_LOG_CONSOLE", ""}}, output_.Path());
  }

  bool WaitForText(const std::string& context, const std::string& text) {
    return receiver_->WaitFor(
        [&](const DltRecord& r) { return r.appId == "ORIK" && r.contextId == context && r.text == text; }, kTimeout);
  }

  TempDir output_;
  DltDaemon daemon_;
  std::optional<DltReceiver> receiver_;
};

TEST_F(DltRemoteLogTest, EveryRecordArrivesUnderTheMappedIdsAtItsLevelInOrder) {
  TempDir files;
  Child writer = RunWriter({"script", files.Path().string()});
  ASSERT_TRUE(ExitedWith(writer.Wait(kTimeout), 0)) << writer.Stderr();
  const std::string longContext = ara::log::RemoteContextId(orik::logtest::kLongContext);
  ASSERT_TRUE(receiver_->WaitFor(
      [&](const DltRecord& r) { return r.contextId == longContext && r.text.rfind("LLLL", 0) == 0; }, kTimeout))
      << daemon_.Diagnostics();

  std::map<std::string, std::vector<Entry>> expected;
  for (const auto& step : orik::logtest::kScript) {
    if (step.level <= LogLevel::kInfo) {
      expected[ara::log::RemoteContextId(step.context)].emplace_back(static_cast<int>(step.level), step.text);
    }
  }
  auto received = ByContext(receiver_->LogRecords("ORIK"));
  ASSERT_EQ(received[longContext].size(), expected[longContext].size() + 1);
  const Entry longEntry = received[longContext].back();
  received[longContext].pop_back();
  EXPECT_EQ(received, expected);

  // One message still, cut by the library where a message ends, with its mark.
  EXPECT_EQ(longEntry.first, DLT_LOG_INFO);
  EXPECT_LT(longEntry.second.size(), orik::logtest::kLongLength);
  EXPECT_NE(longEntry.second.find("truncated"), std::string::npos) << longEntry.second.substr(1000);

  // The file sink beside the remote one keeps the full ids and the full text.
  const std::string file = ReadFile(files.Path() / "ORIK.log");
  EXPECT_NE(file.find(" ORIK ORIK_MAIN INFO ORIK version 1.10.10 has started!\n"), std::string::npos) << file;
  EXPECT_NE(file.find(" ORIK RBEWRP ERROR [rbewrapper] error line\n"), std::string::npos) << file;
  EXPECT_NE(file.find(" ORIK DSNC INFO " + orik::logtest::LongText() + "\n"), std::string::npos);
  EXPECT_EQ(file.find("Map exception"), std::string::npos);
  EXPECT_EQ(writer.Stdout(), "");
}

TEST_F(DltRemoteLogTest, DaemonLevelRequestsChangeWhatAContextSends) {
  const std::string context = ara::log::RemoteContextId(orik::logtest::kLevelContext);
  const std::string other = ara::log::RemoteContextId(orik::logtest::kOtherContext);
  Child writer = RunWriter({"levels"});
  ASSERT_TRUE(WaitForText(context, "ready")) << writer.Stderr();
  std::string output;
  ASSERT_TRUE(DltControl(daemon_, {"-a", "ORIK", "-c", context, "-l", "5"}, &output)) << output;
  ASSERT_TRUE(WaitForText(context, "raised")) << writer.Stderr();
  ASSERT_TRUE(DltControl(daemon_, {"-a", "ORIK", "-c", context, "-l", "3"}, &output)) << output;
  ASSERT_TRUE(ExitedWith(writer.Wait(kTimeout), 0)) << writer.Stderr();
  ASSERT_TRUE(WaitForText(context, "warn after lowering"));

  auto received = ByContext(receiver_->LogRecords("ORIK"));
  EXPECT_EQ(received[context], (std::vector<Entry>{{DLT_LOG_INFO, "ready"},
                                                   {DLT_LOG_DEBUG, "debug after the request"},
                                                   {DLT_LOG_INFO, "raised"},
                                                   {DLT_LOG_WARN, "warn after lowering"}}));
  EXPECT_EQ(received[other], (std::vector<Entry>{{DLT_LOG_INFO, "other info"}}));
}

TEST_F(DltRemoteLogTest, ASecondInitLoggingRegistersUnderTheNewIdAndLevel) {
  const std::string context = ara::log::RemoteContextId(orik::logtest::kLevelContext);
  Child writer = RunWriter({"reinit"});
  ASSERT_TRUE(ExitedWith(writer.Wait(kTimeout), 0)) << writer.Stderr();
  ASSERT_TRUE(receiver_->WaitFor(
      [&](const DltRecord& r) { return r.appId == "ORK2" && r.contextId == context && r.text == "second debug"; },
      kTimeout));
  EXPECT_EQ(ByContext(receiver_->LogRecords("ORIK"))[context], (std::vector<Entry>{{DLT_LOG_INFO, "first"}}));
  EXPECT_EQ(ByContext(receiver_->LogRecords("ORK2"))[context], (std::vector<Entry>{{DLT_LOG_DEBUG, "second debug"}}));
}

// Without a daemon: an empty FIFO directory (the library sets up and buffers), and one
// that does not exist (the library cannot set up at all).
struct NoDaemonCase {
  const char* name;
  bool pipeDirExists;
  bool console;
};

void PrintTo(const NoDaemonCase& c, std::ostream* os) {
  *os << c.name;
}

class DltNoDaemonTest : public ::testing::TestWithParam<NoDaemonCase> {};

std::size_t Occurrences(const std::string& text, const std::string& part) {
  std::size_t count = 0;
  for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size())) {
    ++count;
  }
  return count;
}

std::string LostLine(const std::string& pipeDir) {
  return " ORIK ALOG WARN Remote logging cannot reach DLT: its FIFO " + pipeDir + "/dlt ";
}

TEST_P(DltNoDaemonTest, TenThousandRecordsNeitherBlockNorFail) {
  constexpr int kRecords = 10000;
  TempDir dir;
  const auto pipeDir = GetParam().pipeDirExists ? dir.Path() : dir.Path() / "missing";
  Child writer({REMOTE_LOG_WRITER, "flood", std::to_string(kRecords)},
               {{"DLT_PIPE_DIR", pipeDir.string()}, {"ORIK_LOG_CONSOLE", GetParam().console ? "1" : ""}}, dir.Path());
  ASSERT_TRUE(ExitedWith(writer.Wait(kTimeout), 0)) << writer.Stderr();
  EXPECT_EQ(writer.Stdout(), "");
  const std::string errors = writer.Stderr();
  const auto last = errors.find(" ORIK ORIK_MAIN INFO flood record " + std::to_string(kRecords - 1) + "\n");
  EXPECT_EQ(last != std::string::npos, GetParam().console) << errors.substr(0, 2000);
  // Said once, console or not, where the library sets up and has nowhere to hand the records to;
  // where it cannot set up at all, it says so itself and remote logging is off, as it is in
  // builds that leave the library out.
  const bool remote = GetParam().pipeDirExists && ara::log::RemoteSupported();
  EXPECT_EQ(Occurrences(errors, LostLine(pipeDir.string())), remote ? 1u : 0u) << errors.substr(0, 2000);
}

INSTANTIATE_TEST_SUITE_P(Cases, DltNoDaemonTest,
                         ::testing::Values(NoDaemonCase{"EmptyPipeDir", true, false},
                                           NoDaemonCase{"EmptyPipeDirWithConsole", true, true},
                                           NoDaemonCase{"MissingPipeDir", false, false},
                                           NoDaemonCase{"MissingPipeDirWithConsole", false, true}),
                         [](const auto& info) { return std::string(info.param.name); });

// A daemon that starts after the application and ends while it logs: standard error says so once
// each time, whatever the console's setting (here off), and the records reach the daemon while
// it runs.
TEST(DltReach, ADaemonLostIsSaidOnceAndADaemonReachedAgainOnce) {
  if (!ara::log::RemoteSupported()) {
    GTEST_SKIP() << "this build leaves the DLT library out";
  }
  TempDir output;
  DltDaemon daemon(DltDaemon::When::kLater);
  const auto stop = output.Path() / "stop";
  Child writer({REMOTE_LOG_WRITER, "until", stop.string()},
               {{"DLT_PIPE_DIR", daemon.PipeDir()}, {"ORIK_LOG_CONSOLE", ""}}, output.Path());
  const std::string lost = LostLine(daemon.PipeDir());
  const std::string reached =
      " ORIK ALOG INFO Remote logging reaches DLT again through its FIFO " + daemon.PipeDir() + "/dlt\n";
  const auto saidTimes = [&](const std::string& line, std::size_t times) {
    return orik::logtest::Eventually([&] { return Occurrences(writer.Stderr(), line) == times; }, kTimeout);
  };

  ASSERT_TRUE(saidTimes(lost, 1)) << writer.Stderr();
  ASSERT_TRUE(daemon.Start()) << daemon.Diagnostics();
  DltReceiver receiver(daemon);
  ASSERT_TRUE(receiver.WaitConnected(kTimeout)) << daemon.Diagnostics();
  ASSERT_TRUE(saidTimes(reached, 1)) << writer.Stderr();
  ASSERT_TRUE(
      receiver.WaitFor([](const DltRecord& r) { return r.appId == "ORIK" && r.text.starts_with("record "); }, kTimeout))
      << daemon.Diagnostics();

  daemon.Stop();
  ASSERT_TRUE(saidTimes(lost, 2)) << writer.Stderr();
  std::ofstream(stop).close();
  ASSERT_TRUE(ExitedWith(writer.Wait(kTimeout), 0)) << writer.Stderr();
  const std::string errors = writer.Stderr();
  EXPECT_EQ(Occurrences(errors, lost), 2u) << errors;
  EXPECT_EQ(Occurrences(errors, reached), 1u) << errors;
  EXPECT_EQ(Occurrences(errors, " ORIK_MAIN "), 0u) << "the console stays off for the records: " << errors;
  EXPECT_EQ(writer.Stdout(), "");
}

struct ConsoleCase {
  const char* name;
  const char* value;  // of ORIK_LOG_CONSOLE; empty: unset
  bool info;          // the Info record is on the console
  bool warning;       // the Warn record is
  bool complaint;     // the value is refused on standard error
};

void PrintTo(const ConsoleCase& c, std::ostream* os) {
  *os << c.name;
}

class DltConsoleTest : public ::testing::TestWithParam<ConsoleCase> {};

TEST_P(DltConsoleTest, TheEnvironmentAddsTheConsoleToRemoteMode) {
  TempDir dir;
  Child writer({REMOTE_LOG_WRITER, "console"},
               {{"DLT_PIPE_DIR", dir.Path().string()}, {"ORIK_LOG_CONSOLE", GetParam().value}}, dir.Path());
  ASSERT_TRUE(ExitedWith(writer.Wait(kTimeout), 0)) << writer.Stderr();
  const std::string errors = writer.Stderr();
  EXPECT_EQ(errors.find(" ORIK ORIK_MAIN INFO console check\n") != std::string::npos, GetParam().info) << errors;
  EXPECT_EQ(errors.find(" ORIK ORIK_MAIN WARN console warning\n") != std::string::npos, GetParam().warning) << errors;
  // Below the application's level whatever the console asks for.
  EXPECT_EQ(errors.find("console debug"), std::string::npos) << errors;
  EXPECT_EQ(errors.find("ORIK_LOG_CONSOLE must be 0, 1 or a level") != std::string::npos, GetParam().complaint)
      << errors;
  EXPECT_EQ(writer.Stdout(), "");
}

INSTANTIATE_TEST_SUITE_P(Cases, DltConsoleTest,
                         ::testing::Values(ConsoleCase{"Unset", "", false, false, false},
                                           ConsoleCase{"On", "1", true, true, false},
                                           ConsoleCase{"Off", "0", false, false, false},
                                           ConsoleCase{"FromWarn", "warn", false, true, false},
                                           ConsoleCase{"FromErrorInCapitals", "ERROR", false, false, false},
                                           ConsoleCase{"FromDebug", "debug", true, true, false},
                                           ConsoleCase{"Unknown", "yes", false, false, true},
                                           ConsoleCase{"NotALevel", "warning", false, false, true}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
