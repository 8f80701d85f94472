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
                                                         const ara::core::Optional<std::string>& value) override;
  SOMEIP_RESPONSE_TYPE TellSomeIpToUpdate_ValueControls(const std::string& type,
                                                        const ara::core::Optional<std::uint32_t>& value,
                                                        const ara::core::Optional<std::string>& specialState) override;
  SOMEIP_RESPONSE_TYPE TellSomeIpToUpdate_Views(const std::string& type,
                                                const ara::core::Optional<std::string>& content,
                                                const ara::core::Optional<std::string>& visibility) override;
  SOMEIP_RESPONSE_TYPE TellSomeIpToUpdate_pastErrorInformation(
      const std::string& type, const ara::core::Optional<bool>& confirmedByUser) override;
  SOMEIP_RESPONSE_TYPE TellSomeIpToUpdate_ResetStatus(const ara::core::Optional<std::string>& reset) override;
  void TellSomeIpToStartListener() override;

  void SetDefault(SOMEIP_RESPONSE_TYPE result);
  void Script(std::vector<SOMEIP_RESPONSE_TYPE> results);
  void SetBeforeWrite(std::function<void(const std::string& call)> beforeWrite);
  // Runs inside TellSomeIpToStartListener (to make the start fail, for example).
  void SetOnStartListener(std::function<void()> onStart);

  std::vector<std::string> Calls() const;
  void ClearCalls();
  bool WaitForCalls(std::size_t count, std::chrono::milliseconds timeout = kWait) const;

 private:
  SOMEIP_RESPONSE_TYPE Write(std::string call);

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
  ConfigFile();
  ~ConfigFile();
  ConfigFile(const ConfigFile&) = delete;
  ConfigFile& operator=(const ConfigFile&) = delete;
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

// The texts the REST server application logged (context "ORIK"), in order.
std::vector<std::string> ServerLines(const ara::log::CaptureSink& sink,
                                     ara::log::LogLevel level = ara::log::LogLevel::kInfo);

// The application made with the framework's root (kept here for the port and the registry
// state), wired to a FakeCommMngr, optionally started and served on an ephemeral port.
class RestServerTest : public ::testing::Test {
 public:
  FakeCommMngr& Fake() { return *fake_; }

 protected:
  void SetUp() override;
  void TearDown() override;

  // Makes the application; `seams.makeRoot`, when empty, makes the framework's own root.
  void Make(ORIKRuboServer::Seams seams = {});

  // Makes and starts the application and connects a client.
  void Start(ORIKRuboServer::Seams seams = {});

  Json GetJson(const std::string& path);
  rubo::testing::HttpResult Post(const std::string& path, const std::string& body);

  // The elements of a collection as the client sees them, in order.
  Json Elements(const std::string& collectionPath);

  // The path of the first element of the collection whose "type" is `type`; empty when none.
  std::string PathOf(const std::string& collectionPath, const std::string& type);

  ara::log::ScopedCapture log_;
  ConfigFile config_;
  std::shared_ptr<FakeCommMngr> fake_ = std::make_shared<FakeCommMngr>();
  std::shared_ptr<rubo::server::RuboServer> root_;
  std::shared_ptr<ORIKRuboServer> app_;
  std::unique_ptr<rubo::testing::HttpTestClient> client_;
};

}  // namespace test
}  // namespace orik::ruboServer
