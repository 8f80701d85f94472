#pragma once

#include <string>

#include "ara/log/common.h"
#include "ara/log/log_stream.h"

namespace ara::log {

namespace detail {
struct RemoteContext;
}  // namespace detail

// One logging context. Loggers live for the whole process (CreateLogger keeps them),
// so references to them never dangle.
class Logger {
 public:
  Logger(std::string contextId, std::string description);

  LogStream LogFatal() const noexcept { return LogStream(this, LogLevel::kFatal); }
  LogStream LogError() const noexcept { return LogStream(this, LogLevel::kError); }
  LogStream LogWarn() const noexcept { return LogStream(this, LogLevel::kWarn); }
  LogStream LogInfo() const noexcept { return LogStream(this, LogLevel::kInfo); }
  LogStream LogDebug() const noexcept { return LogStream(this, LogLevel::kDebug); }
  LogStream LogVerbose() const noexcept { return LogStream(this, LogLevel::kVerbose); }

  bool IsEnabled(LogLevel level) const noexcept;
  const std::string& ContextId() const noexcept { return contextId_; }
  const std::string& Description() const noexcept { return description_; }

 private:
  friend class LogStream;
  friend Logger& CreateLogger(std::string contextId, std::string description);

  std::string contextId_;
  std::string description_;
  // The DLT context this logger's records go to in remote mode; shared by every logger
  // whose id maps to the same DLT id, and never freed.
  detail::RemoteContext* remote_;
};

}  // namespace ara::log
