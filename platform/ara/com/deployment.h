#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ara/com/types.h"

namespace ara::com {

// Where a notifier's event goes on the wire.
struct EventDeployment {
  std::uint16_t eventId;
  std::uint16_t eventgroupId;
};

// The SOME/IP identifiers of one service interface: events by event index, methods by
// method index.
struct ServiceDeployment {
  std::string interfaceName;
  std::uint16_t serviceId = 0;
  std::vector<EventDeployment> events;
  std::vector<std::uint16_t> methodIds;

  // Throws std::out_of_range for an index the deployment does not have.
  const EventDeployment& Event(std::size_t eventIndex) const;
  std::uint16_t MethodId(std::size_t methodIndex) const;
  // Index of the event with this SOME/IP event id; throws std::out_of_range when none.
  std::size_t EventIndexOf(std::uint16_t eventId) const;
};

// Which way a service's methods or events travel.
enum class Carrier : std::uint8_t { kUdp, kTcp };

// The network side of one service interface (one "services" entry of the file).
struct ServiceNetwork {
  // Consumer side: the instance looked for; 0xFFFF: any.
  std::uint16_t instanceId = 0xFFFF;
  std::uint8_t majorVersion = 1;
  std::uint32_t minorVersion = 0;
  // Provider side: the ports an offer announces; 0: a free port chosen at offer time; empty: not
  // offered over that protocol.
  std::optional<std::uint16_t> udpPort = 0;
  std::optional<std::uint16_t> tcpPort = 0;
  // Preferred carriers; the other one is used when the offer lacks the preferred endpoint.
  Carrier methods = Carrier::kTcp;
  Carrier events = Carrier::kUdp;
};

// SOME/IP-SD timings. The TTL is in seconds, as on the wire.
struct SdTimings {
  std::chrono::milliseconds initialDelayMin{0};
  std::chrono::milliseconds initialDelayMax{100};
  std::chrono::milliseconds repetitionBaseDelay{200};
  unsigned repetitionsMax = 3;
  std::chrono::milliseconds cyclicOfferDelay{2000};
  std::uint32_t ttl = 5;
};

// Where and how this process speaks SOME/IP and SOME/IP-SD.
struct NetworkConfig {
  std::string unicast = "127.0.0.1";      // IPv4, local to this host
  std::optional<std::uint16_t> clientId;  // empty: the low 16 bits of the unicast address
  std::string sdMulticast = "224.244.224.245";
  std::uint16_t sdPort = 30490;
  SdTimings timings;
  std::chrono::milliseconds requestTimeout{0};                  // 0: a call waits for its answer as long as it takes
  std::map<std::string, ServiceNetwork, std::less<>> services;  // by interface name

  // The entry of the interface, or the defaults.
  ServiceNetwork For(std::string_view interfaceName) const;
  // The client id used: the configured one or the one derived from the unicast address.
  std::uint16_t EffectiveClientId() const;
};

// Environment variable naming a JSON file that overrides built-in deployments and configures the
// network (every key may be left out; the defaults follow the key):
// {"network": {
//    "unicast": "127.0.0.1",            this process's address: SD, methods and events
//    "client_id": 1,                    default: the low 16 bits of "unicast"
//    "request_timeout_ms": 0,           0: none; otherwise a call unanswered that long fails
//    "sd": {"multicast": "224.244.224.245", "port": 30490,
//           "initial_delay_min_ms": 0, "initial_delay_max_ms": 100,
//           "repetition_base_delay_ms": 200, "repetitions_max": 3,
//           "cyclic_offer_delay_ms": 2000, "ttl_s": 5}},
//  "services": [{"interface": "<name>", "service_id": 16641,
//                "events": [{"event_id": 32769, "eventgroup_id": 1}, ...],   (by event index)
//                "methods": [1, 2, ...],                                     (by method index)
//                "instance_id": 65535,          instance looked for by a consumer (65535: any)
//                "major_version": 1, "minor_version": 0,
//                "udp_port": 0, "tcp_port": 0,  ports offered (0: any free port); naming only one
//                                               of them offers only that protocol
//                "methods_over": "tcp",         "udp" or "tcp"; default tcp when offered
//                "events_over": "udp"}]}        "udp" or "tcp"; default udp when offered
// SD multicast is sent and heard on the interface that holds "unicast" (loopback for 127.x.y.z),
// with the group's port shared with other processes. Each SOME/IP side (a runtime, a provider)
// needs a unicast address of its own: two of them on one host, even in one process, differ in
// "unicast" (127.0.0.1, 127.0.0.2, ...) and share "sd".
// Event groups are those of the events. Every key but "interface" may be left out to keep the
// built-in value; a list that is given must have exactly as many entries as the interface has
// events or methods. Unknown keys are refused at every level, and so is an "interface" that is
// not the full name of a service interface this process is built with (see
// RegisterServiceInterface).
inline constexpr const char* kDeploymentEnvironmentVariable = "ORIK_COM_DEPLOYMENT";

// Makes a service interface known by its full name, so that a deployment file may configure it.
// Each service interface the process is built with calls it once during static initialisation
// (beside its interface name); returns true so that it can initialise a constant.
bool RegisterServiceInterface(std::string_view interfaceName);
// The registered names, sorted.
std::vector<std::string> RegisteredServiceInterfaces();

class DeploymentOverrides {
 public:
  DeploymentOverrides() = default;
  // Parses a JSON document as described above; throws std::runtime_error naming the problem.
  static DeploymentOverrides Parse(std::string_view json, std::string_view origin);
  // Reads and parses the file; throws std::runtime_error when it cannot be read or parsed.
  static DeploymentOverrides Load(const std::string& path);
  // The file named by kDeploymentEnvironmentVariable, or no overrides when it is unset or empty.
  static DeploymentOverrides FromEnvironment();

  // The defaults with the overrides of their interface applied. Throws std::runtime_error when
  // an override does not fit, or when the result does not match the description's counts.
  ServiceDeployment Apply(const ServiceDeployment& defaults, ServiceInterfaceDescription description) const;

  const NetworkConfig& Network() const noexcept { return network_; }
  const std::string& Origin() const noexcept { return origin_; }

 private:
  struct Override {
    bool hasServiceId = false;
    std::uint16_t serviceId = 0;
    bool hasEvents = false;
    std::vector<EventDeployment> events;
    bool hasMethods = false;
    std::vector<std::uint16_t> methodIds;
  };
  std::string origin_;
  NetworkConfig network_;
  std::map<std::string, Override, std::less<>> overrides_;
};

}  // namespace ara::com
