#include <array>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "rest_model/descriptions/model_schema.h"

namespace rubo::server::descriptions {
namespace {

// Appends compact JSON; every text of the tables is ASCII, but quotes, backslashes and control
// characters are escaped all the same so that a table entry can never break the document.
class JsonWriter {
 public:
  void BeginObject() {
    Separate();
    text_ += '{';
    first_ = true;
  }
  void EndObject() {
    text_ += '}';
    first_ = false;
  }
  void BeginArray() {
    Separate();
    text_ += '[';
    first_ = true;
  }
  void EndArray() {
    text_ += ']';
    first_ = false;
  }
  void Key(std::string_view key) {
    Separate();
    Quote(key);
    text_ += ':';
    first_ = true;
  }
  void String(std::string_view value) {
    Separate();
    Quote(value);
    first_ = false;
  }
  void Integer(std::int64_t value) {
    Separate();
    text_ += std::to_string(value);
    first_ = false;
  }
  void Raw(std::string_view json) {
    Separate();
    text_ += json;
    first_ = false;
  }
  void KeyString(std::string_view key, std::string_view value) {
    Key(key);
    String(value);
  }
  void EmptyObject(std::string_view key) {
    Key(key);
    BeginObject();
    EndObject();
  }
  std::string Take() { return std::move(text_); }

 private:
  void Separate() {
    if (!first_) {
      text_ += ',';
    }
    first_ = false;
  }
  void Quote(std::string_view value) {
    static constexpr char kHex[] = "0123456789abcdef";
    text_ += '"';
    for (const char c : value) {
      const auto byte = static_cast<unsigned char>(c);
      if (c == '"' || c == '\\') {
        text_ += '\\';
        text_ += c;
      } else if (byte < 0x20) {
        text_ += "\\u00";
        text_ += kHex[byte >> 4];
        text_ += kHex[byte & 0x0f];
      } else {
        text_ += c;
      }
    }
    text_ += '"';
  }

  std::string text_;
  bool first_ = true;
};

std::string_view KindName(PropertyKind kind) {
  switch (kind) {
    case PropertyKind::kString:
      return "string";
    case PropertyKind::kInteger:
      return "integer";
    case PropertyKind::kNumber:
      return "number";
    case PropertyKind::kBoolean:
      return "boolean";
    case PropertyKind::kObject:
      return "object";
    case PropertyKind::kArray:
      return "array";
  }
  throw std::logic_error("Unknown property kind");
}

std::string_view FormatName(PropertyFormat format) {
  switch (format) {
    case PropertyFormat::kUuid:
      return "uuid";
    case PropertyFormat::kUri:
      return "uri";
    case PropertyFormat::kDateTime:
      return "date-time";
    case PropertyFormat::kNone:
      break;
  }
  return {};
}

void WriteValues(JsonWriter& out, std::span<const std::string_view> values) {
  out.Key("enum");
  out.BeginArray();
  for (const auto value : values) {
    out.String(value);
  }
  out.EndArray();
}

// Schema of one property; `description` replaces the model's text where the served text
// refers the reader to the model instead.
void WriteSchema(JsonWriter& out, const PropertySchema& property, std::string_view description) {
  out.Key(property.name);
  out.BeginObject();
  out.KeyString("description", description);
  out.KeyString("type", KindName(property.kind));
  if (property.format != PropertyFormat::kNone) {
    out.KeyString("format", FormatName(property.format));
  }
  if (property.kind != PropertyKind::kArray && !property.values.empty()) {
    WriteValues(out, property.values);
  }
  if (property.range) {
    out.Key("minimum");
    out.Integer(property.range->minimum);
    out.Key("maximum");
    out.Integer(property.range->maximum);
  }
  if (property.kind == PropertyKind::kArray) {
    out.Key("items");
    out.BeginObject();
    out.KeyString("type", "string");
    if (!property.values.empty()) {
      WriteValues(out, property.values);
    }
    out.EndObject();
  }
  if (property.kind == PropertyKind::kObject) {
    out.Key("oneOf");
    out.BeginArray();
    out.BeginObject();
    out.KeyString("#ref", property.link);
    out.EndObject();
    out.EndArray();
  }
  out.EndObject();
}

void WriteSchema(JsonWriter& out, const PropertySchema& property) {
  WriteSchema(out, property, property.description);
}

std::string ResourceName(const CollectionModel& collection) {
  return std::string(collection.service) + "." + std::string(collection.name);
}

void WriteModel(JsonWriter& out, const CollectionModel& collection) {
  out.KeyString("description", collection.description);
  out.Key("model");
  out.BeginObject();
  out.KeyString("resource", ResourceName(collection));
  out.KeyString("name", collection.modelName);
  out.Key("properties");
  out.BeginObject();
  for (const auto& property : collection.properties) {
    WriteSchema(out, property);
  }
  out.EndObject();
  out.EndObject();
}

void WriteEvents(JsonWriter& out, std::string_view first, std::string_view second) {
  out.Key("systemTriggeredEvents");
  out.BeginArray();
  out.String(first);
  out.String(second);
  out.EndArray();
}

void WriteWritableProperties(JsonWriter& out, const CollectionModel& collection) {
  out.Key("properties");
  out.BeginObject();
  for (const auto& property : collection.properties) {
    if (property.writable) {
      WriteSchema(out, property);
    }
  }
  out.EndObject();
}

// The entry of one "ChargingManagementCore" collection.
std::string RenderServiceCollectionEntry(const CollectionModel& collection) {
  const std::string resource = ResourceName(collection);
  JsonWriter out;
  out.BeginObject();
  out.Key("endpoints");
  out.BeginObject();
  out.Key("resource");
  out.BeginObject();
  out.Key("get");
  out.BeginObject();
  out.KeyString("description", "read all elements in " + resource);
  out.EmptyObject("parameters");
  out.EndObject();
  out.EndObject();
  out.Key("element");
  out.BeginObject();
  if (collection.HasPost()) {
    out.Key("post");
    out.BeginObject();
    out.KeyString("description", "update a single element in " + resource);
    out.Key("parameters");
    out.BeginObject();
    out.KeyString("method", "post");
    out.KeyString("resource", resource);
    WriteWritableProperties(out, collection);
    out.Key("required");
    out.BeginArray();
    out.EndArray();
    out.EndObject();
    out.EndObject();
  }
  out.Key("get");
  out.BeginObject();
  out.KeyString("description", "read a single element from " + resource);
  out.EmptyObject("parameters");
  out.EndObject();
  out.EndObject();
  out.EndObject();
  WriteModel(out, collection);
  WriteEvents(out, "element", "resource");
  out.EndObject();
  return out.Take();
}

constexpr std::string_view kSeeModel = "see model description";
constexpr std::array<std::string_view, 4> kResetsListedProperties = {"name", "restrictionReason", "category",
                                                                     "isFactoryDefault"};
constexpr std::string_view kResetsRequired = "isFactoryDefault";

const PropertySchema& RequireProperty(const CollectionModel& collection, std::string_view name) {
  const auto* property = collection.FindProperty(name);
  if (property == nullptr) {
    throw std::logic_error("Model " + std::string(collection.modelName) + " lacks " + std::string(name));
  }
  return *property;
}

// The reset collection's endpoints follow the factory-reset interface's own layout.
std::string RenderResetsEntry(const CollectionModel& collection) {
  const std::string resource = ResourceName(collection);
  JsonWriter out;
  out.BeginObject();
  out.Key("endpoints");
  out.BeginObject();
  out.Key("resource");
  out.BeginObject();
  out.Key("get");
  out.BeginObject();
  out.Key("parameters");
  out.BeginObject();
  out.KeyString("method", "get");
  out.KeyString("resource", resource);
  out.KeyString("description", kSeeModel);
  out.Key("properties");
  out.BeginObject();
  for (const auto name : kResetsListedProperties) {
    WriteSchema(out, RequireProperty(collection, name), kSeeModel);
  }
  out.EndObject();
  out.EndObject();
  out.EndObject();
  out.EndObject();
  out.Key("element");
  out.BeginObject();
  out.Key("post");
  out.BeginObject();
  out.Key("parameters");
  out.BeginObject();
  out.KeyString("method", "post");
  out.KeyString("resource", resource);
  out.KeyString("description", kSeeModel);
  WriteWritableProperties(out, collection);
  out.Key("required");
  out.BeginArray();
  out.String(kResetsRequired);
  out.EndArray();
  out.EndObject();
  out.EndObject();
  out.EmptyObject("get");
  out.EndObject();
  out.EndObject();
  WriteModel(out, collection);
  WriteEvents(out, "resource", "element");
  out.EndObject();
  return out.Take();
}

struct Texts {
  std::vector<std::pair<std::string_view, std::string>> collections;
  std::string chargingManagementCore;
  std::string factoryReset;
};

std::string RenderService(std::string_view name, std::string_view description,
                          const std::vector<std::pair<std::string_view, std::string>>& entries) {
  JsonWriter out;
  out.BeginObject();
  out.KeyString("name", name);
  out.KeyString("description", description);
  out.Key("resources");
  out.BeginObject();
  for (const auto& [collection, entry] : entries) {
    out.Key(collection);
    out.Raw(entry);
  }
  out.EndObject();
  out.EndObject();
  return out.Take();
}

std::string RenderCollection(std::string_view name, const std::string& entry) {
  JsonWriter out;
  out.BeginObject();
  out.Key(name);
  out.Raw(entry);
  out.EndObject();
  return out.Take();
}

Texts Render() {
  using Entries = std::vector<std::pair<std::string_view, std::string>>;
  Entries cmcEntries;
  for (const auto& collection : ChargingManagementCoreCollections()) {
    cmcEntries.emplace_back(collection.name, RenderServiceCollectionEntry(collection));
  }
  const Entries resetEntries = {{ResetsCollection().name, RenderResetsEntry(ResetsCollection())}};

  Texts texts;
  texts.chargingManagementCore =
      RenderService(kChargingManagementCoreName, kChargingManagementCoreDescription, cmcEntries);
  texts.factoryReset = RenderService(kFactoryResetName, kFactoryResetDescription, resetEntries);
  for (const Entries* entries : std::array<const Entries*, 2>{&cmcEntries, &resetEntries}) {
    for (const auto& [name, entry] : *entries) {
      texts.collections.emplace_back(name, RenderCollection(name, entry));
    }
  }
  return texts;
}

const Texts& AllTexts() {
  static const Texts texts = Render();
  return texts;
}

}  // namespace

const std::string& ChargingManagementCoreServiceDescription() {
  return AllTexts().chargingManagementCore;
}

const std::string& FactoryResetServiceDescription() {
  return AllTexts().factoryReset;
}

const std::string& CollectionDescription(std::string_view name) {
  for (const auto& [collection, text] : AllTexts().collections) {
    if (collection == name) {
      return text;
    }
  }
  throw std::out_of_range("No collection description named " + std::string(name));
}

}  // namespace rubo::server::descriptions
