#pragma once

#include <chrono>
#include <cstddef>
#include <mutex>
#include <string_view>

#include "ara/log/logging.h"

namespace rubo::detail {

// The framework's own logging context ("RUBO").
ara::log::Logger& FrameworkLogger();

// Lines about requests that failed or were refused. A client can cause them at will, so they
// are bounded: a burst of kBurst lines, then one a second; the next line written says how many
// were left out.
class RequestLog {
 public:
  static constexpr std::size_t kBurst = 10;

  static void Warn(std::string_view text);
  static void Error(std::string_view text);

 private:
  static void Write(bool error, std::string_view text);
};

}  // namespace rubo::detail
