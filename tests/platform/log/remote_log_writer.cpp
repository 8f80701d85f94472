// Logs in remote mode for the DLT tests, in a process of its own so that it has its own
// DLT library state and its own DLT_PIPE_DIR. Exit status: 0 done, 2 bad arguments,
// 3 a level the test asked the daemon for did not arrive, 4 the test never said stop.

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <thread>

#include "ara/log/logging.h"
#include "ara/log/remote_ids.h"
#include "remote_log_script.h"

namespace {

using ara::log::LogLevel;
using ara::log::LogMode;
using namespace orik::logtest;

constexpr auto kLevelWait = std::chrono::seconds(60);

void Write(const ara::log::Logger& logger, LogLevel level, std::string_view text) {
  switch (level) {
    case LogLevel::kFatal:
      logger.LogFatal() << text;
      break;
    case LogLevel::kError:
      logger.LogError() << text;
      break;
    case LogLevel::kWarn:
      logger.LogWarn() << text;
      break;
    case LogLevel::kInfo:
      logger.LogInfo() << text;
      break;
    case LogLevel::kDebug:
      logger.LogDebug() << text;
      break;
    case LogLevel::kVerbose:
      logger.LogVerbose() << text;
      break;
    case LogLevel::kOff:
      break;
  }
}

bool WaitForRemoteLevel(std::string_view context, LogLevel level) {
  const auto deadline = std::chrono::steady_clock::now() + kLevelWait;
  while (ara::log::RemoteLevel(context) != level) {
    if (std::chrono::steady_clock::now() >= deadline) {
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

// Every step of the script; with a directory, the log file gets them too.
int Script(const char* directory) {
  auto& early = ara::log::CreateLogger(kEarlyContext, "ara::com middleware");
  const LogMode mode = directory != nullptr ? LogMode::kRemote | LogMode::kFile : LogMode::kRemote;
  ara::log::InitLogging("ORIK", "ORIK Application", LogLevel::kInfo, mode, directory != nullptr ? directory : "");
  std::map<std::string, const ara::log::Logger*> loggers{{kEarlyContext, &early}};
  for (const auto& step : kScript) {
    if (std::string_view(step.context) == "DFLT") {
      ara::log::LogInfo() << step.text;
      continue;
    }
    auto& logger = loggers[step.context];
    if (logger == nullptr) {
      logger = &ara::log::CreateLogger(step.context, std::string(step.context) + " test context");
    }
    Write(*logger, step.level, step.text);
  }
  ara::log::CreateLogger(kLongContext, "long").LogInfo() << LongText();
  return 0;
}

// The test raises kLevelContext to Debug once "ready" arrives, and lowers it to Warn once
// "raised" arrives.
int Levels() {
  ara::log::InitLogging("ORIK", "ORIK Application", LogLevel::kInfo, LogMode::kRemote, "");
  auto& logger = ara::log::CreateLogger(kLevelContext, "level changes");
  auto& other = ara::log::CreateLogger(kOtherContext, "level unchanged");
  logger.LogDebug() << "debug before the request";
  logger.LogInfo() << "ready";
  if (!WaitForRemoteLevel(kLevelContext, LogLevel::kDebug)) {
    return 3;
  }
  logger.LogVerbose() << "verbose while at debug";
  logger.LogDebug() << "debug after the request";
  other.LogDebug() << "other debug";
  other.LogInfo() << "other info";
  logger.LogInfo() << "raised";
  if (!WaitForRemoteLevel(kLevelContext, LogLevel::kWarn)) {
    return 3;
  }
  logger.LogInfo() << "info after lowering";
  logger.LogWarn() << "warn after lowering";
  return 0;
}

// A second InitLogging under another application id and level registers everything anew.
int Reinit() {
  ara::log::InitLogging("ORIK", "ORIK Application", LogLevel::kInfo, LogMode::kRemote, "");
  auto& logger = ara::log::CreateLogger(kLevelContext, "reinit");
  logger.LogInfo() << "first";
  logger.LogDebug() << "hidden";
  ara::log::InitLogging("ORK2", "Second Application", LogLevel::kDebug, LogMode::kRemote, "");
  logger.LogDebug() << "second debug";
  logger.LogVerbose() << "second verbose";
  return 0;
}

int Flood(int count) {
  ara::log::InitLogging("ORIK", "ORIK Application", LogLevel::kInfo, LogMode::kRemote, "");
  auto& logger = ara::log::CreateLogger("ORIK_MAIN", "main");
  for (int i = 0; i < count; ++i) {
    logger.LogInfo() << "flood record " << i;
  }
  return 0;
}

// One record every 10 ms until `stopFile` exists, so that the test may take the daemon away and
// bring it back meanwhile; gives up after two minutes (status 4).
int Until(const char* stopFile) {
  ara::log::InitLogging("ORIK", "ORIK Application", LogLevel::kInfo, LogMode::kRemote, "");
  auto& logger = ara::log::CreateLogger("ORIK_MAIN", "main");
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(2);
  for (int i = 0; !std::filesystem::exists(stopFile); ++i) {
    if (std::chrono::steady_clock::now() >= deadline) {
      return 4;
    }
    logger.LogInfo() << "record " << i;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return 0;
}

int Console() {
  ara::log::InitLogging("ORIK", "ORIK Application", LogLevel::kInfo, LogMode::kRemote, "");
  auto& logger = ara::log::CreateLogger("ORIK_MAIN", "main");
  logger.LogInfo() << "console check";
  logger.LogWarn() << "console warning";
  logger.LogDebug() << "console debug";
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string scenario = argc > 1 ? argv[1] : "";
  if (scenario == "script") {
    return Script(argc > 2 ? argv[2] : nullptr);
  }
  if (scenario == "levels") {
    return Levels();
  }
  if (scenario == "flood" && argc > 2) {
    return Flood(std::atoi(argv[2]));
  }
  if (scenario == "reinit") {
    return Reinit();
  }
  if (scenario == "console") {
    return Console();
  }
  if (scenario == "until" && argc > 2) {
    return Until(argv[2]);
  }
  return 2;
}
