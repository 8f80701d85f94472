#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <ostream>
#include <sstream>
#include <stdexcept>
#include <string>

#include "ara/log/capture_sink.h"
#include "ara/log/logging.h"
#include "ara/log/remote_ids.h"

namespace {

using ara::log::LogLevel;
using ara::log::LogMode;

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

class LogModesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ara::log::SetConsoleEnabled(false);
    std::string pattern = (std::filesystem::temp_directory_path() / "orik-log-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
  }
  void TearDown() override {
    ara::log::InitLogging("TEST", "tests", LogLevel::kInfo, LogMode::kConsole, "");
    ara::log::SetConsoleEnabled(true);
    std::filesystem::remove_all(dir_);
  }
  std::filesystem::path dir_;
  ara::log::ScopedCapture capture_;
};

TEST_F(LogModesTest, FileModeAppendsFullIdsToTheApplicationsFileInTheDirectory) {
  for (const auto& directory : {dir_.string(), dir_.string() + "/"}) {
    ara::log::InitLogging("ORIK", "ORIK Application", LogLevel::kInfo, LogMode::kFile | LogMode::kConsole, directory);
    auto& logger = ara::log::CreateLogger("ORIK_MAIN", "main");
    logger.LogInfo() << "ORIK version "
                     << "1.10.10"
                     << " has started!";
    logger.LogDebug() << "below the level";
  }
  const std::string file = ReadFile(dir_ / "ORIK.log");
  const std::string line = " ORIK ORIK_MAIN INFO ORIK version 1.10.10 has started!\n";
  const auto first = file.find(line);
  ASSERT_NE(first, std::string::npos) << file;
  EXPECT_NE(file.find(line, first + 1), std::string::npos) << "a second InitLogging appends: " << file;
  EXPECT_EQ(file.find("below the level"), std::string::npos);

  // Leaving file mode closes the file: later records stay out of it.
  ara::log::InitLogging("ORIK", "ORIK Application", LogLevel::kInfo, LogMode::kConsole, "");
  ara::log::CreateLogger("ORIK_MAIN", "main").LogInfo() << "after file mode";
  EXPECT_EQ(ReadFile(dir_ / "ORIK.log").find("after file mode"), std::string::npos);
  EXPECT_TRUE(capture_->Contains("ORIK_MAIN", LogLevel::kInfo, "after file mode"));
}

struct BadMode {
  const char* name;
  unsigned mode;
  bool withDirectory;
  const char* message;
};

void PrintTo(const BadMode& c, std::ostream* os) {
  *os << c.name;
}

class LogModesBadModeTest : public LogModesTest, public ::testing::WithParamInterface<BadMode> {};

TEST_P(LogModesBadModeTest, FailsWithAClearMessageAndKeepsTheConfiguration) {
  ara::log::InitLogging("ORIK", "ORIK Application", LogLevel::kError, LogMode::kConsole, "");
  const auto& bad = GetParam();
  try {
    ara::log::InitLogging("BAD", "bad", LogLevel::kVerbose, static_cast<LogMode>(bad.mode),
                          bad.withDirectory ? dir_.string() : "");
    FAIL() << "InitLogging accepted mode " << bad.mode;
  } catch (const std::invalid_argument& error) {
    EXPECT_NE(std::string(error.what()).find(bad.message), std::string::npos) << error.what();
  }
  auto& logger = ara::log::CreateLogger("KEEP", "kept configuration");
  logger.LogInfo() << "below the kept level";
  logger.LogError() << "kept";
  EXPECT_EQ(capture_->Texts("KEEP"), std::vector<std::string>{"kept"});
  EXPECT_EQ(capture_->Records().back().appId, "ORIK");
  EXPECT_TRUE(std::filesystem::is_empty(dir_));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LogModesBadModeTest,
    ::testing::Values(BadMode{"NoBits", 0, true, "log mode 0 selects no output"},
                      BadMode{"UnknownBit", 8, true, "log mode 8 has unknown bits 0x8"},
                      BadMode{"UnknownBitBesideFile", 2 | 16, true, "log mode 18 has unknown bits 0x10"},
                      BadMode{"FileWithoutDirectory", 2, false, "file mode needs the directory"},
                      BadMode{"FileAndConsoleWithoutDirectory", 2 | 4, false, "file mode needs the directory"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(LogModesTest, AFileThatCannotBeOpenedFailsNamingIt) {
  const auto missing = dir_ / "missing";
  try {
    ara::log::InitLogging("ORIK", "ORIK Application", LogLevel::kInfo, LogMode::kFile, missing.string());
    FAIL() << "InitLogging accepted a directory that does not exist";
  } catch (const std::runtime_error& error) {
    EXPECT_NE(std::string(error.what()).find((missing / "ORIK.log").string()), std::string::npos) << error.what();
  }
}

struct IdCase {
  const char* contextId;
  const char* remoteId;
};

void PrintTo(const IdCase& c, std::ostream* os) {
  *os << c.contextId;
}

class RemoteContextIdTest : public ::testing::TestWithParam<IdCase> {};

TEST_P(RemoteContextIdTest, MapsToAtMostFourCharacters) {
  EXPECT_EQ(ara::log::RemoteContextId(GetParam().contextId), GetParam().remoteId);
}

INSTANTIATE_TEST_SUITE_P(Contexts, RemoteContextIdTest,
                         ::testing::Values(IdCase{"ORIK_MAIN", "MAIN"}, IdCase{"ORIK", "ORIK"}, IdCase{"PXWRP", "PXWR"},
                                           IdCase{"RBEWRP", "RBEW"}, IdCase{"RBECL", "RBEC"}, IdCase{"DSNC", "DSNC"},
                                           IdCase{"RUBO", "RUBO"}, IdCase{"REST", "REST"}, IdCase{"ACOM", "ACOM"},
                                           IdCase{"PLAT", "PLAT"}, IdCase{"DFLT", "DFLT"}, IdCase{"AB", "AB"}),
                         [](const auto& info) { return std::string(info.param.contextId); });

TEST(RemoteIdTest, ApplicationIdKeepsItsFirstFourCharacters) {
  EXPECT_EQ(ara::log::RemoteApplicationId("ORIK"), "ORIK");
  EXPECT_EQ(ara::log::RemoteApplicationId("ORIKGW"), "ORIK");
}

TEST(RemoteIdTest, NothingGoesRemoteOutsideRemoteMode) {
  ara::log::InitLogging("TEST", "tests", LogLevel::kVerbose, LogMode::kConsole, "");
  ara::log::CreateLogger("ORIK_MAIN", "main");
  EXPECT_EQ(ara::log::RemoteLevel("ORIK_MAIN"), LogLevel::kOff);
  EXPECT_EQ(ara::log::RemoteLevel("never created"), LogLevel::kOff);
  ara::log::InitLogging("TEST", "tests", LogLevel::kInfo, LogMode::kConsole, "");
}

}  // namespace
