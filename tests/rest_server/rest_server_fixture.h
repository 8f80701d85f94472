#pragma once

// What the REST server application's tests share: a recording stand-in of the mediator with
// scripted write outcomes, the application serving over real HTTP on an ephemeral loopback
// port, a small HTTP client and the captured log.

#include <gtest/gtest.h>
#include <unistd.h>
#include <nlohmann/json.hpp>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <mutex>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "ara/core/optional.h"
#include "ara/log/capture_sink.h"
#include "ara/log/logging.h"
#include "interfaces/comm_mngr/comm_mngr_rubo_side_interface.h"
#include "interfaces/enums/someip_types.h"
#include "rest_model/rubo_server.h"
#include "rest_server/orik_rubo_server.h"
#include "tests/platform/rubo/http_test_client.h"

namespace orik::ruboServer {

// The application's private parts that the tests need.
class ORIKRuboServerTestPeer {
 public:
  static std::shared_ptr<ORIKRuboServer::ViewObject> View(ORIKRuboServer& app, const std::string& key) {
    const auto found = app.m_viewObjects.find(key);
    return found == app.m_viewObjects.end() ? nullptr : found->second;
  }
  static void InitSetup(ORIKRuboServer& app, const std::shared_ptr<ORIKRuboServer::SwitchControlObject>& element) {
    app.InitSetup(element);
  }
  static void LayerPlugflaplockstate(ORIKRuboServer& app,
                                     const std::shared_ptr<ORIKRuboServer::SwitchControlObject>& element) {
    app.LayerPlugflaplockstateCallback(element);
  }
  static void LayerChargingPlugLockState(ORIKRuboServer& app,
                                         const std::shared_ptr<ORIKRuboServer::SwitchControlObject>& element) {
    app.LayerChargingPlugLockStateCallback(element);
  }
};

namespace test {

using orik::enums::SOMEIP_RESPONSE_TYPE;
// Keeps the properties in the order the server renders them.
using Json = nlohmann::ordered_json;

inline constexpr auto kWait = std::chrono::seconds(20);
inline constexpr SOMEIP_RESPONSE_TYPE kReceived = SOMEIP_RESPONSE_TYPE::RESPONSE_RECEIVED;
inline constexpr SOMEIP_RESPONSE_TYPE kTimeout = SOMEIP_RESPONSE_TYPE::RESPONSE_TIMEOUT;
inline constexpr SOMEIP_RESPONSE_TYPE kError = SOMEIP_RESPONSE_TYPE::RESPONSE_ERROR;

// "-" for an absent optional.
template <typename T>
std::string Show(const ara::core::Optional<T>& value) {
  if (!value) {
    return "-";
  }
  std::ostringstream out;
  if constexpr (std::is_same_v<T, bool>) {
    out << (*value ? "true" : "false");
  } else {
    out << *value;
  }
  return out.str();
}

// The mediator as the REST server sees it. Every call is recorded as one text, e.g.
// "SwitchControls(immediateActionStartStopCharging,stopCharging)"; each write answers with the
// next scripted outcome, or with the default one when the script is used up. `beforeWrite`,
// when set, runs on the request thread before the outcome is returned.
class FakeCommMngr : public orik::commMngr::CommMngrRuboSideInterface {
 public:
  SOMEIP_RESPONSE_TYPE TellSomeIpToUpdate_SwitchControls(const std::string& type,
                                                         const ara::core::Optional<std::string>& value) override {
    return Write("SwitchControls(" + type + "," + Show(value) + ")");
  }
  SOMEIP_RESPONSE_TYPE TellSomeIpToUpdate_ValueControls(const std::string& type,
                                                        const ara::core::Optional<std::uint32_t>& value,
                                                        const ara::core::Optional<std::string>& specialState) override {
    return Write("ValueControls(" + type + "," + Show(value) + "," + Show(specialState) + ")");
  }
  SOMEIP_RESPONSE_TYPE TellSomeIpToUpdate_Views(const std::string& type,
                                                const ara::core::Optional<std::string>& content,
                                                const ara::core::Optional<std::string>& visibility) override {
    return Write("Views(" + type + "," + Show(content) + "," + Show(visibility) + ")");
  }
  SOMEIP_RESPONSE_TYPE TellSomeIpToUpdate_pastErrorInformation(
      const std::string& type, const ara::core::Optional<bool>& confirmedByUser) override {
    return Write("pastErrorInformation(" + type + "," + Show(confirmedByUser) + ")");
  }
  SOMEIP_RESPONSE_TYPE TellSomeIpToUpdate_ResetStatus(const ara::core::Optional<std::string>& reset) override {
    return Write("ResetStatus(" + Show(reset) + ")");
  }
  void TellSomeIpToStartListener() override {
    std::function<void()> onStart;
    {
      std::lock_guard lock(mutex_);
      calls_.push_back("StartListener()");
      onStart = onStartListener_;
    }
    changed_.notify_all();
    if (onStart) {
      onStart();
    }
  }

  void SetDefault(SOMEIP_RESPONSE_TYPE result) {
    std::lock_guard lock(mutex_);
    default_ = result;
  }
  void Script(std::vector<SOMEIP_RESPONSE_TYPE> results) {
    std::lock_guard lock(mutex_);
    script_.assign(results.begin(), results.end());
  }
  void SetBeforeWrite(std::function<void(const std::string& call)> beforeWrite) {
    std::lock_guard lock(mutex_);
    beforeWrite_ = std::move(beforeWrite);
  }
  // Runs inside TellSomeIpToStartListener (to make the start fail, for example).
  void SetOnStartListener(std::function<void()> onStart) {
    std::lock_guard lock(mutex_);
    onStartListener_ = std::move(onStart);
  }

  std::vector<std::string> Calls() const {
    std::lock_guard lock(mutex_);
    return calls_;
  }
  void ClearCalls() {
    std::lock_guard lock(mutex_);
    calls_.clear();
  }
  bool WaitForCalls(std::size_t count, std::chrono::milliseconds timeout = kWait) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return calls_.size() >= count; });
  }

 private:
  SOMEIP_RESPONSE_TYPE Write(std::string call) {
    SOMEIP_RESPONSE_TYPE result;
    std::function<void(const std::string&)> beforeWrite;
    {
      std::lock_guard lock(mutex_);
      calls_.push_back(call);
      if (script_.empty()) {
        result = default_;
      } else {
        result = script_.front();
        script_.pop_front();
      }
      beforeWrite = beforeWrite_;
    }
    changed_.notify_all();
    if (beforeWrite) {
      beforeWrite(call);
    }
    return result;
  }

  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  std::vector<std::string> calls_;
  std::deque<SOMEIP_RESPONSE_TYPE> script_;
  SOMEIP_RESPONSE_TYPE default_ = kReceived;
  std::function<void(const std::string&)> beforeWrite_;
  std::function<void()> onStartListener_;
};

// A configuration file for the framework: loopback, any free port.
class ConfigFile {
 public:
  ConfigFile() {
    static std::atomic<int> counter{0};
    path_ = (std::filesystem::temp_directory_path() /
             ("orik_rest_server_test_" + std::to_string(::getpid()) + "_" + std::to_string(counter++) + ".json"))
                .string();
    std::ofstream(path_) << R"({"address": "127.0.0.1", "port": 0})";
  }
  ~ConfigFile() { std::remove(path_.c_str()); }
  ConfigFile(const ConfigFile&) = delete;
  ConfigFile& operator=(const ConfigFile&) = delete;
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

// The texts the REST server application logged (context "ORIK"), in order.
inline std::vector<std::string> ServerLines(const ara::log::CaptureSink& sink,
                                            ara::log::LogLevel level = ara::log::LogLevel::kInfo) {
  std::vector<std::string> lines;
  for (const auto& record : sink.Records()) {
    if (record.contextId == "ORIK" && record.level == level) {
      lines.push_back(record.text);
    }
  }
  return lines;
}

// The application made with the framework's root (kept here for the port and the registry
// state), wired to a FakeCommMngr, optionally started and served on an ephemeral port.
class RestServerTest : public ::testing::Test {
 public:
  FakeCommMngr& Fake() { return *fake_; }

 protected:
  void SetUp() override { ara::log::SetConsoleEnabled(false); }
  void TearDown() override {
    client_.reset();
    if (app_) {
      app_->StopServer();
      app_.reset();
    }
    root_.reset();
    ara::log::SetConsoleEnabled(true);
  }

  // Makes the application; `seams.makeRoot`, when empty, makes the framework's own root.
  void Make(ORIKRuboServer::Seams seams = {}) {
    if (!seams.makeRoot) {
      seams.makeRoot = [this](const std::string& name, const std::string& path) {
        auto root = ara::rest::MakeSharedPointer<rubo::server::RuboServer>(name, path);
        root->InitServices();
        root_ = root;
        return root;
      };
    }
    app_ = std::make_shared<ORIKRuboServer>("charging_management_core", config_.Path(), std::move(seams));
    app_->SetCommunicationsManager(fake_);
  }

  // Makes and starts the application and connects a client.
  void Start(ORIKRuboServer::Seams seams = {}) {
    Make(std::move(seams));
    app_->StartServer();
    ASSERT_TRUE(root_ && root_->IsServing()) << "server did not start";
    client_ = std::make_unique<rubo::testing::HttpTestClient>(root_->GetPort(), "127.0.0.1");
  }

  Json GetJson(const std::string& path) {
    const auto result = client_->Get(path);
    EXPECT_EQ(result.status, 200u) << path << ": " << result.body;
    return Json::parse(result.body, nullptr, false);
  }
  rubo::testing::HttpResult Post(const std::string& path, const std::string& body) { return client_->Post(path, body); }

  // The elements of a collection as the client sees them, in order.
  Json Elements(const std::string& collectionPath) { return GetJson(collectionPath)["elements"]; }

  // The path of the first element of the collection whose "type" is `type`; empty when none.
  std::string PathOf(const std::string& collectionPath, const std::string& type) {
    for (const auto& element : Elements(collectionPath)) {
      if (element.value("type", std::string{}) == type) {
        return element.value("uri", std::string{});
      }
    }
    return {};
  }

  ara::log::ScopedCapture log_;
  ConfigFile config_;
  std::shared_ptr<FakeCommMngr> fake_ = std::make_shared<FakeCommMngr>();
  std::shared_ptr<rubo::server::RuboServer> root_;
  std::shared_ptr<ORIKRuboServer> app_;
  std::unique_ptr<rubo::testing::HttpTestClient> client_;
};

}  // namespace test
}  // namespace orik::ruboServer
