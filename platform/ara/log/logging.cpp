#include "ara/log/logging.h"

#include <strings.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <deque>
#include <mutex>
#include <stdexcept>
#include <vector>

#include "ara/log/capture_sink.h"
#include "ara/log/remote_sink.h"

namespace ara::log {
namespace {

// Asks for console output beside whatever mode the application chose, either of every record
// the application's level lets through ("1") or only from a level up ("warn", ...); read by each
// InitLogging.
constexpr const char* kConsoleVariable = "ORIK_LOG_CONSOLE";

// The context of what remote logging says of itself (DLT lost, DLT reached again). Its records
// stay local: the console, the file and the sinks.
constexpr const char* kRemoteNoticeContext = "ALOG";

constexpr auto kAllModes = static_cast<std::uint8_t>(LogMode::kRemote | LogMode::kFile | LogMode::kConsole);

struct State {
  std::mutex mutex;  // guards everything below and serialises sink writes
  std::string appId = "----";
  std::atomic<LogLevel> level{LogLevel::kInfo};
  bool consoleAllowed = true;  // SetConsoleEnabled
  // The least severe level the console shows (kOff: no console); the application's level
  // applies first.
  LogLevel consoleLevel = LogLevel::kVerbose;
  bool remote = false;  // the application is registered with the daemon
  std::FILE* file = nullptr;
  std::vector<std::shared_ptr<Sink>> sinks;
  std::deque<Logger> loggers;  // deque: references stay valid as it grows
};

State& GetState() {
  static State* state = new State();  // never destroyed: loggers outlive static destructors
  return *state;
}

const Logger& DefaultLogger() {
  static const Logger& logger = CreateLogger("DFLT", "default context");
  return logger;
}

void WriteLine(std::FILE* out, const Record& record) {
  char stamp[32];
  const auto now = std::chrono::system_clock::now();
  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  const auto millis = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
  std::tm local{};
  localtime_r(&seconds, &local);
  const std::size_t n = std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &local);
  std::fprintf(out, "%.*s.%03d %s %s %s %s\n", static_cast<int>(n), stamp, static_cast<int>(millis),
               record.appId.c_str(), record.contextId.c_str(), LevelName(record.level), record.text.c_str());
}

bool LocalAllows(LogLevel level) noexcept {
  const LogLevel threshold = GetState().level.load(std::memory_order_relaxed);
  return level != LogLevel::kOff && static_cast<int>(level) <= static_cast<int>(threshold);
}

// Under the logging lock: the record to the console (when `console`), the file and the sinks.
void WriteLocal(State& state, const Record& record, bool console) {
  if (console) {
    WriteLine(stderr, record);
  }
  if (state.file != nullptr) {
    WriteLine(state.file, record);
    std::fflush(state.file);
  }
  for (const auto& sink : state.sinks) {
    sink->Write(record);
  }
}

void Dispatch(const Logger& logger, detail::RemoteContext& remote, LogLevel level, std::string&& text) {
  State& state = GetState();
  std::lock_guard lock(state.mutex);
  if (state.remote && detail::RemoteAllows(remote, level)) {
    if (auto notice = detail::SendRemote(remote, level, text)) {
      // On standard error whatever the console's level: while DLT is not reached that may be all
      // there is to read, and under systemd it is the journal.
      WriteLocal(
          state,
          Record{state.appId, kRemoteNoticeContext, notice->level, std::move(notice->text), std::this_thread::get_id()},
          state.consoleAllowed);
    }
  }
  if (!LocalAllows(level)) {
    return;
  }
  Record record{state.appId, logger.ContextId(), level, std::move(text), std::this_thread::get_id()};
  WriteLocal(state, record, state.consoleAllowed && static_cast<int>(level) <= static_cast<int>(state.consoleLevel));
}

// The console threshold the environment asks for: kOff when unset, empty or "0", every level
// for "1", and from a level up for its name in any case ("warn", "ERROR", ...).
LogLevel ConsoleLevelFromEnvironment() {
  const char* value = std::getenv(kConsoleVariable);
  if (value == nullptr || *value == '\0' || std::strcmp(value, "0") == 0) {
    return LogLevel::kOff;
  }
  if (std::strcmp(value, "1") == 0) {
    return LogLevel::kVerbose;
  }
  for (int level = static_cast<int>(LogLevel::kFatal); level <= static_cast<int>(LogLevel::kVerbose); ++level) {
    if (::strcasecmp(value, LevelName(static_cast<LogLevel>(level))) == 0) {
      return static_cast<LogLevel>(level);
    }
  }
  std::fprintf(stderr,
               "ara::log: %s must be 0, 1 or a level (fatal, error, warn, info, debug, verbose), not '%s'; no "
               "console output is added\n",
               kConsoleVariable, value);
  return LogLevel::kOff;
}

void CheckMode(LogMode mode, const std::string& directoryPath) {
  const auto bits = static_cast<unsigned>(mode);
  if (bits == 0) {
    throw std::invalid_argument(
        "ara::log: log mode 0 selects no output; use remote (1), file (2), console (4) or a combination");
  }
  if ((bits & ~static_cast<unsigned>(kAllModes)) != 0) {
    char message[160];
    std::snprintf(message, sizeof message,
                  "ara::log: log mode %u has unknown bits 0x%x; the modes are remote (1), file (2) and console (4)",
                  bits, bits & ~static_cast<unsigned>(kAllModes));
    throw std::invalid_argument(message);
  }
  if (HasMode(mode, LogMode::kFile) && directoryPath.empty()) {
    throw std::invalid_argument("ara::log: file mode needs the directory to write the log file in");
  }
}

std::FILE* OpenLogFile(const std::string& directoryPath, const std::string& appId) {
  std::string path = directoryPath;
  if (path.back() != '/') {
    path += '/';
  }
  path += appId + ".log";
  std::FILE* file = std::fopen(path.c_str(), "ae");
  if (file == nullptr) {
    throw std::runtime_error("ara::log: cannot open the log file '" + path + "': " + std::strerror(errno));
  }
  return file;
}

}  // namespace

const char* LevelName(LogLevel level) noexcept {
  switch (level) {
    case LogLevel::kOff:
      return "OFF";
    case LogLevel::kFatal:
      return "FATAL";
    case LogLevel::kError:
      return "ERROR";
    case LogLevel::kWarn:
      return "WARN";
    case LogLevel::kInfo:
      return "INFO";
    case LogLevel::kDebug:
      return "DEBUG";
    case LogLevel::kVerbose:
      return "VERBOSE";
  }
  return "?";
}

void InitLogging(std::string appId, std::string description, LogLevel logLevel, LogMode logMode,
                 std::string directoryPath) {
  CheckMode(logMode, directoryPath);
  std::FILE* file = HasMode(logMode, LogMode::kFile) ? OpenLogFile(directoryPath, appId) : nullptr;
  const LogLevel console = HasMode(logMode, LogMode::kConsole) ? LogLevel::kVerbose : ConsoleLevelFromEnvironment();

  State& state = GetState();
  std::lock_guard lock(state.mutex);
  if (state.file != nullptr) {
    std::fclose(state.file);
  }
  state.file = file;
  state.consoleLevel = console;
  state.level.store(logLevel, std::memory_order_relaxed);
  if (HasMode(logMode, LogMode::kRemote)) {
    // Without the library the process logs on as before, only without the remote sink.
    state.remote = detail::StartRemote(appId, description, logLevel);
  } else {
    detail::StopRemote();
    state.remote = false;
  }
  state.appId = std::move(appId);
}

Logger& CreateLogger(std::string contextId, std::string description) {
  State& state = GetState();
  std::lock_guard lock(state.mutex);
  Logger& logger = state.loggers.emplace_back(std::move(contextId), std::move(description));
  if (state.remote) {
    detail::AttachRemote(*logger.remote_, state.level.load(std::memory_order_relaxed));
  }
  return logger;
}

LogStream LogFatal() noexcept {
  return DefaultLogger().LogFatal();
}
LogStream LogError() noexcept {
  return DefaultLogger().LogError();
}
LogStream LogWarn() noexcept {
  return DefaultLogger().LogWarn();
}
LogStream LogInfo() noexcept {
  return DefaultLogger().LogInfo();
}
LogStream LogDebug() noexcept {
  return DefaultLogger().LogDebug();
}
LogStream LogVerbose() noexcept {
  return DefaultLogger().LogVerbose();
}

void AddSink(std::shared_ptr<Sink> sink) {
  State& state = GetState();
  std::lock_guard lock(state.mutex);
  state.sinks.push_back(std::move(sink));
}

void RemoveSink(const std::shared_ptr<Sink>& sink) {
  State& state = GetState();
  std::lock_guard lock(state.mutex);
  std::erase(state.sinks, sink);
}

void SetConsoleEnabled(bool enabled) {
  State& state = GetState();
  std::lock_guard lock(state.mutex);
  state.consoleAllowed = enabled;
}

// ---- Logger ----

Logger::Logger(std::string contextId, std::string description)
    : contextId_(std::move(contextId)),
      description_(std::move(description)),
      remote_(&detail::RemoteContextFor(contextId_, description_)) {}

bool Logger::IsEnabled(LogLevel level) const noexcept {
  return LocalAllows(level) || detail::RemoteAllows(*remote_, level);
}

// ---- LogStream ----

LogStream::LogStream(const Logger* logger, LogLevel level) noexcept
    : logger_(logger), level_(level), active_(logger != nullptr && logger->IsEnabled(level)) {}

LogStream::LogStream(LogStream&& other) noexcept
    : logger_(other.logger_), level_(other.level_), active_(other.active_), text_(std::move(other.text_)) {
  other.active_ = false;
}

LogStream::~LogStream() {
  try {
    Flush();
  } catch (...) {
    // A log statement never throws into the code that logs.
  }
}

void LogStream::Flush() {
  if (active_) {
    Dispatch(*logger_, *logger_->remote_, level_, std::move(text_));
    text_.clear();
  }
}

LogStream& LogStream::operator<<(const char* text) {
  if (active_) {
    text_ += (text != nullptr ? text : "(null)");
  }
  return *this;
}

LogStream& LogStream::operator<<(const std::string& text) {
  if (active_) {
    text_ += text;
  }
  return *this;
}

LogStream& LogStream::operator<<(std::string_view text) {
  if (active_) {
    text_ += text;
  }
  return *this;
}

LogStream& LogStream::operator<<(char c) {
  if (active_) {
    text_ += c;
  }
  return *this;
}

LogStream& LogStream::operator<<(bool value) {
  if (active_) {
    text_ += value ? "true" : "false";
  }
  return *this;
}

namespace {
template <typename T>
void AppendNumber(std::string& out, T value) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  out.append(buffer, result.ptr);
}
}  // namespace

LogStream& LogStream::operator<<(float value) {
  if (active_) {
    AppendNumber(text_, value);
  }
  return *this;
}

LogStream& LogStream::operator<<(double value) {
  if (active_) {
    AppendNumber(text_, value);
  }
  return *this;
}

void LogStream::AppendSigned(std::int64_t value) {
  AppendNumber(text_, value);
}
void LogStream::AppendUnsigned(std::uint64_t value) {
  AppendNumber(text_, value);
}

// ---- CaptureSink ----

void CaptureSink::Write(const Record& record) {
  {
    std::lock_guard lock(mutex_);
    records_.push_back(record);
  }
  changed_.notify_all();
}

std::vector<Record> CaptureSink::Records() const {
  std::lock_guard lock(mutex_);
  return records_;
}

std::vector<std::string> CaptureSink::Texts(std::string_view contextId) const {
  std::lock_guard lock(mutex_);
  std::vector<std::string> texts;
  for (const auto& record : records_) {
    if (record.contextId == contextId) {
      texts.push_back(record.text);
    }
  }
  return texts;
}

bool CaptureSink::Contains(std::string_view contextId, LogLevel level, std::string_view text) const {
  return Count([&](const Record& r) { return r.contextId == contextId && r.level == level && r.text == text; }) > 0;
}

std::size_t CaptureSink::Count(const Predicate& predicate) const {
  std::lock_guard lock(mutex_);
  return static_cast<std::size_t>(std::count_if(records_.begin(), records_.end(), predicate));
}

void CaptureSink::Clear() {
  std::lock_guard lock(mutex_);
  records_.clear();
}

bool CaptureSink::WaitFor(const Predicate& predicate, std::chrono::milliseconds timeout) const {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, timeout, [&] { return std::any_of(records_.begin(), records_.end(), predicate); });
}

ScopedCapture::ScopedCapture() : sink_(std::make_shared<CaptureSink>()) {
  AddSink(sink_);
}
ScopedCapture::~ScopedCapture() {
  RemoveSink(sink_);
}

}  // namespace ara::log
