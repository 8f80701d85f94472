#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "ara/rest/ogm.h"
#include "ara/rest/serialize/json_serializer.h"
#include "rest_model/descriptions/model_schema.h"

namespace rubo::server::descriptions {
namespace {

using nlohmann::ordered_json;

std::vector<std::string> AllCollectionNames() {
  std::vector<std::string> names;
  for (const auto& collection : ChargingManagementCoreCollections()) {
    names.emplace_back(collection.name);
  }
  names.emplace_back(ResetsCollection().name);
  return names;
}

std::vector<const std::string*> AllTexts() {
  std::vector<const std::string*> texts = {&ChargingManagementCoreServiceDescription(),
                                           &FactoryResetServiceDescription()};
  for (const auto& name : AllCollectionNames()) {
    texts.push_back(&CollectionDescription(name));
  }
  return texts;
}

// The entry text that a service description holds for one collection, cut out of the raw text.
std::string EntryOf(const std::string& collectionText, const std::string& name) {
  const std::string prefix = "{\"" + name + "\":";
  EXPECT_EQ(collectionText.rfind(prefix, 0), 0u) << name;
  EXPECT_EQ(collectionText.back(), '}') << name;
  return collectionText.substr(prefix.size(), collectionText.size() - prefix.size() - 1);
}

TEST(Descriptions, AllTwentyTwoAreCompactAsciiJson) {
  const auto texts = AllTexts();
  ASSERT_EQ(texts.size(), 22u);
  for (const auto* text : texts) {
    ordered_json parsed;
    ASSERT_NO_THROW(parsed = ordered_json::parse(*text)) << *text;
    for (const char c : *text) {
      ASSERT_GE(static_cast<unsigned char>(c), 0x20) << *text;
      ASSERT_LT(static_cast<unsigned char>(c), 0x80) << *text;
    }
    // Compact: rendering the parsed document again without indentation gives the same bytes.
    EXPECT_EQ(parsed.dump(), *text);
  }
}

TEST(Descriptions, ThePlatformSerializerParsesAllOfThem) {
  const ara::rest::serialize::JSONSerializer serializer;
  for (const auto* text : AllTexts()) {
    ASSERT_NO_THROW((void)serializer.Deserialize(*text)) << *text;
  }
}

TEST(Descriptions, LastResetMaximumSurvivesParseAndRender) {
  namespace ogm = ara::rest::ogm;
  const ara::rest::serialize::JSONSerializer serializer;
  const auto parsed = serializer.Deserialize(CollectionDescription("resetToFactoryData"));
  const auto& lastReset = ogm::Get<ogm::Object>(
      ogm::Get<ogm::Object>(ogm::Get<ogm::Object>(ogm::Get<ogm::Object>(*parsed, "resetToFactoryData"), "model"),
                            "properties"),
      "lastReset");
  EXPECT_EQ(ogm::Get<ogm::Int>(lastReset, "maximum").GetValue(), INT64_MAX);
  EXPECT_NE(serializer.Serialize(lastReset).find("\"maximum\":9223372036854775807"), std::string::npos);
  EXPECT_EQ(serializer.Serialize(*parsed), CollectionDescription("resetToFactoryData"));
}

TEST(Descriptions, ServicesListTheirCollectionsInOrder) {
  const auto cmc = ordered_json::parse(ChargingManagementCoreServiceDescription());
  std::vector<std::string> keys;
  for (const auto& [key, value] : cmc.items()) {
    keys.push_back(key);
  }
  EXPECT_EQ(keys, (std::vector<std::string>{"name", "description", "resources"}));
  EXPECT_EQ(cmc["name"], "ChargingManagementCore");
  EXPECT_EQ(cmc["description"], "This specification describes the ChargingManagementCore service");
  std::vector<std::string> resources;
  for (const auto& [key, value] : cmc["resources"].items()) {
    resources.push_back(key);
  }
  EXPECT_EQ(resources, (std::vector<std::string>{
                           "switchControls", "notificationMarkers", "pastErrorInformation",
                           "batteryPreconditioningEnergies", "bidirectionalChargingModes", "immediateChargingOptions",
                           "valueIndications", "oruUpdateApprovals", "resetToFactoryData", "immediateActions",
                           "chargingPlugs", "chargingProcessInformation", "valueControls", "batteryCareModes",
                           "chargeModes", "notifications", "views", "batteryPreconditionings", "statistics"}));

  const auto reset = ordered_json::parse(FactoryResetServiceDescription());
  EXPECT_EQ(reset["name"], "FactoryReset");
  EXPECT_EQ(reset["description"], "Implemented by resettable services to receive factory reset triggers.");
  ASSERT_EQ(reset["resources"].size(), 1u);
  EXPECT_TRUE(reset["resources"].contains("resets"));
}

TEST(Descriptions, EachCollectionTextIsItsServiceEntryByteForByte) {
  const auto resources = ordered_json::parse(ChargingManagementCoreServiceDescription())["resources"];
  for (const auto& collection : ChargingManagementCoreCollections()) {
    const std::string name(collection.name);
    const auto entry = EntryOf(CollectionDescription(name), name);
    EXPECT_NE(ChargingManagementCoreServiceDescription().find("\"" + name + "\":" + entry), std::string::npos) << name;
    EXPECT_EQ(ordered_json::parse(entry), resources[name]);
  }
  const auto entry = EntryOf(CollectionDescription("resets"), "resets");
  EXPECT_NE(FactoryResetServiceDescription().find("\"resets\":" + entry), std::string::npos);
}

TEST(Descriptions, EntriesHaveTheirKeysAndTextsInOrder) {
  for (const auto& name : AllCollectionNames()) {
    const auto doc = ordered_json::parse(CollectionDescription(name));
    ASSERT_EQ(doc.size(), 1u);
    const auto& entry = doc[name];
    std::vector<std::string> keys;
    for (const auto& [key, value] : entry.items()) {
      keys.push_back(key);
    }
    EXPECT_EQ(keys, (std::vector<std::string>{"endpoints", "description", "model", "systemTriggeredEvents"})) << name;
    const auto& model = FindCollection(name);
    EXPECT_EQ(entry["description"], std::string(model.description));
    EXPECT_EQ(entry["model"]["resource"], std::string(model.service) + "." + name);
    EXPECT_EQ(entry["model"]["name"], std::string(model.modelName));
    for (const auto* common : {"id", "uri", "name"}) {
      EXPECT_TRUE(entry["model"]["properties"].contains(common)) << name << " " << common;
    }
    EXPECT_EQ(entry["model"]["properties"]["id"]["format"], "uuid");
    EXPECT_EQ(entry["model"]["properties"]["uri"]["format"], "uri");
    const bool reset = name == "resets";
    EXPECT_EQ(entry["systemTriggeredEvents"],
              reset ? ordered_json::array({"resource", "element"}) : ordered_json::array({"element", "resource"}));
  }
  // Blanks at the end of a description belong to it.
  const auto actions = ordered_json::parse(CollectionDescription("immediateActions"));
  EXPECT_EQ(actions["immediateActions"]["description"].get<std::string>().back(), ' ');
  const auto preconditionings = ordered_json::parse(CollectionDescription("batteryPreconditionings"));
  EXPECT_EQ(
      preconditionings["batteryPreconditionings"]["description"],
      "By preconditioning it is possible to bring the battery in a temperature range to improve the chargerate. ");
}

TEST(Descriptions, PostSchemasEqualModelSchemas) {
  const std::vector<std::pair<std::string, std::vector<std::string>>> expected = {
      {"switchControls", {"switchValue"}},
      {"pastErrorInformation", {"confirmedByUser"}},
      {"resetToFactoryData", {"resetToFactoryData"}},
      {"valueControls", {"specialState", "currentValue"}},
      {"views", {"visibility"}},
      {"statistics", {"confirmendByUser"}},
      {"resets", {"isFactoryDefault"}}};
  std::size_t posts = 0;
  for (const auto& name : AllCollectionNames()) {
    const auto entry = ordered_json::parse(CollectionDescription(name))[name];
    const auto& element = entry["endpoints"]["element"];
    if (!element.contains("post")) {
      continue;
    }
    ++posts;
    const auto& parameters = element["post"]["parameters"];
    EXPECT_EQ(parameters["method"], "post");
    EXPECT_EQ(parameters["resource"], entry["model"]["resource"]);
    std::vector<std::string> writable;
    for (const auto& [property, schema] : parameters["properties"].items()) {
      writable.push_back(property);
      EXPECT_EQ(schema, entry["model"]["properties"][property]) << name << " " << property;
    }
    const auto found = std::find_if(expected.begin(), expected.end(), [&](const auto& e) { return e.first == name; });
    ASSERT_NE(found, expected.end()) << name;
    EXPECT_EQ(writable, found->second);
    EXPECT_EQ(parameters["required"],
              name == "resets" ? ordered_json::array({"isFactoryDefault"}) : ordered_json::array());
  }
  EXPECT_EQ(posts, expected.size());

  const auto vc = ordered_json::parse(CollectionDescription("valueControls"))["valueControls"];
  const auto& currentValue = vc["endpoints"]["element"]["post"]["parameters"]["properties"]["currentValue"];
  EXPECT_EQ(currentValue["minimum"], 0);
  EXPECT_EQ(currentValue["maximum"], 3000);
  EXPECT_EQ(vc["model"]["properties"]["specialState"]["enum"], ordered_json::array({"off"}));
  const auto stats = ordered_json::parse(CollectionDescription("statistics"))["statistics"];
  EXPECT_EQ(stats["model"]["properties"]["confirmendByUser"]["enum"],
            ordered_json::array({"notConfirmed", "confirmed", "option"}));
}

TEST(Descriptions, ResetsEndpointsReferToTheModel) {
  const auto entry = ordered_json::parse(CollectionDescription("resets"))["resets"];
  const auto& get = entry["endpoints"]["resource"]["get"]["parameters"];
  EXPECT_EQ(get["method"], "get");
  EXPECT_EQ(get["resource"], "FactoryReset.resets");
  std::vector<std::string> listed;
  for (const auto& [property, schema] : get["properties"].items()) {
    listed.push_back(property);
    EXPECT_EQ(schema["description"], "see model description");
    auto model = entry["model"]["properties"][property];
    model["description"] = "see model description";
    EXPECT_EQ(schema, model) << property;
  }
  EXPECT_EQ(listed, (std::vector<std::string>{"name", "restrictionReason", "category", "isFactoryDefault"}));
  EXPECT_EQ(entry["endpoints"]["element"]["get"], ordered_json::object());
  EXPECT_EQ(entry["model"]["properties"]["lastReset"]["format"], "date-time");
  EXPECT_EQ(entry["model"]["properties"]["category"]["enum"].size(), 71u);
}

TEST(Descriptions, LinksAndSpecialSchemas) {
  const auto cpi =
      ordered_json::parse(CollectionDescription("chargingProcessInformation"))["chargingProcessInformation"];
  EXPECT_EQ(cpi["model"]["properties"]["currentSoc"]["oneOf"],
            ordered_json::parse(R"([{"#ref":"ChargingManagementCore.valueIndications.valueIndicationObject"}])"));
  const auto sc = ordered_json::parse(CollectionDescription("switchControls"))["switchControls"];
  EXPECT_EQ(sc["model"]["properties"]["switchValueConfiguration"]["type"], "array");
  EXPECT_EQ(sc["model"]["properties"]["switchValueConfiguration"]["items"]["type"], "string");
  EXPECT_EQ(sc["model"]["properties"]["switchValueConfiguration"]["items"]["enum"].size(), 34u);
  EXPECT_FALSE(sc["model"]["properties"]["switchValueConfiguration"].contains("enum"));
  const auto rtf = ordered_json::parse(CollectionDescription("resetToFactoryData"))["resetToFactoryData"];
  EXPECT_EQ(rtf["model"]["properties"]["lastReset"]["maximum"].get<std::int64_t>(), INT64_MAX);
  EXPECT_EQ(rtf["model"]["properties"]["elementId"]["minimum"], 0);
  EXPECT_EQ(rtf["model"]["properties"]["elementId"]["maximum"], 0);
  const auto vi = ordered_json::parse(CollectionDescription("valueIndications"))["valueIndications"];
  EXPECT_EQ(vi["model"]["properties"]["currentValue"]["minimum"], -1000000);
  EXPECT_EQ(vi["model"]["properties"]["currentValue"]["type"], "number");
}

}  // namespace
}  // namespace rubo::server::descriptions
