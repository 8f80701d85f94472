#include "seam/liveness.h"

#include <atomic>
#include <exception>
#include <mutex>
#include <stdexcept>
#include <utility>
#include <vector>

#include "ara/log/logging.h"
#include "seam/service_manager.h"

namespace platform::seam {

struct LivenessRegistration::Entry {
  explicit Entry(LivePart p, PostHeartbeat heartbeat) : part(p), post(std::move(heartbeat)) {}

  const LivePart part;
  // Held while `post` runs and when it is withdrawn, so that a call never outlives the part.
  std::mutex postMutex;
  PostHeartbeat post;
  // Set on the part's I/O thread when a heartbeat is answered.
  const std::shared_ptr<std::atomic<bool>> answered = std::make_shared<std::atomic<bool>>(false);
  // Under the registry's lock.
  bool ready = false;
  std::string problem = "not started yet";
  bool posted = false;  // a heartbeat went out at the previous alive report, while ready
};

namespace {

using Entry = LivenessRegistration::Entry;

struct PartTexts {
  LivePart part;
  const char* name;
  const char* stuck;  // when a heartbeat went unanswered
};

constexpr PartTexts kParts[] = {
    {LivePart::kRestServer, "REST server", "an HTTP I/O thread has not answered since the last alive report"},
    {LivePart::kMiddleware, "middleware runtime", "its I/O thread has not answered since the last alive report"},
};

const PartTexts& TextsOf(LivePart part) {
  for (const auto& texts : kParts) {
    if (texts.part == part) {
      return texts;
    }
  }
  throw std::logic_error("unknown part");
}

const ara::log::Logger& PlatformLogger() {
  static const ara::log::Logger& logger = ara::log::CreateLogger("PLAT", "platform services");
  return logger;
}

class Registry {
 public:
  void Add(std::shared_ptr<Entry> entry) {
    std::lock_guard lock(mutex_);
    entries_.push_back(std::move(entry));
  }

  void Remove(const Entry* entry) {
    std::lock_guard lock(mutex_);
    std::erase_if(entries_, [&](const auto& e) { return e.get() == entry; });
  }

  void SetReady(Entry& entry, bool ready, const std::string& problem) {
    std::lock_guard lock(mutex_);
    entry.ready = ready;
    entry.problem = ready ? std::string{} : problem;
    entry.posted = entry.posted && ready;
    try {
      EvaluateLocked(false);
    } catch (const std::exception& e) {
      PlatformLogger().LogError() << "Cannot report the process's readiness: " << e.what();
    }
  }

  void ReportRunning() {
    std::lock_guard lock(mutex_);
    running_ = true;
    EvaluateLocked(false);
  }

  void ReportAlive() {
    std::vector<std::shared_ptr<Entry>> ready;
    HeartbeatHook hook;
    std::exception_ptr failure;
    {
      std::lock_guard lock(mutex_);
      try {
        EvaluateLocked(true);
      } catch (...) {
        failure = std::current_exception();
      }
      for (const auto& entry : entries_) {
        entry->posted = entry->ready;
        if (entry->ready) {
          ready.push_back(entry);
        }
      }
      hook = hook_;
    }
    // Outside the registry's lock: a part may report to it while it holds the lock that its
    // heartbeat function takes.
    for (const auto& entry : ready) {
      std::function<void()> answered = [flag = entry->answered] { flag->store(true); };
      if (hook) {
        answered = hook(entry->part, std::move(answered));
      }
      std::lock_guard lock(entry->postMutex);
      if (entry->post) {
        entry->post(std::move(answered));
      }
    }
    if (failure) {
      std::rethrow_exception(failure);
    }
  }

  void SetHook(HeartbeatHook hook) {
    std::lock_guard lock(mutex_);
    hook_ = std::move(hook);
  }

  void Reset() {
    std::lock_guard lock(mutex_);
    running_ = false;
    readySent_ = false;
  }

 private:
  // Sends what the reports so far call for; `alive` for an alive report, which also consumes
  // the heartbeats' answers.
  void EvaluateLocked(bool alive) {
    std::vector<std::string> problems;
    if (!running_) {
      problems.emplace_back("the state running has not been reported");
    }
    for (const auto& texts : kParts) {
      bool present = false;
      for (const auto& entry : entries_) {
        if (entry->part == texts.part) {
          present = true;
          if (!entry->ready) {
            problems.push_back(std::string(texts.name) + ": " + entry->problem);
          }
        }
      }
      if (!present) {
        problems.push_back(std::string(texts.name) + ": absent");
      }
    }
    // A READY=1 that did not get through is sent again with the next report: systemd waits for
    // it once, however late the socket comes.
    if (problems.empty() && !readySent_) {
      readySent_ = NotifyServiceManager("READY=1");
    }
    // A part that has just become ready has had no heartbeat yet: its first ping waits.
    bool awaitingFirstAnswer = false;
    if (alive) {
      for (const auto& entry : entries_) {
        if (!entry->posted) {
          awaitingFirstAnswer = awaitingFirstAnswer || entry->ready;
          entry->answered->store(false);
        } else if (!entry->answered->exchange(false)) {
          problems.push_back(std::string(TextsOf(entry->part).name) + ": " + TextsOf(entry->part).stuck);
        }
      }
    }
    if (problems.empty()) {
      if (alive && !awaitingFirstAnswer) {
        NotifyServiceManager("WATCHDOG=1");
      }
      return;
    }
    std::string status = readySent_ ? "STATUS=Not alive: " : "STATUS=Not ready: ";
    for (std::size_t i = 0; i < problems.size(); ++i) {
      status += (i == 0 ? "" : "; ") + problems[i];
    }
    if (status != LastStatus()) {
      NotifyServiceManager(status);
    }
  }

  std::mutex mutex_;
  std::vector<std::shared_ptr<Entry>> entries_;
  bool running_ = false;
  bool readySent_ = false;
  HeartbeatHook hook_;
};

Registry& TheRegistry() {
  static Registry registry;
  return registry;
}

}  // namespace

LivenessRegistration::LivenessRegistration(LivePart part, PostHeartbeat postHeartbeat)
    : entry_(std::make_shared<Entry>(part, std::move(postHeartbeat))) {
  TheRegistry().Add(entry_);
}

LivenessRegistration::~LivenessRegistration() {
  TheRegistry().Remove(entry_.get());
  std::lock_guard lock(entry_->postMutex);
  entry_->post = nullptr;
}

void LivenessRegistration::SetReady(bool ready, const std::string& problem) {
  TheRegistry().SetReady(*entry_, ready, problem);
}

void ReportRunning() {
  TheRegistry().ReportRunning();
}

void ReportAlive() {
  TheRegistry().ReportAlive();
}

void SetHeartbeatHook(HeartbeatHook hook) {
  TheRegistry().SetHook(std::move(hook));
}

void ResetLiveness() {
  TheRegistry().Reset();
}

}  // namespace platform::seam
