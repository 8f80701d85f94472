#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

// The models of the REST interface: property names, kinds, value lists, ranges and which
// properties a client may write. The served JSON descriptions are rendered from these tables,
// so a collection's own description and its entry in the service description cannot drift.
namespace rubo::server::descriptions {

enum class PropertyKind { kString, kInteger, kNumber, kBoolean, kObject, kArray };
enum class PropertyFormat { kNone, kUuid, kUri, kDateTime };

struct Range {
  std::int64_t minimum;
  std::int64_t maximum;
};

struct PropertySchema {
  std::string_view name;
  std::string_view description;
  PropertyKind kind;
  PropertyFormat format = PropertyFormat::kNone;
  // "enum" of a string, or the "enum" of the items of an array.
  std::span<const std::string_view> values{};
  std::optional<Range> range{};
  // "#ref" of an object-typed property (a linked element).
  std::string_view link{};
  bool writable = false;
};

struct CollectionModel {
  std::string_view service;
  std::string_view name;
  std::string_view description;
  std::string_view modelName;
  std::span<const PropertySchema> properties;

  bool HasPost() const;
  const PropertySchema* FindProperty(std::string_view property) const;
};

inline constexpr std::string_view kChargingManagementCoreName = "ChargingManagementCore";
inline constexpr std::string_view kChargingManagementCoreDescription =
    "This specification describes the ChargingManagementCore service";
inline constexpr std::string_view kFactoryResetName = "FactoryReset";
inline constexpr std::string_view kFactoryResetDescription =
    "Implemented by resettable services to receive factory reset triggers.";

// The 19 collections of the "ChargingManagementCore" service, in the key order of its "resources".
std::span<const CollectionModel> ChargingManagementCoreCollections();
// The one collection of the "FactoryReset" service.
const CollectionModel& ResetsCollection();
// The model of the collection of that name in either service; throws std::out_of_range.
const CollectionModel& FindCollection(std::string_view name);

// The JSON texts (ASCII, no white space between tokens), rendered once on first use.
const std::string& ChargingManagementCoreServiceDescription();
const std::string& FactoryResetServiceDescription();
// {"<name>": <the entry of the service description's "resources">}; throws std::out_of_range.
const std::string& CollectionDescription(std::string_view name);

}  // namespace rubo::server::descriptions
