#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ara/rest/serialize/json_serializer.h"
#include "ara/rest/uuid.h"
#include "rest_model/elements/elements.h"
#include "rubo/server_reply.h"

namespace rubo::server {
namespace {

using namespace charging_management_core;
using factory_reset::ResetObject;

struct Expected {
  int status;
  std::string text;
};

const Expected kNotAllowed{409, "Conflict: not allowed parameter(s) included"};
const Expected kMissing{409, "Conflict: required parameter(s) missing"};
const Expected kBadMessage{400, "Bad Message"};
const Expected kOutOfRange{400, "Bad Request: value not in allowed range"};

struct ValidatorCase {
  std::string element;
  std::string body;
  std::optional<Expected> refusal;  // nothing: accepted
};

std::shared_ptr<rubo::ServerElement> Make(const std::string& element) {
  const std::map<std::string, std::function<std::shared_ptr<rubo::ServerElement>()>> makers = {
      {"view", [] { return ViewObject::Make("v", ara::rest::Uuid::MakeV4(), {}); }},
      {"valueControl", [] { return ValueControlObject::Make("v", ara::rest::Uuid::MakeV4(), {}); }},
      {"switchControl", [] { return SwitchControlObject::Make("v", ara::rest::Uuid::MakeV4(), {}); }},
      {"pastError", [] { return PastErrorInformationObject::Make("v", ara::rest::Uuid::MakeV4(), {}); }},
      {"reset", [] { return ResetObject::Make("v", ara::rest::Uuid::MakeV4(), {}); }},
      {"resetToFactoryData", [] { return ResetToFactoryDataObject::Make("v", ara::rest::Uuid::MakeV4(), {}); }},
      {"statistic", [] { return StatisticObject::Make("v", ara::rest::Uuid::MakeV4(), {}); }},
  };
  return makers.at(element)();
}

const std::vector<ValidatorCase> kCases = {
    // An empty body passes everywhere but on the reset element, which requires its flag.
    {"view", "{}", std::nullopt},
    {"valueControl", "{}", std::nullopt},
    {"switchControl", "{}", std::nullopt},
    {"pastError", "{}", std::nullopt},
    {"resetToFactoryData", "{}", std::nullopt},
    {"statistic", "{}", std::nullopt},
    {"reset", "{}", kMissing},
    // "id" always passes, whatever it holds; the reset flag is still required.
    {"view", R"({"id":5})", std::nullopt},
    {"valueControl", R"({"id":null})", std::nullopt},
    {"reset", R"({"id":"x"})", kMissing},
    {"reset", R"({"id":"x","isFactoryDefault":true})", std::nullopt},
    // Value control: unsigned range, Int only, exact "off".
    {"valueControl", R"({"currentValue":3000})", std::nullopt},
    {"valueControl", R"({"currentValue":0,"specialState":"off"})", std::nullopt},
    {"valueControl", R"({"currentValue":3001})", kOutOfRange},
    {"valueControl", R"({"currentValue":-1})", kOutOfRange},
    {"valueControl", R"({"currentValue":3000.0})", kBadMessage},
    {"valueControl", R"({"currentValue":12.5})", kBadMessage},
    {"valueControl", R"({"currentValue":"5"})", kBadMessage},
    {"valueControl", R"({"currentValue":null})", kBadMessage},
    {"valueControl", R"({"specialState":"Off"})", kOutOfRange},
    {"valueControl", R"({"specialState":true})", kBadMessage},
    {"valueControl", R"({"minValue":0})", kNotAllowed},
    // View: only "visibility"; body order decides the first failure.
    {"view", R"({"visibility":"newRequest"})", std::nullopt},
    {"view", R"({"content":"nothing"})", kNotAllowed},
    {"view", R"({"visibility":5,"content":"nothing"})", kBadMessage},
    {"view", R"({"content":"nothing","visibility":5})", kNotAllowed},
    {"view", R"({"visibility":"visible"})", kOutOfRange},
    // Switch control: the interface's own spelling is the allowed one.
    {"switchControl", R"({"switchValue":"chargingImmedieateActionTime"})", std::nullopt},
    {"switchControl", R"({"switchValue":"chargingImmediateActionTime"})", kOutOfRange},
    {"switchControl", R"({"switchValue":null})", kBadMessage},
    {"switchControl", R"({"type":"frontFlapState"})", kNotAllowed},
    // Past error information and statistics spell their property differently.
    {"pastError", R"({"confirmedByUser":false})", std::nullopt},
    {"pastError", R"({"confirmedByUser":"true"})", kBadMessage},
    {"statistic", R"({"confirmendByUser":"option"})", std::nullopt},
    {"statistic", R"({"confirmedByUser":"confirmed"})", kNotAllowed},
    {"statistic", R"({"confirmendByUser":"Confirmed"})", kOutOfRange},
    // Reset-to-factory data.
    {"resetToFactoryData", R"({"resetToFactoryData":"notOrigin"})", std::nullopt},
    {"resetToFactoryData", R"({"resetToFactoryData":"factory"})", kOutOfRange},
    {"resetToFactoryData", R"({"lastReset":0})", kNotAllowed},
    // Reset element: the required check comes before the writable check.
    {"reset", R"({"isFactoryDefault":false})", std::nullopt},
    {"reset", R"({"isFactoryDefault":"true"})", kBadMessage},
    {"reset", R"({"isFactoryDefault":true,"lastReset":"2024-01-01T00:00:00+00:00"})", kNotAllowed},
    {"reset", R"({"lastReset":"2024-01-01T00:00:00+00:00"})", kMissing},
};

TEST(ModelValidators, AnswerEachBodyAsTheModelSays) {
  const ara::rest::serialize::JSONSerializer serializer;
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.element + " " + c.body);
    const auto element = Make(c.element);
    const auto body = serializer.Deserialize(c.body);
    const auto validator = element->GetPreUpdateCallback();
    ASSERT_TRUE(validator);
    rubo::ServerReply reply;
    const bool accepted = validator(element, *body, reply);
    if (!c.refusal) {
      EXPECT_TRUE(accepted);
      EXPECT_FALSE(reply.IsSent());
    } else {
      EXPECT_FALSE(accepted);
      ASSERT_TRUE(reply.IsSent());
      EXPECT_EQ(reply.GetStatus(), c.refusal->status);
      EXPECT_EQ(reply.GetText(), c.refusal->text);
    }
    // The validator reads the body only.
    EXPECT_TRUE(element->GetOGM().IsEmpty());
  }
}

TEST(ModelValidators, StayValidInACopyThatOutlivesTheElement) {
  rubo::PreUpdateCallback kept;
  {
    const auto view = ViewObject::Make("v", ara::rest::Uuid::MakeV4(), {});
    kept = view->GetPreUpdateCallback();
  }
  const auto body = ara::rest::serialize::JSONSerializer().Deserialize(R"({"content":"nothing"})");
  rubo::ServerReply reply;
  EXPECT_FALSE(kept(nullptr, *body, reply));
  EXPECT_EQ(reply.GetStatus(), 409);
}

}  // namespace
}  // namespace rubo::server
