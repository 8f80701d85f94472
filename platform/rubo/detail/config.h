#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

namespace rubo::detail {

struct HttpConfig {
  std::string address;
  std::uint16_t port = 0;
};

// Reads the configuration file; a file that does not exist gives the defaults, one that
// exists but is not a valid configuration throws std::runtime_error.
HttpConfig LoadConfig(const std::string& path);

// The configuration file to read: the one named by the environment variable when it is set
// and not empty, else the given one.
std::string ConfigPathFor(const std::string& givenPath);

// Bounds that keep one client from holding the server or exhausting its memory.
struct Limits {
  std::uint32_t maxHeaderBytes = 64 * 1024;
  std::uint64_t maxBodyBytes = 64 * 1024;
  // Waiting for a request and receiving it (so also the idle time of a kept-alive connection).
  std::chrono::milliseconds readTimeout{30'000};
  std::chrono::milliseconds writeTimeout{30'000};
  // How long Stop lets requests in progress end before it closes their connections.
  std::chrono::milliseconds stopGrace{5'000};
  std::size_t maxConnections = 256;
  std::size_t ioThreads = 2;
  // Hooks may block (a write to the vehicle); requests run on a pool that grows to this size
  // so that a blocked hook does not hold up other requests.
  std::size_t maxWorkerThreads = 64;
};

}  // namespace rubo::detail
