#pragma once

#include <string>

namespace platform::seam {

// Environment variable of systemd's notify protocol: the datagram socket of the service
// manager that started the process.
inline constexpr const char* kNotifySocketVariable = "NOTIFY_SOCKET";

// Sends one state line ("READY=1", "STATUS=...") to the service manager through libsystemd's
// sd_notify. Without NOTIFY_SOCKET, or with it empty (not started by a service manager), it
// sends nothing. Throws std::runtime_error when the socket is named but the message cannot be
// sent.
void NotifyServiceManager(const std::string& state);

// The last "STATUS=..." line sent, empty before the first.
std::string LastStatus();

}  // namespace platform::seam
