#pragma once

#include <sys/types.h>

#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace orik::testing {

// Starts arguments[0] with `environment` ("NAME=value" entries, the whole environment) and its
// standard streams on the given descriptors (stdinFd -1: /dev/null). The child starts with
// SIGINT, SIGTERM, SIGABRT, SIGPIPE and SIGHUP at their defaults and nothing blocked, whatever
// the test runner set. Returns posix_spawn's error number, 0 when started.
int SpawnChild(pid_t& pid, std::vector<std::string> arguments, std::vector<std::string> environment, int stdinFd,
               int stdoutFd, int stderrFd);

// Reads fd to its end, handing every chunk to `sink`, then closes it.
void ReadToEnd(int fd, const std::function<void(std::string_view)>& sink);

// Waits until the child has ended without reaping it, then reaps it under `mutex`: while the
// mutex is held and no status was reported, the pid cannot have been reused, so signals sent
// under it never hit another process. `onStatus` runs under the mutex with the exit status
// (0-255), minus the signal that ended the child, or -1000 when it could not be reaped.
void WaitAndReap(pid_t pid, std::mutex& mutex, const std::function<void(int status)>& onStatus);

}  // namespace orik::testing
