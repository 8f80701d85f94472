#include "rubo/detail/connection_state.h"

namespace rubo::detail {

using Kind = SlotState::Kind;
using Phase = ConnectionState::Phase;
using Effect = ConnectionState::Effect;

bool SlotState::Exchange(Kind from, std::uint64_t to) noexcept {
  auto current = word_.load();
  while (Decode(current).kind == from) {
    if (word_.compare_exchange_weak(current, to)) {
      return true;
    }
  }
  return false;
}

bool SlotState::Publish(Kind kind, std::int64_t since) noexcept {
  const auto next = Encode(kind, since);
  auto current = word_.load();
  for (;;) {
    const auto found = Decode(current).kind;
    if (found == Kind::kTaken || found == Kind::kReleased) {
      return false;
    }
    if (current == next || word_.compare_exchange_weak(current, next)) {
      return true;
    }
  }
}

bool SlotState::Release() noexcept {
  return Exchange(Kind::kTaken, Encode(Kind::kReleased, 0));
}

Kind SlotState::Withdraw() noexcept {
  if (Exchange(Kind::kQueued, Encode(Kind::kReleased, 0))) {
    return Kind::kReleased;
  }
  return Load().kind;
}

bool SlotState::Start() noexcept {
  return Exchange(Kind::kQueued, Encode(Kind::kBusy, 0));
}

bool SlotState::TryTake(const Seen& seen) noexcept {
  auto expected = seen.word;
  return Takeable(seen.kind) && word_.compare_exchange_strong(expected, Encode(Kind::kTaken, 0));
}

Effect ConnectionState::TakenWhileIdle() noexcept {
  slot_.Release();
  return Enter(Phase::kLastRequest, Effect::kLookForRequest);
}

Effect ConnectionState::Protocol(Need need, std::int64_t now) noexcept {
  const bool last = phase_ == Phase::kLastRequest;
  switch (need) {
    case Need::kRequest:
      if (last) {
        return Enter(Phase::kClosed, Effect::kClose);  // what it read held no request
      }
      waitingSince_ = now;
      if (!slot_.Publish(Kind::kWaiting, now)) {
        return TakenWhileIdle();  // before its lane started it
      }
      return Enter(Phase::kIdle, Effect::kRead);
    case Need::kMoreOfRequest:
      // A trickled byte does not make a request younger: what counts is how long the
      // connection has held its slot for the request it has not finished sending, so that a
      // client that sends its request at once is never the first to go.
      if (last || !slot_.Publish(Kind::kWaiting, waitingSince_)) {
        slot_.Release();
        return Enter(Phase::kLingering, Effect::kRefuseBusy);  // the rest is not waited for
      }
      return Enter(Phase::kReading, Effect::kRead);
    case Need::kWrite:
      slot_.Publish(Kind::kBusy);
      return Enter(Phase::kAnswering, Effect::kWrite);
    case Need::kUpdate:
      // Out of its slot, a connection answers what it can on its lane, but queues no update.
      if (last || !slot_.Publish(Kind::kQueued, now)) {
        slot_.Release();
        return Enter(Phase::kLingering, Effect::kRefuseBusy);
      }
      return Enter(Phase::kQueued, Effect::kQueue);
    case Need::kEnd:
      slot_.Publish(Kind::kLingering, now);
      return Enter(Phase::kLingering, Effect::kLinger);
  }
  return Effect::kNone;
}

Effect ConnectionState::QueueFull(std::int64_t now) noexcept {
  if (phase_ != Phase::kQueued) {
    return Effect::kNone;
  }
  if (!slot_.Publish(Kind::kLingering, now)) {
    slot_.Release();
  }
  return Enter(Phase::kLingering, Effect::kRefuseBusy);
}

Effect ConnectionState::Input() noexcept {
  switch (phase_) {
    case Phase::kIdle:
      if (!slot_.Publish(Kind::kBusy)) {
        slot_.Release();
        return Enter(Phase::kLastRequest, Effect::kParseLast);
      }
      return Effect::kParse;
    case Phase::kReading:
      if (!slot_.Publish(Kind::kBusy)) {
        slot_.Release();
        return Enter(Phase::kLingering, Effect::kRefuseBusy);
      }
      return Effect::kParse;
    case Phase::kLastRequest:
      return Effect::kParse;
    case Phase::kQueued:
    case Phase::kRunning:
    case Phase::kAnswering:
      return Effect::kHold;
    case Phase::kLingering:
      return Effect::kDrop;
    case Phase::kClosed:
      break;
  }
  return Effect::kNone;
}

Effect ConnectionState::EndOfInput() noexcept {
  switch (phase_) {
    case Phase::kQueued:
      if (slot_.Withdraw() == Kind::kBusy) {
        return Enter(Phase::kRunning, Effect::kFinish);  // a worker started it: it is answered
      }
      slot_.Release();
      return Enter(Phase::kClosed, Effect::kDropUpdate);
    case Phase::kRunning:
    case Phase::kAnswering:
      return Effect::kFinish;
    case Phase::kClosed:
      return Effect::kNone;
    default:
      return Enter(Phase::kClosed, Effect::kClose);
  }
}

Effect ConnectionState::Failed() noexcept {
  switch (phase_) {
    case Phase::kQueued:
      if (slot_.Withdraw() == Kind::kBusy) {
        return Enter(Phase::kClosed, Effect::kClose);  // the update ends on its own
      }
      slot_.Release();
      return Enter(Phase::kClosed, Effect::kDropUpdate);
    case Phase::kClosed:
      return Effect::kNone;
    default:
      return Enter(Phase::kClosed, Effect::kClose);
  }
}

Effect ConnectionState::Taken() noexcept {
  if (!slot_.Release()) {
    return Effect::kNone;  // acted on already, when the lane found it out itself
  }
  switch (phase_) {
    case Phase::kIdle:
      return Enter(Phase::kLastRequest, Effect::kLookForRequest);
    case Phase::kReading:
      return Enter(Phase::kLingering, Effect::kRefuseBusy);
    case Phase::kQueued:
      return Enter(Phase::kLingering, Effect::kRefuseUpdate);
    case Phase::kLingering:
      return Enter(Phase::kClosed, Effect::kClose);
    default:
      return Effect::kNone;  // busy phases are never taken
  }
}

Effect ConnectionState::UpdateDone(bool ran) noexcept {
  if (!ran || (phase_ != Phase::kQueued && phase_ != Phase::kRunning)) {
    return Effect::kNone;  // withdrawn or taken: its lane has answered or closed already
  }
  return Enter(Phase::kRunning, Effect::kAnswerUpdate);
}

Effect ConnectionState::Timeout() noexcept {
  switch (phase_) {
    case Phase::kIdle:
    case Phase::kReading:
    case Phase::kLastRequest:
    case Phase::kAnswering:
    case Phase::kLingering:
      return Enter(Phase::kClosed, Effect::kClose);
    default:
      return Effect::kNone;
  }
}

Effect ConnectionState::Stop() noexcept {
  switch (phase_) {
    case Phase::kIdle:
    case Phase::kReading:
    case Phase::kLastRequest:
    case Phase::kLingering:
      return Enter(Phase::kClosed, Effect::kClose);
    default:
      return Effect::kNone;  // ends after its response
  }
}

bool ConnectionState::Close() noexcept {
  if (phase_ == Phase::kClosed) {
    return false;
  }
  bool withdrew = false;
  if (phase_ == Phase::kQueued) {
    withdrew = slot_.Withdraw() != Kind::kBusy;
    slot_.Release();
  }
  phase_ = Phase::kClosed;
  return withdrew;
}

}  // namespace rubo::detail
