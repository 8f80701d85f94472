#pragma once

#include <sys/types.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace orik::testing {

// One record of the gateway's console log (standard error).
struct LogLine {
  std::string appId;
  std::string contextId;
  std::string level;
  std::string text;
};

// Parses "<date> <time> <app> <context> <LEVEL> <text>"; nullopt for any other line.
std::optional<LogLine> ParseLogLine(const std::string& line);

// The gateway executable, started as a child process with its own environment: standard output
// and standard error are collected, signals can be sent, and the exit status is reaped by a
// thread of its own. A process still running when the object ends is killed.
class GatewayProcess {
 public:
  using Environment = std::vector<std::pair<std::string, std::string>>;

  // Starts `executable` with the test's environment, minus every variable the gateway reads,
  // plus `environment`. Throws std::system_error when the process cannot be started.
  GatewayProcess(const std::string& executable, const Environment& environment);
  ~GatewayProcess();
  GatewayProcess(const GatewayProcess&) = delete;
  GatewayProcess& operator=(const GatewayProcess&) = delete;

  pid_t Pid() const noexcept { return pid_; }
  // Sends a signal; false when the process is gone.
  bool Signal(int signal) const;

  std::string Stdout() const;
  std::string Stderr() const;
  std::vector<LogLine> Logs() const;

  // Waits until `predicate` holds for the log lines so far; false on timeout or when the process
  // has ended without it.
  bool WaitForLog(const std::function<bool(const LogLine&)>& predicate, std::chrono::milliseconds timeout) const;

  // The exit status (0-255), or minus the signal that ended the process; nullopt on timeout.
  std::optional<int> WaitForExit(std::chrono::milliseconds timeout) const;

 private:
  void ReadInto(int fd, std::string& buffer);
  bool EndedLocked() const { return exitStatus_.has_value() && stdoutClosed_ && stderrClosed_; }

  std::string dltDir_;
  pid_t pid_ = -1;
  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  std::string stdout_;
  std::string stderr_;
  bool stdoutClosed_ = false;
  bool stderrClosed_ = false;
  std::optional<int> exitStatus_;
  std::thread stdoutReader_;
  std::thread stderrReader_;
  std::thread reaper_;
};

}  // namespace orik::testing
