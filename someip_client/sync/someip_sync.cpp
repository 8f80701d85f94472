#include "someip_client/sync/someip_sync.h"

#include "ara/log/logging.h"

#include <exception>
#include <utility>

namespace orik::someipSync {

SomeipSync::SomeipSync(std::chrono::seconds initialWait, std::chrono::seconds period)
    : SomeipSync(initialWait, period, std::make_shared<InterruptableTimer>()) {}

SomeipSync::SomeipSync(std::chrono::seconds initialWait, std::chrono::seconds period,
                       std::shared_ptr<WaitTimerInterface> timer)
    : initialWait_(initialWait),
      period_(period),
      logger_(ara::log::CreateLogger("DSNC", "Data Sync for Charging Management Core")),
      timer_(std::move(timer)) {}

SomeipSync::~SomeipSync() {
  timer_->StopWaiting();
  if (thread_ && thread_->joinable()) {
    thread_->join();
    logger_.LogInfo() << "[DataSync][DESTRUCTOR] Sync component ended normally.";
  } else {
    logger_.LogInfo() << "[DataSync][DESTRUCTOR] Sync thread not joined.";
  }
}

void SomeipSync::AddClient(std::shared_ptr<orik::getFutures::Abstract_GetFutures> client) {
  clients_.push_back(std::move(client));
}

void SomeipSync::StartSync() {
  if (thread_) {
    // Replacing a joinable std::thread would end the process.
    logger_.LogInfo() << "[DataSync] Sync thread already started; StartSync ignored.";
    return;
  }
  thread_ = std::make_unique<std::thread>(&SomeipSync::ThreadLoop, this);
}

void SomeipSync::PollClients() {
  for (const auto& client : clients_) {
    if (!client) {
      continue;
    }
    // An exception escaping the poll thread would end the whole process.
    try {
      client->FetchData();
    } catch (const std::exception& e) {
      logger_.LogInfo() << "[DataSync] Poll of a client failed: " << e.what();
    } catch (...) {
      logger_.LogInfo() << "[DataSync] Poll of a client failed: Unknown";
    }
  }
}

void SomeipSync::ThreadLoop() {
  const bool initialWaitCompleted = timer_->WaitFor(initialWait_);
  logger_.LogInfo() << "SomeipSync initial wait before sync ended successfully: " << initialWaitCompleted;
  // The first poll runs even after an interrupted initial wait; the loop only ends at the
  // wait after a pass.
  if (threadEnd_.load()) {
    return;
  }
  do {
    logger_.LogInfo() << "[DataSync] Secondary thread about to do get requests to someip...";
    PollClients();
    const bool waitedWhole = timer_->WaitFor(period_);
    threadEnd_.store(!waitedWhole);
    logger_.LogInfo() << "SomeipSync waited whole duration: " << waitedWhole;
  } while (!threadEnd_.load());
}

}  // namespace orik::someipSync
