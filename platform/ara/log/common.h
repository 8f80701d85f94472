#pragma once

#include <cstdint>

namespace ara::log {

enum class LogLevel : std::uint8_t {
  kOff = 0,
  kFatal = 1,
  kError = 2,
  kWarn = 3,
  kInfo = 4,
  kDebug = 5,
  kVerbose = 6,
};

enum class LogMode : std::uint8_t {
  kRemote = 1,
  kFile = 2,
  kConsole = 4,
};

// Upper-case short name of a level as it appears on the console ("INFO", "DEBUG", ...).
const char* LevelName(LogLevel level) noexcept;

}  // namespace ara::log
