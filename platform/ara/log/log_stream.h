#pragma once

#include <concepts>
#include <cstdint>
#include <string>
#include <string_view>

#include "ara/log/common.h"

namespace ara::log {

class Logger;

// The integers a record prints as numbers: bool and char have their own overloads.
template <typename T>
concept NumberInteger = std::integral<T> && !std::same_as<T, bool> && !std::same_as<T, char>;

// Collects the arguments of one log statement; the record is written when the stream
// ends (at the end of the full expression). A stream whose level is filtered out
// formats nothing.
class LogStream {
 public:
  LogStream(const Logger* logger, LogLevel level) noexcept;
  LogStream(const LogStream&) = delete;
  LogStream& operator=(const LogStream&) = delete;
  LogStream(LogStream&& other) noexcept;
  LogStream& operator=(LogStream&&) = delete;
  ~LogStream();

  // Writes the collected record now and starts an empty one.
  void Flush();

  LogStream& operator<<(const char* text);
  LogStream& operator<<(const std::string& text);
  LogStream& operator<<(std::string_view text);
  LogStream& operator<<(char c);
  LogStream& operator<<(bool value);
  LogStream& operator<<(float value);
  LogStream& operator<<(double value);

  // Every integer width; 8-bit values print as numbers, never as characters.
  template <NumberInteger T>
  LogStream& operator<<(T value) {
    if (active_) {
      if constexpr (std::is_signed_v<T>) {
        AppendSigned(static_cast<std::int64_t>(value));
      } else {
        AppendUnsigned(static_cast<std::uint64_t>(value));
      }
    }
    return *this;
  }

 private:
  void AppendSigned(std::int64_t value);
  void AppendUnsigned(std::uint64_t value);

  const Logger* logger_;
  LogLevel level_;
  bool active_;
  std::string text_;
};

}  // namespace ara::log
