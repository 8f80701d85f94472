#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <thread>
#include <vector>

#include "ara/log/capture_sink.h"
#include "ara/log/logging.h"

namespace {

using ara::log::LogLevel;

class LogTest : public ::testing::Test {
 protected:
  void SetUp() override { ara::log::SetConsoleEnabled(false); }
  void TearDown() override {
    ara::log::InitLogging("TEST", "tests", LogLevel::kInfo, ara::log::LogMode::kConsole, "");
    ara::log::SetConsoleEnabled(true);
  }
  ara::log::ScopedCapture capture;
};

TEST_F(LogTest, RecordIsThePlainConcatenationOfItsArguments) {
  auto& logger = ara::log::CreateLogger("ORIK_MAIN", "main");
  logger.LogInfo() << std::string("ORIK") << " version " << std::string_view("1.10.10") << " has started!";
  EXPECT_TRUE(capture->Contains("ORIK_MAIN", LogLevel::kInfo, "ORIK version 1.10.10 has started!"));
}

TEST_F(LogTest, NumbersAndBoolsRender) {
  struct Case {
    std::function<void(ara::log::LogStream&)> write;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {[](auto& s) { s << std::uint8_t{65}; }, "65"},
      {[](auto& s) { s << std::int8_t{-5}; }, "-5"},
      {[](auto& s) { s << std::uint16_t{60071}; }, "60071"},
      {[](auto& s) { s << std::int32_t{-2147483647 - 1}; }, "-2147483648"},
      {[](auto& s) { s << std::uint32_t{3000000000u}; }, "3000000000"},
      {[](auto& s) { s << std::numeric_limits<std::uint64_t>::max(); }, "18446744073709551615"},
      {[](auto& s) { s << std::numeric_limits<std::int64_t>::min(); }, "-9223372036854775808"},
      {[](auto& s) { s << true << "/" << false; }, "true/false"},
      {[](auto& s) { s << 2.5f; }, "2.5"},
      {[](auto& s) { s << 0.1; }, "0.1"},
  };
  auto& logger = ara::log::CreateLogger("NUM", "numbers");
  for (const auto& c : cases) {
    capture->Clear();
    {
      auto stream = logger.LogInfo();
      c.write(stream);
    }
    ASSERT_EQ(capture->Texts("NUM"), std::vector<std::string>{c.expected});
  }
}

TEST_F(LogTest, RecordsBelowTheLevelAreDropped) {
  auto& logger = ara::log::CreateLogger("LVL", "levels");
  ara::log::InitLogging("ORIK", "ORIK Application", LogLevel::kInfo, ara::log::LogMode::kRemote, "");
  logger.LogDebug() << "debug";
  logger.LogVerbose() << "verbose";
  logger.LogInfo() << "info";
  logger.LogError() << "error";
  ara::log::InitLogging("ORIK", "ORIK Application", LogLevel::kError, ara::log::LogMode::kRemote, "");
  logger.LogInfo() << "info2";
  logger.LogFatal() << "fatal";
  EXPECT_EQ(capture->Texts("LVL"), (std::vector<std::string>{"info", "error", "fatal"}));
  const auto records = capture->Records();
  EXPECT_EQ(records.back().appId, "ORIK");
}

TEST_F(LogTest, SameContextMayBeCreatedTwice) {
  auto& a = ara::log::CreateLogger("ORIK", "Charging Management Core rubo");
  auto& b = ara::log::CreateLogger("ORIK", "Charging Management Core proxy");
  EXPECT_NE(&a, &b);
  a.LogInfo() << "a";
  b.LogInfo() << "b";
  EXPECT_EQ(capture->Texts("ORIK"), (std::vector<std::string>{"a", "b"}));
}

TEST_F(LogTest, FreeFunctionsWriteToTheDefaultContext) {
  ara::log::LogInfo() << "Ended main block.";
  EXPECT_TRUE(capture->Contains("DFLT", LogLevel::kInfo, "Ended main block."));
}

TEST_F(LogTest, ConcurrentWritersNeverTearRecords) {
  auto& logger = ara::log::CreateLogger("MT", "threads");
  constexpr int kThreads = 8;
  constexpr int kRecords = 200;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&logger, t] {
      for (int i = 0; i < kRecords; ++i) {
        logger.LogInfo() << "thread " << t << " record " << i << " end";
      }
    });
  }
  for (auto& thread : threads) {
    thread.join();
  }
  const auto texts = capture->Texts("MT");
  ASSERT_EQ(texts.size(), static_cast<std::size_t>(kThreads * kRecords));
  std::vector<int> next(kThreads, 0);
  for (const auto& text : texts) {
    int t = -1;
    int i = -1;
    ASSERT_EQ(std::sscanf(text.c_str(), "thread %d record %d end", &t, &i), 2) << text;
    ASSERT_EQ(text, "thread " + std::to_string(t) + " record " + std::to_string(i) + " end");
    EXPECT_EQ(i, next[t]++) << "records of one thread keep their order";
  }
}

TEST_F(LogTest, WaitForSeesEarlierAndLaterRecords) {
  auto& logger = ara::log::CreateLogger("WAIT", "waits");
  logger.LogInfo() << "early";
  auto matches = [](const std::string& text) {
    return [text](const ara::log::Record& r) { return r.contextId == "WAIT" && r.text == text; };
  };
  EXPECT_TRUE(capture->WaitFor(matches("early"), std::chrono::milliseconds(0)));
  std::thread writer([&logger] { logger.LogInfo() << "late"; });
  EXPECT_TRUE(capture->WaitFor(matches("late"), std::chrono::seconds(30)));
  writer.join();
  EXPECT_FALSE(capture->WaitFor(matches("never"), std::chrono::milliseconds(10)));
}

}  // namespace
