#include <gtest/gtest.h>

#include <unistd.h>
#include <atomic>
#include <boost/system/system_error.hpp>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <future>
#include <mutex>
#include <stdexcept>
#include <string>

#include "ara/log/capture_sink.h"
#include "ara/rest/allocator.h"
#include "ara/rest/serialize/json_serializer.h"
#include "rubo/server.h"
#include "tests/platform/rubo/http_test_client.h"
#include "tests/platform/rubo/raw_client.h"

namespace {

namespace ogm = ara::rest::ogm;
namespace http = boost::beast::http;
using ara::rest::MakeSharedPointer;
using ara::rest::Uri;
using ara::rest::Uuid;
using rubo::testing::HttpTestClient;

constexpr auto kWait = std::chrono::seconds(20);

Uri U(const std::string& text) {
  return Uri::Builder(text).ToUri();
}

ogm::Object Parse(const std::string& text) {
  return *ara::rest::serialize::JSONSerializer{}.Deserialize(text);
}

// An element with one linked element that is rendered in place of its field.
class ParentElement : public rubo::ServerElement {
 public:
  using rubo::ServerElement::ServerElement;
  std::shared_ptr<rubo::ServerElement> link;

  ara::rest::Pointer<ogm::Object> ToOGM() const override {
    auto out = rubo::BaseType::ToOGM();
    if (link && out->HasField("link")) {
      ogm::Get<ogm::Field>(*out, "link").SetValue(link->ToOGM());
    }
    return out;
  }
};

class TempFile {
 public:
  explicit TempFile(const std::string& content) {
    path_ = (std::filesystem::temp_directory_path() /
             ("rubo_test_" + std::to_string(::getpid()) + "_" + std::to_string(counter_++) + ".json"))
                .string();
    std::ofstream(path_) << content;
  }
  ~TempFile() { std::remove(path_.c_str()); }
  const std::string& Path() const { return path_; }

 private:
  static inline std::atomic<int> counter_{0};
  std::string path_;
};

class HttpTest : public ::testing::Test {
 protected:
  void SetUp() override {
    server_ = std::make_shared<rubo::Server>("test_server", config_.Path());
    service_ = MakeSharedPointer<rubo::ServerService>(Uuid{}, U("/Svc"), "Svc");
    service_->SetFieldValue<ogm::String>("description", "The service", false);
    service_->AddVersion("0.10.1");
    auto spec = ogm::Object::Make();
    spec->Insert("name", ogm::String::Make("Svc"));
    service_->SetSpec(std::move(spec));
    other_ = MakeSharedPointer<rubo::ServerService>(Uuid{}, U("/Other"), "Other");
    items_ = MakeSharedPointer<rubo::ServerResource>(Uuid::MakeV5("/Svc/items"), U("/Svc/items"), "items");
    items_->SetDescription("Items");
    service_->Add(items_);

    child_ = MakeElement("Child");
    child_->AddField<ogm::String>("type");
    child_->SetFieldValue<ogm::String>("type", "lock", false);
    parent_ = std::make_shared<ParentElement>(Uuid::MakeV4(), U("/Svc/items/parent"), "Parent");
    parent_->link = child_;
    parent_->AddField<ogm::Object>("link");
    parent_->AddField<ogm::Int>("count");
    writable_ = MakeElement("Writable");
    writable_->AddField<ogm::String>("mode");
    writable_->SetFieldValue<ogm::String>("mode", "off", false);
    writable_->SetPreUpdateCallback([this](std::shared_ptr<rubo::BaseXObject> object, const ogm::Object& body,
                                           rubo::ServerReply& reply) { return hook_(object, body, reply); });
    for (const auto& element : {child_, std::static_pointer_cast<rubo::ServerElement>(parent_), writable_}) {
      items_->Add(element);
    }
    server_->Add(service_);
    server_->Add(service_);
    server_->Add(other_);
    server_->Start(false);
    ASSERT_NE(server_->GetPort(), 0);
    client_ = std::make_unique<HttpTestClient>(server_->GetPort());
  }

  void TearDown() override {
    client_.reset();
    server_->Stop(true);
  }

  std::shared_ptr<rubo::ServerElement> MakeElement(const std::string& name) {
    const auto uuid = Uuid::MakeV4();
    return items_->MakeElement(uuid, U("/Svc/items/" + uuid.ToString()), name);
  }

  std::string PathOf(const rubo::BaseXObject& object) { return object.GetUri().ToString(); }

  TempFile config_{R"({"address":"::1","port":0})"};
  std::shared_ptr<rubo::Server> server_;
  std::shared_ptr<rubo::ServerService> service_;
  std::shared_ptr<rubo::ServerService> other_;
  std::shared_ptr<rubo::ServerResource> items_;
  std::shared_ptr<rubo::ServerElement> child_;
  std::shared_ptr<ParentElement> parent_;
  std::shared_ptr<rubo::ServerElement> writable_;
  std::function<bool(std::shared_ptr<rubo::BaseXObject>, const ogm::Object&, rubo::ServerReply&)> hook_ =
      [](auto, const auto&, auto&) { return true; };
  std::unique_ptr<HttpTestClient> client_;
};

TEST_F(HttpTest, GetRendersServiceCollectionElementAndSpec) {
  const auto root = client_->Get("/");
  ASSERT_EQ(root.status, 200u);
  EXPECT_EQ(root.body, R"({"id":"00000000-0000-0000-0000-000000000000","uri":"/","name":"test_server",)"
                       R"("services":[{"name":"Svc","uri":"/Svc"},{"name":"Other","uri":"/Other"}]})");

  const auto service = client_->Get("/Svc");
  ASSERT_EQ(service.status, 200u);
  EXPECT_EQ(service.contentType, "application/json");
  EXPECT_EQ(service.body,
            R"({"id":"00000000-0000-0000-0000-000000000000","uri":"/Svc","name":"Svc","description":"The service",)"
            R"("versions":["0.10.1"],"resources":[{"name":"items","uri":"/Svc/items"}]})");

  const auto element = client_->Get(PathOf(*parent_));
  ASSERT_EQ(element.status, 200u);
  EXPECT_EQ(element.body, R"({"id":")" + parent_->GetUuid().ToString() +
                              R"(","uri":"/Svc/items/parent","name":"Parent","link":{"type":"lock"},"count":0})");
  // The link shows the linked element's present state.
  child_->SetFieldValue<ogm::String>("type", "unlock", false);
  EXPECT_NE(client_->Get(PathOf(*parent_)).body.find(R"("link":{"type":"unlock"})"), std::string::npos);

  const auto collection = client_->Get("/Svc/items/");
  ASSERT_EQ(collection.status, 200u);
  const auto graph = Parse(collection.body);
  EXPECT_EQ(ogm::Get<ogm::String>(graph, "description").GetValue(), "Items");
  const auto& elements = ogm::Get<ogm::Array>(graph, "elements");
  ASSERT_EQ(elements.Size(), 3u);
  EXPECT_EQ(ogm::Get<ogm::String>(static_cast<const ogm::Object&>(elements.At(1)), "uri").GetValue(),
            "/Svc/items/parent");

  const auto spec = client_->Get("/Svc?spec");
  ASSERT_EQ(spec.status, 200u);
  EXPECT_EQ(spec.body, R"({"name":"Svc"})");
  EXPECT_EQ(client_->Get(PathOf(*child_) + "?spec").status, 404u);
  EXPECT_TRUE(client_->Get("/Svc").keepAlive);
}

TEST_F(HttpTest, UnknownPathsAndMethods) {
  struct Case {
    http::verb method;
    std::string target;
    unsigned status;
    const char* allow;
  };
  const Case cases[] = {
      {http::verb::get, "/Nope", 404, ""},
      {http::verb::get, "/Svc/items/" + Uuid::MakeV4().ToString(), 404, ""},
      {http::verb::get, "/Svc/items/%zz", 400, ""},
      {http::verb::post, "/Nope", 404, ""},
      {http::verb::put, PathOf(*writable_), 405, "GET, HEAD, POST"},
      {http::verb::delete_, "/Svc", 405, "GET, HEAD"},
      {http::verb::post, "/Svc", 405, "GET, HEAD"},
      {http::verb::post, "/Svc/items", 405, "GET, HEAD"},
      {http::verb::post, "/", 405, "GET, HEAD"},
      {http::verb::post, PathOf(*child_), 405, "GET, HEAD"},  // an element without a pre-update hook
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.target);
    const auto result = client_->Request(c.method, c.target, "{}");
    EXPECT_EQ(result.status, c.status);
    EXPECT_EQ(result.allow, c.allow);
  }
}

TEST_F(HttpTest, PostOutcomes) {
  struct Case {
    const char* name;
    std::string body;
    std::function<bool(rubo::ServerReply&)> hook;
    unsigned status;
    std::string text;
    bool hookRuns;
  };
  const Case cases[] = {
      {"invalid JSON", "{not json", nullptr, 400, "Bad Message", false},
      {"not an object", "[1]", nullptr, 400, "Bad Message", false},
      {"duplicate key", R"({"mode":"a","mode":"b"})", nullptr, 400, "Bad Message", false},
      {"empty body", "", nullptr, 400, "Bad Message", false},
      {"hook refuses with 409", R"({"mode":"x"})",
       [](rubo::ServerReply& reply) {
         reply.SendError("Conflict: not allowed parameter(s) included", 409);
         return false;
       },
       409, "Conflict: not allowed parameter(s) included", true},
      {"hook answers 202 itself", R"({"mode":"x"})",
       [](rubo::ServerReply& reply) {
         reply.SendError("Accepted", 202);
         return false;
       },
       202, "Accepted", true},
      {"hook sends internal error", R"({"mode":"x"})",
       [](rubo::ServerReply& reply) {
         reply.SendInternalError();
         return false;
       },
       500, "Internal Server Error", true},
      {"hook refuses without a reply", R"({"mode":"x"})", [](rubo::ServerReply&) { return false; }, 500,
       "Internal Server Error", true},
      {"hook sends a status that is no status", R"({"mode":"x"})",
       [](rubo::ServerReply& reply) {
         reply.SendError("odd", 42);
         return false;
       },
       500, "Internal Server Error", true},
      {"hook throws", R"({"mode":"x"})", [](rubo::ServerReply&) -> bool { throw std::runtime_error("hook failed"); },
       500, "Internal Server Error", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    int runs = 0;
    hook_ = [&](auto, const ogm::Object&, rubo::ServerReply& reply) {
      ++runs;
      return c.hook(reply);
    };
    const auto result = client_->Post(PathOf(*writable_), c.body);
    EXPECT_EQ(result.status, c.status);
    EXPECT_EQ(result.body, c.text);
    EXPECT_EQ(runs, c.hookRuns ? 1 : 0);
    EXPECT_EQ(writable_->GetFieldValue<ogm::String>("mode"), "off");
    // The server goes on serving on the same connection.
    EXPECT_EQ(client_->Get(PathOf(*writable_)).status, 200u);
  }
}

TEST_F(HttpTest, AcceptedBodyIsAppliedExceptId) {
  std::string seenBody;
  hook_ = [&](std::shared_ptr<rubo::BaseXObject> object, const ogm::Object& body, rubo::ServerReply&) {
    EXPECT_EQ(object, writable_);
    seenBody = ara::rest::serialize::JSONSerializer{}.Serialize(body);
    return true;
  };
  const auto result =
      client_->Post(PathOf(*writable_), R"({"mode":"on","id":"forged","level":3,"extra":{"a":[1,2]},"gone":null})");
  ASSERT_EQ(result.status, 200u) << result.body;
  EXPECT_EQ(seenBody, R"({"mode":"on","id":"forged","level":3,"extra":{"a":[1,2]},"gone":null})");
  EXPECT_EQ(writable_->GetFieldValue<ogm::String>("mode"), "on");
  EXPECT_EQ(writable_->GetFieldValue<ogm::Int>("level"), 3);
  EXPECT_FALSE(writable_->HasField("id"));
  EXPECT_FALSE(writable_->HasField("gone"));
  EXPECT_EQ(writable_->GetLatestActiveTransaction(), nullptr);
  EXPECT_EQ(result.body, R"({"id":")" + writable_->GetUuid().ToString() + R"(","uri":")" + PathOf(*writable_) +
                             R"(","name":"Writable","mode":"on","level":3,"extra":{"a":[1,2]}})");
}

// Client POSTs, reads and writes from another thread (a vehicle update) on one element at
// once: every request is answered and no transaction stays open.
TEST_F(HttpTest, ConcurrentPostsGetsAndUpdatesOnOneElement) {
  const auto port = server_->GetPort();
  const auto path = PathOf(*writable_);
  std::atomic<bool> done{false};
  std::thread updater([&] {
    std::int64_t i = 0;
    while (!done) {
      if (!writable_->HasField("counter")) {
        writable_->AddField<ogm::Int>("counter");
      }
      writable_->SetFieldValue<ogm::Int>("counter", ++i, false);
      (void)writable_->ToOGM();
    }
  });
  std::vector<std::future<int>> clients;
  for (int c = 0; c < 4; ++c) {
    clients.push_back(std::async(std::launch::async, [port, path, c] {
      HttpTestClient client(port);
      int ok = 0;
      for (int i = 0; i < 25; ++i) {
        const auto body = R"({"mode":"m)" + std::to_string(c) + "_" + std::to_string(i) + R"("})";
        ok += client.Post(path, body).status == 200 ? 1 : 0;
        ok += client.Get(path).status == 200 ? 1 : 0;
      }
      return ok;
    }));
  }
  for (auto& client : clients) {
    ASSERT_EQ(client.wait_for(kWait), std::future_status::ready);
    EXPECT_EQ(client.get(), 50);
  }
  done = true;
  updater.join();
  EXPECT_EQ(writable_->GetLatestActiveTransaction(), nullptr);
  EXPECT_EQ(writable_->GetFieldValue<ogm::String>("mode").substr(0, 1), "m");
  EXPECT_EQ(writable_->GetOGM().Size(), 2u);  // "mode" and "counter", each once
}

TEST_F(HttpTest, RemovedOrMovedElementIsFoundOnlyUnderItsCurrentPath) {
  const auto oldPath = PathOf(*writable_);
  ASSERT_EQ(client_->Get(oldPath).status, 200u);
  items_->Remove(writable_->GetUuid());
  EXPECT_EQ(client_->Get(oldPath).status, 404u);

  const auto uuid = Uuid::MakeV4();
  writable_->SetUuid(uuid);
  writable_->SetUri(U("/Svc/items/" + uuid.ToString()));
  items_->Add(writable_);
  EXPECT_EQ(client_->Get(oldPath).status, 404u);
  const auto newPath = "/Svc/items/" + uuid.ToString();
  EXPECT_EQ(client_->Get(newPath).status, 200u);

  // Moved while it stays in its collection, then the whole collection goes.
  writable_->SetUri(U("/Svc/items/moved"));
  EXPECT_EQ(client_->Get(newPath).status, 404u);
  EXPECT_EQ(client_->Get("/Svc/items/moved").status, 200u);
  service_->Remove(items_->GetUuid());
  EXPECT_EQ(client_->Get("/Svc/items/moved").status, 404u);
  EXPECT_EQ(client_->Get("/Svc/items").status, 404u);
  service_->Add(items_);
  EXPECT_EQ(client_->Get("/Svc/items/moved").status, 200u);
}

TEST_F(HttpTest, PreGetHookCanRefuse) {
  child_->SetPreGetCallback([](std::shared_ptr<rubo::BaseXObject>, rubo::ServerReply& reply) {
    reply.SendError("Not now", 409);
    return false;
  });
  const auto refused = client_->Get(PathOf(*child_));
  EXPECT_EQ(refused.status, 409u);
  EXPECT_EQ(refused.body, "Not now");
  child_->SetPreGetCallback([](std::shared_ptr<rubo::BaseXObject>, rubo::ServerReply&) { return false; });
  EXPECT_EQ(client_->Get(PathOf(*child_)).status, 500u);
  child_->SetPreGetCallback(
      [](std::shared_ptr<rubo::BaseXObject>, rubo::ServerReply&) -> bool { throw std::runtime_error("boom"); });
  EXPECT_EQ(client_->Get(PathOf(*child_)).status, 500u);
  child_->SetPreGetCallback([](std::shared_ptr<rubo::BaseXObject> object, rubo::ServerReply&) {
    object.reset();
    return true;
  });
  EXPECT_EQ(client_->Get(PathOf(*child_)).status, 200u);
}

// While one POST waits in its hook (for the vehicle), the element is read and updated from
// elsewhere, and POSTs on other elements are answered.
TEST_F(HttpTest, SlowHookHoldsNoReadsUpdatesOrOtherElements) {
  std::promise<void> entered;
  std::promise<void> release;
  auto released = release.get_future().share();
  hook_ = [&](auto, const ogm::Object&, rubo::ServerReply&) {
    entered.set_value();
    released.wait_for(kWait);
    return true;
  };
  auto other = MakeElement("Other");
  other->AddField<ogm::String>("mode");
  other->SetPreUpdateCallback([](auto, const ogm::Object&, rubo::ServerReply&) { return true; });
  items_->Add(other);
  const auto port = server_->GetPort();
  const auto path = PathOf(*writable_);
  auto post = std::async(std::launch::async, [port, path] {
    HttpTestClient poster(port);
    return poster.Post(path, R"({"mode":"on"})").status;
  });
  ASSERT_EQ(entered.get_future().wait_for(kWait), std::future_status::ready);
  HttpTestClient second(port);
  EXPECT_EQ(second.Get(path).status, 200u);
  EXPECT_EQ(client_->Get("/Svc/items").status, 200u);
  // An update from the vehicle side takes only the property lock.
  auto update = std::async(std::launch::async,
                           [this] { return writable_->SetFieldValue<ogm::String>("mode", "from vehicle", false); });
  ASSERT_EQ(update.wait_for(kWait), std::future_status::ready);
  EXPECT_TRUE(update.get());
  EXPECT_EQ(second.Post(PathOf(*other), R"({"mode":"x"})").status, 200u);
  EXPECT_EQ(post.wait_for(std::chrono::seconds(0)), std::future_status::timeout);
  release.set_value();
  ASSERT_EQ(post.wait_for(kWait), std::future_status::ready);
  EXPECT_EQ(post.get(), 200u);
  EXPECT_EQ(writable_->GetFieldValue<ogm::String>("mode"), "on");
}

// Two POSTs on one element: the second one's hook starts only after the first one was applied,
// so the element ends with the value the vehicle was given last.
TEST_F(HttpTest, PostsOnOneElementAreAppliedInHookOrder) {
  std::mutex mutex;
  std::condition_variable changed;
  std::vector<std::string> hooks;
  std::vector<std::string> applied;
  hook_ = [&](auto, const ogm::Object& body, rubo::ServerReply&) {
    const auto mode = ogm::Get<ogm::String>(body, "mode").GetValue();
    std::unique_lock lock(mutex);
    hooks.push_back(mode);
    changed.notify_all();
    if (mode == "first") {
      // Held until the second hook runs (it must not, before this one is applied), within a
      // bound that lets the second POST arrive.
      changed.wait_for(lock, std::chrono::seconds(1), [&] { return hooks.size() > 1; });
    }
    return true;
  };
  writable_->SetPostTransactionCommitCallback([&](std::shared_ptr<rubo::BaseType> object) {
    const auto mode = object->GetFieldValue<ogm::String>("mode");
    std::lock_guard lock(mutex);
    applied.push_back(mode);
  });
  const auto port = server_->GetPort();
  const auto path = PathOf(*writable_);
  const auto post = [port, path](const char* mode) {
    return std::async(std::launch::async, [port, path, mode] {
      HttpTestClient poster(port);
      return poster.Post(path, std::string(R"({"mode":")") + mode + R"("})").status;
    });
  };
  auto first = post("first");
  {
    std::unique_lock lock(mutex);
    ASSERT_TRUE(changed.wait_for(lock, kWait, [&] { return !hooks.empty(); }));
  }
  auto second = post("second");
  ASSERT_EQ(first.wait_for(kWait), std::future_status::ready);
  ASSERT_EQ(second.wait_for(kWait), std::future_status::ready);
  EXPECT_EQ(first.get(), 200u);
  EXPECT_EQ(second.get(), 200u);
  std::lock_guard lock(mutex);
  EXPECT_EQ(hooks, (std::vector<std::string>{"first", "second"}));
  EXPECT_EQ(applied, (std::vector<std::string>{"first", "second"}));
  EXPECT_EQ(writable_->GetFieldValue<ogm::String>("mode"), "second");
}

TEST_F(HttpTest, OversizedRequestsAreRefused) {
  // The server answers as soon as a limit is passed and closes: the rest of what these
  // clients send may meet a closed connection.
  const auto port = server_->GetPort();
  rubo::testing::RawClient body("::1", port);
  const std::string text = R"({"mode":")" + std::string(70 * 1024, 'x') + R"("})";
  body.Send("POST " + PathOf(*writable_) + " HTTP/1.1\r\nHost: x\r\nContent-Length: " + std::to_string(text.size()) +
            "\r\n\r\n" + text);
  EXPECT_EQ(body.Read().status, 413u);
  rubo::testing::RawClient headers("::1", port);
  headers.Send("GET /Svc HTTP/1.1\r\nHost: x\r\nX-Filler: " + std::string(70 * 1024, 'h') + "\r\n\r\n");
  EXPECT_EQ(headers.Read().status, 431u);
  rubo::testing::RawClient garbage("::1", port);
  garbage.Send("NOT HTTP AT ALL\r\n\r\n");
  EXPECT_EQ(garbage.Read().status, 400u);
  EXPECT_EQ(writable_->GetFieldValue<ogm::String>("mode"), "off");
}

TEST_F(HttpTest, StopEndsServingAndJoinsWithIdleConnectionsOpen) {
  HttpTestClient idle(server_->GetPort());
  EXPECT_EQ(idle.Get("/Svc").status, 200u);  // kept alive, now idle
  auto stopped = std::async(std::launch::async, [this] { server_->Stop(true); });
  ASSERT_EQ(stopped.wait_for(kWait), std::future_status::ready);
  EXPECT_FALSE(server_->IsServing());
  EXPECT_EQ(server_->GetPort(), 0);
  EXPECT_THROW(idle.Get("/Svc"), boost::system::system_error);
  // It can serve again.
  server_->Start(false);
  HttpTestClient again(server_->GetPort());
  EXPECT_EQ(again.Get("/Svc").status, 200u);
}

TEST(HttpConfigTest, EnvironmentVariableNamesTheConfigurationAndPortIsLogged) {
  ara::log::ScopedCapture capture;
  TempFile config(R"({"port":0,"address":"127.0.0.1"})");
  ::setenv(rubo::kConfigEnvironmentVariable, config.Path().c_str(), 1);
  auto server = std::make_shared<rubo::Server>("env_server", "/nonexistent/dir/conf.json");
  server->Start(false);
  ::unsetenv(rubo::kConfigEnvironmentVariable);
  const auto port = server->GetPort();
  ASSERT_NE(port, 0);
  const std::string line = "Serving HTTP on 127.0.0.1 port " + std::to_string(port);
  EXPECT_TRUE(capture->Contains("RUBO", ara::log::LogLevel::kInfo, line));
  EXPECT_EQ(capture->Count([&](const ara::log::Record& r) { return r.text.find("Serving HTTP") != std::string::npos; }),
            1u);
  HttpTestClient client(port, "127.0.0.1");
  EXPECT_EQ(client.Get("/").status, 200u);
  server->Stop(true);
}

TEST(HttpConfigTest, InvalidConfigurationMakesStartThrow) {
  for (const char* content :
       {"not json", "[]", R"({"port":"80"})", R"({"port":70000})", R"({"port":-1})", R"({"address":"localhost"})",
        R"({"address":"::1","typo":1})", R"({"idleTimeoutMs":0})", R"({"maxConnections":"5"})",
        R"({"maxHeaderBytes":10})", R"({"maxWorkerThreads":1.5})", R"({"bodyTimeoutMs":-1})"}) {
    SCOPED_TRACE(content);
    TempFile config(content);
    rubo::Server server("bad", config.Path());
    EXPECT_THROW(server.Start(false), std::runtime_error);
    EXPECT_FALSE(server.IsServing());
  }
}

}  // namespace
