#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "ara/rest/allocator.h"
#include "ara/rest/serialize/json_serializer.h"
#include "rubo/detail/render.h"
#include "rubo/server.h"

namespace {

namespace ogm = ara::rest::ogm;
using ara::rest::MakeSharedPointer;
using ara::rest::Uri;
using ara::rest::Uuid;
using rubo::detail::AppendJsonValue;
using rubo::detail::AppendRendering;

// Keeps the framework's rendering.
class PlainElement : public rubo::ServerElement {
 public:
  using rubo::ServerElement::ServerElement;
};

// Renders one property differently, as the model's elements with links do.
class LinkingElement : public rubo::ServerElement {
 public:
  using rubo::ServerElement::ServerElement;
  ara::rest::Pointer<ogm::Object> ToOGM() const override {
    auto out = rubo::ServerElement::ToOGM();
    if (auto* field = out->GetField("link")) {
      field->SetValue(ogm::String::Make("expanded"));
    }
    return out;
  }
};

// Inherits the replaced rendering without replacing it again.
class DerivedLinkingElement : public LinkingElement {
 public:
  using LinkingElement::LinkingElement;
};

std::string Json(const ogm::Value& value) {
  return ara::rest::serialize::JSONSerializer{}.Serialize(value);
}

std::string Rendered(const rubo::BaseXObject& object) {
  std::string out;
  AppendRendering(object, out);
  return out;
}

template <typename T>
std::shared_ptr<T> Make(const std::string& name) {
  return rubo::MakeObject<T>(Uuid::MakeV5(name), Uri::Builder("/S/c/" + name).ToUri(), name);
}

TEST(RenderTest, TextsAndNumbersAreWrittenAsTheSerializerWritesThem) {
  auto object = ogm::Object::Make();
  const std::string texts[] = {
      "",
      "plain",
      "quote \" backslash \\ slash /",
      std::string("controls \b\f\n\r\t \x01\x1f\x7f end"),
      std::string("nul \0 inside", 12),
      "utf8 \xc3\xa4 \xe2\x82\xac \xf0\x9f\x94\x8b",
      "bad \xc3 \xe2\x82 \xff \xc0\xaf \xed\xa0\x80 \xf4\x90\x80\x80 end",
      "\xe2\x82",
  };
  int i = 0;
  for (const auto& text : texts) {
    object->Insert("t" + std::to_string(i++), ogm::String::Make(text));
  }
  object->Insert("int", ogm::Int::Make(std::numeric_limits<std::int64_t>::min()));
  object->Insert("real", ogm::Real::Make(0.1L));
  object->Insert("whole", ogm::Real::Make(3.0L));
  object->Insert("wide", ogm::Real::Make(1.0L / 3.0L));
  object->Insert("nan", ogm::Real::Make(std::numeric_limits<long double>::quiet_NaN()));
  object->Insert("bool", ogm::Bool::Make(true));
  object->Insert("null", nullptr);
  auto array = ogm::Array::Make();
  array->Append(ogm::Int::Make(1));
  array->Append(ogm::Object::Make());
  object->Insert("array", std::move(array));
  std::string out;
  AppendJsonValue(*object, out);
  EXPECT_EQ(out, Json(*object));
}

TEST(RenderTest, ReplacedRenderingIsKnownFromTheClassWhereTheObjectIsMade) {
  EXPECT_FALSE(Make<rubo::ServerElement>("a")->RendersThroughToOGM());
  EXPECT_FALSE(Make<PlainElement>("b")->RendersThroughToOGM());
  EXPECT_FALSE(Make<rubo::ServerResource>("c")->RendersThroughToOGM());
  EXPECT_TRUE(Make<LinkingElement>("d")->RendersThroughToOGM());
  EXPECT_TRUE(Make<DerivedLinkingElement>("e")->RendersThroughToOGM());
  // Made without MakeObject: nothing is known of the class, so the rendering goes through ToOGM.
  EXPECT_TRUE(MakeSharedPointer<PlainElement>(Uuid{}, Uri::Builder("/S/c/f").ToUri(), "f")->RendersThroughToOGM());
}

TEST(RenderTest, ElementsRenderIdentityThenPropertiesThroughTheirOwnRendering) {
  for (const auto& element : {std::static_pointer_cast<rubo::ServerElement>(Make<PlainElement>("plain")),
                              std::static_pointer_cast<rubo::ServerElement>(Make<DerivedLinkingElement>("linking"))}) {
    SCOPED_TRACE(element->GetName());
    element->AddField<ogm::String>("link");
    element->SetFieldValue<ogm::String>("link", "raw", false);
    element->AddField<ogm::Int>("n");
    const bool linking = element->GetName() == "linking";
    EXPECT_EQ(Rendered(*element), R"({"id":")" + element->GetUuid().ToString() + R"(","uri":"/S/c/)" +
                                      element->GetName() + R"(","name":")" + element->GetName() + R"(","link":")" +
                                      (linking ? "expanded" : "raw") + R"(","n":0})");
  }
}

TEST(RenderTest, AnObjectRendersTheSameWhicheverWayItWasMade) {
  const auto made = Make<PlainElement>("same");
  const auto shared = MakeSharedPointer<PlainElement>(made->GetUuid(), made->GetUri(), "same");
  for (const auto& element : {made, shared}) {
    element->AddField<ogm::String>("text");
    element->SetFieldValue<ogm::String>("text", "value", false);
    element->AddField<ogm::Object>("empty");
  }
  EXPECT_EQ(Rendered(*made), Rendered(*shared));
}

TEST(RenderTest, PropertiesNamedLikeTheIdentityTakeItsPlace) {
  auto element = Make<PlainElement>("e");
  element->AddField<ogm::String>("first");
  element->AddField<ogm::String>("name");
  element->SetFieldValue<ogm::String>("name", "own name", false);
  element->AddField<ogm::String>("id");
  EXPECT_EQ(Rendered(*element), R"({"uri":"/S/c/e","first":"","name":"own name","id":""})");
  element->SetName("renamed \"quoted\"");
  element->RemoveField("name");
  EXPECT_EQ(Rendered(*element), R"({"uri":"/S/c/e","name":"renamed \"quoted\"","first":"","id":""})");
}

TEST(RenderTest, CollectionsServicesAndRootAppendTheirChildren) {
  auto server = std::make_shared<rubo::Server>("srv", "/nonexistent/config.json");
  auto service = MakeSharedPointer<rubo::ServerService>(Uuid{}, Uri::Builder("/S").ToUri(), "S");
  auto collection = MakeSharedPointer<rubo::ServerResource>(Uuid{}, Uri::Builder("/S/c").ToUri(), "c");
  collection->SetDescription("d");
  collection->AddField<ogm::Int>("elements");  // the framework's own list takes its place, last
  auto element = Make<rubo::ServerElement>("e");
  collection->Add(element);
  service->Add(collection);
  service->AddVersion("1.0");
  server->Add(service);
  const std::string zero = "00000000-0000-0000-0000-000000000000";
  EXPECT_EQ(Rendered(*collection), R"({"id":")" + zero + R"(","uri":"/S/c","name":"c","description":"d","elements":[)" +
                                       Rendered(*element) + "]}");
  EXPECT_EQ(Rendered(*service), R"({"id":")" + zero +
                                    R"(","uri":"/S","name":"S","description":"","versions":["1.0"],)"
                                    R"("resources":[{"name":"c","uri":"/S/c"}]})");
  EXPECT_EQ(Rendered(*server),
            R"({"id":")" + zero + R"(","uri":"/","name":"srv","services":[{"name":"S","uri":"/S"}]})");
}

// A thread renders an unchanged element once; every kind of change shows in the next GET, also
// for a new element where a removed one was.
TEST(RenderTest, EveryChangeShowsAfterARenderingWasReused) {
  auto element = Make<PlainElement>("e");
  element->AddField<ogm::Int>("value");
  const auto first = Rendered(*element);
  EXPECT_EQ(Rendered(*element), first);
  const std::vector<std::pair<const char*, std::function<void()>>> changes{
      {"value", [&] { element->SetFieldValue<ogm::Int>("value", 7, false); }},
      {"added", [&] { element->AddField<ogm::Bool>("added"); }},
      {"removed", [&] { element->RemoveField("added"); }},
      {"name", [&] { element->SetName("renamed"); }},
      {"uri", [&] { element->SetUri(Uri::Builder("/S/c/moved").ToUri()); }},
      {"uuid", [&] { element->SetUuid(Uuid::MakeV5("other")); }},
      {"transaction",
       [&] {
         const auto transaction = element->BeginTransaction();
         element->SetFieldValue<ogm::Int>("value", 9, false);
         element->CommitTransaction(transaction);
       }},
  };
  for (const auto& [what, change] : changes) {
    const auto before = Rendered(*element);
    change();
    const auto after = Rendered(*element);
    EXPECT_NE(after, before) << what;
    std::string fresh;  // by a thread that never rendered it
    std::thread([&] { fresh = Rendered(*element); }).join();
    EXPECT_EQ(after, fresh) << what;
  }
  const auto* address = element.get();
  const auto last = Rendered(*element);
  element.reset();
  auto next = Make<PlainElement>("e");
  if (next.get() == address) {
    EXPECT_NE(Rendered(*next), last);
  }
}

}  // namespace
