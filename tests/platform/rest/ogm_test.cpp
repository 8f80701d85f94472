#include <gtest/gtest.h>

#include <stdexcept>

#include "ara/log/capture_sink.h"
#include "ara/rest/ogm.h"

namespace {

namespace ogm = ara::rest::ogm;

ogm::Object Sample() {
  ogm::Object object;
  object.Insert("s", ogm::String::Make("text"));
  object.Insert("i", ogm::Int::Make(-5));
  auto inner = ogm::Object::Make();
  inner->Insert("r", ogm::Real::Make(1.5L));
  auto array = ogm::Array::Make();
  array->Append(ogm::Bool::Make(true));
  array->Append(std::move(inner));
  object.Insert("a", std::move(array));
  object.Insert("n", nullptr);
  return object;
}

TEST(OgmTest, KeepsInsertionOrderAndRefusesDuplicateNames) {
  auto object = Sample();
  ASSERT_EQ(object.Size(), 4u);
  EXPECT_EQ(object.GetFields()[0]->GetName(), "s");
  EXPECT_EQ(object.GetFields()[3]->GetName(), "n");
  EXPECT_FALSE(object.Insert("i", ogm::Int::Make(1)));
  EXPECT_EQ(ogm::Get<ogm::Int>(object, "i").GetValue(), -5);
  EXPECT_FALSE(object.GetField("n")->HasValue());
  EXPECT_TRUE(object.Remove("s"));
  EXPECT_FALSE(object.Remove("s"));
  EXPECT_EQ(object.GetFields()[0]->GetName(), "i");
}

TEST(OgmTest, CopyIsDeepAndEqualityIsDeep) {
  const auto original = Sample();
  auto copy = original;
  EXPECT_EQ(copy, original);
  auto& inner = static_cast<ogm::Object&>(ogm::Get<ogm::Array>(copy, "a").At(1));
  ogm::Get<ogm::Real>(inner, "r").SetValue(2.5L);
  EXPECT_NE(copy, original);
  const auto& originalInner = static_cast<const ogm::Object&>(ogm::Get<ogm::Array>(original, "a").At(1));
  EXPECT_EQ(ogm::Get<ogm::Real>(originalInner, "r").GetValue(), 1.5L);

  // Kinds differ: never equal, even for the "same" number.
  EXPECT_FALSE(ogm::Int(1).Equals(ogm::Real(1.0L)));
  // A NaN never equals anything.
  const ogm::Real nan(std::numeric_limits<long double>::quiet_NaN());
  EXPECT_FALSE(nan.Equals(nan));
  // A field without a value differs from one with a value.
  EXPECT_FALSE(ogm::Field("x").Equals(ogm::Field("x", ogm::Int::Make(0))));
}

TEST(OgmTest, GetRaisesDataModelExceptionForMissingOrOtherKind) {
  auto object = Sample();
  EXPECT_EQ(ogm::Get<ogm::Field>(object, "s").GetName(), "s");
  try {
    ogm::Get<ogm::String>(object, "i");
    FAIL() << "no exception";
  } catch (const ara::rest::DataModelException& e) {
    EXPECT_STREQ(e.what(), "Field 'i' does not exist");
  }
  EXPECT_THROW(ogm::Get<ogm::Field>(object, "missing"), ara::rest::DataModelException);
  EXPECT_THROW(ogm::Get<ogm::Int>(object, "n"), ara::rest::DataModelException);
  EXPECT_EQ(ogm::As<ogm::String>(object.GetField("i")->GetValue()), nullptr);
}

class Collector : public ogm::Visitor {
 public:
  void Visit(const ogm::String& value) override {
    if (value.GetValue() == "boom") {
      throw std::runtime_error("bad item");
    }
    texts.push_back(value.GetValue());
  }
  std::vector<std::string> texts;
};

TEST(OgmTest, VisitGoesOnAfterAThrowingVisitorAndLogsIt) {
  ara::log::ScopedCapture capture;
  ogm::Array array;
  array.Append(ogm::String::Make("off"));
  array.Append(ogm::Int::Make(5));
  array.Append(ogm::String::Make("boom"));
  array.Append(ogm::String::Make("reduced"));
  Collector collector;
  ogm::Visit(array, collector);
  EXPECT_EQ(collector.texts, (std::vector<std::string>{"off", "reduced"}));
  EXPECT_TRUE(
      capture->Contains("REST", ara::log::LogLevel::kError, "Failed to call Visit. Visitor throws, details:bad item"));
}

}  // namespace
