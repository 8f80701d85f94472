#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "app/mapping_tables/mapping_tables.h"
#include "rest_model/descriptions/model_schema.h"
#include "rest_model/validators/validator_rules.h"
#include "tests/rest_model/model/element_cases.h"

// The interface's words are written once, in the service's vocabulary file; the served models
// and the element classes bind each enumerated property to one of its lists, and the
// enumeration mapping tables are expanded from it on the application's side. A property bound
// to the wrong enumeration, a class list without a model property or a table without one, shows
// here.
namespace rubo::server::testing {
namespace {

using Words = std::set<std::string>;
using descriptions::PropertyKind;

template <typename Map>
Words WordsOf(const Map& direct) {
  Words words;
  for (const auto& [value, word] : direct) {
    words.insert(word);
  }
  return words;
}

// (collection, member) -> the words of its Direct table.
std::map<std::pair<std::string, std::string>, Words> MappingTableWords() {
  std::map<std::pair<std::string, std::string>, Words> tables;
#define ORIK_VOCABULARY(field, member, ROWS) \
  tables[{#field, #member}] =                \
      WordsOf(zrt::services::chargingmanagementcore::mapDT_ChargingManagementCore_##field##_##member##_Direct);
#include "service_types/chargingmanagementcore/enumerations.def"
  return tables;
}

template <typename List>
Words AsSet(const List& list) {
  return Words(list.begin(), list.end());
}

template <typename List>
bool HasDuplicates(const List& list) {
  return AsSet(list).size() != list.size();
}

TEST(Vocabulary, ModelsElementListsAndMappingTablesAgree) {
  const auto tables = MappingTableWords();
  std::set<std::pair<std::string, std::string>> tablesUsed;
  std::size_t compared = 0;
  for (const auto& c : AllElementCases()) {
    SCOPED_TRACE(c.className);
    const auto& model = descriptions::FindCollection(c.collection);
    const auto element = c.make(ara::rest::Uuid::MakeV4(), {});
    const auto& lists = c.lists(*element);

    std::set<std::string> listed;
    for (const auto& property : model.properties) {
      if (property.values.empty()) {
        continue;
      }
      SCOPED_TRACE(std::string(property.name));
      const std::string name(property.name);
      listed.insert(name);
      const Words modelWords = AsSet(property.values);
      EXPECT_FALSE(HasDuplicates(property.values));
      const auto* list = lists.Find(name);
      ASSERT_NE(list, nullptr) << "the element class keeps no list for it";
      EXPECT_EQ(AsSet(*list), modelWords);
      EXPECT_FALSE(HasDuplicates(*list));
      const auto table = tables.find({c.collection, name});
      if (table != tables.end()) {
        EXPECT_EQ(table->second, modelWords) << "mapping table";
        tablesUsed.insert(table->first);
      }
      ++compared;
    }
    // Nor does a class keep a list that its model does not have.
    for (std::size_t i = 0; i < lists.Size(); ++i) {
      EXPECT_TRUE(listed.count(lists.PropertyAt(i))) << lists.PropertyAt(i);
    }
  }
  EXPECT_GT(compared, 60u);
  // Every mapping table of the service belongs to some model property.
  for (const auto& [key, words] : tables) {
    EXPECT_TRUE(tablesUsed.count(key)) << key.first << "_" << key.second;
  }
}

TEST(Vocabulary, WritableListsAndValidatorRulesMirrorThePostParameters) {
  const std::map<std::string, const validation::BodyRules*> rules = {
      {"views", &validation::kViewBody},
      {"valueControls", &validation::kValueControlBody},
      {"switchControls", &validation::kSwitchControlBody},
      {"pastErrorInformation", &validation::kPastErrorInformationBody},
      {"resets", &validation::kResetBody},
      {"resetToFactoryData", &validation::kResetToFactoryDataBody},
      {"statistics", &validation::kStatisticBody}};
  for (const auto& c : AllElementCases()) {
    SCOPED_TRACE(c.className);
    const auto& model = descriptions::FindCollection(c.collection);
    const auto element = c.make(ara::rest::Uuid::MakeV4(), {});
    const auto* writable = c.writable(*element);
    std::vector<std::string> posted;
    for (const auto& property : model.properties) {
      if (property.writable) {
        posted.emplace_back(property.name);
      }
    }
    if (writable == nullptr) {
      EXPECT_TRUE(posted.empty());
      continue;
    }
    EXPECT_EQ(AsSet(*writable), AsSet(posted));
    const auto& body = *rules.at(c.collection);
    EXPECT_EQ(body.required, c.collection == "resets" ? "isFactoryDefault" : "");
    for (const auto& name : posted) {
      SCOPED_TRACE(name);
      const auto& schema = *model.FindProperty(name);
      const auto rule = std::find_if(body.properties.begin(), body.properties.end(),
                                     [&](const auto& r) { return r.property == name; });
      ASSERT_NE(rule, body.properties.end());
      switch (schema.kind) {
        case PropertyKind::kString:
          EXPECT_EQ(rule->kind, validation::ValueKind::kString);
          EXPECT_EQ(AsSet(rule->allowed), AsSet(schema.values));
          break;
        case PropertyKind::kInteger:
          EXPECT_EQ(rule->kind, validation::ValueKind::kInt);
          ASSERT_TRUE(schema.range);
          EXPECT_EQ(schema.range->minimum, 0);
          EXPECT_EQ(static_cast<std::int64_t>(*rule->maximum), schema.range->maximum);
          break;
        case PropertyKind::kBoolean:
          EXPECT_EQ(rule->kind, validation::ValueKind::kBool);
          break;
        default:
          ADD_FAILURE() << "no rule kind for this property";
      }
    }
  }
}

}  // namespace
}  // namespace rubo::server::testing
