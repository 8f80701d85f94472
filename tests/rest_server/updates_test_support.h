#pragma once

// What the tests of the SOME/IP-to-REST updates share: reading an element's properties as
// JSON, finding elements by type, and counting the property announcements of an element.

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "ara/rest/serialize/json_serializer.h"
#include "rest_model/collections/collection_support.h"
#include "rest_model/elements/element_support.h"
#include "rubo/base_type.h"
#include "tests/rest_server/rest_server_fixture.h"

namespace orik::ruboServer::test {

namespace cmc = rubo::server::charging_management_core;

inline constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

// The committed properties of the element.
inline Json Props(const rubo::BaseType& element) {
  return Json::parse(ara::rest::serialize::JSONSerializer().Serialize(element.GetOGM()));
}

// Each key of `expected` must be the element's property with that value; null means the
// element must not have the property.
inline void ExpectProps(const rubo::BaseType& element, const Json& expected) {
  const Json actual = Props(element);
  for (const auto& [name, value] : expected.items()) {
    if (value.is_null()) {
      EXPECT_FALSE(actual.contains(name)) << name << " should be absent, is " << actual[name];
    } else {
      ASSERT_TRUE(actual.contains(name)) << name << " missing in " << actual;
      EXPECT_EQ(actual[name], value) << name;
    }
  }
}

// The elements of class E in the collection whose "type" is `type`, in collection order.
template <typename E, typename Collection>
std::vector<std::shared_ptr<E>> OfType(const std::shared_ptr<Collection>& collection, const std::string& type) {
  std::vector<std::shared_ptr<E>> found;
  for (auto& element : rubo::server::ElementsOf<E>(*collection)) {
    if (rubo::server::GetTextOrEmpty(*element, "type") == type) {
      found.push_back(element);
    }
  }
  return found;
}

template <typename E, typename Collection>
std::shared_ptr<E> FirstOfType(const std::shared_ptr<Collection>& collection, const std::string& type) {
  const auto found = OfType<E>(collection, type);
  return found.empty() ? nullptr : found.front();
}

// Names of the properties the element announced, in order.
class Announcements {
 public:
  explicit Announcements(rubo::BaseType& element) {
    element.SetPostPropertyChangeCallback([this](std::shared_ptr<rubo::BaseType>, const std::string& name) {
      std::lock_guard lock(mutex_);
      names_.push_back(name);
    });
  }
  std::vector<std::string> Take() {
    std::lock_guard lock(mutex_);
    return std::exchange(names_, {});
  }

 private:
  std::mutex mutex_;
  std::vector<std::string> names_;
};

// The application with its start-up elements, without serving: enough for the updates.
class UpdatesTest : public RestServerTest {
 protected:
  void Populate() {
    Make();
    ASSERT_TRUE(root_);
    app_->PopulateServer();
    log_->Clear();
  }
  // Info lines of the application since the last Clear.
  std::vector<std::string> Lines() const { return ServerLines(*log_); }
};

}  // namespace orik::ruboServer::test
