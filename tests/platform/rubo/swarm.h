#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "tests/platform/rubo/raw_client.h"

namespace rubo::testing {

// Many connections from several loopback addresses that keep a server busy: nonblocking sockets
// under one poll loop on a thread of their own, reconnecting whenever the server ends one,
// bounded in count and in time (a minute).
class Swarm {
 public:
  enum class Mode {
    kTrickle,  // the first bytes, then one byte a turn
    kRepeat,   // a whole request; once answered (or ended), the same again on a new connection
  };

  Swarm(std::uint16_t port, std::vector<std::string> sources, int perSource, std::string start, Mode mode,
        const char* server = "127.0.0.1")
      : port_(port),
        server_(server),
        sources_(std::move(sources)),
        perSource_(perSource),
        start_(std::move(start)),
        mode_(mode) {
    thread_ = std::thread([this] { Run(); });
  }
  ~Swarm() {
    stop_ = true;
    thread_.join();
  }
  Swarm(const Swarm&) = delete;
  Swarm& operator=(const Swarm&) = delete;

  // Connections the server ended or (repeating) answered, so far; of the answers, the 503s.
  int Ended() const { return ended_.load(); }
  int Busy() const { return busy_.load(); }

 private:
  struct Slot {
    int fd = -1;
    std::string source;
  };

  void Open(Slot& slot) {
    slot.fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    ::inet_pton(AF_INET, slot.source.c_str(), &local.sin_addr);
    ::bind(slot.fd, reinterpret_cast<sockaddr*>(&local), sizeof(local));
    sockaddr_in remote{};
    remote.sin_family = AF_INET;
    remote.sin_port = htons(port_);
    ::inet_pton(AF_INET, server_.c_str(), &remote.sin_addr);
    ::connect(slot.fd, reinterpret_cast<sockaddr*>(&remote), sizeof(remote));
    pending_.push_back(&slot);
  }

  void Run() {
    std::vector<Slot> slots;
    slots.reserve(sources_.size() * static_cast<std::size_t>(perSource_));
    for (const auto& source : sources_) {
      for (int i = 0; i < perSource_; ++i) {
        slots.push_back(Slot{-1, source});
        Open(slots.back());
      }
    }
    const auto end = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    std::vector<pollfd> polled(slots.size());
    while (!stop_ && std::chrono::steady_clock::now() < end) {
      for (std::size_t i = 0; i < slots.size(); ++i) {
        polled[i] = pollfd{slots[i].fd, POLLIN, 0};
      }
      ::poll(polled.data(), polled.size(), 20);
      for (std::size_t i = 0; i < slots.size(); ++i) {
        auto& slot = slots[i];
        if ((polled[i].revents & (POLLIN | POLLHUP | POLLERR)) != 0) {
          char sink[512];
          const auto got = ::recv(slot.fd, sink, sizeof(sink), 0);
          if (got <= 0 || mode_ == Mode::kRepeat) {
            if (got > 0 && std::string_view(sink, static_cast<std::size_t>(got)).starts_with("HTTP/1.1 503")) {
              ++busy_;
            }
            ::close(slot.fd);
            ++ended_;
            Open(slot);
            continue;
          }
        }
        const auto it = std::find(pending_.begin(), pending_.end(), &slot);
        if (it != pending_.end()) {
          if (::send(slot.fd, start_.data(), start_.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(start_.size())) {
            pending_.erase(it);
          }
          continue;
        }
        if (mode_ == Mode::kTrickle) {
          ::send(slot.fd, "s", 1, MSG_NOSIGNAL);
        }
      }
    }
    for (auto& slot : slots) {
      ::close(slot.fd);
    }
  }

  const std::uint16_t port_;
  const std::string server_;
  const std::vector<std::string> sources_;
  const int perSource_;
  const std::string start_;
  const Mode mode_;
  std::vector<Slot*> pending_;  // connected or connecting, first bytes not sent yet
  std::atomic<bool> stop_{false};
  std::atomic<int> ended_{0};
  std::atomic<int> busy_{0};
  std::thread thread_;
};

// One address per peer of a swarm: prefix + "10", prefix + "11", ...
inline std::vector<std::string> SwarmSources(const std::string& prefix, int count) {
  std::vector<std::string> sources;
  for (int i = 0; i < count; ++i) {
    sources.push_back(prefix + std::to_string(10 + i));
  }
  return sources;
}

// Waits (bounded) until the condition holds.
template <typename Condition>
bool WaitUntil(Condition condition, std::chrono::milliseconds bound) {
  const auto deadline = std::chrono::steady_clock::now() + bound;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) {
      return false;
    }
    std::this_thread::yield();
  }
  return true;
}

// How many of `requests` fresh connections from `source`, one request each, are answered 200
// (each within 5 s): what a client that arrives while a swarm is at work gets.
inline int FreshlyServed(const std::string& server, std::uint16_t port, const std::string& source,
                         const std::string& request, int requests) {
  int served = 0;
  for (int i = 0; i < requests; ++i) {
    RawClient fresh(server, port, source);
    if (fresh.Send(request) && fresh.Read(std::chrono::seconds(5)).status == 200u) {
      ++served;
    }
  }
  return served;
}

}  // namespace rubo::testing
