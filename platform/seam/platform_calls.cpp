#include "seam/platform_calls.h"

#include <mutex>

#include "ara/log/logging.h"
#include "seam/call_recorder.h"

namespace platform::seam {
namespace {

std::mutex hookMutex;
std::shared_ptr<CallHook> currentHook;

std::shared_ptr<CallHook> Hook() {
  std::lock_guard lock(hookMutex);
  return currentHook;
}

const ara::log::Logger& PlatformLogger() {
  static const ara::log::Logger& logger = ara::log::CreateLogger("PLAT", "platform services");
  return logger;
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

// ---- CallRecorder ----

void CallRecorder::OnCall(const PlatformCall& call) {
  std::unique_lock lock(mutex_);
  calls_.push_back(call);
  changed_.notify_all();
  auto it = failures_.find(call.operation);
  if (it == failures_.end() || it->second.remaining == 0) {
    return;
  }
  --it->second.remaining;
  const Failure failure = it->second;
  lock.unlock();
  if (failure.standard) {
    throw std::runtime_error(failure.text);
  }
  throw NonStandardError{};
}

void CallRecorder::FailNext(const std::string& operation, std::size_t count, const std::string& text) {
  std::lock_guard lock(mutex_);
  failures_[operation] = Failure{count, true, text};
}

void CallRecorder::FailNextNonStandard(const std::string& operation, std::size_t count) {
  std::lock_guard lock(mutex_);
  failures_[operation] = Failure{count, false, {}};
}

std::vector<PlatformCall> CallRecorder::Calls() const {
  std::lock_guard lock(mutex_);
  return calls_;
}

std::vector<PlatformCall> CallRecorder::Calls(const std::string& operation) const {
  std::lock_guard lock(mutex_);
  std::vector<PlatformCall> matching;
  for (const auto& call : calls_) {
    if (call.operation == operation) {
      matching.push_back(call);
    }
  }
  return matching;
}

bool CallRecorder::WaitFor(const std::function<bool(const std::vector<PlatformCall>&)>& predicate,
                           std::chrono::milliseconds timeout) const {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, timeout, [&] { return predicate(calls_); });
}

ScopedCallRecorder::ScopedCallRecorder() : recorder_(std::make_shared<CallRecorder>()) { SetCallHook(recorder_); }
ScopedCallRecorder::~ScopedCallRecorder() { SetCallHook(nullptr); }

}  // namespace platform::seam
