#include "dlt_harness.h"

#include <arpa/inet.h>
#include <dlt/dlt_common.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace orik::logtest {
namespace {

constexpr auto kPollStep = std::chrono::milliseconds(10);
constexpr auto kStartTimeout = std::chrono::seconds(30);
constexpr int kPortAttempts = 5;

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

// A port the kernel just handed out on the IPv6 loopback; free again once the socket closes.
int EphemeralPort() {
  const int fd = ::socket(AF_INET6, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) {
    return 0;
  }
  sockaddr_in6 address{};
  address.sin6_family = AF_INET6;
  address.sin6_addr = in6addr_loopback;
  socklen_t length = sizeof address;
  int port = 0;
  if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
      ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
    port = ntohs(address.sin6_port);
  }
  ::close(fd);
  return port;
}

bool Accepts(int port) {
  const int fd = ::socket(AF_INET6, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) {
    return false;
  }
  sockaddr_in6 address{};
  address.sin6_family = AF_INET6;
  address.sin6_addr = in6addr_loopback;
  address.sin6_port = htons(static_cast<std::uint16_t>(port));
  const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  ::close(fd);
  return ok;
}

std::string Id(const char* id) {
  return std::string(id, ::strnlen(id, DLT_ID_SIZE));
}

}  // namespace

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "orik-log-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) {
    throw std::runtime_error("mkdtemp failed: " + std::string(std::strerror(errno)));
  }
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

bool Eventually(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!condition()) {
    if (std::chrono::steady_clock::now() >= deadline) {
      return false;
    }
    std::this_thread::sleep_for(kPollStep);
  }
  return true;
}

Child::Child(const std::vector<std::string>& argv, const Environment& environment,
             const std::filesystem::path& outputDir) {
  static int counter = 0;
  const std::string stem = std::filesystem::path(argv.at(0)).filename().string() + "-" + std::to_string(++counter);
  stdout_ = outputDir / (stem + ".out");
  stderr_ = outputDir / (stem + ".err");

  std::map<std::string, std::string> variables;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string text = *entry;
    const auto equals = text.find('=');
    if (equals != std::string::npos) {
      variables[text.substr(0, equals)] = text.substr(equals + 1);
    }
  }
  for (const auto& [name, value] : environment) {
    if (value.empty()) {
      variables.erase(name);
    } else {
      variables[name] = value;
    }
  }
  std::vector<std::string> envStrings;
  for (const auto& [name, value] : variables) {
    envStrings.push_back(name + "=" + value);
  }
  std::vector<char*> envp;
  for (auto& text : envStrings) {
    envp.push_back(text.data());
  }
  envp.push_back(nullptr);
  std::vector<std::string> args = argv;
  std::vector<char*> argp;
  for (auto& text : args) {
    argp.push_back(text.data());
  }
  argp.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, stdout_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, stderr_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  const int error = ::posix_spawnp(&pid_, argp[0], &actions, nullptr, argp.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  if (error != 0) {
    pid_ = -1;
    throw std::runtime_error("cannot start " + argv[0] + ": " + std::strerror(error));
  }
}

Child::~Child() {
  if (Running()) {
    Terminate(std::chrono::seconds(5));
  }
}

std::optional<int> Child::Wait(std::chrono::milliseconds timeout) {
  Eventually([this] { return !Running(); }, timeout);
  return status_;
}

bool Child::Running() {
  if (status_ || pid_ < 0) {
    return false;
  }
  int status = 0;
  if (::waitpid(pid_, &status, WNOHANG) == pid_) {
    status_ = status;
    return false;
  }
  return true;
}

void Child::Terminate(std::chrono::milliseconds grace) {
  if (!Running()) {
    return;
  }
  ::kill(pid_, SIGTERM);
  if (!Wait(grace)) {
    ::kill(pid_, SIGKILL);
    int status = 0;
    ::waitpid(pid_, &status, 0);
    status_ = status;
  }
}

std::string Child::Stdout() const {
  return ReadFile(stdout_);
}
std::string Child::Stderr() const {
  return ReadFile(stderr_);
}

DltDaemon::DltDaemon(When when) {
  if (when == When::kNow) {
    Start();
  }
}

DltDaemon::~DltDaemon() {
  Stop();
}

bool DltDaemon::Start() {
  for (int attempt = 0; attempt < kPortAttempts && !started_; ++attempt) {
    // Another process may take the port between the probe and the daemon's bind; then the
    // daemon ends at once and the next port is tried.
    started_ = StartOn(EphemeralPort());
  }
  return started_;
}

void DltDaemon::Stop() {
  if (process_) {
    process_->Terminate(std::chrono::seconds(10));
  }
  started_ = false;
}

bool DltDaemon::StartOn(int port) {
  if (port == 0) {
    return false;
  }
  const auto dir = dir_.Path();
  {
    std::ofstream config(dir / "dlt.conf");
    config << "ECUId = ORKT\n"
           << "SendContextRegistration = 1\n"
           << "LoggingMode = 2\n"
           << "LoggingLevel = 6\n"
           << "LoggingFilename = " << (dir / "daemon.log").string() << "\n"
           << "PersistanceStoragePath = " << dir.string() << "\n"
           << "ControlSocketPath = " << (dir / "ctrl.sock").string() << "\n"
           << "UDPConnectionSetup = 0\n"
           << "BindAddress = ::1\n";
  }
  process_.reset();
  process_.emplace(std::vector<std::string>{"dlt-daemon", "-c", (dir / "dlt.conf").string(), "-t", dir.string(), "-p",
                                            std::to_string(port)},
                   Child::Environment{}, dir);
  port_ = port;
  return Eventually([&] { return !process_->Running() || Accepts(port); }, kStartTimeout) && process_->Running();
}

std::string DltDaemon::Diagnostics() const {
  return ReadFile(dir_.Path() / "daemon.log") + (process_ ? process_->Stdout() + process_->Stderr() : "");
}

DltReceiver::DltReceiver(const DltDaemon& daemon) : file_(dir_.Path() / "received.dlt") {
  process_.emplace(
      std::vector<std::string>{"dlt-receive", "-o", file_.string(), "-p", std::to_string(daemon.Port()), "::1"},
      Child::Environment{}, dir_.Path());
}

DltReceiver::~DltReceiver() {
  if (process_) {
    process_->Terminate(std::chrono::seconds(10));
  }
}

bool DltReceiver::WaitConnected(std::chrono::milliseconds timeout) {
  return WaitFor(
      [](const DltRecord& r) { return r.appId == "DLTD" && r.text.find("New client connection") != std::string::npos; },
      timeout);
}

std::vector<DltRecord> DltReceiver::Records() const {
  std::vector<DltRecord> records;
  if (!std::filesystem::exists(file_)) {
    return records;
  }
  DltFile file;
  dlt_file_init(&file, 0);
  if (dlt_file_open(&file, file_.c_str(), 0) < DLT_RETURN_OK) {
    dlt_file_free(&file, 0);
    return records;
  }
  // A message the receiver is still writing ends the reading; the next call sees it whole.
  while (dlt_file_read(&file, 0) >= DLT_RETURN_OK) {
  }
  std::vector<char> text(70000);
  for (int32_t i = 0; i < file.counter; ++i) {
    if (dlt_file_message(&file, i, 0) < DLT_RETURN_OK) {
      break;
    }
    DltMessage& message = file.msg;
    if (!DLT_IS_HTYP_UEH(message.standardheader->htyp)) {
      continue;
    }
    DltRecord record;
    record.appId = Id(message.extendedheader->apid);
    record.contextId = Id(message.extendedheader->ctid);
    record.messageType = DLT_GET_MSIN_MSTP(message.extendedheader->msin);
    record.level = DLT_GET_MSIN_MTIN(message.extendedheader->msin);
    text[0] = '\0';
    dlt_message_payload(&message, text.data(), text.size(), DLT_OUTPUT_ASCII, 0);
    record.text = text.data();
    records.push_back(std::move(record));
  }
  dlt_file_free(&file, 0);
  return records;
}

std::vector<DltRecord> DltReceiver::LogRecords(const std::string& appId) const {
  std::vector<DltRecord> logs;
  for (auto& record : Records()) {
    if (record.appId == appId && record.messageType == DLT_TYPE_LOG) {
      logs.push_back(std::move(record));
    }
  }
  return logs;
}

bool DltReceiver::WaitFor(const std::function<bool(const DltRecord&)>& predicate, std::chrono::milliseconds timeout) {
  return Eventually(
      [&] {
        for (const auto& record : Records()) {
          if (predicate(record)) {
            return true;
          }
        }
        return false;
      },
      timeout);
}

bool DltControl(const DltDaemon& daemon, const std::vector<std::string>& options, std::string* output) {
  TempDir dir;
  std::vector<std::string> argv{"dlt-control", "-p", std::to_string(daemon.Port())};
  argv.insert(argv.end(), options.begin(), options.end());
  argv.emplace_back("::1");
  Child control(argv, Child::Environment{}, dir.Path());
  const auto status = control.Wait(kStartTimeout);
  if (output != nullptr) {
    *output = control.Stdout() + control.Stderr();
  }
  return status && WIFEXITED(*status) && WEXITSTATUS(*status) == 0;
}

}  // namespace orik::logtest
