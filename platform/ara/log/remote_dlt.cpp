// The remote sink on COVESA DLT: the application and its contexts register with the DLT
// daemon, every record becomes one verbose DLT log message with one string argument.

#include <dlt/dlt.h>
#include <fcntl.h>
#include <syslog.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <limits>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "ara/log/remote_ids.h"
#include "ara/log/remote_sink.h"

#if defined(__SANITIZE_THREAD__)
#define ORIK_LOG_TSAN 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define ORIK_LOG_TSAN 1
#endif
#endif

namespace ara::log {

bool RemoteSupported() noexcept {
#ifdef ORIK_LOG_TSAN
  return false;
#else
  return true;
#endif
}

std::string RemoteApplicationId(std::string_view appId) {
  return std::string(appId.substr(0, DLT_ID_SIZE));
}

std::string RemoteContextId(std::string_view contextId) {
  // The entry point's context would share "ORIK" with the mediator under the
  // four-character rule.
  if (contextId == "ORIK_MAIN") {
    return "MAIN";
  }
  return std::string(contextId.substr(0, DLT_ID_SIZE));
}

namespace detail {

struct RemoteContext {
  RemoteContext(std::string id, std::string text) : dltId(std::move(id)), description(std::move(text)) {}

  const std::string dltId;
  const std::string description;  // of the first logger with this DLT id
  // The level the daemon lets through; kOff while the context is not registered. Written by
  // the library's thread when the daemon changes it, read by every logging thread.
  std::atomic<std::uint8_t> level{0};

  // Under the logging lock.
  DltContext dlt{};
  bool registered = false;
  LogLevel registeredDefault = LogLevel::kOff;
};

namespace {

// How long DLT's exit handler may spend handing buffered messages to a daemon that reads.
constexpr std::uint32_t kExitHandOverMillis = 1000;
// How often a record looks whether the daemon's FIFO can be reached: often enough that a lost
// daemon shows within a second of the first record it misses, rarely enough that records do not
// each cost a system call.
constexpr auto kReachCheckPeriod = std::chrono::seconds(1);

struct Registry {
  // Guards the list of contexts; the library's callback takes it, and it is never held
  // while calling into the library, so the two cannot deadlock.
  std::mutex mutex;
  std::deque<RemoteContext> contexts;  // deque: references stay valid as it grows
};

Registry& GetRegistry() {
  static Registry* registry = new Registry();  // never destroyed: loggers keep references
  return *registry;
}

// The daemon's FIFO, as the library finds it.
std::string DaemonFifo() {
  const char* base = std::getenv("DLT_PIPE_DIR");
  return std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/dlt";
}

enum class Reach { kUnknown, kReached, kLost };

// Under the logging lock.
struct Session {
  bool prepared = false;
  bool active = false;
  bool exitHookInstalled = false;
  std::string appId;
  std::string description;
  // Whether the daemon's FIFO could be opened when last looked at, and when to look again. Kept
  // across a new registration: the FIFO is the same.
  std::string fifo;
  Reach reach = Reach::kUnknown;
  std::chrono::steady_clock::time_point nextReachCheck{};
};

Session& GetSession() {
  static Session* session = new Session();
  return *session;
}

std::vector<RemoteContext*> AllContexts() {
  Registry& registry = GetRegistry();
  std::lock_guard lock(registry.mutex);
  std::vector<RemoteContext*> all;
  for (auto& context : registry.contexts) {
    all.push_back(&context);
  }
  return all;
}

void StoreLevel(RemoteContext& context, int level) {
  // The daemon may answer with "default" (-1) or other values outside the levels; the
  // library then keeps its own level, and so do we.
  if (level >= static_cast<int>(LogLevel::kOff) && level <= static_cast<int>(LogLevel::kVerbose)) {
    context.level.store(static_cast<std::uint8_t>(level), std::memory_order_relaxed);
  }
}

void OnLevelChanged(char contextId[DLT_ID_SIZE], std::uint8_t level, std::uint8_t /*traceStatus*/) {
  Registry& registry = GetRegistry();
  std::lock_guard lock(registry.mutex);
  for (auto& context : registry.contexts) {
    char padded[DLT_ID_SIZE] = {};
    std::memcpy(padded, context.dltId.data(), std::min<std::size_t>(context.dltId.size(), DLT_ID_SIZE));
    if (std::memcmp(padded, contextId, DLT_ID_SIZE) == 0) {
      StoreLevel(context, level);
    }
  }
}

// Runs just before DLT's own exit handler (registered earlier, so called later). That
// handler keeps resending buffered messages until its timeout; worth it only while a daemon
// reads the FIFO, and without one it would hold up every exit.
void BeforeDltExit() {
  const std::string fifo = DaemonFifo();
  const int fd = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd >= 0) {
    ::close(fd);
    dlt_set_resend_timeout_atexit(kExitHandOverMillis);
  } else {
    // Without a daemon the buffered messages were never going anywhere; the library's
    // warning that they are lost would only add a line to every exit.
    dlt_log_set_level(LOG_ERR);
  }
}

std::string WhyUnreachable(int error) {
  switch (error) {
    case ENOENT:
      return "does not exist";
    case ENXIO:
      return "is not read by any daemon";
    default:
      return std::string("cannot be opened: ") + std::strerror(error);
  }
}

// The library keeps records that the daemon cannot take in its buffer and never says so; a daemon
// that is not there at all looks the same to it as one that is slow. The FIFO tells them apart:
// the library writes to it, and reattaches to a daemon only through it.
std::optional<RemoteNotice> CheckReach(Session& session) {
  const auto now = std::chrono::steady_clock::now();
  if (now < session.nextReachCheck) {
    return std::nullopt;
  }
  session.nextReachCheck = now + kReachCheckPeriod;
  const int fd = ::open(session.fifo.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
  const int error = errno;
  if (fd >= 0) {
    ::close(fd);
    const bool wasLost = session.reach == Reach::kLost;
    session.reach = Reach::kReached;
    if (wasLost) {
      return RemoteNotice{LogLevel::kInfo, "Remote logging reaches DLT again through its FIFO " + session.fifo};
    }
    return std::nullopt;
  }
  if (session.reach == Reach::kLost) {
    return std::nullopt;
  }
  session.reach = Reach::kLost;
  return RemoteNotice{LogLevel::kWarn, "Remote logging cannot reach DLT: its FIFO " + session.fifo + " " +
                                           WhyUnreachable(error) +
                                           "; until it is reached, records stay in the DLT library's buffer while "
                                           "that has room, and are lost after that"};
}

void Register(RemoteContext& context, LogLevel defaultLevel) {
  if (context.registered && context.registeredDefault == defaultLevel) {
    return;
  }
  if (context.registered) {
    dlt_unregister_context(&context.dlt);
    context.registered = false;
  }
  context.level.store(0, std::memory_order_relaxed);
  context.dlt = DltContext{};
  if (dlt_register_context_ll_ts(&context.dlt, context.dltId.c_str(), context.description.c_str(),
                                 static_cast<int>(defaultLevel), DLT_TRACE_STATUS_OFF) < DLT_RETURN_OK) {
    return;
  }
  context.registered = true;
  context.registeredDefault = defaultLevel;
  StoreLevel(context, static_cast<int>(defaultLevel));
  dlt_register_log_level_changed_callback(&context.dlt, &OnLevelChanged);
  // A level the daemon sent before the callback was in place (a stored configuration, or
  // DLT_INITIAL_LOG_LEVEL) is already in the library's copy.
  if (context.dlt.log_level_ptr != nullptr) {
    StoreLevel(context, *context.dlt.log_level_ptr);
  }
}

}  // namespace

RemoteContext& RemoteContextFor(const std::string& contextId, const std::string& description) {
  const std::string dltId = RemoteContextId(contextId);
  Registry& registry = GetRegistry();
  std::lock_guard lock(registry.mutex);
  for (auto& context : registry.contexts) {
    if (context.dltId == dltId) {
      return context;
    }
  }
  return registry.contexts.emplace_back(dltId, description);
}

}  // namespace detail

LogLevel RemoteLevel(std::string_view contextId) {
  const std::string dltId = RemoteContextId(contextId);
  detail::Registry& registry = detail::GetRegistry();
  std::lock_guard lock(registry.mutex);
  for (const auto& context : registry.contexts) {
    if (context.dltId == dltId) {
      return static_cast<LogLevel>(context.level.load(std::memory_order_relaxed));
    }
  }
  return LogLevel::kOff;
}

namespace detail {

bool RemoteAllows(const RemoteContext& context, LogLevel level) noexcept {
  return level != LogLevel::kOff && static_cast<std::uint8_t>(level) <= context.level.load(std::memory_order_relaxed);
}

bool StartRemote(const std::string& appId, const std::string& description, LogLevel defaultLevel) {
  Session& session = GetSession();
  const std::string dltAppId = RemoteApplicationId(appId);
  if (session.active && (session.appId != dltAppId || session.description != description)) {
    StopRemote();
  }
  if (!session.active) {
    if (!RemoteSupported()) {
      if (!session.prepared) {
        std::fputs(
            "ara::log: remote mode is off in ThreadSanitizer builds: libdlt cancels its threads at exit, "
            "which the ThreadSanitizer runtime does not survive\n",
            stderr);
        session.prepared = true;
      }
      return false;
    }
    if (!session.prepared) {
      // The library's own notices go to standard error (standard output is not ours to
      // use) and only from warnings up; DLT_LOG_MODE and DLT_LOG_LEVEL still override.
      dlt_log_init(DLT_LOG_TO_STDERR);
      dlt_log_set_level(LOG_WARNING);
      session.prepared = true;
    }
    if (dlt_register_app(dltAppId.c_str(), description.c_str()) < DLT_RETURN_OK) {
      return false;
    }
    dlt_set_resend_timeout_atexit(0);
    if (!session.exitHookInstalled) {
      session.exitHookInstalled = std::atexit(&BeforeDltExit) == 0;
    }
    session.active = true;
    session.appId = dltAppId;
    session.description = description;
    session.fifo = DaemonFifo();
    session.nextReachCheck = {};
  }
  for (RemoteContext* context : AllContexts()) {
    Register(*context, defaultLevel);
  }
  return true;
}

void StopRemote() {
  Session& session = GetSession();
  if (!session.active) {
    return;
  }
  for (RemoteContext* context : AllContexts()) {
    if (context->registered) {
      dlt_unregister_context(&context->dlt);
      context->registered = false;
    }
    context->level.store(0, std::memory_order_relaxed);
  }
  dlt_unregister_app();
  session.active = false;
}

void AttachRemote(RemoteContext& context, LogLevel defaultLevel) {
  if (GetSession().active) {
    Register(context, defaultLevel);
  }
}

std::optional<RemoteNotice> SendRemote(RemoteContext& context, LogLevel level, const std::string& text) {
  Session& session = GetSession();
  if (!session.active || !context.registered) {
    return std::nullopt;
  }
  DltContextData data{};
  if (dlt_user_log_write_start(&context.dlt, &data, static_cast<DltLogLevelType>(level)) <= DLT_RETURN_OK) {
    return std::nullopt;
  }
  // A text longer than one message holds is cut by the library, which marks the cut.
  const auto length =
      static_cast<std::uint16_t>(std::min<std::size_t>(text.size(), std::numeric_limits<std::uint16_t>::max()));
  dlt_user_log_write_sized_utf8_string(&data, text.data(), length);
  dlt_user_log_write_finish(&data);
  return CheckReach(session);
}

}  // namespace detail
}  // namespace ara::log
