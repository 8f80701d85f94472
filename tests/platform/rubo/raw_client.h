#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <map>
#include <stdexcept>
#include <string>
#include <string_view>

namespace rubo::testing {

// A client connection that sends whatever bytes a test gives it (also what no well-behaved
// client would send) and reads responses byte-exactly. Every wait is bounded; loopback only.
class RawClient {
 public:
  struct Response {
    unsigned status = 0;                         // 0: closed or timed out before a complete response
    std::map<std::string, std::string> headers;  // names in lower case
    std::string body;
    std::string Header(const std::string& name) const {
      const auto it = headers.find(name);
      return it == headers.end() ? std::string{} : it->second;
    }
  };

  // Connects to the server; with a source address, from that one (say 127.0.0.2).
  RawClient(const std::string& address, std::uint16_t port, const std::string& source = {}) {
    const bool v6 = address.find(':') != std::string::npos;
    fd_ = ::socket(v6 ? AF_INET6 : AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd_ < 0) {
      throw std::runtime_error("socket: " + std::string(std::strerror(errno)));
    }
    if (!source.empty()) {
      sockaddr_in local{};
      local.sin_family = AF_INET;
      ::inet_pton(AF_INET, source.c_str(), &local.sin_addr);
      if (::bind(fd_, reinterpret_cast<sockaddr*>(&local), sizeof(local)) != 0) {
        Fail("bind");
      }
    }
    int result = 0;
    if (v6) {
      sockaddr_in6 remote{};
      remote.sin6_family = AF_INET6;
      remote.sin6_port = htons(port);
      ::inet_pton(AF_INET6, address.c_str(), &remote.sin6_addr);
      result = ::connect(fd_, reinterpret_cast<sockaddr*>(&remote), sizeof(remote));
    } else {
      sockaddr_in remote{};
      remote.sin_family = AF_INET;
      remote.sin_port = htons(port);
      ::inet_pton(AF_INET, address.c_str(), &remote.sin_addr);
      result = ::connect(fd_, reinterpret_cast<sockaddr*>(&remote), sizeof(remote));
    }
    if (result != 0) {
      Fail("connect");
    }
    const int one = 1;
    ::setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &one, sizeof(one));
  }
  ~RawClient() {
    if (fd_ >= 0) {
      ::close(fd_);
    }
  }
  RawClient(const RawClient&) = delete;
  RawClient& operator=(const RawClient&) = delete;

  // False when the connection is gone (the server closed or reset it).
  bool Send(std::string_view bytes) {
    while (!bytes.empty()) {
      if (!WaitFor(POLLOUT, std::chrono::seconds(10))) {
        return false;
      }
      const auto sent = ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
      if (sent < 0) {
        if (errno == EAGAIN || errno == EINTR) {
          continue;
        }
        return false;
      }
      bytes.remove_prefix(static_cast<std::size_t>(sent));
    }
    return true;
  }

  // One response, within the timeout. For the answer to a HEAD, headOnly leaves the body
  // unread (its Content-Length describes the GET's body).
  Response Read(std::chrono::milliseconds timeout = std::chrono::seconds(20), bool headOnly = false) {
    Response response;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    std::size_t headerEnd = std::string::npos;
    while ((headerEnd = buffer_.find("\r\n\r\n")) == std::string::npos) {
      if (!Fill(deadline)) {
        return response;
      }
    }
    const std::string head = buffer_.substr(0, headerEnd + 2);
    buffer_.erase(0, headerEnd + 4);
    const auto firstSpace = head.find(' ');
    if (firstSpace == std::string::npos) {
      return response;
    }
    const unsigned status = static_cast<unsigned>(std::stoul(head.substr(firstSpace + 1, 3)));
    for (std::size_t pos = head.find("\r\n") + 2; pos < head.size();) {
      const auto end = head.find("\r\n", pos);
      const auto line = head.substr(pos, end - pos);
      const auto colon = line.find(':');
      std::string name = line.substr(0, colon);
      for (auto& c : name) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      }
      std::string value = colon == std::string::npos ? std::string{} : line.substr(colon + 1);
      while (!value.empty() && value.front() == ' ') {
        value.erase(0, 1);
      }
      response.headers[name] = value;
      pos = end + 2;
    }
    std::size_t length = 0;
    if (!headOnly && status >= 200 && status != 204 && status != 304 && response.headers.count("content-length")) {
      length = std::stoul(response.headers["content-length"]);
    }
    while (buffer_.size() < length) {
      if (!Fill(deadline)) {
        return Response{};
      }
    }
    response.body = buffer_.substr(0, length);
    buffer_.erase(0, length);
    response.status = status;
    return response;
  }

  // True when the server closes (or resets) the connection within the timeout; what it sends
  // meanwhile is kept for Read.
  bool WaitClosed(std::chrono::milliseconds timeout = std::chrono::seconds(20)) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline) {
      if (!Fill(deadline)) {
        return closed_;
      }
    }
    return closed_;
  }

  // True when nothing arrives and the connection stays open for the given time.
  bool QuietFor(std::chrono::milliseconds time) {
    const auto before = buffer_.size();
    const auto deadline = std::chrono::steady_clock::now() + time;
    Fill(deadline);
    return !closed_ && buffer_.size() == before;
  }

  bool Closed() const { return closed_; }
  // The client's own port, and closing the connection from the client's side.
  std::uint16_t LocalPort() const {
    sockaddr_storage local{};
    socklen_t size = sizeof(local);
    ::getsockname(fd_, reinterpret_cast<sockaddr*>(&local), &size);
    return ntohs(local.ss_family == AF_INET6 ? reinterpret_cast<const sockaddr_in6&>(local).sin6_port
                                             : reinterpret_cast<const sockaddr_in&>(local).sin_port);
  }
  void CloseNow() {
    if (fd_ >= 0) {
      ::close(fd_);
      fd_ = -1;
    }
    closed_ = true;
  }
  // Ends the client's sending side (FIN); it still reads what the server answers.
  void ShutdownSend() { ::shutdown(fd_, SHUT_WR); }
  // Closes with a reset (RST) instead of an orderly end of stream.
  void ResetNow() {
    const linger abort{1, 0};
    ::setsockopt(fd_, SOL_SOCKET, SO_LINGER, &abort, sizeof(abort));
    CloseNow();
  }
  // The connection ended with a reset rather than an orderly end of stream.
  bool WasReset() const { return reset_; }

 private:
  [[noreturn]] void Fail(const char* what) {
    const std::string text = std::string(what) + ": " + std::strerror(errno);
    ::close(fd_);
    fd_ = -1;
    throw std::runtime_error(text);
  }

  bool WaitFor(short events, std::chrono::milliseconds timeout) {
    pollfd p{fd_, events, 0};
    const int ready = ::poll(&p, 1, static_cast<int>(timeout.count()));
    return ready > 0;
  }

  // Reads what arrives until the deadline; false on close, reset or timeout.
  bool Fill(std::chrono::steady_clock::time_point deadline) {
    if (closed_) {
      return false;
    }
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (!WaitFor(POLLIN, std::max(left, std::chrono::milliseconds(0)))) {
      return false;
    }
    char chunk[16384];
    const auto got = ::recv(fd_, chunk, sizeof(chunk), MSG_DONTWAIT);
    if (got > 0) {
      buffer_.append(chunk, static_cast<std::size_t>(got));
      return true;
    }
    if (got < 0 && (errno == EAGAIN || errno == EINTR)) {
      return true;
    }
    reset_ = got < 0;
    closed_ = true;
    return false;
  }

  int fd_ = -1;
  std::string buffer_;
  bool closed_ = false;
  bool reset_ = false;
};

}  // namespace rubo::testing
