#pragma once

#include <functional>
#include <memory>
#include <string>

namespace platform::seam {

// What systemd hears of the process's readiness and liveness is decided here, from what the parts
// that serve report of themselves, not from the reports of the application alone:
// - "READY=1" goes out once, when the application has reported the state running AND every
//   part below exists and reports itself ready; until then a "STATUS=Not ready: ..." line names
//   what is awaited.
// - "WATCHDOG=1" goes out for an alive report only while every part is ready and each has
//   answered, on its own I/O thread(s), the heartbeat posted to it at the previous alive report.
//   Otherwise a "STATUS=Not alive: ..." line names the cause and the ping is held back, so that
//   systemd restarts the service once its watchdog interval has passed.
// A STATUS line is sent again when another one has replaced it, so the cause stays visible.

// The parts the process cannot serve without.
enum class LivePart { kRestServer, kMiddleware };

// A part's entry, for the part's lifetime. Thread-safe.
class LivenessRegistration {
 public:
  // Runs `answered` on each of the part's I/O threads' loops and returns at once; when the loop
  // is stuck, `answered` does not run.
  using PostHeartbeat = std::function<void(std::function<void()> answered)>;

  // The part starts as not ready ("not started yet").
  LivenessRegistration(LivePart part, PostHeartbeat postHeartbeat);
  // Withdraws the entry; when it returns, the heartbeat function is no longer called.
  ~LivenessRegistration();
  LivenessRegistration(const LivenessRegistration&) = delete;
  LivenessRegistration& operator=(const LivenessRegistration&) = delete;

  // The part serves (is up), or it does not and `problem` says why ("stopped", "failed to
  // start: ..."). Never throws.
  void SetReady(bool ready, const std::string& problem = {});

  struct Entry;

 private:
  std::shared_ptr<Entry> entry_;
};

// The application reported the state running. A report that this makes (READY=1 or the STATUS
// line) and that cannot be sent is lost (seam/service_manager.h); nothing throws for it.
void ReportRunning();
// One alive report: "WATCHDOG=1" or the STATUS line with the cause; then a heartbeat is posted
// to every ready part. A report that cannot be sent is lost, as above.
void ReportAlive();

// Test seam: sees every heartbeat before it is posted and returns what is posted instead (the
// test variant of the executable stalls an I/O thread with it). Empty: heartbeats go as they are.
using HeartbeatHook = std::function<std::function<void()>(LivePart part, std::function<void()> answered)>;
void SetHeartbeatHook(HeartbeatHook hook);

// Forgets every report (not the registrations), for tests that run several lifecycles in one
// process.
void ResetLiveness();

}  // namespace platform::seam
