#pragma once

#include <memory>
#include <string>
#include <thread>

#include "ara/log/common.h"
#include "ara/log/log_stream.h"
#include "ara/log/logger.h"

namespace ara::log {

// Sets the application id and the level below which records are dropped. Before it is
// called, records go to the console at level Info under the application id "----".
// Remote mode writes to the console: there is no remote collector on this machine.
void InitLogging(std::string appId, std::string description, LogLevel logLevel, LogMode logMode,
                 std::string directoryPath);

// Creates a context; the returned logger lives until the process ends. The same context id
// may be created several times, with different descriptions.
Logger& CreateLogger(std::string contextId, std::string description);

// The application's default context ("DFLT").
LogStream LogFatal() noexcept;
LogStream LogError() noexcept;
LogStream LogWarn() noexcept;
LogStream LogInfo() noexcept;
LogStream LogDebug() noexcept;
LogStream LogVerbose() noexcept;

// One finished record, as handed to every sink.
struct Record {
  std::string appId;
  std::string contextId;
  LogLevel level;
  std::string text;
  std::thread::id thread;
};

class Sink {
 public:
  virtual ~Sink() = default;
  // Called with the logging lock held, so records reach a sink one at a time.
  virtual void Write(const Record& record) = 0;
};

// Extra sinks beside the console (tests use a CaptureSink).
void AddSink(std::shared_ptr<Sink> sink);
void RemoveSink(const std::shared_ptr<Sink>& sink);

// Console output on standard error; on by default. Tests and benchmarks may turn it off.
void SetConsoleEnabled(bool enabled);

}  // namespace ara::log
