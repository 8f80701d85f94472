#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <future>
#include <limits>
#include <string>
#include <vector>

#include "ara/rest/allocator.h"
#include "ara/rest/exception.h"
#include "rubo/server_xobject.h"

namespace {

namespace ogm = ara::rest::ogm;
using rubo::BaseType;

std::shared_ptr<rubo::ServerElement> MakeElement() {
  return ara::rest::MakeSharedPointer<rubo::ServerElement>(ara::rest::Uuid::MakeV4(),
                                                           ara::rest::Uri::Builder("/s/c/e").ToUri(), "E");
}

ara::rest::Pointer<ogm::Object> ObjectWith(const std::string& name, std::int64_t value) {
  auto object = ogm::Object::Make();
  object->Insert(name, ogm::Int::Make(value));
  return object;
}

struct PropertyCase {
  const char* name;
  std::function<void(BaseType&)> setup;  // before the callbacks are counted
  std::function<bool(BaseType&)> act;
  bool expectedResult;
  int expectedNotifications;
  std::function<void(BaseType&)> check;
};

// The rules of property writes, one row per edge.
TEST(PropertyTest, SetFieldValueTable) {
  const std::vector<PropertyCase> cases = {
      {"same value: no change, no notification",
       [](BaseType& o) {
         o.AddField<ogm::String>("type");
         o.SetFieldValue<ogm::String>("type", "off", false);
       },
       [](BaseType& o) { return o.SetFieldValue<ogm::String>("type", "off", false); }, false, 0,
       [](BaseType& o) { EXPECT_EQ(o.GetFieldValue<ogm::String>("type"), "off"); }},
      {"same value with forceNotify: no change, notified",
       [](BaseType& o) {
         o.AddField<ogm::String>("type");
         o.SetFieldValue<ogm::String>("type", "off", false);
       },
       [](BaseType& o) { return o.SetFieldValue<ogm::String>("type", "off", true); }, false, 1, nullptr},
      {"new value: changed, notified", [](BaseType& o) { o.AddField<ogm::Int>("currentValue"); },
       [](BaseType& o) { return o.SetFieldValue<ogm::Int>("currentValue", 42, false); }, true, 1,
       [](BaseType& o) { EXPECT_EQ(o.GetFieldValue<ogm::Int>("currentValue"), 42); }},
      {"Int 0 right after AddField: the default, no change", [](BaseType& o) { o.AddField<ogm::Int>("currentValue"); },
       [](BaseType& o) { return o.SetFieldValue<ogm::Int>("currentValue", 0, false); }, false, 0, nullptr},
      {"exact string compare: Off is not off",
       [](BaseType& o) {
         o.AddField<ogm::String>("s");
         o.SetFieldValue<ogm::String>("s", "off", false);
       },
       [](BaseType& o) { return o.SetFieldValue<ogm::String>("s", "Off", false); }, true, 1,
       [](BaseType& o) { EXPECT_EQ(o.GetFieldValue<ogm::String>("s"), "Off"); }},
      {"NaN always counts as a change",
       [](BaseType& o) {
         o.AddField<ogm::Real>("r");
         o.SetFieldValue<ogm::Real>("r", std::numeric_limits<long double>::quiet_NaN(), false);
       },
       [](BaseType& o) {
         return o.SetFieldValue<ogm::Real>("r", std::numeric_limits<long double>::quiet_NaN(), false);
       },
       true, 1, nullptr},
      {"missing property outside a transaction: read failure, nothing changes", nullptr,
       [](BaseType& o) {
         try {
           o.SetFieldValue<ogm::Bool>("absent", true, true);
         } catch (const ara::rest::DataModelException& e) {
           EXPECT_STREQ(e.what(), "Field 'absent' does not exist");
           return false;
         }
         ADD_FAILURE() << "no exception";
         return true;
       },
       false, 0, [](BaseType& o) { EXPECT_FALSE(o.HasField("absent")); }},
      {"property of another kind: read failure", [](BaseType& o) { o.AddField<ogm::String>("k"); },
       [](BaseType& o) {
         EXPECT_THROW(o.SetFieldValue<ogm::Int>("k", 1, false), ara::rest::DataModelException);
         return false;
       },
       false, 0, nullptr},
      {"missing property inside a transaction: added there, changed even for the default",
       [](BaseType& o) { o.BeginTransaction(); },
       [](BaseType& o) { return o.SetFieldValue<ogm::Bool>("flag", false, false); }, true, 1,
       [](BaseType& o) {
         EXPECT_TRUE(o.HasField("flag"));
         EXPECT_FALSE(o.GetFieldValue<ogm::Bool>("flag"));
         EXPECT_FALSE(o.GetOGM().HasField("flag"));
       }},
      {"pending value hides the committed one; GetOGM shows the committed one",
       [](BaseType& o) {
         o.AddField<ogm::String>("s");
         o.SetFieldValue<ogm::String>("s", "committed", false);
         o.BeginTransaction();
       },
       [](BaseType& o) { return o.SetFieldValue<ogm::String>("s", "pending", false); }, true, 1,
       [](BaseType& o) {
         EXPECT_EQ(o.GetFieldValue<ogm::String>("s"), "pending");
         EXPECT_EQ(ogm::Get<ogm::String>(o.GetOGM(), "s").GetValue(), "committed");
       }},
      {"object-valued set to an equal object: no change but notified",
       [](BaseType& o) {
         o.AddField<ogm::Object>("link");
         o.SetFieldValue<ogm::Field, ogm::Object>("link", ObjectWith("v", 1));
       },
       [](BaseType& o) { return o.SetFieldValue<ogm::Field, ogm::Object>("link", ObjectWith("v", 1)); }, false, 1,
       nullptr},
      {"object-valued set to another object: changed",
       [](BaseType& o) {
         o.AddField<ogm::Object>("link");
         o.SetFieldValue<ogm::Field, ogm::Object>("link", ObjectWith("v", 1));
       },
       [](BaseType& o) { return o.SetFieldValue<ogm::Field, ogm::Object>("link", ObjectWith("v", 2)); }, true, 1,
       [](BaseType& o) { EXPECT_EQ(ogm::Get<ogm::Object>(o.GetOGM(), "link"), *ObjectWith("v", 2)); }},
      {"object-valued set to nothing: value cleared, field kept",
       [](BaseType& o) {
         o.AddField<ogm::Object>("link");
         o.SetFieldValue<ogm::Field, ogm::Object>("link", ObjectWith("v", 1));
       },
       [](BaseType& o) { return o.SetFieldValue<ogm::Field, ogm::Object>("link", nullptr); }, true, 1,
       [](BaseType& o) {
         ASSERT_TRUE(o.HasField("link"));
         EXPECT_FALSE(o.GetOGM().GetField("link")->HasValue());
       }},
      {"array-valued set", [](BaseType& o) { o.AddField<ogm::Array>("list"); },
       [](BaseType& o) {
         auto array = ogm::Array::Make();
         array->Append(ogm::String::Make("off"));
         return o.SetFieldValue<ogm::Field, ogm::Array>("list", std::move(array));
       },
       true, 1, [](BaseType& o) { EXPECT_EQ(ogm::Get<ogm::Array>(o.GetOGM(), "list").Size(), 1u); }},
      {"AddField of a name that exists adds nothing",
       [](BaseType& o) {
         o.AddField<ogm::String>("type");
         o.SetFieldValue<ogm::String>("type", "kept", false);
       },
       [](BaseType& o) {
         o.AddField<ogm::String>("type");
         return false;
       },
       false, 1,
       [](BaseType& o) {
         EXPECT_EQ(o.GetOGM().Size(), 1u);
         EXPECT_EQ(o.GetFieldValue<ogm::String>("type"), "kept");
       }},
  };

  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto object = MakeElement();
    if (c.setup) {
      c.setup(*object);
    }
    int notifications = 0;
    object->SetPostPropertyChangeCallback([&](std::shared_ptr<BaseType>, const std::string&) { ++notifications; });
    EXPECT_EQ(c.act(*object), c.expectedResult);
    EXPECT_EQ(notifications, c.expectedNotifications);
    if (c.check) {
      c.check(*object);
    }
  }
}

TEST(PropertyTest, AddedPropertiesHoldTheirKindsDefault) {
  auto object = MakeElement();
  object->AddField<ogm::String>("s");
  object->AddField<ogm::Int>("i");
  object->AddField<ogm::Real>("r");
  object->AddField<ogm::Bool>("b");
  object->AddField<ogm::Array>("a");
  object->AddField<ogm::Object>("o");
  EXPECT_EQ(object->GetFieldValue<ogm::String>("s"), "");
  EXPECT_EQ(object->GetFieldValue<ogm::Int>("i"), 0);
  EXPECT_EQ(object->GetFieldValue<ogm::Real>("r"), 0.0L);
  EXPECT_FALSE(object->GetFieldValue<ogm::Bool>("b"));
  const auto graph = object->GetOGM();
  EXPECT_TRUE(ogm::Get<ogm::Array>(graph, "a").IsEmpty());
  EXPECT_TRUE(ogm::Get<ogm::Object>(graph, "o").IsEmpty());
  // Properties keep the order in which they were added.
  std::vector<std::string> names;
  for (const auto& field : graph.GetFields()) {
    names.push_back(field->GetName());
  }
  EXPECT_EQ(names, (std::vector<std::string>{"s", "i", "r", "b", "a", "o"}));
  object->RemoveField("i");
  EXPECT_FALSE(object->HasField("i"));
  EXPECT_FALSE(object->ToOGM()->HasField("i"));
}

TEST(PropertyTest, VetoLeavesThePropertyAndSkipsTheNotification) {
  auto object = MakeElement();
  object->AddField<ogm::String>("type");
  object->SetFieldValue<ogm::String>("type", "old", false);
  std::string proposed;
  object->SetPrePropertyChangeCallback([&](std::shared_ptr<BaseType>, const ogm::Field& field) {
    const auto* text = ogm::As<ogm::String>(field.GetValue());
    proposed = text != nullptr ? text->GetValue() : "<" + field.GetName() + ">";
    return false;
  });
  int notifications = 0;
  object->SetPostPropertyChangeCallback([&](std::shared_ptr<BaseType>, const std::string&) { ++notifications; });
  EXPECT_FALSE(object->SetFieldValue<ogm::String>("type", "new", true));
  EXPECT_EQ(proposed, "new");
  EXPECT_EQ(object->GetFieldValue<ogm::String>("type"), "old");
  EXPECT_EQ(notifications, 0);
  EXPECT_FALSE((object->SetFieldValue<ogm::Field, ogm::Object>("type", ogm::Object::Make())));
  EXPECT_EQ(proposed, "<type>");
  EXPECT_EQ(notifications, 0);

  // A property that is not committed is not put to the pre-change callback.
  object->BeginTransaction();
  proposed.clear();
  EXPECT_TRUE(object->SetFieldValue<ogm::Int>("fresh", 1, false));
  EXPECT_EQ(proposed, "");
}

// The callbacks see the old value before and the new one after the change, and run with no
// lock held: another thread can read the object meanwhile.
TEST(PropertyTest, CallbacksRunInOrderOutsideTheObjectLock) {
  auto object = MakeElement();
  object->AddField<ogm::Int>("v");
  std::vector<std::string> events;
  const auto readFromOtherThread = [](const std::shared_ptr<BaseType>& self) {
    auto reader = std::async(std::launch::async, [self] { return self->GetFieldValue<ogm::Int>("v"); });
    EXPECT_EQ(reader.wait_for(std::chrono::seconds(20)), std::future_status::ready) << "object still locked";
    return reader.get();
  };
  object->SetPrePropertyChangeCallback([&](std::shared_ptr<BaseType> self, const ogm::Field&) {
    events.push_back("pre:" + std::to_string(readFromOtherThread(self)));
    return true;
  });
  object->SetPostPropertyChangeCallback([&](std::shared_ptr<BaseType> self, const std::string& name) {
    events.push_back("post:" + name + ":" + std::to_string(readFromOtherThread(self)));
  });
  EXPECT_TRUE(object->SetFieldValue<ogm::Int>("v", 7, false));
  EXPECT_EQ(events, (std::vector<std::string>{"pre:0", "post:v:7"}));
}

TEST(PropertyTest, CallbackOnAnObjectWithoutOwnerRaisesBadWeakPtr) {
  rubo::ServerElement element(ara::rest::Uuid{}, ara::rest::Uri{}, "E");
  element.AddField<ogm::Int>("v");  // no callback: fine
  element.SetPostPropertyChangeCallback([](std::shared_ptr<BaseType>, const std::string&) {});
  EXPECT_THROW(element.SetFieldValue<ogm::Int>("v", 1, false), std::bad_weak_ptr);
}

}  // namespace
