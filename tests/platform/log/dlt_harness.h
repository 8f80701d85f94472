#pragma once

// Runs the DLT tools for tests: a daemon on its own configuration, FIFO directory and
// loopback port, a dlt-receive writing what it gets to a file, and child processes.

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace orik::logtest {

// A fresh directory under the system's temporary directory, removed with its contents.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& Path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// A child process with its standard output and standard error in files.
class Child {
 public:
  using Environment = std::vector<std::pair<std::string, std::string>>;

  // Runs `argv` (looked up in PATH) with the environment of this process changed by
  // `environment` (an empty value removes the variable).
  Child(const std::vector<std::string>& argv, const Environment& environment, const std::filesystem::path& outputDir);
  ~Child();  // kills the child if it still runs
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;

  // The exit status (as waitpid gives it) once the child has ended, nullopt if it still runs
  // when the timeout passes.
  std::optional<int> Wait(std::chrono::milliseconds timeout);
  bool Running();
  void Terminate(std::chrono::milliseconds grace);
  std::string Stdout() const;
  std::string Stderr() const;

 private:
  pid_t pid_ = -1;
  std::optional<int> status_;
  std::filesystem::path stdout_;
  std::filesystem::path stderr_;
};

// Polls `condition` until it holds or the timeout passes.
bool Eventually(const std::function<bool()>& condition, std::chrono::milliseconds timeout);

class DltDaemon {
 public:
  // kLater: the daemon's folder exists (PipeDir() may be handed to an application), but the daemon
  // starts only with Start(), as one that comes after the application.
  enum class When { kNow, kLater };

  // Starts the daemon unless told to wait; check Started() before use.
  explicit DltDaemon(When when = When::kNow);
  ~DltDaemon();
  DltDaemon(const DltDaemon&) = delete;
  DltDaemon& operator=(const DltDaemon&) = delete;

  // Starts a daemon that is not running; true once it accepts clients.
  bool Start();
  // Stops the daemon, as one that ends while applications log to it.
  void Stop();

  bool Started() const { return started_; }
  // The directory of the daemon's FIFO: what an application gets as DLT_PIPE_DIR.
  std::string PipeDir() const { return dir_.Path().string(); }
  int Port() const { return port_; }
  // What the daemon wrote about itself, for failure messages.
  std::string Diagnostics() const;

 private:
  bool StartOn(int port);

  TempDir dir_;
  int port_ = 0;
  bool started_ = false;
  std::optional<Child> process_;
};

// One message as dlt-receive stored it.
struct DltRecord {
  std::string appId;
  std::string contextId;
  int messageType = -1;  // DLT_TYPE_LOG for log messages
  int level = -1;        // for log messages, DLT's level number
  std::string text;      // the payload as DLT prints it in ASCII
};

class DltReceiver {
 public:
  explicit DltReceiver(const DltDaemon& daemon);
  ~DltReceiver();
  DltReceiver(const DltReceiver&) = delete;
  DltReceiver& operator=(const DltReceiver&) = delete;

  // True once the daemon has told this receiver that it is connected.
  bool WaitConnected(std::chrono::milliseconds timeout);
  std::vector<DltRecord> Records() const;
  // Log messages of one application, in the order received.
  std::vector<DltRecord> LogRecords(const std::string& appId) const;
  bool WaitFor(const std::function<bool(const DltRecord&)>& predicate, std::chrono::milliseconds timeout);

 private:
  TempDir dir_;
  std::filesystem::path file_;
  std::optional<Child> process_;
};

// Runs dlt-control against the daemon with the given options; true when it ends with 0.
bool DltControl(const DltDaemon& daemon, const std::vector<std::string>& options, std::string* output);

}  // namespace orik::logtest
