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

#include <nlohmann/json.hpp>

namespace orik::e2e {

// The vehicle simulator as a child process: commands go to its standard input, its standard
// output is read as one JSON event a line, standard error is kept for failure messages.
class SimProcess {
 public:
  using Environment = std::vector<std::pair<std::string, std::string>>;

  // Throws std::system_error when the process cannot be started.
  SimProcess(const std::string& executable, const std::vector<std::string>& arguments, const Environment& environment);
  // Kills a process still running.
  ~SimProcess();
  SimProcess(const SimProcess&) = delete;
  SimProcess& operator=(const SimProcess&) = delete;

  pid_t Pid() const noexcept { return pid_; }
  // Writes one command line; false when the simulator no longer reads.
  bool Send(const nlohmann::json& command);
  bool Signal(int signal) const;

  std::vector<nlohmann::json> Events() const;
  std::string Stderr() const;
  // The first event from index `from` on that holds every key/value of `subset`; nullopt after
  // the timeout or once the process has ended without it.
  std::optional<nlohmann::json> WaitForEvent(const nlohmann::json& subset, std::chrono::milliseconds timeout,
                                             std::size_t from = 0) const;
  std::size_t EventCount() const;
  std::optional<int> WaitForExit(std::chrono::milliseconds timeout) const;

 private:
  static bool Matches(const nlohmann::json& event, const nlohmann::json& subset);

  pid_t pid_ = -1;
  int stdin_ = -1;
  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  std::vector<nlohmann::json> events_;
  std::string stderr_;
  bool stdoutClosed_ = false;
  std::optional<int> exitStatus_;
  std::thread stdoutReader_;
  std::thread stderrReader_;
  std::thread reaper_;
};

}  // namespace orik::e2e
