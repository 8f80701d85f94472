#include "ara/com/deployment.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <limits>
#include <mutex>
#include <set>
#include <sstream>
#include <stdexcept>
#include <utility>

#include <arpa/inet.h>

#include <nlohmann/json.hpp>

namespace ara::com {

const EventDeployment& ServiceDeployment::Event(std::size_t eventIndex) const {
  if (eventIndex >= events.size()) {
    throw std::out_of_range(interfaceName + ": no event with index " + std::to_string(eventIndex));
  }
  return events[eventIndex];
}

std::uint16_t ServiceDeployment::MethodId(std::size_t methodIndex) const {
  if (methodIndex >= methodIds.size()) {
    throw std::out_of_range(interfaceName + ": no method with index " + std::to_string(methodIndex));
  }
  return methodIds[methodIndex];
}

std::size_t ServiceDeployment::EventIndexOf(std::uint16_t eventId) const {
  for (std::size_t i = 0; i < events.size(); ++i) {
    if (events[i].eventId == eventId) {
      return i;
    }
  }
  throw std::out_of_range(interfaceName + ": no event with id " + std::to_string(eventId));
}

namespace {

std::uint16_t ReadId(const nlohmann::json& value, const std::string& where) {
  if (!value.is_number_unsigned() || value.get<std::uint64_t>() > std::numeric_limits<std::uint16_t>::max()) {
    throw std::runtime_error(where + " must be an integer from 0 to 65535");
  }
  return value.get<std::uint16_t>();
}

std::uint64_t ReadUnsigned(const nlohmann::json& value, const std::string& where, std::uint64_t max) {
  if (!value.is_number_unsigned() || value.get<std::uint64_t>() > max) {
    throw std::runtime_error(where + " must be an integer from 0 to " + std::to_string(max));
  }
  return value.get<std::uint64_t>();
}

std::string ReadText(const nlohmann::json& value, const std::string& where) {
  if (!value.is_string()) {
    throw std::runtime_error(where + " must be a string");
  }
  return value.get<std::string>();
}

std::uint32_t Ipv4Of(const std::string& text) {
  in_addr address{};
  if (::inet_pton(AF_INET, text.c_str(), &address) != 1) {
    return 0;
  }
  return ntohl(address.s_addr);
}

std::string ReadIpv4(const nlohmann::json& value, const std::string& where) {
  auto text = ReadText(value, where);
  in_addr address{};
  if (::inet_pton(AF_INET, text.c_str(), &address) != 1) {
    throw std::runtime_error(where + " must be an IPv4 address in dotted decimal, not \"" + text + "\"");
  }
  return text;
}

// `where` ends where the key's name follows ("...network." or the document's own prefix).
void RefuseUnknownKeys(const nlohmann::json& object, std::initializer_list<const char*> known,
                       const std::string& where) {
  for (const auto& [key, value] : object.items()) {
    bool found = false;
    for (const char* k : known) {
      found = found || key == k;
    }
    if (!found) {
      throw std::runtime_error(where + key + " is not a known key");
    }
  }
}

struct InterfaceRegistry {
  std::mutex mutex;
  std::set<std::string, std::less<>> names;
};

InterfaceRegistry& Interfaces() {
  static InterfaceRegistry registry;
  return registry;
}

std::string ReadInterfaceName(const nlohmann::json& service, const std::string& where) {
  if (!service.is_object() || !service.contains("interface") || !service["interface"].is_string()) {
    throw std::runtime_error(where + " needs an \"interface\" name");
  }
  auto name = service["interface"].get<std::string>();
  const auto known = RegisteredServiceInterfaces();
  if (std::find(known.begin(), known.end(), name) == known.end()) {
    std::string list;
    for (const auto& k : known) {
      list += (list.empty() ? "\"" : ", \"") + k + "\"";
    }
    throw std::runtime_error(where + ".interface \"" + name + "\" is not a service interface of this process" +
                             (list.empty() ? std::string(" (it has none)") : " (known: " + list + ")"));
  }
  return name;
}

std::chrono::milliseconds ReadMillis(const nlohmann::json& value, const std::string& where) {
  return std::chrono::milliseconds(ReadUnsigned(value, where, 3'600'000));
}

NetworkConfig ParseNetwork(const nlohmann::json& network, const std::string& where) {
  NetworkConfig config;
  if (!network.is_object()) {
    throw std::runtime_error(where + " must be an object");
  }
  RefuseUnknownKeys(network, {"unicast", "client_id", "request_timeout_ms", "sd"}, where + ".");
  if (network.contains("unicast")) {
    config.unicast = ReadIpv4(network["unicast"], where + ".unicast");
  }
  if (network.contains("client_id")) {
    config.clientId = static_cast<std::uint16_t>(ReadUnsigned(network["client_id"], where + ".client_id", 0xFFFF));
    if (*config.clientId == 0) {
      throw std::runtime_error(where + ".client_id must not be 0 (the client id of notifications)");
    }
  }
  if (network.contains("request_timeout_ms")) {
    config.requestTimeout = ReadMillis(network["request_timeout_ms"], where + ".request_timeout_ms");
  }
  if (network.contains("sd")) {
    const auto& sd = network["sd"];
    const std::string at = where + ".sd";
    if (!sd.is_object()) {
      throw std::runtime_error(at + " must be an object");
    }
    RefuseUnknownKeys(sd,
                      {"multicast", "port", "initial_delay_min_ms", "initial_delay_max_ms", "repetition_base_delay_ms",
                       "repetitions_max", "cyclic_offer_delay_ms", "ttl_s"},
                      at + ".");
    auto& t = config.timings;
    if (sd.contains("multicast")) {
      config.sdMulticast = ReadIpv4(sd["multicast"], at + ".multicast");
      if ((Ipv4Of(config.sdMulticast) >> 28) != 0xE) {
        throw std::runtime_error(at + ".multicast must be a multicast address (224.0.0.0 to 239.255.255.255), not \"" +
                                 config.sdMulticast + "\"");
      }
    }
    if (sd.contains("port")) {
      config.sdPort = static_cast<std::uint16_t>(ReadUnsigned(sd["port"], at + ".port", 0xFFFF));
      if (config.sdPort == 0) {
        throw std::runtime_error(at + ".port must not be 0");
      }
    }
    if (sd.contains("initial_delay_min_ms")) {
      t.initialDelayMin = ReadMillis(sd["initial_delay_min_ms"], at + ".initial_delay_min_ms");
    }
    if (sd.contains("initial_delay_max_ms")) {
      t.initialDelayMax = ReadMillis(sd["initial_delay_max_ms"], at + ".initial_delay_max_ms");
    }
    if (t.initialDelayMax < t.initialDelayMin) {
      throw std::runtime_error(at + ".initial_delay_max_ms must not be below initial_delay_min_ms");
    }
    if (sd.contains("repetition_base_delay_ms")) {
      t.repetitionBaseDelay = ReadMillis(sd["repetition_base_delay_ms"], at + ".repetition_base_delay_ms");
    }
    if (sd.contains("repetitions_max")) {
      t.repetitionsMax = static_cast<unsigned>(ReadUnsigned(sd["repetitions_max"], at + ".repetitions_max", 16));
    }
    if (sd.contains("cyclic_offer_delay_ms")) {
      t.cyclicOfferDelay = ReadMillis(sd["cyclic_offer_delay_ms"], at + ".cyclic_offer_delay_ms");
    }
    if (t.cyclicOfferDelay.count() == 0) {
      throw std::runtime_error(at + ".cyclic_offer_delay_ms must not be 0");
    }
    if (sd.contains("ttl_s")) {
      t.ttl = static_cast<std::uint32_t>(ReadUnsigned(sd["ttl_s"], at + ".ttl_s", 0xFFFFFF));
      if (t.ttl == 0) {
        throw std::runtime_error(at + ".ttl_s must not be 0 (a TTL of 0 withdraws)");
      }
    }
  }
  return config;
}

Carrier ReadCarrier(const nlohmann::json& value, const std::string& where) {
  const auto text = ReadText(value, where);
  if (text == "udp") {
    return Carrier::kUdp;
  }
  if (text == "tcp") {
    return Carrier::kTcp;
  }
  throw std::runtime_error(where + " must be \"udp\" or \"tcp\", not \"" + text + "\"");
}

ServiceNetwork ParseServiceNetwork(const nlohmann::json& service, const std::string& where) {
  ServiceNetwork n;
  if (service.contains("instance_id")) {
    n.instanceId = static_cast<std::uint16_t>(ReadUnsigned(service["instance_id"], where + ".instance_id", 0xFFFF));
  }
  if (service.contains("major_version")) {
    n.majorVersion = static_cast<std::uint8_t>(ReadUnsigned(service["major_version"], where + ".major_version", 0xFE));
  }
  if (service.contains("minor_version")) {
    n.minorVersion =
        static_cast<std::uint32_t>(ReadUnsigned(service["minor_version"], where + ".minor_version", 0xFFFFFFFE));
  }
  const bool udp = service.contains("udp_port");
  const bool tcp = service.contains("tcp_port");
  if (udp || tcp) {
    n.udpPort.reset();
    n.tcpPort.reset();
  }
  if (udp) {
    n.udpPort = static_cast<std::uint16_t>(ReadUnsigned(service["udp_port"], where + ".udp_port", 0xFFFF));
  }
  if (tcp) {
    n.tcpPort = static_cast<std::uint16_t>(ReadUnsigned(service["tcp_port"], where + ".tcp_port", 0xFFFF));
  }
  n.methods = n.tcpPort ? Carrier::kTcp : Carrier::kUdp;
  n.events = n.udpPort ? Carrier::kUdp : Carrier::kTcp;
  for (auto [key, carrier] : {std::pair{"methods_over", &n.methods}, std::pair{"events_over", &n.events}}) {
    if (!service.contains(key)) {
      continue;
    }
    *carrier = ReadCarrier(service[key], where + "." + key);
    if ((*carrier == Carrier::kUdp && !n.udpPort) || (*carrier == Carrier::kTcp && !n.tcpPort)) {
      throw std::runtime_error(where + "." + key + " names a protocol without a port (add \"" +
                               (*carrier == Carrier::kUdp ? "udp_port" : "tcp_port") + "\")");
    }
  }
  return n;
}

}  // namespace

bool RegisterServiceInterface(std::string_view interfaceName) {
  InterfaceRegistry& registry = Interfaces();
  std::lock_guard lock(registry.mutex);
  registry.names.emplace(interfaceName);
  return true;
}

std::vector<std::string> RegisteredServiceInterfaces() {
  InterfaceRegistry& registry = Interfaces();
  std::lock_guard lock(registry.mutex);
  return {registry.names.begin(), registry.names.end()};
}

ServiceNetwork NetworkConfig::For(std::string_view interfaceName) const {
  auto it = services.find(interfaceName);
  return it == services.end() ? ServiceNetwork{} : it->second;
}

std::uint16_t NetworkConfig::EffectiveClientId() const {
  if (clientId) {
    return *clientId;
  }
  const auto low = static_cast<std::uint16_t>(Ipv4Of(unicast) & 0xFFFF);
  return low == 0 ? 1 : low;
}

DeploymentOverrides DeploymentOverrides::Parse(std::string_view json, std::string_view origin) {
  DeploymentOverrides result;
  result.origin_ = std::string(origin);
  const std::string prefix = "ara::com deployment " + std::string(origin) + ": ";
  nlohmann::json doc;
  try {
    doc = nlohmann::json::parse(json);
  } catch (const nlohmann::json::exception& e) {
    throw std::runtime_error(prefix + "not valid JSON (" + e.what() + ")");
  }
  if (!doc.is_object()) {
    throw std::runtime_error(prefix + "expected an object with a \"services\" array");
  }
  RefuseUnknownKeys(doc, {"network", "services"}, prefix);
  if ((doc.contains("services") && !doc["services"].is_array()) ||
      (!doc.contains("services") && !doc.contains("network"))) {
    throw std::runtime_error(prefix + "expected an object with a \"services\" array");
  }
  if (doc.contains("network")) {
    result.network_ = ParseNetwork(doc["network"], prefix + "network");
  }
  if (!doc.contains("services")) {
    return result;
  }
  std::size_t index = 0;
  for (const auto& service : doc["services"]) {
    const std::string where = prefix + "services[" + std::to_string(index++) + "]";
    auto name = ReadInterfaceName(service, where);
    RefuseUnknownKeys(service,
                      {"interface", "service_id", "events", "methods", "instance_id", "major_version", "minor_version",
                       "udp_port", "tcp_port", "methods_over", "events_over"},
                      where + ".");
    Override o;
    if (service.contains("service_id")) {
      o.hasServiceId = true;
      o.serviceId = ReadId(service["service_id"], where + ".service_id");
    }
    if (service.contains("events")) {
      if (!service["events"].is_array()) {
        throw std::runtime_error(where + ".events must be an array");
      }
      o.hasEvents = true;
      for (std::size_t i = 0; i < service["events"].size(); ++i) {
        const auto& event = service["events"][i];
        const std::string at = where + ".events[" + std::to_string(i) + "]";
        if (!event.is_object() || !event.contains("event_id") || !event.contains("eventgroup_id")) {
          throw std::runtime_error(at + " needs \"event_id\" and \"eventgroup_id\"");
        }
        RefuseUnknownKeys(event, {"event_id", "eventgroup_id"}, at + ".");
        o.events.push_back(
            {ReadId(event["event_id"], at + ".event_id"), ReadId(event["eventgroup_id"], at + ".eventgroup_id")});
      }
    }
    if (service.contains("methods")) {
      if (!service["methods"].is_array()) {
        throw std::runtime_error(where + ".methods must be an array");
      }
      o.hasMethods = true;
      for (std::size_t i = 0; i < service["methods"].size(); ++i) {
        o.methodIds.push_back(ReadId(service["methods"][i], where + ".methods[" + std::to_string(i) + "]"));
      }
    }
    result.network_.services[name] = ParseServiceNetwork(service, where);
    if (!result.overrides_.emplace(name, std::move(o)).second) {
      throw std::runtime_error(where + " repeats the interface " + name);
    }
  }
  return result;
}

DeploymentOverrides DeploymentOverrides::Load(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    throw std::runtime_error("ara::com deployment " + path + ": cannot be read");
  }
  std::ostringstream text;
  text << in.rdbuf();
  return Parse(text.str(), path);
}

DeploymentOverrides DeploymentOverrides::FromEnvironment() {
  const char* path = std::getenv(kDeploymentEnvironmentVariable);
  if (path == nullptr || *path == '\0') {
    return {};
  }
  return Load(path);
}

ServiceDeployment DeploymentOverrides::Apply(const ServiceDeployment& defaults,
                                             ServiceInterfaceDescription description) const {
  ServiceDeployment result = defaults;
  const std::string prefix = "ara::com deployment " + (origin_.empty() ? std::string("(built-in)") : origin_) + ": ";
  if (auto it = overrides_.find(defaults.interfaceName); it != overrides_.end()) {
    const Override& o = it->second;
    if (o.hasServiceId) {
      result.serviceId = o.serviceId;
    }
    if (o.hasEvents) {
      result.events = o.events;
    }
    if (o.hasMethods) {
      result.methodIds = o.methodIds;
    }
  }
  if (result.events.size() != description.events || result.methodIds.size() != description.methods) {
    throw std::runtime_error(prefix + defaults.interfaceName + " has " + std::to_string(result.events.size()) +
                             " events and " + std::to_string(result.methodIds.size()) + " methods, its interface " +
                             std::to_string(description.events) + " and " + std::to_string(description.methods));
  }
  return result;
}

}  // namespace ara::com
