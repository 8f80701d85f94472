#include "tools/vehicle_sim/simulator.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <random>

#include "ara/com/transport/local_bus.h"
#include "ara/com/transport/network_transport.h"
#include "tools/vehicle_sim/shared_transport.h"

namespace {

using namespace orik::vehicleSim;
using namespace std::chrono_literals;
using nlohmann::json;
namespace transport = ara::com::transport;

constexpr auto kBound = 30s;

// Time moves only when the test says so.
class ManualTimers final : public Timers {
 public:
  std::chrono::milliseconds Now() const override {
    std::lock_guard lock(mutex_);
    return now_;
  }
  void After(std::chrono::milliseconds delay, Task task) override {
    std::lock_guard lock(mutex_);
    tasks_.emplace(now_ + delay, std::move(task));
    added_.notify_all();
  }
  // Tasks are handed over from receiving threads: wait until there are `count` of them.
  bool WaitForPending(std::size_t count) {
    std::unique_lock lock(mutex_);
    return added_.wait_for(lock, kBound, [&] { return tasks_.size() >= count; });
  }
  void Clear() override {
    std::lock_guard lock(mutex_);
    tasks_.clear();
  }
  // Runs every task due within `step`, in time order, on the calling thread.
  void Advance(std::chrono::milliseconds step) {
    std::unique_lock lock(mutex_);
    const auto end = now_ + step;
    while (!tasks_.empty() && tasks_.begin()->first <= end) {
      now_ = tasks_.begin()->first;
      Task task = std::move(tasks_.begin()->second);
      tasks_.erase(tasks_.begin());
      lock.unlock();
      task();
      lock.lock();
    }
    now_ = end;
  }

 private:
  mutable std::mutex mutex_;
  std::condition_variable added_;
  std::chrono::milliseconds now_{0};
  std::multimap<std::chrono::milliseconds, Task> tasks_;
};

// Something that waits for a condition on a growing list of records.
template <typename Record>
class Recorder {
 public:
  void Add(Record record) {
    std::lock_guard lock(mutex_);
    records_.push_back(std::move(record));
    changed_.notify_all();
  }
  // The first record (from `from` on) that matches, or nullopt after the bound.
  template <typename Predicate>
  std::optional<Record> WaitFor(Predicate predicate, std::size_t from = 0) {
    std::unique_lock lock(mutex_);
    std::optional<Record> found;
    changed_.wait_for(lock, kBound, [&] {
      for (std::size_t i = from; i < records_.size(); ++i) {
        if (predicate(records_[i])) {
          found = records_[i];
          return true;
        }
      }
      return false;
    });
    return found;
  }
  std::vector<Record> All() const {
    std::lock_guard lock(mutex_);
    return records_;
  }
  std::size_t Size() const {
    std::lock_guard lock(mutex_);
    return records_.size();
  }

 private:
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<Record> records_;
};

// The gateway's side of the bus, reduced to messages.
class Consumer {
 public:
  explicit Consumer(const std::shared_ptr<transport::LocalBus>& bus) : Consumer(bus->CreateEndpoint()) {}
  explicit Consumer(std::unique_ptr<transport::Transport> transport) : transport_(std::move(transport)) {
    transport::TransportHandlers handlers;
    handlers.onMessage = [this](transport::Message message) { messages.Add(std::move(message)); };
    handlers.onAvailability = [this](std::uint16_t serviceId, std::uint16_t, bool offered) {
      availability.Add({serviceId, offered});
    };
    transport_->Start(std::move(handlers));
  }
  ~Consumer() { transport_->Stop(); }

  transport::Transport& Transport() { return *transport_; }
  void Call(std::uint16_t serviceId, std::uint16_t methodId, std::uint16_t session,
            std::vector<std::uint8_t> payload = {}) {
    transport::Message request;
    request.serviceId = serviceId;
    request.instanceId = kInstanceId;
    request.methodId = methodId;
    request.sessionId = session;
    request.payload = std::move(payload);
    transport_->Send(std::move(request));
  }
  std::optional<transport::Message> Reply(std::uint16_t session) {
    return messages.WaitFor([session](const transport::Message& m) {
      return m.type != transport::MessageType::kNotification && m.sessionId == session;
    });
  }

  Recorder<transport::Message> messages;
  Recorder<std::pair<std::uint16_t, bool>> availability;

 private:
  std::unique_ptr<transport::Transport> transport_;
};

class SimulatorTest : public ::testing::Test {
 protected:
  void Start(const char* scenarioText = "{}") {
    VehicleSimulator::Options options;
    options.scenario = ParseScenario(json::parse(scenarioText));
    options.timers = timers;
    options.makeTransport = [this](const ara::com::ServiceDeployment&) { return bus->CreateEndpoint(); };
    options.events = [this](const json& event) { events.Add(event); };
    options.onQuit = [this] { ++quits; };
    simulator = std::make_unique<VehicleSimulator>(std::move(options));
    simulator->Start();
  }

  std::uint16_t ServiceId(Service service) const { return simulator->Deployment(service).serviceId; }
  std::uint16_t Method(const char* field, Method method) const {
    const FieldInfo& info = *FindField(field);
    return simulator->Deployment(info.service)
        .MethodId(method == Method::kGet ? info.getMethodIndex : *info.setMethodIndex);
  }
  std::uint16_t CmcId() const { return ServiceId(Service::kChargingManagementCore); }
  // Sends a Get and returns its answer decoded.
  json Get(const char* field, std::uint16_t session) {
    const FieldInfo& info = *FindField(field);
    consumer.Call(ServiceId(info.service), Method(field, Method::kGet), session);
    const auto reply = consumer.Reply(session);
    if (!reply) {
      ADD_FAILURE() << "no answer to Get " << field;
      return nullptr;
    }
    return info.decode(reply->payload);
  }
  std::optional<json> Event(const json& subset, std::size_t from = 0) {
    return events.WaitFor(
        [&](const json& event) {
          for (const auto& [key, value] : subset.items()) {
            if (!event.contains(key) || event[key] != value) {
              return false;
            }
          }
          return true;
        },
        from);
  }

  std::shared_ptr<transport::LocalBus> bus = std::make_shared<transport::LocalBus>();
  std::shared_ptr<ManualTimers> timers = std::make_shared<ManualTimers>();
  Recorder<json> events;
  std::atomic<int> quits{0};
  Consumer consumer{bus};
  std::unique_ptr<VehicleSimulator> simulator;
};

TEST_F(SimulatorTest, GetAnswersTheScenarioValueAndReportsTheRequest) {
  Start(R"({"fields": {"views": [{"type": "popup", "visibility": 1}]}})");
  EXPECT_EQ(Get("views", 1), json::parse(R"([{"type": "popup", "visibility": "requestedViewVisible"}])"));
  EXPECT_TRUE(Event({{"event", "request"}, {"field", "views"}, {"method", "Get"}}));
  EXPECT_TRUE(Event({{"event", "answer"}, {"field", "views"}, {"method", "Get"}, {"return_code", 0}}));
  EXPECT_EQ(Get("targetSocChargings", 2), json::array()) << "a field the scenario leaves out is empty";
}

TEST_F(SimulatorTest, SetReportsTheDecodedValuesAndUpdatesTheElementItNames) {
  Start(R"({"fields": {"switchControls": [{"type": "frontPlugLockState", "switchValue": "locked"},
                                           {"type": "immediateChargingOptionsAutounlockAc", "switchValue": "off"}]}})");
  const FieldInfo& switches = *FindField("switchControls");
  simulator->HandleLine(
      R"({"command": "notify", "field": "switchControls", "value": [{"type": "frontPlugLockState"}]})");
  consumer.Call(CmcId(), Method("switchControls", Method::kSet), 7,
                switches.encode(json::parse(R"([{"type": 18, "switchValue": 8}])")));
  const auto reply = consumer.Reply(7);
  ASSERT_TRUE(reply);
  EXPECT_EQ(reply->type, transport::MessageType::kResponse);
  const auto request = Event({{"event", "request"}, {"method", "Set"}});
  ASSERT_TRUE(request);
  EXPECT_EQ((*request)["value"], json::parse(R"([{"type": "frontPlugLockState", "switchValue": "unlocked"}])"));
  EXPECT_EQ(Get("switchControls", 8), json::parse(R"([{"type": "frontPlugLockState", "switchValue": "unlocked"},
                            {"type": "immediateChargingOptionsAutounlockAc", "switchValue": "off"}])"));
}

TEST_F(SimulatorTest, DelayedAnswerWaitsForItsTime) {
  Start(R"({"answers": [{"field": "valueControls", "method": "Set", "delay_ms": 1500}]})");
  const auto payload = FindField("valueControls")->encode(json::parse(R"([{"type": 0, "currentValue": 90}])"));
  consumer.Call(CmcId(), Method("valueControls", Method::kSet), 3, payload);
  ASSERT_TRUE(timers->WaitForPending(1));
  timers->Advance(1499ms);
  EXPECT_EQ(Get("valueControls", 4), json::array()) << "not stored before it is answered";
  for (const auto& message : consumer.messages.All()) {
    EXPECT_NE(message.sessionId, 3) << "answered before its delay";
  }
  timers->Advance(1ms);
  const auto reply = consumer.Reply(3);
  ASSERT_TRUE(reply);
  EXPECT_EQ(reply->returnCode, 0);
  EXPECT_EQ(reply->payload, payload);
  EXPECT_EQ(Get("valueControls", 5),
            json::parse(R"([{"type": "immediateChargingOptionsTargetSoc", "currentValue": 90}])"));
}

TEST_F(SimulatorTest, NeverAnswersAndAnErrorCodeLeaveTheValueAlone) {
  Start(R"({"fields": {"views": [{"type": "popup", "visibility": 0}]}})");
  const auto payload = FindField("views")->encode(json::parse(R"([{"type": 0, "visibility": 3}])"));
  simulator->HandleLine(R"({"command": "answer", "field": "views", "method": "Set", "never": true})");
  consumer.Call(CmcId(), Method("views", Method::kSet), 10, payload);
  ASSERT_TRUE(Event({{"event", "request"}, {"method", "Set"}}));
  timers->Advance(1h);
  // A later Get overtakes nothing: its answer arriving first shows the write was never answered.
  EXPECT_EQ(Get("views", 11), json::parse(R"([{"type": "popup", "visibility": "noView"}])"));
  for (const auto& message : consumer.messages.All()) {
    EXPECT_NE(message.sessionId, 10) << "a write set to never was answered";
  }

  simulator->HandleLine(R"({"command": "answer", "field": "views", "method": "Set", "return_code": 1})");
  consumer.Call(CmcId(), Method("views", Method::kSet), 12, payload);
  const auto reply = consumer.Reply(12);
  ASSERT_TRUE(reply);
  EXPECT_EQ(reply->type, transport::MessageType::kError);
  EXPECT_EQ(reply->returnCode, 1);
  EXPECT_TRUE(Event({{"event", "answer"}, {"method", "Set"}, {"return_code", 1}}));
  EXPECT_EQ(Get("views", 13), json::parse(R"([{"type": "popup", "visibility": "noView"}])"));
}

TEST_F(SimulatorTest, AnUnreadableWriteIsAnsweredAsMalformed) {
  Start();
  consumer.Call(CmcId(), Method("views", Method::kSet), 20, {0x00, 0x00});
  const auto reply = consumer.Reply(20);
  ASSERT_TRUE(reply);
  EXPECT_EQ(reply->returnCode, 0x09);
  const auto request = Event({{"event", "request"}, {"method", "Set"}});
  ASSERT_TRUE(request);
  EXPECT_TRUE(request->contains("error"));
}

TEST_F(SimulatorTest, NotifyReachesSubscribersAndUpdatesTheElement) {
  Start(R"({"fields": {"chargingPlugs": [{"type": "front", "plugConnectionState": "disconnected"}]}})");
  const FieldInfo& plugs = *FindField("chargingPlugs");
  const auto& event = simulator->Deployment(Service::kChargingManagementCore).Event(plugs.eventIndex);
  consumer.Transport().Subscribe(CmcId(), kInstanceId, event.eventgroupId);
  const auto subscription = Event({{"event", "subscription"}, {"subscribed", true}});
  ASSERT_TRUE(subscription);
  EXPECT_EQ((*subscription)["fields"], json::array({"chargingPlugs"}));

  const auto initial = consumer.messages.WaitFor(
      [&](const transport::Message& m) { return m.type == transport::MessageType::kNotification; });
  ASSERT_TRUE(initial) << "a new subscriber gets the current value";
  EXPECT_EQ(plugs.decode(initial->payload),
            json::parse(R"([{"type": "front", "plugConnectionState": "disconnected"}])"));
  const std::size_t seen = consumer.messages.Size();

  simulator->HandleLine(
      R"({"command": "notify", "field": "chargingPlugs", "value": [{"type": "front", "plugConnectionState": "connected"}, {"type": "rearLeft1"}]})");
  const auto notification = consumer.messages.WaitFor(
      [&](const transport::Message& m) { return m.type == transport::MessageType::kNotification; }, seen);
  ASSERT_TRUE(notification);
  EXPECT_EQ(notification->methodId, event.eventId);
  EXPECT_EQ(plugs.decode(notification->payload),
            json::parse(R"([{"type": "front", "plugConnectionState": "connected"}, {"type": "rearLeft1"}])"));
  EXPECT_TRUE(Event({{"event", "notify"}, {"field", "chargingPlugs"}}));
  EXPECT_EQ(Get("chargingPlugs", 30),
            json::parse(R"([{"type": "front", "plugConnectionState": "connected"}, {"type": "rearLeft1"}])"));
}

// After a notification and an accepted Set, a new subscriber gets the field's value as the Set
// left it, and nothing older, before the next notification.
constexpr const char* kSwitchScenario =
    R"({"fields": {"switchControls": [{"type": "frontPlugLockState", "switchValue": "locked"}]}})";

void ExpectOnlyTheCurrentValueAfterASet(VehicleSimulator& simulator, Consumer& consumer, Recorder<json>& events) {
  const auto& deployment = simulator.Deployment(Service::kChargingManagementCore);
  const FieldInfo& switches = *FindField("switchControls");
  simulator.HandleLine(
      R"({"command": "notify", "field": "switchControls", "value": [{"type": "frontPlugLockState"}]})");
  consumer.Call(deployment.serviceId, deployment.MethodId(*switches.setMethodIndex), 7,
                switches.encode(json::parse(R"([{"type": 18, "switchValue": 8}])")));
  ASSERT_TRUE(consumer.Reply(7));
  consumer.Transport().Subscribe(deployment.serviceId, kInstanceId, deployment.Event(switches.eventIndex).eventgroupId);
  ASSERT_TRUE(events.WaitFor([](const json& e) { return e["event"] == "subscription" && e["subscribed"] == true; }));
  simulator.HandleLine(
      R"({"command": "notify", "field": "switchControls", "value": [{"type": "immediateChargingOptionsAutounlockAc"}]})");
  const auto isNotification = [](const transport::Message& m) {
    return m.type == transport::MessageType::kNotification;
  };
  ASSERT_TRUE(consumer.messages.WaitFor(
      [&](const transport::Message& m) { return isNotification(m) && switches.decode(m.payload).size() == 2; }));
  std::vector<json> values;
  for (const auto& message : consumer.messages.All()) {
    if (isNotification(message)) {
      values.push_back(switches.decode(message.payload));
    }
  }
  EXPECT_EQ(values, (std::vector<json>{json::parse(R"([{"type": "frontPlugLockState", "switchValue": "unlocked"}])"),
                                       json::parse(R"([{"type": "frontPlugLockState", "switchValue": "unlocked"},
                                        {"type": "immediateChargingOptionsAutounlockAc"}])")}));
}

TEST_F(SimulatorTest, AfterASetANewSubscriberGetsOnlyTheCurrentValue) {
  Start(kSwitchScenario);
  ExpectOnlyTheCurrentValueAfterASet(*simulator, consumer, events);
}

// A free UDP port of the loopback interface: bound, read back and released.
std::uint16_t FreeUdpPort() {
  const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof address;
  ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size);
  ::close(fd);
  return ntohs(address.sin_port);
}

// Over SOME/IP on loopback, as the gateway meets the simulator: the transport once kept a value
// of its own, and a new subscriber got that stale one before the simulator's.
TEST(SimulatorOverNetwork, AfterASetANewSubscriberGetsOnlyTheCurrentValue) {
  std::random_device random;
  std::uniform_int_distribution<int> octet(1, 250);
  const std::string base = "127." + std::to_string(octet(random)) + "." + std::to_string(octet(random)) + ".";
  const std::string group = "239.255." + std::to_string(octet(random)) + "." + std::to_string(octet(random));
  const std::uint16_t sdPort = FreeUdpPort();
  const auto config = [&](const std::string& unicast) {
    ara::com::NetworkConfig network;
    network.unicast = unicast;
    network.sdMulticast = group;
    network.sdPort = sdPort;
    network.timings.initialDelayMax = 5ms;
    network.timings.repetitionBaseDelay = 5ms;
    network.timings.cyclicOfferDelay = 20ms;
    return network;
  };
  const int host = octet(random);
  auto vehicle =
      std::make_shared<SharedTransport>(transport::CreateNetworkTransport({config(base + std::to_string(host))}));
  Recorder<json> events;
  VehicleSimulator::Options options;
  options.scenario = ParseScenario(json::parse(kSwitchScenario));
  options.timers = std::make_shared<ManualTimers>();
  options.makeTransport = [vehicle](const ara::com::ServiceDeployment& d) { return vehicle->For(d.serviceId); };
  options.events = [&events](const json& event) { events.Add(event); };
  VehicleSimulator simulator(std::move(options));
  simulator.Start();

  Consumer consumer(transport::CreateNetworkTransport({config(base + std::to_string(host + 1))}));
  const auto& deployment = simulator.Deployment(Service::kChargingManagementCore);
  consumer.Transport().Describe(deployment);
  consumer.Transport().FindService(deployment.serviceId);
  ASSERT_TRUE(
      consumer.availability.WaitFor([&](const auto& a) { return a.first == deployment.serviceId && a.second; }));
  ExpectOnlyTheCurrentValueAfterASet(simulator, consumer, events);
}

// Elements of one type (element id for the reset-to-factory data) are one entity: a write or
// notification takes the place of the stored elements of its type. An element without one, as
// the gateway writes the reset data, takes the place of all of the field's elements.
struct MergeCase {
  const char* name;
  const char* field;
  const char* stored;
  const char* command;  // a notify command's value, or a Set's value when `write`
  bool write;
  const char* expected;
  friend void PrintTo(const MergeCase& c, std::ostream* out) { *out << c.name; }
};

class SimulatorMerge : public SimulatorTest, public ::testing::WithParamInterface<MergeCase> {};

TEST_P(SimulatorMerge, ChangesTheFieldsValue) {
  const MergeCase& c = GetParam();
  Start(json{{"fields", {{c.field, json::parse(c.stored)}}}}.dump().c_str());
  const FieldInfo& field = *FindField(c.field);
  if (c.write) {
    consumer.Call(CmcId(), Method(c.field, Method::kSet), 40, field.encode(json::parse(c.command)));
    const auto reply = consumer.Reply(40);
    ASSERT_TRUE(reply);
    ASSERT_EQ(reply->returnCode, 0);
  } else {
    simulator->HandleLine(json{{"command", "notify"}, {"field", c.field}, {"value", json::parse(c.command)}}.dump());
  }
  EXPECT_EQ(Get(c.field, 41), json::parse(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Table, SimulatorMerge,
    ::testing::Values(
        MergeCase{"WriteOverTheMembersItCarries", "valueControls",
                  R"([{"type": "immediateChargingOptionsTargetSoc", "currentValue": 80, "minValue": 50}])",
                  R"([{"type": 0, "currentValue": 90}])", true,
                  R"([{"type": "immediateChargingOptionsTargetSoc", "currentValue": 90, "minValue": 50}])"},
        MergeCase{"WriteOfANewTypeIsAdded", "switchControls", R"([{"type": "immediateChargingOptionsAutounlockAc"}])",
                  R"([{"type": 18, "switchValue": 8}])", true,
                  R"([{"type": "immediateChargingOptionsAutounlockAc"},
                      {"type": "frontPlugLockState", "switchValue": "unlocked"}])"},
        MergeCase{"WriteCollapsesElementsOfOneType", "views",
                  R"([{"type": "popup", "visibility": 0}, {"type": "popup", "visibility": 1}])",
                  R"([{"type": 0, "content": 1}])", true,
                  R"([{"type": "popup", "visibility": "noView", "content": "chargingInformationScreen"}])"},
        MergeCase{"ResetWriteWithoutElementIdIsTheWholeValue", "resetToFactoryData",
                  R"([{"elementId": 0, "resetToFactoryData": "notOrigin", "lastReset": 5}, {"elementId": 1}])",
                  R"([{"resetToFactoryData": 0}])", true,
                  R"([{"elementId": 0, "resetToFactoryData": "origin", "lastReset": 5}])"},
        MergeCase{"ResetNotificationWithoutElementIdIsTheWholeValue", "resetToFactoryData",
                  R"([{"elementId": 0, "resetToFactoryData": "notOrigin", "lastReset": 5}])",
                  R"([{"resetToFactoryData": "origin"}])", false, R"([{"resetToFactoryData": "origin"}])"},
        MergeCase{"ResetNotificationOfAnElementIdReplacesThatElement", "resetToFactoryData",
                  R"([{"elementId": 0, "resetToFactoryData": "notOrigin"}, {"elementId": 1}])",
                  R"([{"elementId": 1, "resetToFactoryData": "origin"}])", false,
                  R"([{"elementId": 0, "resetToFactoryData": "notOrigin"},
                      {"elementId": 1, "resetToFactoryData": "origin"}])"},
        MergeCase{"NotificationReplacesTheWholeElement", "valueControls",
                  R"([{"type": "immediateChargingOptionsTargetSoc", "currentValue": 80, "minValue": 50}])",
                  R"([{"type": "immediateChargingOptionsTargetSoc", "currentValue": 70}])", false,
                  R"([{"type": "immediateChargingOptionsTargetSoc", "currentValue": 70}])"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SimulatorTest, TimelineRunsAtItsTimesAndLoops) {
  Start(R"({"timeline": [{"at_ms": 1000, "command": "notify", "field": "targetSocChargings",
                          "value": [{"type": 0, "targetSoc": 70}]},
                         {"at_ms": 2000, "command": "notify", "field": "targetSocChargings",
                          "value": [{"type": 0, "targetSoc": 80}]}],
            "loop_ms": 3000})");
  const auto notifies = [&] {
    std::vector<std::pair<long long, json>> seen;
    for (const auto& e : events.All()) {
      if (e["event"] == "notify") {
        seen.emplace_back(e["t_ms"].get<long long>(), e["value"][0]["targetSoc"]);
      }
    }
    return seen;
  };
  timers->Advance(999ms);
  EXPECT_TRUE(notifies().empty());
  timers->Advance(6001ms);
  const std::vector<std::pair<long long, json>> expected{{1000, 70}, {2000, 80}, {4000, 70}, {5000, 80}, {7000, 70}};
  EXPECT_EQ(notifies(), expected);
}

TEST_F(SimulatorTest, StopAndResumeOfferingOneService) {
  consumer.Transport().FindService(0x4101);
  Start();
  ASSERT_TRUE(consumer.availability.WaitFor([](const auto& a) { return a.second; }));
  const std::size_t before = consumer.availability.Size();
  simulator->HandleLine(R"({"command": "stop_offer", "service": "ChargingManagementCore"})");
  EXPECT_TRUE(consumer.availability.WaitFor([](const auto& a) { return !a.second; }, before));
  simulator->HandleLine(R"({"command": "offer", "service": "ChargingManagementCore"})");
  EXPECT_TRUE(consumer.availability.WaitFor([](const auto& a) { return a.second; }, before + 1));
  EXPECT_TRUE(Event({{"event", "stop_offer"}, {"service", "ChargingManagementCore"}}));
  EXPECT_EQ(Get("views", 40), json::array()) << "answers again once offered";
}

TEST_F(SimulatorTest, QuitIsReportedOnceAndBadLinesBecomeErrorEvents) {
  Start();
  simulator->HandleLine("");
  simulator->HandleLine("{not json");
  simulator->HandleLine(R"({"command": "notify", "field": "views", "value": [{"kind": 1}]})");
  simulator->HandleLine(R"({"command": "quit"})");
  simulator->HandleLine(R"({"command": "quit"})");
  EXPECT_EQ(quits, 1);
  std::vector<std::string> messages;
  for (const auto& e : events.All()) {
    if (e["event"] == "error") {
      messages.push_back(e["message"]);
    }
  }
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_THAT(messages[0], ::testing::StartsWith("command: not valid JSON"));
  EXPECT_THAT(messages[1], ::testing::HasSubstr("views[0]: unknown member \"kind\""));
}

}  // namespace
