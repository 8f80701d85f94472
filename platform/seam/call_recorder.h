#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "seam/platform_calls.h"

namespace platform::seam {

// Records every platform call in order and fails chosen ones on request.
class CallRecorder : public CallHook {
 public:
  // An exception type that does not derive from std::exception.
  struct NonStandardError {};

  void OnCall(const PlatformCall& call) override;

  // The next `count` calls of `operation` throw std::runtime_error(text).
  void FailNext(const std::string& operation, std::size_t count, const std::string& text);
  // The next `count` calls of `operation` throw NonStandardError.
  void FailNextNonStandard(const std::string& operation, std::size_t count);

  std::vector<PlatformCall> Calls() const;
  std::vector<PlatformCall> Calls(const std::string& operation) const;
  // Waits until `predicate` holds for the recorded calls; false on timeout.
  bool WaitFor(const std::function<bool(const std::vector<PlatformCall>&)>& predicate,
               std::chrono::milliseconds timeout) const;

 private:
  struct Failure {
    std::size_t remaining = 0;
    bool standard = true;
    std::string text;
  };

  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  std::vector<PlatformCall> calls_;
  std::map<std::string, Failure, std::less<>> failures_;
};

// Installs a recorder as the call hook for the lifetime of the object.
class ScopedCallRecorder {
 public:
  ScopedCallRecorder();
  ~ScopedCallRecorder();
  ScopedCallRecorder(const ScopedCallRecorder&) = delete;
  ScopedCallRecorder& operator=(const ScopedCallRecorder&) = delete;
  CallRecorder& operator*() const { return *recorder_; }
  CallRecorder* operator->() const { return recorder_.get(); }

 private:
  std::shared_ptr<CallRecorder> recorder_;
};

}  // namespace platform::seam
