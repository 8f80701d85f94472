// The gateway and the simulated vehicle as two real processes, each on its own loopback address,
// meeting over SOME/IP with service discovery; the test is the REST client. Every wait is on a
// condition (a log line, a simulator event, an HTTP result) with a bound, never a sleep.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <unistd.h>

#include <atomic>
#include <boost/asio.hpp>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

#include "tests/app/entry/gateway_process.h"
#include "tests/e2e/sim_process.h"
#include "tests/platform/rubo/http_test_client.h"
#include "tests/platform/rubo/raw_client.h"
#include "tests/platform/rubo/swarm.h"

namespace {

using namespace std::chrono_literals;
using nlohmann::json;
using orik::e2e::SimProcess;
using orik::testing::GatewayProcess;
using orik::testing::LogLine;

// Generous for sanitizer builds on a loaded machine; only ever waited on, never slept through.
constexpr auto kBound = 60s;

constexpr const char* kInternalError = "Internal Server Error";
constexpr const char* kOutOfRange = "Bad Request: value not in allowed range";

// A folder of this test's files, removed at the end.
class TempDir {
 public:
  TempDir() {
    std::string pattern = "/tmp/orik-e2e-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) {
      throw std::runtime_error("mkdtemp failed");
    }
    path_ = pattern;
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  std::string Write(const std::string& name, const std::string& content) const {
    const std::string file = path_ + "/" + name;
    std::ofstream(file) << content;
    return file;
  }

 private:
  std::string path_;
};

std::uint16_t FreeUdpPort() {
  boost::asio::io_context io;
  boost::asio::ip::udp::socket socket(io, {boost::asio::ip::make_address_v4("127.0.0.1"), 0});
  return socket.local_endpoint().port();
}

// Addresses and SD channel of one test: no other test, here or in another worktree, shares them.
struct Network {
  std::string vehicle;
  std::string gateway;
  std::string group;
  std::uint16_t sdPort;

  static Network Make() {
    std::random_device random;
    std::uniform_int_distribution<int> octet(1, 250);
    const std::string base = "127." + std::to_string(octet(random)) + "." + std::to_string(octet(random)) + ".";
    const int host = octet(random);
    return {base + std::to_string(host), base + std::to_string(host + 1),
            "239.255." + std::to_string(octet(random)) + "." + std::to_string(octet(random)), FreeUdpPort()};
  }

  // Fast discovery for tests: offers every 100 ms after a short repetition phase.
  std::string Deployment(const std::string& unicast) const {
    return json{{"network",
                 {{"unicast", unicast},
                  {"sd",
                   {{"multicast", group},
                    {"port", sdPort},
                    {"initial_delay_min_ms", 0},
                    {"initial_delay_max_ms", 10},
                    {"repetition_base_delay_ms", 10},
                    {"repetitions_max", 2},
                    {"cyclic_offer_delay_ms", 100}}}}},
                {"services", json::array()}}
        .dump();
  }
};

struct Reply {
  unsigned status = 0;
  std::string body;
  json Json() const { return json::parse(body, nullptr, false); }
};

class EndToEnd : public ::testing::Test {
 protected:
  // Starts the vehicle with `scenario` and the gateway, in this order unless `vehicleFirst` is
  // false, and waits until the gateway serves HTTP and has subscribed to the vehicle's fields.
  void Start(const json& scenario = json::object(), bool vehicleFirst = true) {
    net_ = Network::Make();
    for (const bool vehicle : {vehicleFirst, !vehicleFirst}) {
      if (vehicle) {
        StartVehicle(scenario);
      } else {
        StartGateway();
      }
      if (HasFatalFailure()) {
        return;
      }
    }
    // The route service is the last one the gateway subscribes to.
    ASSERT_TRUE(Event({{"event", "subscription"}, {"service", "RouteBasedEnergyContents"}, {"subscribed", true}}))
        << gateway_->Stderr();
    ASSERT_TRUE(Event({{"event", "subscription"}, {"fields", {"views"}}, {"subscribed", true}}));
  }

  void StartVehicle(const json& scenario) {
    const auto scenarioFile = dir_.Write("scenario.json", scenario.dump());
    sim_ = std::make_unique<SimProcess>(
        ORIK_SIM_EXECUTABLE, std::vector<std::string>{"--scenario", scenarioFile},
        SimProcess::Environment{{"ORIK_COM_DEPLOYMENT", dir_.Write("vehicle.json", net_.Deployment(net_.vehicle))}});
    ASSERT_TRUE(sim_->WaitForEvent({{"event", "offer"}, {"service", "RouteBasedEnergyContents"}}, kBound))
        << sim_->Stderr();
  }

  void StartGateway() {
    gateway_ = std::make_unique<GatewayProcess>(
        ORIK_GATEWAY_EXECUTABLE,
        GatewayProcess::Environment{
            {"ORIK_COM_DEPLOYMENT", dir_.Write("gateway.json", net_.Deployment(net_.gateway))},
            {"RUBO_SERVER_CONFIG", dir_.Write("rubo.json", json{{"address", net_.gateway}, {"port", 0}}.dump())},
            {"TZ", "UTC"}});
    const std::string serving = "Serving HTTP on " + net_.gateway + " port ";
    ASSERT_TRUE(gateway_->WaitForLog(
        [&](const LogLine& line) {
          if (line.contextId == "RUBO" && line.text.starts_with(serving)) {
            port_ = static_cast<std::uint16_t>(std::stoi(line.text.substr(serving.size())));
            return true;
          }
          return false;
        },
        kBound))
        << gateway_->Stderr();
  }

  void TearDown() override {
    // The two processes run the sanitized builds too; a report of theirs fails the case that
    // provoked it rather than passing unseen.
    for (const auto& [name, text] : {std::pair{"gateway", gateway_ ? gateway_->Stderr() : std::string()},
                                     std::pair{"vehicle", sim_ ? sim_->Stderr() : std::string()}}) {
      for (const char* marker : {"ERROR: AddressSanitizer", "WARNING: ThreadSanitizer", "runtime error: "}) {
        EXPECT_EQ(text.find(marker), std::string::npos) << name << " reported \"" << marker << "\":\n" << text;
      }
    }
    if (HasFailure() && gateway_) {
      std::fprintf(stderr, "---- gateway\n%s\n", gateway_->Stderr().c_str());
    }
    if (HasFailure() && sim_) {
      for (const auto& event : sim_->Events()) {
        std::fprintf(stderr, "sim: %s\n", event.dump().c_str());
      }
    }
  }

  // contentType over application/json ("" sends none).
  Reply Request(boost::beast::http::verb method, const std::string& target, const std::string& body = {},
                const char* contentType = nullptr) {
    try {
      rubo::testing::HttpTestClient client(port_, net_.gateway.c_str(), std::chrono::seconds(30));
      const auto result = contentType == nullptr ? client.Request(method, target, body)
                                                 : client.Request(method, target, body, "Content-Type", contentType);
      return {result.status, result.body};
    } catch (const std::exception& e) {
      ADD_FAILURE() << method << " " << target << ": " << e.what();
      return {};
    }
  }
  Reply Get(const std::string& target) { return Request(boost::beast::http::verb::get, target); }
  Reply Post(const std::string& target, const json& body) {
    return Request(boost::beast::http::verb::post, target, body.dump());
  }

  json Elements(const std::string& collection) {
    const auto reply = Get(collection);
    EXPECT_EQ(reply.status, 200u) << collection;
    const auto body = reply.Json();
    return body.is_object() && body.contains("elements") ? body["elements"] : json::array();
  }
  // The element of `collection` whose "type" is `type`, or null.
  json Element(const std::string& collection, const std::string& type) {
    for (const auto& element : Elements(collection)) {
      if (element.value("type", "") == type) {
        return Get(element["uri"].get<std::string>()).Json();
      }
    }
    return nullptr;
  }
  std::string PathOf(const std::string& collection, const std::string& type) {
    const json element = Element(collection, type);
    return element.is_object() ? element.value("uri", "") : "";
  }
  // Waits until `check` holds for the element of that type, polling the HTTP side; bounded.
  bool WaitForElement(const std::string& collection, const std::string& type,
                      const std::function<bool(const json&)>& check) {
    const auto deadline = std::chrono::steady_clock::now() + kBound;
    while (std::chrono::steady_clock::now() < deadline) {
      const json element = Element(collection, type);
      if (!element.is_null() && check(element)) {
        return true;
      }
      // The change travels asynchronously; wait for the next simulator event or a short while.
      sim_->WaitForEvent({{"event", "never"}}, 50ms);
    }
    return false;
  }

  std::optional<json> Event(const json& subset, std::size_t from = 0) {
    return sim_->WaitForEvent(subset, kBound, from);
  }
  bool Send(const json& command) { return sim_->Send(command); }
  // Sends a notify and waits until the simulator has sent it.
  void Notify(const std::string& field, const json& value) {
    const auto from = sim_->EventCount();
    ASSERT_TRUE(Send({{"command", "notify"}, {"field", field}, {"value", value}}));
    ASSERT_TRUE(Event({{"event", "notify"}, {"field", field}}, from));
  }
  void Answer(const std::string& field, const json& mode) {
    json command = mode;
    command["command"] = "answer";
    command["field"] = field;
    command["method"] = "Set";
    const auto from = sim_->EventCount();
    ASSERT_TRUE(Send(command));
    // Commands run in order: a notify after it is the sign that the answer mode is in place.
    ASSERT_TRUE(Send({{"command", "notify"}, {"field", "rwmStatus"}, {"value", json::array()}}));
    ASSERT_TRUE(Event({{"event", "notify"}, {"field", "rwmStatus"}}, from));
  }
  std::vector<json> SetRequests(const std::string& field, std::size_t from = 0) {
    std::vector<json> found;
    const auto events = sim_->Events();
    for (std::size_t i = from; i < events.size(); ++i) {
      if (events[i].value("event", "") == "request" && events[i].value("method", "") == "Set" &&
          events[i].value("field", "") == field) {
        found.push_back(events[i]["value"]);
      }
    }
    return found;
  }

  TempDir dir_;
  Network net_;
  std::unique_ptr<SimProcess> sim_;
  std::unique_ptr<GatewayProcess> gateway_;
  std::uint16_t port_ = 0;
};

// ---- start order

class StartOrders : public EndToEnd, public ::testing::WithParamInterface<bool> {};

TEST_P(StartOrders, GatewayAndVehicleMeetWhicheverStartsFirst) {
  Start(json::object(), GetParam());
  if (HasFatalFailure()) {
    return;
  }
  Notify("valueIndications", json::parse(R"([{"type": "chargingProcessInformationCurrentSoc", "currentValue": 61}])"));
  EXPECT_TRUE(WaitForElement("/ChargingManagementCore/valueIndications", "chargingProcessInformationCurrentSoc",
                             [](const json& e) { return e.value("currentValue", 0.0) == 61.0; }));
  const std::string path = PathOf("/ChargingManagementCore/switchControls", "immediateChargingOptionsAutounlockAc");
  ASSERT_FALSE(path.empty());
  EXPECT_EQ(Post(path, {{"switchValue", "permanent"}}).status, 200u);
}

INSTANTIATE_TEST_SUITE_P(EitherFirst, StartOrders, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "VehicleFirst" : "GatewayFirst"; });

// ---- start-up state

TEST_F(EndToEnd, StartUpStateOfEveryCollection) {
  Start();
  const std::vector<std::pair<std::string, std::size_t>> counts{{"valueControls", 14},
                                                                {"valueIndications", 21},
                                                                {"switchControls", 8},
                                                                {"notificationMarkers", 3},
                                                                {"notifications", 6},
                                                                {"pastErrorInformation", 3},
                                                                {"chargingProcessInformation", 1},
                                                                {"immediateChargingOptions", 1},
                                                                {"immediateActions", 1},
                                                                {"batteryCareModes", 1},
                                                                {"batteryPreconditionings", 1},
                                                                {"bidirectionalChargingModes", 1},
                                                                {"batteryPreconditioningEnergies", 1},
                                                                {"oruUpdateApprovals", 1},
                                                                {"views", 0},
                                                                {"chargingPlugs", 0},
                                                                {"chargeModes", 0},
                                                                {"statistics", 0}};
  for (const auto& [collection, count] : counts) {
    EXPECT_EQ(Elements("/ChargingManagementCore/" + collection).size(), count) << collection;
  }
  EXPECT_EQ(Get("/ChargingManagementCore/resetToFactoryData").status, 404u);
  const json resets = Elements("/FactoryReset/resets");
  ASSERT_EQ(resets.size(), 1u);
  const json reset = Get(resets[0]["uri"].get<std::string>()).Json();
  EXPECT_EQ(reset.value("category", ""), "eCharging");
  EXPECT_EQ(reset.value("name", ""), "ChargingManagementCore");
  EXPECT_FALSE(reset.contains("type"));
}

// ---- notifications reach their elements

TEST_F(EndToEnd, ValueIndicationNotificationReachesItsElement) {
  Start();
  Notify("valueIndications", json::parse(R"([{"type": "chargingProcessInformationCurrentSoc", "currentValue": 57.5,
                                               "minValue": 0, "maxValue": 100, "unitPercent": "percent"}])"));
  EXPECT_TRUE(WaitForElement("/ChargingManagementCore/valueIndications", "chargingProcessInformationCurrentSoc",
                             [](const json& e) { return e.value("currentValue", 0.0) == 57.5; }));
}

struct Kind {
  const char* name;
  const char* field;
  const char* value;       // the notified elements
  const char* collection;  // where the element lives
  const char* type;
  const char* expected;  // properties the element then shows
  friend void PrintTo(const Kind& kind, std::ostream* out) { *out << kind.name; }
};

class NotificationKinds : public EndToEnd, public ::testing::WithParamInterface<Kind> {};

TEST_P(NotificationKinds, ReachTheirElement) {
  Start();
  Notify(GetParam().field, json::parse(GetParam().value));
  const json expected = json::parse(GetParam().expected);
  EXPECT_TRUE(WaitForElement(std::string("/ChargingManagementCore/") + GetParam().collection, GetParam().type,
                             [&](const json& element) {
                               for (const auto& [key, value] : expected.items()) {
                                 if (!element.contains(key) || element[key] != value) {
                                   return false;
                                 }
                               }
                               return true;
                             }))
      << Element(std::string("/ChargingManagementCore/") + GetParam().collection, GetParam().type).dump();
}

INSTANTIATE_TEST_SUITE_P(
    Each, NotificationKinds,
    ::testing::Values(
        Kind{"ValueControl", "valueControls",
             R"([{"type": "immediateChargingOptionsTargetSoc", "currentValue": 70, "minValue": 50, "maxValue": 100,
                  "resolution": 5, "unitPercent": "percent"}])",
             "valueControls", "immediateChargingOptionsTargetSoc",
             R"({"currentValue": 70, "minValue": 50, "maxValue": 100, "resolution": 5, "unitPercent": "percent"})"},
        Kind{"SwitchControl", "switchControls",
             R"([{"type": "immediateChargingOptionsAutounlockAc", "switchValue": "once",
                  "switchValueConfiguration": ["off", "once"]}])",
             "switchControls", "immediateChargingOptionsAutounlockAc",
             R"({"switchValue": "once", "switchValueConfiguration": ["off", "once"]})"},
        Kind{
            "Notification", "notifications",
            R"([{"type": "chargingNotification2", "value": "failedChargePlug", "additionalInformation": "abortedStart"}])",
            "notifications", "chargingNotification2",
            R"({"value": "failedChargePlug", "additionalInformation": "abortedStart"})"},
        Kind{"PastError", "pastErrorInformation",
             R"([{"type": "pastErrorInformation1", "value": "generalError", "confirmedByUser": false}])",
             "pastErrorInformation", "pastErrorInformation1", R"({"value": "generalError", "confirmedByUser": false})"},
        Kind{"OruApproval", "oruUpdateApprovals", R"([{"type": "oruUpdateApproval", "updateApproval": true}])",
             "oruUpdateApprovals", "oruUpdateApproval", R"({"updateApproval": true})"},
        Kind{"Marker", "notificationMarkers", R"([{"type": "notificationMarker2", "isToBeNotified": true}])",
             "notificationMarkers", "notificationMarker2", R"({"isToBeNotified": true})"},
        Kind{
            "ChargingProcess", "chargingProcessInformation",
            R"([{"type": "chargingProcessInformation", "currentChargeState": "chargingHvBattery", "chargeType": "dc"}])",
            "chargingProcessInformation", "chargingProcessInformation",
            R"({"currentChargeState": "chargingHvBattery", "chargeType": "dc"})"},
        Kind{"PreconditioningEnergy", "batteryPreconditioningEnergies",
             R"([{"type": "batteryPreconditioningEnergy1", "firstStop": 1200, "nextStops": 800}])",
             "batteryPreconditioningEnergies", "batteryPreconditioningEnergy1",
             R"({"firstStop": 1200, "nextStops": 800})"},
        Kind{"Preconditioning", "batteryPreconditionings",
             R"([{"type": "batteryPreconditioning", "preconditioningState": "running"}])", "batteryPreconditionings",
             "batteryPreconditioning", R"({"preconditioningState": "running"})"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(EndToEnd, NewChargingPlugComesWithItsLockStateSwitchControls) {
  Start();
  Notify("chargingPlugs", json::parse(R"([{"type": "rearLeft1", "plugType": "Typ2Ac",
                                            "plugConnectionState": "connected", "infrastructureState": "ready"}])"));
  ASSERT_TRUE(WaitForElement("/ChargingManagementCore/chargingPlugs", "rearLeft1",
                             [](const json& e) { return e.value("plugConnectionState", "") == "connected"; }));
  const json plug = Element("/ChargingManagementCore/chargingPlugs", "rearLeft1");
  EXPECT_EQ(plug.value("plugType", ""), "Typ2Ac");
  EXPECT_EQ(plug.value("infrastructureState", ""), "ready");
  EXPECT_EQ(plug["flapLockState"].value("type", ""), "rearLeft1FlapLockState");
  EXPECT_EQ(plug["plugLockState"].value("type", ""), "rearLeft1PlugLockState");
  EXPECT_EQ(Elements("/ChargingManagementCore/switchControls").size(), 10u);
  EXPECT_FALSE(PathOf("/ChargingManagementCore/switchControls", "rearLeft1PlugLockState").empty());
}

TEST_F(EndToEnd, ViewsShownHiddenAndShownAgainAtANewAddress) {
  Start();
  const std::string views = "/ChargingManagementCore/views";
  Notify("views", json::parse(R"([{"type": "popup", "content": "chargingInformationScreen",
                                    "visibility": "requestedViewVisible"}])"));
  ASSERT_TRUE(WaitForElement(views, "popup",
                             [](const json& e) { return e.value("visibility", "") == "requestedViewVisible"; }));
  const std::string first = PathOf(views, "popup");

  Notify("views", json::parse(R"([{"type": "popup", "content": "nothing"}])"));
  const auto deadline = std::chrono::steady_clock::now() + kBound;
  while (!Elements(views).empty() && std::chrono::steady_clock::now() < deadline) {
    sim_->WaitForEvent({{"event", "never"}}, 50ms);
  }
  EXPECT_TRUE(Elements(views).empty());
  EXPECT_EQ(Get(first).status, 404u);

  Notify("views", json::parse(R"([{"type": "popup", "content": "chargingInformationScreen",
                                    "visibility": "newRequest"}])"));
  ASSERT_TRUE(WaitForElement(views, "popup", [](const json& e) { return e.value("visibility", "") == "newRequest"; }));
  const std::string second = PathOf(views, "popup");
  EXPECT_NE(second, first);
  EXPECT_TRUE(second.starts_with(views + "/"));
}

// ---- POSTs

TEST_F(EndToEnd, PostAnsweredInTimeIsAppliedAndTheVehicleGetsTheTranslatedValues) {
  Start();
  const std::string path = PathOf("/ChargingManagementCore/switchControls", "immediateChargingOptionsAutounlockAc");
  ASSERT_FALSE(path.empty());
  const auto from = sim_->EventCount();
  const auto reply = Post(path, {{"switchValue", "permanent"}});
  EXPECT_EQ(reply.status, 200u) << reply.body;
  EXPECT_EQ(reply.Json().value("switchValue", ""), "permanent");
  ASSERT_TRUE(Event({{"event", "request"}, {"field", "switchControls"}, {"method", "Set"}}, from));
  EXPECT_EQ(SetRequests("switchControls", from),
            std::vector<json>{
                json::parse(R"([{"type": "immediateChargingOptionsAutounlockAc", "switchValue": "permanent"}])")});
  EXPECT_EQ(Get(path).Json().value("switchValue", ""), "permanent");
}

struct LateWrite {
  const char* name;
  const char* mode;  // the simulator's answer mode for the value-control write
  friend void PrintTo(const LateWrite& write, std::ostream* out) { *out << write.name; }
};

class LateOrRefusedWrites : public EndToEnd, public ::testing::WithParamInterface<LateWrite> {};

TEST_P(LateOrRefusedWrites, AnswerTheInternalErrorAndLeaveTheElement) {
  Start();
  const std::string path = PathOf("/ChargingManagementCore/valueControls", "immediateChargingOptionsTargetSoc");
  ASSERT_FALSE(path.empty());
  Answer("valueControls", json::parse(GetParam().mode));
  const auto from = sim_->EventCount();
  const auto started = std::chrono::steady_clock::now();
  const auto reply = Post(path, {{"currentValue", 50}});
  const auto took = std::chrono::steady_clock::now() - started;
  EXPECT_EQ(reply.status, 500u);
  EXPECT_EQ(reply.body, kInternalError);
  // The simulator reports the request on its own pipe: a refusal can reach us before that.
  ASSERT_TRUE(Event({{"event", "request"}, {"field", "valueControls"}, {"method", "Set"}}, from));
  EXPECT_EQ(SetRequests("valueControls", from).size(), 1u) << "the vehicle was asked once";
  EXPECT_FALSE(Get(path).Json().contains("currentValue"));
  if (std::string(GetParam().name) != "Refused") {
    EXPECT_GE(took, 900ms) << "the gateway waits about a second for the answer";
  }
}

INSTANTIATE_TEST_SUITE_P(Vehicle, LateOrRefusedWrites,
                         ::testing::Values(LateWrite{"Late", R"({"delay_ms": 3000})"},
                                           LateWrite{"Never", R"({"never": true})"},
                                           LateWrite{"Refused", R"({"return_code": 1})"}),
                         [](const auto& info) { return std::string(info.param.name); });

struct Invalid {
  const char* name;
  std::string body;
  unsigned status;
  const char* text;
  const char* contentType = "application/json";
  friend void PrintTo(const Invalid& post, std::ostream* out) { *out << post.name; }
};

class InvalidPosts : public EndToEnd, public ::testing::WithParamInterface<Invalid> {};

TEST_P(InvalidPosts, AreRefusedWithoutAskingTheVehicle) {
  Start();
  const std::string path = PathOf("/ChargingManagementCore/valueControls", "immediateChargingOptionsTargetSoc");
  ASSERT_FALSE(path.empty());
  const auto from = sim_->EventCount();
  const auto reply = Request(boost::beast::http::verb::post, path, GetParam().body, GetParam().contentType);
  EXPECT_EQ(reply.status, GetParam().status);
  EXPECT_EQ(reply.body, GetParam().text);
  // A valid write afterwards is the first the vehicle sees.
  EXPECT_EQ(Post(path, {{"currentValue", 60}}).status, 200u);
  ASSERT_TRUE(Event({{"event", "request"}, {"field", "valueControls"}, {"method", "Set"}}, from));
  const auto writes = SetRequests("valueControls", from);
  ASSERT_EQ(writes.size(), 1u);
  EXPECT_EQ(writes[0][0].value("currentValue", 0), 60);
}

INSTANTIATE_TEST_SUITE_P(
    Validation, InvalidPosts,
    ::testing::Values(Invalid{"WrongKind", R"({"currentValue": "5"})", 400, "Bad Message"},
                      Invalid{"OutOfRange", R"({"currentValue": 3001})", 400, kOutOfRange},
                      Invalid{"NotWritable", R"({"minValue": 1})", 409, "Conflict: not allowed parameter(s) included"},
                      // What a web page may send cross-origin without asking first.
                      Invalid{"TextPlain", R"({"currentValue": 85})", 415, "Unsupported Media Type", "text/plain"},
                      Invalid{"FormEncoded", R"({"currentValue": 85})", 415, "Unsupported Media Type",
                              "application/x-www-form-urlencoded"},
                      Invalid{"NoContentType", R"({"currentValue": 85})", 415, "Unsupported Media Type", ""},
                      Invalid{"TextAfterNul",
                              std::string(R"({"currentValue": 85})") + std::string(1, '\0') + R"({"bogus":1 ]])", 400,
                              "Bad Message"}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- writes that queue

std::string RawPost(const std::string& path, const json& body) {
  const auto text = body.dump();
  return "POST " + path +
         " HTTP/1.1\r\nHost: gw\r\nContent-Type: application/json\r\nContent-Length: " + std::to_string(text.size()) +
         "\r\n\r\n" + text;
}

// Clients that queue a write behind one the vehicle answers late, send a pipelined request after
// it and go: the vehicle never hears of their writes, and the next client's write is its second.
TEST_F(EndToEnd, PipelinedPostsOfClientsThatLeftNeverReachTheVehicle) {
  Start();
  const std::string path = PathOf("/ChargingManagementCore/valueControls", "immediateChargingOptionsTargetSoc");
  ASSERT_FALSE(path.empty());
  Answer("valueControls", {{"delay_ms", 3000}});
  const auto from = sim_->EventCount();
  rubo::testing::RawClient first(net_.gateway, port_);
  ASSERT_TRUE(first.Send(RawPost(path, {{"currentValue", 60}})));
  ASSERT_TRUE(Event({{"event", "request"}, {"field", "valueControls"}, {"method", "Set"}}, from));
  constexpr std::size_t kGivenUp = 8;
  std::vector<std::unique_ptr<rubo::testing::RawClient>> clients;
  for (std::size_t i = 0; i < kGivenUp; ++i) {
    clients.push_back(std::make_unique<rubo::testing::RawClient>(net_.gateway, port_));
    ASSERT_TRUE(clients.back()->Send(RawPost(path, {{"currentValue", 70}})));
  }
  for (auto& client : clients) {
    ASSERT_TRUE(client->Send("GET / HTTP/1.1\r\nHost: gw\r\n\r\n"));
    client->CloseNow();
  }
  const auto dropped = [&] {
    std::size_t count = 0;
    for (const auto& line : gateway_->Logs()) {
      count += line.contextId == "RUBO" && line.text.starts_with("[Rubo] Dropped a POST to " + path + " from ") ? 1 : 0;
    }
    return count;
  };
  const auto deadline = std::chrono::steady_clock::now() + kBound;
  while (dropped() < kGivenUp && std::chrono::steady_clock::now() < deadline) {
    gateway_->WaitForLog([](const LogLine&) { return false; }, 50ms);  // the next lines, or a short while
  }
  EXPECT_EQ(dropped(), kGivenUp);
  EXPECT_EQ(first.Read().status, 500u) << "the vehicle answered late";
  EXPECT_EQ(Post(path, {{"currentValue", 80}}).status, 500u);
  std::vector<int> written;
  for (const auto& value : SetRequests("valueControls", from)) {
    if (value[0].value("type", "") == "immediateChargingOptionsTargetSoc") {
      written.push_back(value[0].value("currentValue", 0));
    }
  }
  EXPECT_EQ(written, (std::vector<int>{60, 80}));
}

// 8 addresses keep 256 writes outstanding on one value control that the vehicle answers late,
// each sent again as soon as it is answered: the HMI, from another address, is served nearly
// always.
TEST_F(EndToEnd, TheHmiIsServedWhileWritesQueueOnOneValueControl) {
  Start();
  const std::string path = PathOf("/ChargingManagementCore/valueControls", "immediateChargingOptionsTargetSoc");
  ASSERT_FALSE(path.empty());
  Answer("valueControls", {{"delay_ms", 3000}});
  rubo::testing::Swarm writers(port_, rubo::testing::SwarmSources("127.0.44.", 8), 32,
                               RawPost(path, {{"currentValue", 55}}), rubo::testing::Swarm::Mode::kRepeat,
                               net_.gateway.c_str());
  ASSERT_TRUE(rubo::testing::WaitUntil([&] { return writers.Busy() >= 256; }, kBound))
      << "the writers were not turned away";
  constexpr int kRequests = 40;
  const int served = rubo::testing::FreshlyServed(net_.gateway, port_, "127.0.44.30",
                                                  "GET " + path + " HTTP/1.1\r\nHost: gw\r\n\r\n", kRequests);
  ::testing::Test::RecordProperty("hmi_served", served);
  EXPECT_GE(served, kRequests * 8 / 10);
}

// ---- the reset

TEST_F(EndToEnd, ResetIsAcceptedAndShownOnlyWhenTheVehicleReportsIt) {
  Start();
  const json resets = Elements("/FactoryReset/resets");
  ASSERT_EQ(resets.size(), 1u);
  const std::string path = resets[0]["uri"];
  const auto from = sim_->EventCount();
  const auto reply = Post(path, {{"isFactoryDefault", true}});
  EXPECT_EQ(reply.status, 202u);
  EXPECT_EQ(reply.body, "Accepted");
  ASSERT_TRUE(Event({{"event", "request"}, {"field", "resetToFactoryData"}, {"method", "Set"}}, from));
  EXPECT_EQ(SetRequests("resetToFactoryData", from)[0][0].value("resetToFactoryData", ""), "origin");
  EXPECT_FALSE(Get(path).Json().contains("isFactoryDefault")) << "unchanged until the vehicle reports back";

  Notify("resetToFactoryData", json::parse(R"([{"elementId": 0, "resetToFactoryData": "origin",
                                                 "lastReset": 1765350000}])"));
  ASSERT_TRUE(WaitForElement("/FactoryReset/resets", "", [](const json& e) { return e.contains("lastReset"); }));
  const json reset = Get(path).Json();
  EXPECT_EQ(reset.value("isFactoryDefault", false), true);
  EXPECT_THAT(reset.value("lastReset", ""), ::testing::StartsWith("2025-12-10T07:00:00"));
}

// ---- the navigation target

TEST_F(EndToEnd, RouteTargetSetsTheNavigationValueControlAndIsWrittenAsType19) {
  Start();
  const auto from = sim_->EventCount();
  Notify("targetSocChargings", json::parse(R"([{"type": "targetSocCharging", "targetSoc": 77}])"));
  ASSERT_TRUE(Event({{"event", "request"}, {"field", "valueControls"}, {"method", "Set"}}, from));
  EXPECT_EQ(SetRequests("valueControls", from)[0],
            json::parse(R"([{"type": "immediateChargingOptionsNavTargetSoc", "currentValue": 77}])"));
  EXPECT_TRUE(WaitForElement("/ChargingManagementCore/valueControls", "immediateChargingOptionsNavTargetSoc",
                             [](const json& e) { return e.value("currentValue", 0) == 77; }));
}

// ---- the vehicle service lost and back

TEST_F(EndToEnd, ServiceLostAndBackDeregistersRegistersAndValuesFlowAgain) {
  Start();
  const auto logged = [&](const std::string& text) {
    return gateway_->WaitForLog([&](const LogLine& line) { return line.text == text; }, kBound);
  };
  ASSERT_TRUE(Send({{"command", "stop_offer"}, {"service", "ChargingManagementCore"}}));
  EXPECT_TRUE(logged("[Rubo] Will Unregister services"));
  const auto from = sim_->EventCount();
  ASSERT_TRUE(Send({{"command", "offer"}, {"service", "ChargingManagementCore"}}));
  EXPECT_TRUE(logged("[Rubo] Will Register services"));
  ASSERT_TRUE(Event({{"event", "subscription"}, {"fields", {"valueIndications"}}, {"subscribed", true}}, from));
  Notify("valueIndications",
         json::parse(R"([{"type": "chargingProcessInformationChargePower", "currentValue": 7.5}])"));
  EXPECT_TRUE(WaitForElement("/ChargingManagementCore/valueIndications", "chargingProcessInformationChargePower",
                             [](const json& e) { return e.value("currentValue", 0.0) == 7.5; }));
}

// ---- stopping under traffic

TEST_F(EndToEnd, SigtermUnderTrafficStopsCleanly) {
  Start();
  const std::string path = PathOf("/ChargingManagementCore/valueControls", "immediateChargingOptionsTargetSoc");
  ASSERT_FALSE(path.empty());
  Answer("valueControls", {{"delay_ms", 300}});
  std::atomic<bool> stop{false};
  std::vector<std::thread> clients;
  for (int i = 0; i < 3; ++i) {
    clients.emplace_back([&, i] {
      for (int n = 0; n < 50 && !stop; ++n) {
        try {
          rubo::testing::HttpTestClient client(port_, net_.gateway.c_str(), std::chrono::seconds(10));
          client.Post(path, json{{"currentValue", 10 * (i + 1)}}.dump());
        } catch (const std::exception&) {
          // The server going away mid-request is what this case provokes.
        }
      }
    });
  }
  for (int n = 0; n < 20; ++n) {
    Send({{"command", "notify"},
          {"field", "valueIndications"},
          {"value", {{{"type", "chargingProcessInformationCurrentSoc"}, {"currentValue", n}}}}});
  }
  ASSERT_TRUE(Event({{"event", "request"}, {"field", "valueControls"}, {"method", "Set"}}));
  ASSERT_TRUE(gateway_->Signal(SIGTERM));
  const auto status = gateway_->WaitForExit(kBound);
  stop = true;
  for (auto& client : clients) {
    client.join();
  }
  EXPECT_EQ(status, 0) << gateway_->Stderr();
  EXPECT_EQ(gateway_->Stdout(), "sig_handler -> SIGABRT || SIGINT || SIGTERM ");
  EXPECT_EQ(gateway_->Stdout().size(), 44u);
}

}  // namespace
