#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace platform::seam {

// One call into a platform service (execution or health management).
struct PlatformCall {
  std::string operation;  // e.g. "SupervisionEntity::CheckpointReached"
  std::string text;       // a text argument, where the call has one
  std::vector<std::uint64_t> args;
  std::thread::id thread;
};

// Observes platform calls. The hook may throw to make the call fail.
class CallHook {
 public:
  virtual ~CallHook() = default;
  virtual void OnCall(const PlatformCall& call) = 0;
};

// Installs the hook every platform call goes through (empty: no hook). Without a hook the
// calls only log at Verbose in the platform's own context.
void SetCallHook(std::shared_ptr<CallHook> hook);

// Called by the platform stand-ins for every operation; throws what the hook throws.
void ReportCall(std::string operation, std::vector<std::uint64_t> args, std::string text = {});

}  // namespace platform::seam
