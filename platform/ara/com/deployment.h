#pragma once

#include <cstdint>
#include <map>
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

// Environment variable naming a JSON file that overrides built-in deployments:
// {"services": [{"interface": "<name>", "service_id": 16641,
//                "events": [{"event_id": 32769, "eventgroup_id": 1}, ...],   (by event index)
//                "methods": [1, 2, ...]}]}                                   (by method index)
// Every key but "interface" may be left out to keep the built-in value; a list that is given
// must have exactly as many entries as the interface has events or methods.
inline constexpr const char* kDeploymentEnvironmentVariable = "ORIK_COM_DEPLOYMENT";

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
  std::map<std::string, Override, std::less<>> overrides_;
};

}  // namespace ara::com
