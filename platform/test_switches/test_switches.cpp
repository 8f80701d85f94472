#include "test_switches/test_switches.h"

#include <cstdlib>
#include <filesystem>
#include <future>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>

#include "ara/com/runtime.h"
#include "ara/com/transport/local_bus.h"
#include "ara/log/logging.h"
#include "seam/call_recorder.h"
#include "seam/liveness.h"
#include "seam/platform_calls.h"
#include "seam/service_manager.h"

namespace platform::testSwitches {
namespace {

const ara::log::Logger& PlatformLogger() {
  static const ara::log::Logger& logger = ara::log::CreateLogger("PLAT", "platform services");
  return logger;
}

std::string Variable(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? std::string{} : std::string(value);
}

// Fails the calls its rules name and records nothing, so that a long run does not grow. A
// malformed switch is logged at the first call (logging is not set up before main) and fails
// nothing.
class InjectingHook : public seam::CallHook {
 public:
  explicit InjectingHook(const std::string& rules) {
    try {
      seam::ParseFailureRules(rules, injector_);
    } catch (const std::invalid_argument& e) {
      error_ = e.what();
    }
  }
  void OnCall(const seam::PlatformCall& call) override {
    if (!error_.empty()) {
      std::call_once(logged_,
                     [&] { PlatformLogger().LogError() << "Ignoring " << kFailuresVariable << ": " << error_; });
      return;
    }
    injector_.Check(call);
  }

 private:
  seam::FailureInjector injector_;
  std::string error_;
  std::once_flag logged_;
};

void InstallStall(const std::string& value) {
  const auto colon = value.find(':');
  const std::string name = value.substr(0, colon);
  if (colon == std::string::npos || (name != "rest" && name != "middleware")) {
    return;
  }
  const seam::LivePart stalled = name == "rest" ? seam::LivePart::kRestServer : seam::LivePart::kMiddleware;
  const std::string trigger = value.substr(colon + 1);
  auto once = std::make_shared<std::once_flag>();
  seam::SetHeartbeatHook([=](seam::LivePart part, std::function<void()> answered) -> std::function<void()> {
    std::error_code ignored;
    if (part != stalled || !std::filesystem::exists(trigger, ignored)) {
      return answered;
    }
    std::function<void()> stall;
    std::call_once(*once, [&] {
      stall = [name] {
        seam::NotifyServiceManager("STATUS=Test: stalling the " + name + " I/O thread");
        std::promise<void>().get_future().wait();  // for good: the test ends the process
      };
    });
    return stall ? stall : answered;
  });
}

// Read before main, so that the first platform call already sees them.
[[maybe_unused]] const bool installed = [] {
  if (const std::string rules = Variable(kFailuresVariable); !rules.empty()) {
    seam::SetCallHook(std::make_shared<InjectingHook>(rules));
  }
  if (Variable(kTransportVariable) == "local") {
    ara::com::SetApplicationTransport([] { return ara::com::transport::LocalBus::Default()->CreateEndpoint(); });
  }
  InstallStall(Variable(kStallVariable));
  return true;
}();

}  // namespace
}  // namespace platform::testSwitches
