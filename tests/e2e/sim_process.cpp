#include "tests/e2e/sim_process.h"

#include "tests/support/child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

extern char** environ;

namespace orik::e2e {

namespace {

void ReadLines(int fd, const std::function<void(std::string)>& onLine) {
  std::string pending;
  orik::testing::ReadToEnd(fd, [&](std::string_view chunk) {
    pending.append(chunk);
    for (std::size_t end; (end = pending.find('\n')) != std::string::npos;) {
      onLine(pending.substr(0, end));
      pending.erase(0, end + 1);
    }
  });
  if (!pending.empty()) {
    onLine(pending);
  }
}

}  // namespace

SimProcess::SimProcess(const std::string& executable, const std::vector<std::string>& arguments,
                       const Environment& environment) {
  std::vector<std::string> entries;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    bool replaced = false;
    for (const auto& [name, value] : environment) {
      replaced = replaced || std::string(*entry).starts_with(name + "=");
    }
    if (!replaced && !std::string(*entry).starts_with("ORIK_COM_DEPLOYMENT=")) {
      entries.emplace_back(*entry);
    }
  }
  for (const auto& [name, value] : environment) {
    entries.push_back(name + "=" + value);
  }
  std::vector<std::string> args{executable};
  args.insert(args.end(), arguments.begin(), arguments.end());

  int in[2];
  int out[2];
  int err[2];
  if (::pipe2(in, O_CLOEXEC) != 0 || ::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0) {
    throw std::system_error(errno, std::generic_category(), "pipe2");
  }
  const int spawned = orik::testing::SpawnChild(pid_, std::move(args), std::move(entries), in[0], out[1], err[1]);
  ::close(in[0]);
  ::close(out[1]);
  ::close(err[1]);
  stdin_ = in[1];
  if (spawned != 0) {
    ::close(in[1]);
    ::close(out[0]);
    ::close(err[0]);
    throw std::system_error(spawned, std::generic_category(), "posix_spawn " + executable);
  }
  stdoutReader_ = std::thread([this, fd = out[0]] {
    ReadLines(fd, [this](std::string line) {
      nlohmann::json event = nlohmann::json::parse(line, nullptr, false);
      if (event.is_discarded()) {
        event = {{"event", "unreadable"}, {"line", line}};
      }
      std::lock_guard lock(mutex_);
      events_.push_back(std::move(event));
      changed_.notify_all();
    });
    std::lock_guard lock(mutex_);
    stdoutClosed_ = true;
    changed_.notify_all();
  });
  stderrReader_ = std::thread([this, fd = err[0]] {
    ReadLines(fd, [this](std::string line) {
      std::lock_guard lock(mutex_);
      stderr_ += line + "\n";
    });
  });
  reaper_ = std::thread([this] {
    orik::testing::WaitAndReap(pid_, mutex_, [this](int status) {
      exitStatus_ = status;
      changed_.notify_all();
    });
  });
}

SimProcess::~SimProcess() {
  {
    std::lock_guard lock(mutex_);
    if (!exitStatus_) {
      ::kill(pid_, SIGKILL);
    }
    if (stdin_ >= 0) {
      ::close(stdin_);
      stdin_ = -1;
    }
  }
  reaper_.join();
  stdoutReader_.join();
  stderrReader_.join();
}

bool SimProcess::Send(const nlohmann::json& command) {
  std::string line = command.dump() + "\n";
  std::lock_guard lock(mutex_);
  if (stdin_ < 0 || exitStatus_) {
    return false;
  }
  for (std::size_t sent = 0; sent < line.size();) {
    const ssize_t n = ::write(stdin_, line.data() + sent, line.size() - sent);
    if (n < 0 && errno == EINTR) {
      continue;
    }
    if (n <= 0) {
      return false;
    }
    sent += static_cast<std::size_t>(n);
  }
  return true;
}

bool SimProcess::Signal(int signal) const {
  std::lock_guard lock(mutex_);
  return !exitStatus_ && ::kill(pid_, signal) == 0;
}

std::vector<nlohmann::json> SimProcess::Events() const {
  std::lock_guard lock(mutex_);
  return events_;
}

std::string SimProcess::Stderr() const {
  std::lock_guard lock(mutex_);
  return stderr_;
}

std::size_t SimProcess::EventCount() const {
  std::lock_guard lock(mutex_);
  return events_.size();
}

bool SimProcess::Matches(const nlohmann::json& event, const nlohmann::json& subset) {
  for (const auto& [key, value] : subset.items()) {
    if (!event.contains(key) || event[key] != value) {
      return false;
    }
  }
  return true;
}

std::optional<nlohmann::json> SimProcess::WaitForEvent(const nlohmann::json& subset, std::chrono::milliseconds timeout,
                                                       std::size_t from) const {
  std::unique_lock lock(mutex_);
  std::optional<nlohmann::json> found;
  changed_.wait_for(lock, timeout, [&] {
    for (std::size_t i = from; i < events_.size(); ++i) {
      if (Matches(events_[i], subset)) {
        found = events_[i];
        return true;
      }
    }
    return stdoutClosed_;
  });
  return found;
}

std::optional<int> SimProcess::WaitForExit(std::chrono::milliseconds timeout) const {
  std::unique_lock lock(mutex_);
  if (!changed_.wait_for(lock, timeout, [&] { return exitStatus_.has_value(); })) {
    return std::nullopt;
  }
  return exitStatus_;
}

}  // namespace orik::e2e
