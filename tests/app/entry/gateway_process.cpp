#include "tests/app/entry/gateway_process.h"

#include "tests/support/child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <system_error>

extern char** environ;

namespace orik::testing {
namespace {

// Variables the gateway (or its platform) reads; a test names its own.
constexpr const char* kGatewayVariables[] = {
    "NOTIFY_SOCKET", "RUBO_SERVER_CONFIG",          "ORIK_COM_DEPLOYMENT",       "ORIK_COM_TRANSPORT",
    "WATCHDOG_USEC", "ORIK_PLATFORM_TEST_FAILURES", "ORIK_PHM_ALIVE_CHECKPOINT", "WATCHDOG_PID",
    "LISTEN_FDS"};

bool IsGatewayVariable(const std::string& entry) {
  for (const char* name : kGatewayVariables) {
    const std::string prefix = std::string(name) + "=";
    if (entry.starts_with(prefix)) {
      return true;
    }
  }
  return false;
}

void Check(int error, const char* what) {
  if (error != 0) {
    throw std::system_error(error, std::generic_category(), what);
  }
}

}  // namespace

std::optional<LogLine> ParseLogLine(const std::string& line) {
  std::istringstream in(line);
  std::string date;
  std::string time;
  LogLine parsed;
  if (!(in >> date >> time >> parsed.appId >> parsed.contextId >> parsed.level)) {
    return std::nullopt;
  }
  if (in.peek() == ' ') {
    in.get();
  }
  std::getline(in, parsed.text);
  return parsed;
}

GatewayProcess::GatewayProcess(const std::string& executable, const Environment& environment) {
  std::string dltDir = "/tmp/orik-dlt-XXXXXX";
  if (mkdtemp(dltDir.data()) == nullptr) {
    throw std::system_error(errno, std::generic_category(), "mkdtemp");
  }
  dltDir_ = dltDir;
  std::vector<std::string> entries;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    if (!IsGatewayVariable(*entry)) {
      entries.emplace_back(*entry);
    }
  }
  // The log is read from standard error; remote logging goes to a daemon folder of this
  // process alone, where no daemon listens.
  std::map<std::string, std::string> variables{{"ORIK_LOG_CONSOLE", "1"}, {"DLT_PIPE_DIR", dltDir_}};
  for (const auto& [name, value] : environment) {
    variables[name] = value;
  }
  // A test that brings no deployment of its own has no vehicle either: the in-process bus keeps
  // gateways started at once by parallel tests from competing for the default discovery port.
  if (!variables.contains("ORIK_COM_DEPLOYMENT")) {
    variables.emplace("ORIK_COM_TRANSPORT", "local");
  }
  for (const auto& [name, value] : variables) {
    entries.push_back(name + "=" + value);
  }
  int out[2];
  int err[2];
  if (::pipe2(out, O_CLOEXEC) != 0) {
    std::filesystem::remove_all(dltDir_);
    throw std::system_error(errno, std::generic_category(), "pipe2");
  }
  if (::pipe2(err, O_CLOEXEC) != 0) {
    const int error = errno;
    ::close(out[0]);
    ::close(out[1]);
    std::filesystem::remove_all(dltDir_);
    throw std::system_error(error, std::generic_category(), "pipe2");
  }
  const int spawned = SpawnChild(pid_, {executable}, std::move(entries), -1, out[1], err[1]);
  ::close(out[1]);
  ::close(err[1]);
  if (spawned != 0) {
    ::close(out[0]);
    ::close(err[0]);
    std::filesystem::remove_all(dltDir_);
    Check(spawned, "posix_spawn");
  }

  stdoutReader_ = std::thread([this, fd = out[0]] {
    ReadInto(fd, stdout_);
    std::lock_guard lock(mutex_);
    stdoutClosed_ = true;
    changed_.notify_all();
  });
  stderrReader_ = std::thread([this, fd = err[0]] {
    ReadInto(fd, stderr_);
    std::lock_guard lock(mutex_);
    stderrClosed_ = true;
    changed_.notify_all();
  });
  reaper_ = std::thread([this] {
    WaitAndReap(pid_, mutex_, [this](int status) {
      exitStatus_ = status;
      changed_.notify_all();
    });
  });
}

GatewayProcess::~GatewayProcess() {
  {
    std::lock_guard lock(mutex_);
    if (!exitStatus_) {
      // Not reaped yet, so the pid still names our child.
      ::kill(pid_, SIGKILL);
    }
  }
  reaper_.join();
  stdoutReader_.join();
  stderrReader_.join();
  // DLT leaves a FIFO of its own there when it finds no daemon.
  std::error_code ignored;
  std::filesystem::remove_all(dltDir_, ignored);
}

void GatewayProcess::ReadInto(int fd, std::string& buffer) {
  ReadToEnd(fd, [&](std::string_view chunk) {
    std::lock_guard lock(mutex_);
    buffer.append(chunk);
    changed_.notify_all();
  });
}

bool GatewayProcess::Signal(int signal) const {
  std::lock_guard lock(mutex_);
  return !exitStatus_ && ::kill(pid_, signal) == 0;
}

std::string GatewayProcess::ThreadStates() const {
  std::lock_guard lock(mutex_);
  if (exitStatus_) {
    return "(ended)\n";
  }
  std::string states;
  std::error_code error;
  const std::filesystem::path tasks = "/proc/" + std::to_string(pid_) + "/task";
  for (const auto& task : std::filesystem::directory_iterator(tasks, error)) {
    const auto read = [&](const char* name) {
      std::ifstream in(task.path() / name);
      std::string text;
      std::getline(in, text);
      return text;
    };
    states += task.path().filename().string() + " " + read("comm") + " wchan=" + read("wchan") +
              " syscall=" + read("syscall").substr(0, read("syscall").find(' ')) + "\n";
  }
  return states;
}

std::string GatewayProcess::Stdout() const {
  std::lock_guard lock(mutex_);
  return stdout_;
}

std::string GatewayProcess::Stderr() const {
  std::lock_guard lock(mutex_);
  return stderr_;
}

namespace {
std::vector<LogLine> ParseLines(const std::string& text) {
  std::vector<LogLine> lines;
  std::size_t start = 0;
  for (std::size_t end = text.find('\n'); end != std::string::npos; end = text.find('\n', start)) {
    if (auto line = ParseLogLine(text.substr(start, end - start))) {
      lines.push_back(std::move(*line));
    }
    start = end + 1;
  }
  return lines;
}
}  // namespace

std::vector<LogLine> GatewayProcess::Logs() const {
  return ParseLines(Stderr());
}

bool GatewayProcess::WaitForLog(const std::function<bool(const LogLine&)>& predicate,
                                std::chrono::milliseconds timeout) const {
  std::unique_lock lock(mutex_);
  bool found = false;
  changed_.wait_for(lock, timeout, [&] {
    for (const auto& line : ParseLines(stderr_)) {
      if (predicate(line)) {
        found = true;
        return true;
      }
    }
    return EndedLocked();
  });
  return found;
}

std::optional<int> GatewayProcess::WaitForExit(std::chrono::milliseconds timeout) const {
  std::unique_lock lock(mutex_);
  if (!changed_.wait_for(lock, timeout, [&] { return EndedLocked(); })) {
    return std::nullopt;
  }
  return exitStatus_;
}

}  // namespace orik::testing
