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

// A bit set: the modes combine with |, for example LogMode::kRemote | LogMode::kConsole.
enum class LogMode : std::uint8_t {
  kRemote = 1,
  kFile = 2,
  kConsole = 4,
};

constexpr LogMode operator|(LogMode a, LogMode b) noexcept {
  return static_cast<LogMode>(static_cast<std::uint8_t>(a) | static_cast<std::uint8_t>(b));
}

constexpr LogMode operator&(LogMode a, LogMode b) noexcept {
  return static_cast<LogMode>(static_cast<std::uint8_t>(a) & static_cast<std::uint8_t>(b));
}

// True when every bit of `part` is set in `mode`.
constexpr bool HasMode(LogMode mode, LogMode part) noexcept {
  return (mode & part) == part;
}

// Upper-case short name of a level as it appears on the console ("INFO", "DEBUG", ...).
const char* LevelName(LogLevel level) noexcept;

}  // namespace ara::log
