#include "ara/log/logging.h"

#include <algorithm>
#include <atomic>
#include <charconv>
#include <cstdio>
#include <ctime>
#include <deque>
#include <mutex>
#include <vector>

#include "ara/log/capture_sink.h"

namespace ara::log {
namespace {

struct State {
  std::mutex mutex;  // guards everything below and serialises sink writes
  std::string appId = "----";
  std::atomic<LogLevel> level{LogLevel::kInfo};
  bool console = true;
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

void WriteConsole(const Record& record) {
  char stamp[32];
  const auto now = std::chrono::system_clock::now();
  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  const auto millis =
      std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
  std::tm local{};
  localtime_r(&seconds, &local);
  const std::size_t n = std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &local);
  std::fprintf(stderr, "%.*s.%03d %s %s %s %s\n", static_cast<int>(n), stamp, static_cast<int>(millis),
               record.appId.c_str(), record.contextId.c_str(), LevelName(record.level), record.text.c_str());
}

void Dispatch(const Logger& logger, LogLevel level, std::string&& text) {
  State& state = GetState();
  std::lock_guard lock(state.mutex);
  Record record{state.appId, logger.ContextId(), level, std::move(text), std::this_thread::get_id()};
  if (state.console) {
    WriteConsole(record);
  }
  for (const auto& sink : state.sinks) {
    sink->Write(record);
  }
}

}  // namespace

const char* LevelName(LogLevel level) noexcept {
  switch (level) {
    case LogLevel::kOff: return "OFF";
    case LogLevel::kFatal: return "FATAL";
    case LogLevel::kError: return "ERROR";
    case LogLevel::kWarn: return "WARN";
    case LogLevel::kInfo: return "INFO";
    case LogLevel::kDebug: return "DEBUG";
    case LogLevel::kVerbose: return "VERBOSE";
  }
  return "?";
}

void InitLogging(std::string appId, std::string /*description*/, LogLevel logLevel, LogMode /*logMode*/,
                 std::string /*directoryPath*/) {
  State& state = GetState();
  std::lock_guard lock(state.mutex);
  state.appId = std::move(appId);
  state.level.store(logLevel, std::memory_order_relaxed);
}

Logger& CreateLogger(std::string contextId, std::string description) {
  State& state = GetState();
  std::lock_guard lock(state.mutex);
  return state.loggers.emplace_back(std::move(contextId), std::move(description));
}

LogStream LogFatal() noexcept { return DefaultLogger().LogFatal(); }
LogStream LogError() noexcept { return DefaultLogger().LogError(); }
LogStream LogWarn() noexcept { return DefaultLogger().LogWarn(); }
LogStream LogInfo() noexcept { return DefaultLogger().LogInfo(); }
LogStream LogDebug() noexcept { return DefaultLogger().LogDebug(); }
LogStream LogVerbose() noexcept { return DefaultLogger().LogVerbose(); }

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
  state.console = enabled;
}

// ---- Logger ----

Logger::Logger(std::string contextId, std::string description)
    : contextId_(std::move(contextId)), description_(std::move(description)) {}

bool Logger::IsEnabled(LogLevel level) const noexcept {
  const LogLevel threshold = GetState().level.load(std::memory_order_relaxed);
  return level != LogLevel::kOff && static_cast<int>(level) <= static_cast<int>(threshold);
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
    Dispatch(*logger_, level_, std::move(text_));
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

void LogStream::AppendSigned(std::int64_t value) { AppendNumber(text_, value); }
void LogStream::AppendUnsigned(std::uint64_t value) { AppendNumber(text_, value); }

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
  return changed_.wait_for(lock, timeout, [&] {
    return std::any_of(records_.begin(), records_.end(), predicate);
  });
}

ScopedCapture::ScopedCapture() : sink_(std::make_shared<CaptureSink>()) { AddSink(sink_); }
ScopedCapture::~ScopedCapture() { RemoveSink(sink_); }

}  // namespace ara::log
