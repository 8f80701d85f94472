#pragma once

#include <string>

namespace platform::seam {

// Environment variable of systemd's notify protocol: the datagram socket of the service
// manager that started the process.
inline constexpr const char* kNotifySocketVariable = "NOTIFY_SOCKET";

// Sends one state line ("READY=1", "STATUS=...") to the service manager through libsystemd's
// sd_notify. Without NOTIFY_SOCKET, or with it empty (not started by a service manager), it
// sends nothing. A report that cannot be sent (the socket is gone, or was never there) is lost
// and the process goes on: the first such report logs one Error line that names the socket and
// the cause, and nothing more is logged until a report gets through again (one Info line), so
// that a report made every alive period does not log every period. Never throws for a report
// that cannot be sent; returns false for it (true when sent, or when there is no socket to send
// to), so that a caller may send a report that must arrive once again later.
bool NotifyServiceManager(const std::string& state);

// The last "STATUS=..." line sent, empty before the first; a line that could not be sent does
// not count, so that it is sent again.
std::string LastStatus();

}  // namespace platform::seam
