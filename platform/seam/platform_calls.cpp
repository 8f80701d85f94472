#include "seam/platform_calls.h"

#include <mutex>

#include "ara/log/logging.h"

namespace platform::seam {
namespace {

std::mutex hookMutex;
std::shared_ptr<CallHook> currentHook;

const ara::log::Logger& PlatformLogger() {
  static const ara::log::Logger& logger = ara::log::CreateLogger("PLAT", "platform services");
  return logger;
}

std::shared_ptr<CallHook> Hook() {
  std::lock_guard lock(hookMutex);
  return currentHook;
}

}  // namespace

void SetCallHook(std::shared_ptr<CallHook> hook) {
  std::lock_guard lock(hookMutex);
  currentHook = std::move(hook);
}

void ReportCall(std::string operation, std::vector<std::uint64_t> args, std::string text) {
  {
    auto stream = PlatformLogger().LogVerbose();
    stream << operation << "(" << text;
    for (std::size_t i = 0; i < args.size(); ++i) {
      stream << (i == 0 && text.empty() ? "" : ", ") << args[i];
    }
    stream << ")";
  }
  if (auto hook = Hook()) {
    hook->OnCall(PlatformCall{std::move(operation), std::move(text), std::move(args), std::this_thread::get_id()});
  }
}

}  // namespace platform::seam
