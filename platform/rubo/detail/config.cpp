#include "rubo/detail/config.h"

#include <algorithm>
#include <boost/asio/ip/address.hpp>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "ara/rest/serialize/json_serializer.h"
#include "rubo/server.h"

namespace rubo::detail {

namespace ogm = ara::rest::ogm;

namespace {

[[noreturn]] void Invalid(const std::string& path, const std::string& why) {
  throw std::runtime_error("Invalid server configuration '" + path + "': " + why);
}

// The keys that change a limit, with the values they accept.
struct LimitKey {
  const char* name;
  std::int64_t min;
  std::int64_t max;
  void (*set)(Limits&, std::int64_t);
};

using std::chrono::milliseconds;
constexpr std::int64_t kHour = 3'600'000;
constexpr LimitKey kLimitKeys[] = {
    {"idleTimeoutMs", 1, kHour, [](Limits& l, std::int64_t v) { l.idleTimeout = milliseconds(v); }},
    {"headerTimeoutMs", 1, kHour, [](Limits& l, std::int64_t v) { l.headerTimeout = milliseconds(v); }},
    {"bodyTimeoutMs", 1, kHour, [](Limits& l, std::int64_t v) { l.bodyTimeout = milliseconds(v); }},
    {"writeTimeoutMs", 1, kHour, [](Limits& l, std::int64_t v) { l.writeTimeout = milliseconds(v); }},
    {"lingerTimeoutMs", 0, kHour, [](Limits& l, std::int64_t v) { l.lingerTimeout = milliseconds(v); }},
    {"stopGraceMs", 0, kHour, [](Limits& l, std::int64_t v) { l.stopGrace = milliseconds(v); }},
    {"workerIdleTimeoutMs", 1, kHour, [](Limits& l, std::int64_t v) { l.workerIdleTimeout = milliseconds(v); }},
    {"maxConnections", 1, 65'536, [](Limits& l, std::int64_t v) { l.maxConnections = static_cast<std::size_t>(v); }},
    {"maxConnectionsPerPeer", 1, 65'536,
     [](Limits& l, std::int64_t v) { l.maxConnectionsPerPeer = static_cast<std::size_t>(v); }},
    {"maxHeaderBytes", 256, 1 << 20,
     [](Limits& l, std::int64_t v) { l.maxHeaderBytes = static_cast<std::uint32_t>(v); }},
    {"maxHeaderFields", 1, 10'000,
     [](Limits& l, std::int64_t v) { l.maxHeaderFields = static_cast<std::uint32_t>(v); }},
    {"maxBodyBytes", 0, 64 << 20, [](Limits& l, std::int64_t v) { l.maxBodyBytes = static_cast<std::uint64_t>(v); }},
    {"maxLingerBytes", 0, 1 << 30, [](Limits& l, std::int64_t v) { l.maxLingerBytes = static_cast<std::uint64_t>(v); }},
    {"maxChunkLineBytes", 3, 1 << 16,
     [](Limits& l, std::int64_t v) { l.maxChunkLineBytes = static_cast<std::uint32_t>(v); }},
    {"retryAfterSeconds", 0, 3600,
     [](Limits& l, std::int64_t v) { l.retryAfterSeconds = static_cast<std::uint32_t>(v); }},
    {"ioThreads", 1, 64, [](Limits& l, std::int64_t v) { l.ioThreads = static_cast<std::size_t>(v); }},
    {"maxWorkerThreads", 1, 256, [](Limits& l, std::int64_t v) { l.maxWorkerThreads = static_cast<std::size_t>(v); }},
    {"maxQueuedUpdates", 0, 65'536,
     [](Limits& l, std::int64_t v) { l.maxQueuedUpdates = static_cast<std::size_t>(v); }},
};

}  // namespace

// Bounds the connections still closing where descriptors are plenty: their memory, not their descriptors, is then
// what counts.
constexpr std::uint64_t kOpenPerSlot = 16;

OpenFilePlan FitToOpenFiles(std::size_t maxConnections, std::uint64_t soft, std::uint64_t hard) noexcept {
  const std::uint64_t need = 2 * static_cast<std::uint64_t>(maxConnections) + kOwnDescriptors;
  OpenFilePlan plan{soft, maxConnections, 0};
  if (soft < need) {
    plan.softLimit = std::max(soft, std::min(need, hard));
  }
  const std::uint64_t room = plan.softLimit > kOwnDescriptors ? plan.softLimit - kOwnDescriptors : 0;
  plan.maxConnections =
      std::max<std::size_t>(1, static_cast<std::size_t>(std::min<std::uint64_t>(maxConnections, room / 2)));
  const std::uint64_t slots = plan.maxConnections;
  plan.maxOpen = static_cast<std::size_t>(std::max(2 * slots, std::min(room, kOpenPerSlot * slots)));
  return plan;
}

std::string ConfigPathFor(const std::string& givenPath) {
  const char* overridden = std::getenv(kConfigEnvironmentVariable);
  return overridden != nullptr && *overridden != '\0' ? std::string(overridden) : givenPath;
}

HttpConfig LoadConfig(const std::string& path) {
  HttpConfig config{kDefaultAddress, kDefaultPort, Limits{}};
  std::error_code ec;
  if (path.empty() || !std::filesystem::exists(path, ec)) {
    return config;
  }
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  if (!in || !(text << in.rdbuf())) {
    Invalid(path, "cannot be read");
  }
  ara::rest::Pointer<ogm::Object> root;
  try {
    root = ara::rest::serialize::JSONSerializer{}.Deserialize(text.str());
  } catch (const std::exception& e) {
    Invalid(path, e.what());
  }
  for (const auto& field : root->GetFields()) {
    const std::string& name = field->GetName();
    if (name == "address") {
      const auto* address = ogm::As<ogm::String>(field->GetValue());
      if (address == nullptr) {
        Invalid(path, "\"address\" must be a string");
      }
      boost::system::error_code parseError;
      boost::asio::ip::make_address(address->GetValue(), parseError);
      if (parseError) {
        Invalid(path, "\"address\" is not an IP address: " + address->GetValue());
      }
      config.address = address->GetValue();
    } else if (name == "port") {
      const auto* port = ogm::As<ogm::Int>(field->GetValue());
      if (port == nullptr || port->GetValue() < 0 || port->GetValue() > 65535) {
        Invalid(path, "\"port\" must be an integer from 0 to 65535");
      }
      config.port = static_cast<std::uint16_t>(port->GetValue());
    } else if (const auto* key = std::find_if(std::begin(kLimitKeys), std::end(kLimitKeys),
                                              [&name](const LimitKey& k) { return name == k.name; });
               key != std::end(kLimitKeys)) {
      const auto* value = ogm::As<ogm::Int>(field->GetValue());
      if (value == nullptr || value->GetValue() < key->min || value->GetValue() > key->max) {
        Invalid(path, "\"" + name + "\" must be an integer from " + std::to_string(key->min) + " to " +
                          std::to_string(key->max));
      }
      key->set(config.limits, value->GetValue());
    } else {
      Invalid(path, "unknown key \"" + name + "\"");
    }
  }
  return config;
}

}  // namespace rubo::detail
