#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "ara/rest/uri.h"
#include "ara/rest/uuid.h"
#include "rubo/server_reply.h"
#include "tests/rest_model/model/element_cases.h"

namespace rubo::server::testing {
namespace {

namespace ogm = ara::rest::ogm;

class EveryElementClass : public ::testing::TestWithParam<ElementCase> {};

TEST(EveryElementClass, MakeGivesAnEmptyUriTheCollectionPathAndTheUuid) {
  for (const auto& c : AllElementCases()) {
    SCOPED_TRACE(c.className);
    const auto uuid = ara::rest::Uuid::MakeV4();
    const auto element = c.make(uuid, ara::rest::Uri::Builder().ToUri());
    EXPECT_EQ(element->GetUri().ToString(), c.pathPrefix + uuid.ToString());
    EXPECT_EQ(element->GetUuid(), uuid);
    EXPECT_EQ(element->GetName(), c.className);
    EXPECT_EQ(element->GetXObjectType(), 4);
    // A new element carries no property until the application adds one.
    EXPECT_TRUE(element->GetOGM().IsEmpty());
    EXPECT_EQ(c.pathPrefix.rfind(c.className == "ResetObject" ? "/FactoryReset/" : "/ChargingManagementCore/", 0), 0u);
    EXPECT_EQ(c.pathPrefix,
              (c.className == "ResetObject" ? "/FactoryReset/" : "/ChargingManagementCore/") + c.collection + "/");

    // A given URI is kept as it is, also outside the collection's path.
    const auto elsewhere = ara::rest::Uri::Builder("/Elsewhere/x").ToUri();
    EXPECT_EQ(c.make(uuid, elsewhere)->GetUri(), elsewhere);
  }
}

TEST(EveryElementClass, InstallsItsRequestHooks) {
  for (const auto& c : AllElementCases()) {
    SCOPED_TRACE(c.className);
    const auto element = c.make(ara::rest::Uuid::MakeV4(), {});
    const auto preGet = element->GetPreGetCallback();
    ASSERT_TRUE(preGet);
    rubo::ServerReply reply;
    EXPECT_TRUE(preGet(element, reply));
    EXPECT_FALSE(reply.IsSent());

    EXPECT_EQ(static_cast<bool>(element->GetPreUpdateCallback()), c.hasValidator);
    EXPECT_EQ(c.writable(*element) != nullptr, c.hasValidator);
  }
}

void CheckSetType(const ElementCase& c) {
  const auto element = c.make(ara::rest::Uuid::MakeV4(), {});
  try {
    c.setType(*element, "");
    FAIL() << "the empty text is in no list";
  } catch (const std::domain_error& error) {
    EXPECT_STREQ(error.what(), "Unsupported type: ");
  }
  EXPECT_FALSE(element->HasField("type"));

  EXPECT_TRUE(c.setType(*element, c.someType));
  EXPECT_EQ(element->GetFieldValue<ogm::String>("type"), c.someType);
  EXPECT_FALSE(c.setType(*element, c.someType)) << "an unchanged value is no change";

  // Case matters, and a refusal leaves the earlier type.
  std::string shouted = c.someType;
  shouted[0] = static_cast<char>(shouted[0] - 'a' + 'A');
  try {
    c.setType(*element, shouted);
    FAIL() << shouted;
  } catch (const std::domain_error& error) {
    EXPECT_EQ(std::string(error.what()), "Unsupported type: " + shouted);
  }
  EXPECT_EQ(element->GetFieldValue<ogm::String>("type"), c.someType);

  if (!c.otherType.empty()) {
    EXPECT_TRUE(c.setType(*element, c.otherType));
    EXPECT_EQ(element->GetFieldValue<ogm::String>("type"), c.otherType);
  }
  EXPECT_EQ(element->GetOGM().Size(), 1u) << "replacing a type adds no second field";
}

TEST(EveryElementClass, SetTypeChecksTheTypeList) {
  for (const auto& c : AllElementCases()) {
    if (c.setType) {
      SCOPED_TRACE(c.className);
      CheckSetType(c);
    }
  }
}

TEST(ElementClasses, ExactlyTheModelsWithoutTypeLackSetTypeAndSevenValidate) {
  std::set<std::string> withoutType;
  std::set<std::string> validating;
  for (const auto& c : AllElementCases()) {
    if (!c.setType) {
      withoutType.insert(c.className);
    }
    if (c.hasValidator) {
      validating.insert(c.className);
    }
  }
  EXPECT_EQ(withoutType,
            (std::set<std::string>{"ResetToFactoryDataObject", "ChargeModeObject", "StatisticObject", "ResetObject"}));
  EXPECT_EQ(validating, (std::set<std::string>{"ViewObject", "ValueControlObject", "SwitchControlObject",
                                               "PastErrorInformationObject", "ResetObject", "ResetToFactoryDataObject",
                                               "StatisticObject"}));
}

TEST(ElementClasses, TypeListsBelongToTheirOwnClass) {
  const auto view = charging_management_core::ViewObject::Make("v", ara::rest::Uuid::MakeV4(), {});
  const auto control = charging_management_core::SwitchControlObject::Make("s", ara::rest::Uuid::MakeV4(), {});
  EXPECT_TRUE(view->SetType("popup"));
  EXPECT_THROW(control->SetType("popup"), std::domain_error);
  const auto plug = charging_management_core::ChargingPlugObject::Make("p", ara::rest::Uuid::MakeV4(), {});
  EXPECT_NO_THROW(plug->SetListedText("plugType", "Typ1AC"));
  EXPECT_NO_THROW(plug->SetListedText("plugType", "Typ2Ac"));
  EXPECT_THROW(plug->SetListedText("plugType", "Typ1Ac"), std::domain_error);
  EXPECT_THROW(plug->SetListedText("plugType", "Typ2AC"), std::domain_error);
}

TEST(ElementClasses, ResetCategoryIsCheckedLikeAType) {
  const auto reset = factory_reset::ResetObject::Make("ResetObject", ara::rest::Uuid::MakeV4(), {});
  EXPECT_TRUE(reset->SetListedText("category", "eCharging"));
  EXPECT_EQ(reset->GetFieldValue<ogm::String>("category"), "eCharging");
  const auto other = factory_reset::ResetObject::Make("ResetObject", ara::rest::Uuid::MakeV4(), {});
  EXPECT_THAT([&] { other->SetListedText("category", "echarging"); },
              ::testing::ThrowsMessage<std::domain_error>(::testing::StrEq("Unsupported type: echarging")));
  EXPECT_FALSE(other->HasField("category"));
}

}  // namespace
}  // namespace rubo::server::testing
