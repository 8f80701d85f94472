#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "seam/platform_calls.h"

namespace platform::seam {

// An exception type that does not derive from std::exception.
struct NonStandardError {};

// Makes chosen platform calls fail. Thread-safe.
class FailureInjector {
 public:
  // The next `count` calls of `operation` (with exactly `args`, when given) throw
  // std::runtime_error(text), or NonStandardError when `standard` is false. A new rule for the
  // same operation and arguments replaces the old one.
  void Add(const std::string& operation, std::optional<std::vector<std::uint64_t>> args, std::size_t count,
           bool standard, const std::string& text);
  // Throws when a rule matches the call, using up one of its failures.
  void Check(const PlatformCall& call);

 private:
  struct Rule {
    std::string operation;
    std::optional<std::vector<std::uint64_t>> args;
    std::size_t remaining = 0;
    bool standard = true;
    std::string text;
  };

  std::mutex mutex_;
  std::vector<Rule> rules_;
};

// Parses failure rules (the test variant's ORIK_PLATFORM_TEST_FAILURES, platform/test_switches):
// entries separated by
// ';', each "<operation>[(<arg>,...)]=runtime_error:<text>" or "<operation>[(<arg>,...)]=other";
// each entry fails the first matching call once. Throws std::invalid_argument on a malformed entry.
void ParseFailureRules(const std::string& rules, FailureInjector& injector);

// Records every platform call in order and fails chosen ones on request.
class CallRecorder : public CallHook {
 public:
  using NonStandardError = seam::NonStandardError;

  void OnCall(const PlatformCall& call) override;

  // The next `count` calls of `operation` throw std::runtime_error(text).
  void FailNext(const std::string& operation, std::size_t count, const std::string& text);
  // The next `count` calls of `operation` throw NonStandardError.
  void FailNextNonStandard(const std::string& operation, std::size_t count);
  // As above, for calls with exactly these arguments only.
  void FailNext(const std::string& operation, const std::vector<std::uint64_t>& args, std::size_t count,
                const std::string& text);
  void FailNextNonStandard(const std::string& operation, const std::vector<std::uint64_t>& args, std::size_t count);

  std::vector<PlatformCall> Calls() const;
  std::vector<PlatformCall> Calls(const std::string& operation) const;
  // Waits until `predicate` holds for the recorded calls; false on timeout.
  bool WaitFor(const std::function<bool(const std::vector<PlatformCall>&)>& predicate,
               std::chrono::milliseconds timeout) const;

 private:
  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  std::vector<PlatformCall> calls_;
  FailureInjector failures_;
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
