#pragma once

// The remote (DLT) sink behind ara::log. Internal to platform/ara/log: it keeps the DLT
// headers out of everything that logs.

#include <optional>
#include <string>

#include "ara/log/common.h"

namespace ara::log::detail {

struct RemoteContext;

// The shared context for a logger's id; created on first use and never freed, so loggers
// may keep the reference.
RemoteContext& RemoteContextFor(const std::string& contextId, const std::string& description);

// Whether the daemon's current level for the context lets a record of this level through;
// false for every level while remote mode is off.
bool RemoteAllows(const RemoteContext& context, LogLevel level) noexcept;

// The functions below are called with the logging lock held, so they never run at once.

// Registers the application and every context created so far at the default level. False
// when the DLT library cannot be set up (it says why on standard error); logging goes on
// without the remote sink.
bool StartRemote(const std::string& appId, const std::string& description, LogLevel defaultLevel);
void StopRemote();
// Registers a context created after StartRemote.
void AttachRemote(RemoteContext& context, LogLevel defaultLevel);

// What the remote sink says of itself when it stops or starts reaching the daemon.
struct RemoteNotice {
  LogLevel level;
  std::string text;
};

// One record as one DLT message; drops it when the daemon does not take it now. Whether the
// daemon's FIFO can be reached is looked at with the first record and then at most once a second;
// a notice comes back when that changes: with the first record that finds it unreachable (at
// start, or after it was reached), and with the first that finds it reachable again.
std::optional<RemoteNotice> SendRemote(RemoteContext& context, LogLevel level, const std::string& text);

}  // namespace ara::log::detail
