#pragma once

#include <memory>
#include <string>
#include <thread>

#include "ara/log/common.h"
#include "ara/log/log_stream.h"
#include "ara/log/logger.h"

namespace ara::log {

// Sets the application id, the default level and where records go. Before it is called,
// records go to the console at level Info under the application id "----".
// - kRemote: every record is one message to the DLT daemon (see README.md in this folder);
//   a daemon that is missing or slow never blocks a caller. The daemon may change the level
//   of a context; that decides what goes remote, not what goes to the console or the file.
// - kFile: records are appended to "<directoryPath>/<appId>.log".
// - kConsole: records go to standard error. ORIK_LOG_CONSOLE=1 in the environment adds the
//   console to any mode; ORIK_LOG_CONSOLE=<level> ("warn", ...) adds it for that level and the
//   more severe ones only.
// Throws std::invalid_argument for a mode without any of these bits, with unknown bits or
// with kFile but no directory, and std::runtime_error when the log file cannot be opened;
// the previous configuration then stays.
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

// Allows console output on standard error (allowed by default); whether the console is
// written at all follows the mode and ORIK_LOG_CONSOLE. Tests and benchmarks turn it off.
void SetConsoleEnabled(bool enabled);

}  // namespace ara::log
