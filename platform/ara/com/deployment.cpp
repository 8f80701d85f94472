#include "ara/com/deployment.h"

#include <cstdlib>
#include <fstream>
#include <limits>
#include <sstream>
#include <stdexcept>
#include <utility>

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

}  // namespace

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
  if (!doc.is_object() || !doc.contains("services") || !doc["services"].is_array()) {
    throw std::runtime_error(prefix + "expected an object with a \"services\" array");
  }
  std::size_t index = 0;
  for (const auto& service : doc["services"]) {
    const std::string where = prefix + "services[" + std::to_string(index++) + "]";
    if (!service.is_object() || !service.contains("interface") || !service["interface"].is_string()) {
      throw std::runtime_error(where + " needs an \"interface\" name");
    }
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
    auto name = service["interface"].get<std::string>();
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
