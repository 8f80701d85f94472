#include "tools/vehicle_sim/simulator.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>

#include "ara/com/transport/local_bus.h"

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
  explicit Consumer(const std::shared_ptr<transport::LocalBus>& bus) : transport_(bus->CreateEndpoint()) {
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
