#include "rubo/detail/logger.h"

#include <algorithm>
#include <cstdint>

namespace rubo::detail {

ara::log::Logger& FrameworkLogger() {
  static ara::log::Logger& logger = ara::log::CreateLogger("RUBO", "Rubo framework");
  return logger;
}

void RequestLog::Warn(std::string_view text) {
  Write(false, text);
}

void RequestLog::Error(std::string_view text) {
  Write(true, text);
}

void RequestLog::Write(bool error, std::string_view text) {
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
  auto stream = error ? FrameworkLogger().LogError() : FrameworkLogger().LogWarn();
  stream << text;
  if (before != 0) {
    stream << " (" << static_cast<std::uint64_t>(before) << " similar lines left out)";
  }
}

}  // namespace rubo::detail
