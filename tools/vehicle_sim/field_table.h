#pragma once

// Every field of both vehicle services as the simulator serves it: where it sits in its service
// (event and method indices) and how its value turns from JSON into a payload and back.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

namespace orik::vehicleSim {

enum class Service : std::uint8_t { kChargingManagementCore, kRouteBasedEnergyContents };

std::string_view ServiceName(Service service);
// Accepts "ChargingManagementCore" and "RouteBasedEnergyContents"; nullopt otherwise.
std::optional<Service> ServiceFromName(std::string_view name);

struct FieldInfo {
  Service service;
  std::string_view name;
  std::size_t eventIndex;
  std::size_t getMethodIndex;
  std::optional<std::size_t> setMethodIndex;
  // The member that names an element (type, chargeModesType, statisicsType, elementId): elements
  // with equal values of it are the same entity. Empty when the structure has none.
  std::string_view identityMember;
  // Encodes a JSON array of elements; throws ConversionError naming field and member.
  std::function<std::vector<std::uint8_t>(const nlohmann::json&)> encode;
  // Decodes a payload into a JSON array of elements; throws what the TLV decoder throws.
  std::function<nlohmann::json(const std::vector<std::uint8_t>&)> decode;
};

// Both services' fields, ChargingManagementCore first, each service's in member order.
std::span<const FieldInfo> Fields();
// Field names are unique across the two services.
const FieldInfo* FindField(std::string_view name);

}  // namespace orik::vehicleSim
