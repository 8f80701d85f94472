#pragma once

#include <atomic>
#include <cstdint>

namespace rubo::detail {

// What other threads see of a connection and act on: the accepting thread, whether its slot may
// be given to a newer connection; a worker, whether its queued update may still start. One
// word, so that each of them changes exactly the state it looked at.
class SlotState {
 public:
  enum class Kind : std::uint8_t {
    kBusy,       // being parsed, run or answered: its slot stays its own
    kWaiting,    // for bytes of a request, since it began waiting for that request
    kQueued,     // its update waits for the element's queue, since it was queued
    kLingering,  // since its last response went out
    kTaken,      // its slot went to a newer connection; its lane has not acted on that yet
    kReleased,   // its lane has given the slot up (acted on its taking, or withdrew its update)
  };
  struct Seen {
    Kind kind;
    std::int64_t since;  // steady nanoseconds, for the waiting, queued and lingering kinds
    std::uint64_t word;
  };

  // Waiting for its first request from its accept, so that its slot can be taken before its
  // lane starts it (it is the youngest, so the last waiting one to go). Were it busy until then,
  // accepts outrunning the lanes could leave no slot to take.
  explicit SlotState(std::int64_t acceptedAt) noexcept : word_(Encode(Kind::kWaiting, acceptedAt)) {}
  SlotState(const SlotState&) = delete;
  SlotState& operator=(const SlotState&) = delete;

  Seen Load() const noexcept { return Decode(word_.load()); }
  // Whether the accepting thread may take the slot of a connection in that kind.
  static bool Takeable(Kind kind) noexcept {
    return kind == Kind::kWaiting || kind == Kind::kQueued || kind == Kind::kLingering;
  }

  // Its lane: the connection is now of that kind; false once the slot is taken or released.
  bool Publish(Kind kind, std::int64_t since = 0) noexcept;
  // Its lane: acts on a taking; false when the slot was not taken (or that was acted on).
  bool Release() noexcept;
  // Its lane: takes its queued update back. kReleased when it did; else what kept it from it:
  // kBusy (a worker started the update) or kTaken (the slot went meanwhile; the update never
  // starts either).
  Kind Withdraw() noexcept;
  // A worker: the queued update starts; false when it was withdrawn or its slot taken.
  bool Start() noexcept;
  // The accepting thread: takes the slot if the state is still the one seen, a takeable one.
  bool TryTake(const Seen& seen) noexcept;

 private:
  static std::uint64_t Encode(Kind kind, std::int64_t since) noexcept {
    return (static_cast<std::uint64_t>(since) << 3) | static_cast<std::uint64_t>(kind);
  }
  static Seen Decode(std::uint64_t word) noexcept {
    return Seen{static_cast<Kind>(word & 7), static_cast<std::int64_t>(word >> 3), word};
  }
  bool Exchange(Kind from, std::uint64_t to) noexcept;

  std::atomic<std::uint64_t> word_;
};

// The life of one connection, on its lane, without its I/O: each event gives the next phase
// and what the transport must do. The phases and what each says:
//
//   phase         slot (SlotState)   watched for a close    what a read brings   taken for a newer one
//   kIdle         waiting            yes                    a request            yes: a request already in
//                                                                                its socket is still
//                                                                                answered (kLastRequest)
//   kReading      waiting (since     yes                    more of it           yes: 503, then lingers
//                 its request began)
//   kLastRequest  released           yes                    its last request     no (it was)
//   kQueued       queued             yes, while its held    held for after the   yes, after the waiting
//                                    input is under the     response             ones: 503, its update
//                                    bound                                       never runs
//   kRunning      busy               as kQueued             held                 no
//   kAnswering    busy               by a read from before  held                 no
//   kLingering    lingering          yes                    dropped              yes, first: closed now
//   kClosed       (unregistered)     no                     -                    -
//
// The client's close: in kQueued its update is taken back (it never runs) and the connection
// closes; in kRunning and kAnswering a half-close (FIN) lets the response go out and then ends
// the connection, a reset ends it at once; in any other phase it closes. Timeouts end kIdle,
// kReading, kLastRequest, kAnswering and kLingering; a request with a worker has none. Stopping
// closes the phases that wait for input; the others end after their response.
//
// The protocol (HttpConnection) moves it between kIdle, kReading, kAnswering, kQueued and
// kLingering (see Need); a worker moves kQueued to kRunning on the slot word, which the lane
// learns when it tries to withdraw the update.
class ConnectionState {
 public:
  enum class Phase : std::uint8_t {
    kIdle,
    kReading,
    kLastRequest,
    kQueued,
    kRunning,
    kAnswering,
    kLingering,
    kClosed,
  };
  // What the transport does next.
  enum class Effect : std::uint8_t {
    kNone,
    kRead,            // keep one read pending, into the protocol's input
    kParse,           // hand what was read to the protocol and run it
    kParseLast,       // the same, for the request that is the connection's last
    kHold,            // keep what was read for after the response; read on while under the bound
    kDrop,            // drop what was read; read on (bounded)
    kWrite,           // write the protocol's response
    kQueue,           // queue the protocol's update for its element
    kAnswerUpdate,    // the update ran: the protocol's response to it
    kFinish,          // read no more: the response goes out, then the connection ends
    kLookForRequest,  // (its slot was taken while idle) answer a request already in its socket
    kRefuseBusy,      // 503 with Retry-After, then linger
    kRefuseUpdate,    // take the queued update back, then as kRefuseBusy
    kDropUpdate,      // its client left before its update started: take it back, log, close
    kLinger,          // the last response is out: shut the sending side, drain, close
    kClose,           // close now
  };
  // What the protocol asks for after it parsed, wrote or got an update's result.
  enum class Need : std::uint8_t {
    kRequest,        // the first byte of a (next) request
    kMoreOfRequest,  // more of a request under way
    kWrite,          // its response to be written
    kUpdate,         // an update to be run by a worker
    kEnd,            // the end of the connection after its last response
  };

  explicit ConnectionState(std::int64_t acceptedAt) noexcept : slot_(acceptedAt), waitingSince_(acceptedAt) {}

  Phase GetPhase() const noexcept { return phase_; }
  SlotState& Slot() noexcept { return slot_; }
  // Whether a read started now goes into the protocol's input (else into a buffer of its own).
  bool ReadsRequests() const noexcept {
    return phase_ == Phase::kIdle || phase_ == Phase::kReading || phase_ == Phase::kLastRequest;
  }

  Effect Protocol(Need need, std::int64_t now) noexcept;
  // The element's queue was full (or stopping): the update was not queued and never runs.
  Effect QueueFull(std::int64_t now) noexcept;
  // A read brought bytes.
  Effect Input() noexcept;
  // The client shut down its sending side (or closed).
  Effect EndOfInput() noexcept;
  // A read or write failed: a reset, or any other error.
  Effect Failed() noexcept;
  // Its lane was told that the slot was taken (possibly after it found out itself).
  Effect Taken() noexcept;
  // A worker is done with the queued update: it ran it, or found it withdrawn or taken.
  Effect UpdateDone(bool ran) noexcept;
  Effect Timeout() noexcept;
  Effect Stop() noexcept;
  // Closed for any other reason (an error of its own); true when that withdrew a queued update.
  bool Close() noexcept;

 private:
  // Slot taken while it waited for a request, as found by the lane or told to it.
  Effect TakenWhileIdle() noexcept;
  Effect Enter(Phase phase, Effect effect) noexcept {
    phase_ = phase;
    return effect;
  }

  SlotState slot_;
  Phase phase_ = Phase::kIdle;
  std::int64_t waitingSince_;  // when it began waiting for its current request
};

}  // namespace rubo::detail
