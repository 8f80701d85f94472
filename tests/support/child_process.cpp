#include "tests/support/child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

namespace orik::testing {

int SpawnChild(pid_t& pid, std::vector<std::string> arguments, std::vector<std::string> environment, int stdinFd,
               int stdoutFd, int stderrFd) {
  std::vector<char*> argv;
  for (auto& argument : arguments) {
    argv.push_back(argument.data());
  }
  argv.push_back(nullptr);
  std::vector<char*> envp;
  for (auto& entry : environment) {
    envp.push_back(entry.data());
  }
  envp.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawnattr_t attributes;
  posix_spawn_file_actions_init(&actions);
  posix_spawnattr_init(&attributes);
  if (stdinFd < 0) {
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  } else {
    posix_spawn_file_actions_adddup2(&actions, stdinFd, STDIN_FILENO);
  }
  posix_spawn_file_actions_adddup2(&actions, stdoutFd, STDOUT_FILENO);
  posix_spawn_file_actions_adddup2(&actions, stderrFd, STDERR_FILENO);
  sigset_t defaults;
  sigemptyset(&defaults);
  for (int s : {SIGINT, SIGTERM, SIGABRT, SIGPIPE, SIGHUP}) {
    sigaddset(&defaults, s);
  }
  sigset_t none;
  sigemptyset(&none);
  posix_spawnattr_setsigdefault(&attributes, &defaults);
  posix_spawnattr_setsigmask(&attributes, &none);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
  const int spawned = ::posix_spawn(&pid, argv[0], &actions, &attributes, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  return spawned;
}

void ReadToEnd(int fd, const std::function<void(std::string_view)>& sink) {
  char chunk[4096];
  for (;;) {
    const ssize_t n = ::read(fd, chunk, sizeof chunk);
    if (n < 0 && errno == EINTR) {
      continue;
    }
    if (n <= 0) {
      break;
    }
    sink(std::string_view(chunk, static_cast<std::size_t>(n)));
  }
  ::close(fd);
}

void WaitAndReap(pid_t pid, std::mutex& mutex, const std::function<void(int status)>& onStatus) {
  siginfo_t info{};
  while (::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOWAIT) != 0 && errno == EINTR) {
  }
  std::lock_guard lock(mutex);
  int status = 0;
  pid_t reaped;
  do {
    reaped = ::waitpid(pid, &status, 0);
  } while (reaped < 0 && errno == EINTR);
  if (reaped != pid) {
    onStatus(-1000);
  } else {
    onStatus(WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status));
  }
}

}  // namespace orik::testing
