#include "rubo/detail/logger.h"

#include <algorithm>
#include <cstdint>

namespace rubo::detail {

ara::log::Logger& FrameworkLogger() {
  static ara::log::Logger& logger = ara::log::CreateLogger("RUBO", "Rubo framework");
  return logger;
}

void RequestLog::Info(std::string_view text) {
  Write(Level::kInfo, text);
}

void RequestLog::Warn(std::string_view text) {
  Write(Level::kWarn, text);
}

void RequestLog::Error(std::string_view text) {
  Write(Level::kError, text);
}

void RequestLog::Write(Level level, std::string_view text) {
  using Clock = std::chrono::steady_clock;
  static std::mutex mutex;
  static double tokens = kBurst;
  static Clock::time_point refilled = Clock::now();
  static std::size_t leftOut = 0;
  std::size_t before = 0;
  {
    std::lock_guard lock(mutex);
    const auto now = Clock::now();
    tokens = std::min<double>(kBurst, tokens + std::chrono::duration<double>(now - refilled).count());
    refilled = now;
    if (tokens < 1.0) {
      ++leftOut;
      return;
    }
    tokens -= 1.0;
    before = leftOut;
    leftOut = 0;
  }
  auto stream = level == Level::kError  ? FrameworkLogger().LogError()
                : level == Level::kWarn ? FrameworkLogger().LogWarn()
                                        : FrameworkLogger().LogInfo();
  stream << text;
  if (before != 0) {
    stream << " (" << static_cast<std::uint64_t>(before) << " similar lines left out)";
  }
}

}  // namespace rubo::detail
