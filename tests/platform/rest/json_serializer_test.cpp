#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "ara/rest/serialize/json_serializer.h"

namespace {

namespace ogm = ara::rest::ogm;
using ara::rest::serialize::JSONSerializer;
using ara::rest::serialize::ParseException;

std::string RoundTrip(const std::string& text) {
  const JSONSerializer serializer;
  return serializer.Serialize(*serializer.Deserialize(text));
}

TEST(JsonSerializerTest, KeepsKeyOrderAndRoundTrips) {
  const std::string text = R"({"z":1,"a":{"y":true,"b":[1,"x",{"k":null}]},"m":"t","n":null})";
  EXPECT_EQ(RoundTrip(text), text);
}

TEST(JsonSerializerTest, NumberKinds) {
  struct Case {
    const char* literal;
    ogm::Kind kind;
    const char* rendered;
  };
  const Case cases[] = {
      {"9223372036854775807", ogm::Kind::kInt, "9223372036854775807"},
      {"-9223372036854775808", ogm::Kind::kInt, "-9223372036854775808"},
      {"0", ogm::Kind::kInt, "0"},
      {"-0", ogm::Kind::kInt, "0"},
      {"9223372036854775808", ogm::Kind::kReal, "9223372036854775808.0"},
      {"18446744073709551616", ogm::Kind::kReal, "18446744073709551616.0"},
      {"-9223372036854775809", ogm::Kind::kReal, "-9223372036854775809.0"},
      {"12.5", ogm::Kind::kReal, "12.5"},
      {"3.0", ogm::Kind::kReal, "3.0"},
      {"1e2", ogm::Kind::kReal, "100.0"},
      {"0.1", ogm::Kind::kReal, "0.1"},
  };
  const JSONSerializer serializer;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.literal);
    const auto object = serializer.Deserialize(std::string(R"({"v":)") + c.literal + "}");
    const auto* value = object->GetField("v")->GetValue();
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(value->GetKind(), c.kind);
    EXPECT_EQ(serializer.Serialize(*object), std::string(R"({"v":)") + c.rendered + "}");
  }
  const auto max = serializer.Deserialize(R"({"v":9223372036854775807})");
  EXPECT_EQ(ogm::Get<ogm::Int>(*max, "v").GetValue(), std::numeric_limits<std::int64_t>::max());
}

TEST(JsonSerializerTest, RendersRealsAndNonFiniteAsNull) {
  const JSONSerializer serializer;
  ogm::Object object;
  object.Insert("f", ogm::Real::Make(static_cast<long double>(12.25f)));
  object.Insert("inf", ogm::Real::Make(std::numeric_limits<long double>::infinity()));
  object.Insert("nan", ogm::Real::Make(std::numeric_limits<long double>::quiet_NaN()));
  object.Insert("neg", ogm::Real::Make(-2.0L));
  EXPECT_EQ(serializer.Serialize(object), R"({"f":12.25,"inf":null,"nan":null,"neg":-2.0})");
  // A value only a long double holds reads back as the same value.
  const long double third = 1.0L / 3.0L;
  ogm::Object precise;
  precise.Insert("t", ogm::Real::Make(third));
  const auto back = serializer.Deserialize(serializer.Serialize(precise));
  EXPECT_EQ(ogm::Get<ogm::Real>(*back, "t").GetValue(), third);
}

TEST(JsonSerializerTest, Escapes) {
  const JSONSerializer serializer;
  const auto object = serializer.Deserialize(R"({"s":"q\"b\\s\/n\n\t\u0001\u00e4\ud83d\ude00"})");
  EXPECT_EQ(ogm::Get<ogm::String>(*object, "s").GetValue(), "q\"b\\s/n\n\t\x01\xc3\xa4\xf0\x9f\x98\x80");
  EXPECT_EQ(serializer.Serialize(*object), "{\"s\":\"q\\\"b\\\\s/n\\n\\t\\u0001\xc3\xa4\xf0\x9f\x98\x80\"}");
  // Invalid UTF-8 in a property never makes invalid JSON.
  ogm::Object bad;
  bad.Insert("s", ogm::String::Make("a\xff"
                                    "b\xc3"));
  EXPECT_EQ(serializer.Serialize(bad),
            "{\"s\":\"a\xef\xbf\xbd"
            "b\xef\xbf\xbd\"}");
}

TEST(JsonSerializerTest, RefusesWhatIsNotAnAcceptableObject) {
  const std::string deep = std::string(JSONSerializer::kMaxDepth, '[');
  const char* cases[] = {
      "",
      "not json",
      "[1,2]",
      "\"text\"",
      "42",
      "null",
      R"({"a":1,"a":2})",
      R"({"a":1,})",
      R"({"a":[1,null]})",
      R"({"a":1} trailing)",
      "{\"s\":\"\xff\"}",
      R"({"big":1e999})",
  };
  const JSONSerializer serializer;
  for (const char* text : cases) {
    SCOPED_TRACE(text);
    EXPECT_THROW(serializer.Deserialize(text), ParseException);
  }
  // Depth: kMaxDepth levels are fine, one more is refused without descending further.
  std::string ok = "{\"a\":";
  for (std::size_t i = 1; i < JSONSerializer::kMaxDepth - 1; ++i) {
    ok += "[";
  }
  ok += "1";
  for (std::size_t i = 1; i < JSONSerializer::kMaxDepth - 1; ++i) {
    ok += "]";
  }
  ok += "}";
  EXPECT_NO_THROW(serializer.Deserialize(ok));
  EXPECT_THROW(serializer.Deserialize("{\"a\":" + std::string(100000, '[')), ParseException);
  EXPECT_THROW(serializer.Deserialize("{\"a\":" + deep + "}"), ParseException);
}

}  // namespace
