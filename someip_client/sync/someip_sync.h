#pragma once

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include "interfaces/get_futures/abstract_get_futures.h"
#include "someip_client/sync/interruptable_timer.h"

namespace ara::log {
class Logger;
}  // namespace ara::log

namespace orik::someipSync {

// Owns the background thread that polls the vehicle services: after an initial wait it
// asks every client for one poll pass, waits one period and repeats until destroyed.
class SomeipSync {
 public:
  SomeipSync(std::chrono::seconds initialWait, std::chrono::seconds period);
  // Lets tests drive the waits through their own timer.
  SomeipSync(std::chrono::seconds initialWait, std::chrono::seconds period, std::shared_ptr<WaitTimerInterface> timer);
  ~SomeipSync();
  SomeipSync(const SomeipSync&) = delete;
  SomeipSync& operator=(const SomeipSync&) = delete;

  // Clients are polled in the order they were added; all are added before StartSync.
  void AddClient(std::shared_ptr<orik::getFutures::Abstract_GetFutures> client);
  // Starts the poll thread; a further call while one was started is ignored.
  void StartSync();
  void ThreadLoop();

 private:
  void PollClients();

  std::chrono::seconds initialWait_;
  std::chrono::seconds period_;
  std::vector<std::shared_ptr<orik::getFutures::Abstract_GetFutures>> clients_;
  std::unique_ptr<std::thread> thread_;
  ara::log::Logger& logger_;
  std::shared_ptr<WaitTimerInterface> timer_;
  // Per object, so that one instance ending its loop cannot end another's.
  std::atomic<bool> threadEnd_{false};
};

}  // namespace orik::someipSync
