#pragma once

#include <string>
#include <string_view>

#include "ara/log/common.h"

namespace ara::log {

// DLT ids have at most four characters; these give the ids the remote sink registers.
// The console and the log file always show the full ids.

// False in builds that leave the DLT library out (ThreadSanitizer builds: libdlt cancels
// its threads at exit, which the ThreadSanitizer runtime does not survive); remote mode then
// sends nothing and the other modes work as always.
bool RemoteSupported() noexcept;

// The application id cut to its first four characters.
std::string RemoteApplicationId(std::string_view appId);

// "ORIK_MAIN" becomes "MAIN" (its first four characters would merge it with "ORIK");
// any other id keeps its first four characters. Ids that map to the same DLT id share
// one DLT context.
std::string RemoteContextId(std::string_view contextId);

// The level up to which records of the context go to the daemon now: the default level
// until the daemon sets another, kOff while remote mode is off or the context is unknown.
LogLevel RemoteLevel(std::string_view contextId);

}  // namespace ara::log
