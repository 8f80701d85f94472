#pragma once

#include <poll.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <functional>
#include <mutex>
#include <stdexcept>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

namespace orik::testing {

// A datagram socket in a private temporary folder that plays systemd's side of the notify
// protocol: it collects every message sent to it, in order of arrival.
class NotifySocket {
 public:
  NotifySocket() {
    std::string pattern = TempRoot() + "/orik-notify-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) {
      throw std::system_error(errno, std::generic_category(), "mkdtemp");
    }
    dir_ = pattern;
    path_ = dir_ + "/notify";
    fd_ = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (fd_ < 0 || path_.size() >= sizeof address.sun_path) {
      Cleanup();
      throw std::runtime_error("cannot create the notify socket at " + path_);
    }
    std::memcpy(address.sun_path, path_.c_str(), path_.size() + 1);
    if (::bind(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 || ::pipe(wake_) != 0) {
      Cleanup();
      throw std::system_error(errno, std::generic_category(), "notify socket");
    }
    reader_ = std::thread([this] { Read(); });
  }

  ~NotifySocket() {
    if (reader_.joinable()) {
      const char stop = 0;
      (void)!::write(wake_[1], &stop, 1);
      reader_.join();
    }
    Cleanup();
  }

  NotifySocket(const NotifySocket&) = delete;
  NotifySocket& operator=(const NotifySocket&) = delete;

  // The value for NOTIFY_SOCKET.
  const std::string& Path() const { return path_; }

  // Takes the socket's name away, as when the service manager's socket goes while a process
  // runs: what is sent to the path from then on fails.
  void RemoveName() { ::unlink(path_.c_str()); }

  std::vector<std::string> Messages() const {
    std::lock_guard lock(mutex_);
    return messages_;
  }

  // Waits until `predicate` holds for the messages so far; false on timeout.
  bool WaitFor(const std::function<bool(const std::vector<std::string>&)>& predicate,
               std::chrono::milliseconds timeout) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return predicate(messages_); });
  }

  // Waits until every message sent to the socket before the call has been read (a process that
  // has exited has sent all it will): sends a marker of its own, which stays among the messages,
  // and waits for it. False on timeout.
  bool ReadEverythingSentSoFar(std::chrono::milliseconds timeout) {
    const std::string marker = "X_TEST_MARKER=" + std::to_string(++markers_);
    const int fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path_.c_str(), path_.size() + 1);
    const bool sent =
        fd >= 0 && ::sendto(fd, marker.data(), marker.size(), 0, reinterpret_cast<const sockaddr*>(&address),
                            sizeof address) == static_cast<ssize_t>(marker.size());
    if (fd >= 0) {
      ::close(fd);
    }
    return sent &&
           WaitFor([&](const std::vector<std::string>& m) { return std::find(m.begin(), m.end(), marker) != m.end(); },
                   timeout);
  }

  static std::size_t Count(const std::vector<std::string>& messages, const std::string& message) {
    std::size_t n = 0;
    for (const auto& m : messages) {
      n += m == message ? 1 : 0;
    }
    return n;
  }

 private:
  static std::string TempRoot() {
    const char* tmp = std::getenv("TMPDIR");
    // A socket path is limited to 107 bytes; a deep TMPDIR would not fit.
    return tmp != nullptr && *tmp != '\0' && std::strlen(tmp) < 60 ? tmp : "/tmp";
  }

  void Read() {
    char buffer[4096];
    for (;;) {
      pollfd fds[2] = {{fd_, POLLIN, 0}, {wake_[0], POLLIN, 0}};
      if (::poll(fds, 2, -1) < 0) {
        if (errno == EINTR) {
          continue;
        }
        return;
      }
      if (fds[1].revents != 0) {
        return;
      }
      const ssize_t n = ::recv(fd_, buffer, sizeof buffer, 0);
      if (n < 0) {
        continue;
      }
      {
        std::lock_guard lock(mutex_);
        messages_.emplace_back(buffer, static_cast<std::size_t>(n));
      }
      changed_.notify_all();
    }
  }

  void Cleanup() {
    for (int* fd : {&fd_, &wake_[0], &wake_[1]}) {
      if (*fd >= 0) {
        ::close(*fd);
        *fd = -1;
      }
    }
    if (!path_.empty()) {
      ::unlink(path_.c_str());
    }
    if (!dir_.empty()) {
      ::rmdir(dir_.c_str());
    }
  }

  std::string dir_;
  std::string path_;
  int fd_ = -1;
  int wake_[2] = {-1, -1};
  std::thread reader_;
  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  std::vector<std::string> messages_;
  int markers_ = 0;
};

}  // namespace orik::testing
