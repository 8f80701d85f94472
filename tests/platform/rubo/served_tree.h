#pragma once

// A small served REST tree for tests that talk HTTP to the framework over loopback: one service
// with two writable elements whose pre-update hooks pass a gate the test opens and closes, and
// limits made small through the configuration file.

#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "ara/log/logging.h"
#include "ara/rest/allocator.h"
#include "rubo/server.h"
#include "tests/platform/rubo/raw_client.h"

namespace rubo::testing {

inline constexpr std::chrono::seconds kWait{20};
inline constexpr const char* kServerAddress = "127.0.0.1";

// Lets a test hold pre-update hooks until it opens the gate.
class HookGate {
 public:
  // Runs in a hook: counts the entry, then waits (bounded) for the gate.
  void Pass() {
    std::unique_lock lock(mutex_);
    ++entered_;
    changed_.notify_all();
    changed_.wait_for(lock, hold_, [this] { return open_; });
  }
  // While closed, a hook waits this long at most: a vehicle that answers late.
  void HoldFor(std::chrono::milliseconds hold) {
    std::lock_guard lock(mutex_);
    hold_ = hold;
  }
  bool WaitEntered(int count) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, kWait, [&] { return entered_ >= count; });
  }
  void Open() {
    std::lock_guard lock(mutex_);
    open_ = true;
    changed_.notify_all();
  }
  void Close() {
    std::lock_guard lock(mutex_);
    open_ = false;
  }
  int Entered() {
    std::lock_guard lock(mutex_);
    return entered_;
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  int entered_ = 0;
  bool open_ = true;
  std::chrono::milliseconds hold_ = kWait;
};

// A small served tree: /Svc/items with a writable element (its hook passes the gate).
class ServedTree {
 public:
  explicit ServedTree(const std::string& extraConfig) {
    ara::log::SetConsoleEnabled(false);
    static std::atomic<int> counter{0};
    configPath_ = (std::filesystem::temp_directory_path() /
                   ("rubo_guard_" + std::to_string(::getpid()) + "_" + std::to_string(counter++) + ".json"))
                      .string();
    std::ofstream(configPath_) << R"({"address":")" << kServerAddress << R"(","port":0)"
                               << (extraConfig.empty() ? "" : ",") << extraConfig << "}";
    server_ = std::make_shared<rubo::Server>("guard", configPath_);
    auto service = ara::rest::MakeSharedPointer<rubo::ServerService>(ara::rest::Uuid{},
                                                                     ara::rest::Uri::Builder("/Svc").ToUri(), "Svc");
    auto items = ara::rest::MakeSharedPointer<rubo::ServerResource>(
        ara::rest::Uuid::MakeV5("/Svc/items"), ara::rest::Uri::Builder("/Svc/items").ToUri(), "items");
    service->Add(items);
    for (auto* element : {&element_, &element2_}) {
      const auto uuid = ara::rest::Uuid::MakeV4();
      *element = items->MakeElement(uuid, ara::rest::Uri::Builder("/Svc/items/" + uuid.ToString()).ToUri(), "Writable");
      (*element)->AddField<ara::rest::ogm::String>("mode");
      (*element)->SetFieldValue<ara::rest::ogm::String>("mode", "off", false);
      (*element)->SetPreUpdateCallback([this](auto, const ara::rest::ogm::Object&, rubo::ServerReply&) {
        gate.Pass();
        return true;
      });
      items->Add(*element);
    }
    server_->Add(service);
    server_->Start(false);
    path = element_->GetUri().ToString();
    path2 = element2_->GetUri().ToString();
  }
  ~ServedTree() {
    gate.Open();
    server_->Stop(true);
    std::remove(configPath_.c_str());
  }

  std::uint16_t Port() const { return server_->GetPort(); }
  RawClient Connect(const std::string& source = {}) const { return RawClient(kServerAddress, Port(), source); }
  std::string Mode() const { return element_->GetFieldValue<ara::rest::ogm::String>("mode"); }

  std::string Get(const std::string& target) const { return "GET " + target + " HTTP/1.1\r\nHost: x\r\n\r\n"; }
  std::string Post(const std::string& body, const std::string& extraHeaders = {},
                   const std::string& target = {}) const {
    return "POST " + (target.empty() ? path : target) +
           " HTTP/1.1\r\nHost: x\r\nContent-Type: application/json\r\nContent-Length: " + std::to_string(body.size()) +
           "\r\n" + extraHeaders + "\r\n" + body;
  }
  std::string ChunkedPostHeader() const {
    return "POST " + path +
           " HTTP/1.1\r\nHost: x\r\nContent-Type: application/json\r\nTransfer-Encoding: chunked\r\n\r\n";
  }

  HookGate gate;
  std::string path;   // a writable element
  std::string path2;  // another one

 private:
  std::string configPath_;
  std::shared_ptr<rubo::Server> server_;
  std::shared_ptr<rubo::ServerElement> element_;
  std::shared_ptr<rubo::ServerElement> element2_;
};

using Settings = std::map<std::string, long>;

// Limits every case starts from: small, so that the cases near them stay small.
inline const Settings kBaseSettings = {{"maxHeaderBytes", 4096}, {"maxBodyBytes", 4096},   {"maxChunkLineBytes", 64},
                                       {"headerTimeoutMs", 300}, {"idleTimeoutMs", 30000}, {"bodyTimeoutMs", 30000}};

// The configuration keys of the base settings with the case's own over them.
inline std::string ConfigOf(const Settings& own) {
  Settings merged = own;
  merged.insert(kBaseSettings.begin(), kBaseSettings.end());
  std::string text;
  for (const auto& [key, value] : merged) {
    text += (text.empty() ? "\"" : ",\"") + key + "\":" + std::to_string(value);
  }
  return text;
}

}  // namespace rubo::testing
