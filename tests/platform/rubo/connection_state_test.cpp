// A connection's life without sockets: every event in every phase gives the phase, the effect
// and the slot word the transport and the other threads act on; the slot table hands slots out
// in its order; the connection limit fits the open-file limit.
#include <gtest/gtest.h>

#include <boost/asio/ip/address.hpp>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "rubo/detail/config.h"
#include "rubo/detail/connection_state.h"
#include "rubo/detail/slot_table.h"

namespace {

using rubo::detail::ConnectionState;
using rubo::detail::SlotState;
using rubo::detail::SlotTable;
using Phase = ConnectionState::Phase;
using Effect = ConnectionState::Effect;
using Need = ConnectionState::Need;
using Kind = SlotState::Kind;

using Step = std::function<void(ConnectionState&)>;

// The accepting thread takes the slot, as it would seeing the state it is in now.
void TakeSlot(ConnectionState& state) {
  ASSERT_TRUE(state.Slot().TryTake(state.Slot().Load()));
}

// Paths to each phase, from a connection accepted at time 0.
const std::vector<Step> kIdle = {[](auto& s) { s.Protocol(Need::kRequest, 10); }};
std::vector<Step> Then(std::vector<Step> path, std::vector<Step> more) {
  path.insert(path.end(), more.begin(), more.end());
  return path;
}
const auto kReading = Then(kIdle, {[](auto& s) { s.Input(); }, [](auto& s) { s.Protocol(Need::kMoreOfRequest, 20); }});
const auto kQueued = Then(kIdle, {[](auto& s) { s.Input(); }, [](auto& s) { s.Protocol(Need::kUpdate, 30); }});
const auto kRunning = Then(kQueued, {[](auto& s) { ASSERT_TRUE(s.Slot().Start()); }});
const auto kAnswering = Then(kIdle, {[](auto& s) { s.Input(); }, [](auto& s) { s.Protocol(Need::kWrite, 30); }});
const auto kLingering = Then(kAnswering, {[](auto& s) { s.Protocol(Need::kEnd, 40); }});
const auto kLastRequest = Then(kIdle, {TakeSlot, [](auto& s) { s.Input(); }});

struct Transition {
  const char* name;
  std::vector<Step> path;
  std::function<Effect(ConnectionState&)> event;
  Phase phase;
  Effect effect;
  Kind slot;
};

Effect Bytes(ConnectionState& s) {
  return s.Input();
}
Effect Fin(ConnectionState& s) {
  return s.EndOfInput();
}
Effect Reset(ConnectionState& s) {
  return s.Failed();
}
Effect Told(ConnectionState& s) {
  return s.Taken();
}

const Transition kTransitions[] = {
    // Waiting for a request.
    {"IdleBytes", kIdle, Bytes, Phase::kIdle, Effect::kParse, Kind::kBusy},
    {"IdleFin", kIdle, Fin, Phase::kClosed, Effect::kClose, Kind::kWaiting},
    {"IdleTimeout", kIdle, [](auto& s) { return s.Timeout(); }, Phase::kClosed, Effect::kClose, Kind::kWaiting},
    {"IdleStop", kIdle, [](auto& s) { return s.Stop(); }, Phase::kClosed, Effect::kClose, Kind::kWaiting},
    {"IdleTold", Then(kIdle, {TakeSlot}), Told, Phase::kLastRequest, Effect::kLookForRequest, Kind::kReleased},
    {"IdleTakenFoundOnBytes", Then(kIdle, {TakeSlot}), Bytes, Phase::kLastRequest, Effect::kParseLast, Kind::kReleased},
    {"TakenBeforeItsLaneStarted",
     {TakeSlot},
     [](auto& s) { return s.Protocol(Need::kRequest, 5); },
     Phase::kLastRequest,
     Effect::kLookForRequest,
     Kind::kReleased},
    // Its last request, out of its slot: answered on its lane, never queued.
    {"LastToldAgain", kLastRequest, Told, Phase::kLastRequest, Effect::kNone, Kind::kReleased},
    {"LastAnswered", kLastRequest, [](auto& s) { return s.Protocol(Need::kWrite, 50); }, Phase::kAnswering,
     Effect::kWrite, Kind::kReleased},
    {"LastWantsUpdate", kLastRequest, [](auto& s) { return s.Protocol(Need::kUpdate, 50); }, Phase::kLingering,
     Effect::kRefuseBusy, Kind::kReleased},
    {"LastIncomplete", kLastRequest, [](auto& s) { return s.Protocol(Need::kMoreOfRequest, 50); }, Phase::kLingering,
     Effect::kRefuseBusy, Kind::kReleased},
    {"LastHeldNoRequest", kLastRequest, [](auto& s) { return s.Protocol(Need::kRequest, 50); }, Phase::kClosed,
     Effect::kClose, Kind::kReleased},
    // A request under way.
    {"ReadingBytes", kReading, Bytes, Phase::kReading, Effect::kParse, Kind::kBusy},
    {"ReadingTold", Then(kReading, {TakeSlot}), Told, Phase::kLingering, Effect::kRefuseBusy, Kind::kReleased},
    {"ReadingTakenFoundOnBytes", Then(kReading, {TakeSlot}), Bytes, Phase::kLingering, Effect::kRefuseBusy,
     Kind::kReleased},
    {"ReadingFin", kReading, Fin, Phase::kClosed, Effect::kClose, Kind::kWaiting},
    // Queued for its element's update: watched, and its slot may go.
    {"QueuedBytesHeld", kQueued, Bytes, Phase::kQueued, Effect::kHold, Kind::kQueued},
    {"QueuedFin", kQueued, Fin, Phase::kClosed, Effect::kDropUpdate, Kind::kReleased},
    {"QueuedReset", kQueued, Reset, Phase::kClosed, Effect::kDropUpdate, Kind::kReleased},
    {"QueuedTold", Then(kQueued, {TakeSlot}), Told, Phase::kLingering, Effect::kRefuseUpdate, Kind::kReleased},
    {"QueuedFinWhileTaken", Then(kQueued, {TakeSlot}), Fin, Phase::kClosed, Effect::kDropUpdate, Kind::kReleased},
    {"QueuedFull", kQueued, [](auto& s) { return s.QueueFull(60); }, Phase::kLingering, Effect::kRefuseBusy,
     Kind::kLingering},
    {"QueuedTimeout", kQueued, [](auto& s) { return s.Timeout(); }, Phase::kQueued, Effect::kNone, Kind::kQueued},
    {"QueuedStop", kQueued, [](auto& s) { return s.Stop(); }, Phase::kQueued, Effect::kNone, Kind::kQueued},
    {"QueuedDoneNotRun", kQueued, [](auto& s) { return s.UpdateDone(false); }, Phase::kQueued, Effect::kNone,
     Kind::kQueued},
    // Running: a half-close still gets its answer, a reset ends it.
    {"RunningFin", kRunning, Fin, Phase::kRunning, Effect::kFinish, Kind::kBusy},
    {"RunningReset", kRunning, Reset, Phase::kClosed, Effect::kClose, Kind::kBusy},
    {"RunningBytesHeld", Then(kRunning, {[](auto& s) { s.EndOfInput(); }}), Bytes, Phase::kRunning, Effect::kHold,
     Kind::kBusy},
    {"RunningDone", kRunning, [](auto& s) { return s.UpdateDone(true); }, Phase::kRunning, Effect::kAnswerUpdate,
     Kind::kBusy},
    // Answering.
    {"AnsweringBytesHeld", kAnswering, Bytes, Phase::kAnswering, Effect::kHold, Kind::kBusy},
    {"AnsweringFin", kAnswering, Fin, Phase::kAnswering, Effect::kFinish, Kind::kBusy},
    {"AnsweringTimeout", kAnswering, [](auto& s) { return s.Timeout(); }, Phase::kClosed, Effect::kClose, Kind::kBusy},
    {"AnsweringStop", kAnswering, [](auto& s) { return s.Stop(); }, Phase::kAnswering, Effect::kNone, Kind::kBusy},
    {"AnsweredNext", kAnswering, [](auto& s) { return s.Protocol(Need::kRequest, 70); }, Phase::kIdle, Effect::kRead,
     Kind::kWaiting},
    // Lingering: dropped input, and the first to go.
    {"LingeringBytes", kLingering, Bytes, Phase::kLingering, Effect::kDrop, Kind::kLingering},
    {"LingeringTold", Then(kLingering, {TakeSlot}), Told, Phase::kClosed, Effect::kClose, Kind::kReleased},
    {"LingeringFin", kLingering, Fin, Phase::kClosed, Effect::kClose, Kind::kLingering},
};

class TransitionTest : public ::testing::TestWithParam<Transition> {};

TEST_P(TransitionTest, GivesItsPhaseEffectAndSlot) {
  const auto& transition = GetParam();
  ConnectionState state(0);
  for (const auto& step : transition.path) {
    step(state);
    ASSERT_FALSE(HasFatalFailure());
  }
  EXPECT_EQ(transition.event(state), transition.effect);
  EXPECT_EQ(state.GetPhase(), transition.phase);
  EXPECT_EQ(state.Slot().Load().kind, transition.slot);
}

INSTANTIATE_TEST_SUITE_P(Connection, TransitionTest, ::testing::ValuesIn(kTransitions),
                         [](const ::testing::TestParamInfo<Transition>& info) { return std::string(info.param.name); });

// Who wins a queued update: the worker that starts it, or the lane that takes it back (its
// client left) or the accepting thread that takes its slot. Exactly one, and a withdrawn or
// taken update never starts.
TEST(QueuedUpdateTest, StartsOrIsTakenBackNeverBoth) {
  {
    ConnectionState state(0);
    for (const auto& step : kQueued) {
      step(state);
    }
    EXPECT_EQ(state.EndOfInput(), Effect::kDropUpdate);
    EXPECT_FALSE(state.Slot().Start());
  }
  {
    ConnectionState state(0);
    for (const auto& step : kQueued) {
      step(state);
    }
    TakeSlot(state);
    EXPECT_FALSE(state.Slot().Start());
    EXPECT_EQ(state.Taken(), Effect::kRefuseUpdate);
  }
  {
    ConnectionState state(0);
    for (const auto& step : kRunning) {
      step(state);
    }
    EXPECT_FALSE(state.Slot().TryTake(state.Slot().Load())) << "a running update keeps its slot";
    EXPECT_FALSE(state.Close()) << "nothing to take back";
  }
  {
    ConnectionState state(0);
    for (const auto& step : kQueued) {
      step(state);
    }
    EXPECT_TRUE(state.Close()) << "closed for its own reasons, it takes its update back";
    EXPECT_FALSE(state.Slot().Start());
  }
}

// The slot word moves only from what was seen: a look that is out of date takes nothing.
TEST(SlotStateTest, TakesOnlyWhatWasSeenAndOnlyTakeableKinds) {
  SlotState slot(100);
  const auto seen = slot.Load();
  EXPECT_EQ(seen.kind, Kind::kWaiting);
  EXPECT_EQ(seen.since, 100);
  ASSERT_TRUE(slot.Publish(Kind::kBusy));
  EXPECT_FALSE(slot.TryTake(seen)) << "it moved on";
  EXPECT_FALSE(slot.TryTake(slot.Load())) << "busy";
  ASSERT_TRUE(slot.Publish(Kind::kQueued, 200));
  EXPECT_TRUE(slot.TryTake(slot.Load()));
  EXPECT_FALSE(slot.Publish(Kind::kWaiting, 300)) << "taken is final for its lane";
  EXPECT_TRUE(slot.Release());
  EXPECT_FALSE(slot.Release()) << "acted on once";
  EXPECT_FALSE(slot.Start());
}

// ---- slots

using Table = SlotTable<int>;
const auto kPeerA = boost::asio::ip::make_address("127.0.0.2");
const auto kPeerB = boost::asio::ip::make_address("127.0.0.3");

struct Held {
  SlotState slot{0};
  void Is(Kind kind, std::int64_t since) { ASSERT_TRUE(slot.Publish(kind, since)); }
};

TEST(SlotTableTest, TakesLingeringThenLongestWaitingThenLastQueued) {
  Table table({5, 10, 100});
  Held held[5];
  for (int i = 0; i < 5; ++i) {
    ASSERT_EQ(table.Admit(held[i].slot, i, kPeerA).refusal, Table::Refusal::kNone);
  }
  held[0].Is(Kind::kQueued, 3);
  held[1].Is(Kind::kWaiting, 2);
  held[2].Is(Kind::kLingering, 5);
  held[3].Is(Kind::kQueued, 4);
  held[4].Is(Kind::kWaiting, 1);
  std::vector<int> taken;
  Held fresh[6];
  for (auto& newcomer : fresh) {
    const auto admission = table.Admit(newcomer.slot, 99, kPeerB);
    if (admission.refusal != Table::Refusal::kNone) {
      EXPECT_EQ(admission.refusal, Table::Refusal::kAllBusy);
      break;
    }
    ASSERT_TRUE(admission.taken);
    taken.push_back(*admission.taken);
    newcomer.Is(Kind::kBusy, 0);  // the newcomers' requests run
  }
  EXPECT_EQ(taken, (std::vector<int>{2, 4, 1, 3, 0}));
  EXPECT_EQ(table.Counted(), 5u);
  EXPECT_EQ(table.Open(), 10u);
}

TEST(SlotTableTest, APeerAtItsShareTakesOnlyItsOwnAndOpenConnectionsAreBounded) {
  Table table({10, 2, 4});
  Held a1, a2, b1, a3, a4;
  ASSERT_EQ(table.Admit(b1.slot, 0, kPeerB).refusal, Table::Refusal::kNone);  // waits the longest
  ASSERT_EQ(table.Admit(a1.slot, 1, kPeerA).refusal, Table::Refusal::kNone);
  ASSERT_EQ(table.Admit(a2.slot, 2, kPeerA).refusal, Table::Refusal::kNone);
  a2.Is(Kind::kBusy, 0);
  const auto third = table.Admit(a3.slot, 3, kPeerA);
  ASSERT_EQ(third.refusal, Table::Refusal::kNone);
  EXPECT_EQ(third.taken, 1);
  EXPECT_EQ(table.PeerCount(kPeerA), 2u);
  a3.Is(Kind::kBusy, 0);
  EXPECT_EQ(table.Admit(a4.slot, 4, kPeerA).refusal, Table::Refusal::kTooManyOpen) << "a1 still closing";
  EXPECT_TRUE(table.Remove(a1.slot));
  EXPECT_EQ(table.Admit(a4.slot, 4, kPeerA).refusal, Table::Refusal::kPeerFull);
  EXPECT_EQ(table.Counted(), 3u) << "a closing connection counts once, and not after it went";
  EXPECT_FALSE(table.Remove(a4.slot));
}

// ---- the open-file limit

struct FileLimitCase {
  const char* name;
  std::size_t maxConnections;
  std::uint64_t soft;
  std::uint64_t hard;
  std::uint64_t softAfter;
  std::size_t connections;
  std::size_t open;
};

constexpr auto kInfinite = std::numeric_limits<std::uint64_t>::max();

const FileLimitCase kFileLimits[] = {
    {"DefaultsFit", 256, 1024, 524288, 1024, 256, 960},
    {"SoftRaised", 1000, 1024, 524288, 2064, 1000, 2000},
    {"HardTooLow", 1000, 1024, 1024, 1024, 480, 960},
    {"Tiny", 256, 100, 100, 100, 18, 36},
    {"NoRoomAtAll", 256, 10, 10, 10, 1, 2},
    {"Unlimited", 256, kInfinite, kInfinite, kInfinite, 256, 4096},
};

class FileLimitTest : public ::testing::TestWithParam<FileLimitCase> {};

TEST_P(FileLimitTest, SlotsFitTheDescriptors) {
  const auto& c = GetParam();
  const auto plan = rubo::detail::FitToOpenFiles(c.maxConnections, c.soft, c.hard);
  EXPECT_EQ(plan.softLimit, c.softAfter);
  EXPECT_EQ(plan.maxConnections, c.connections);
  EXPECT_EQ(plan.maxOpen, c.open);
}

INSTANTIATE_TEST_SUITE_P(OpenFiles, FileLimitTest, ::testing::ValuesIn(kFileLimits),
                         [](const ::testing::TestParamInfo<FileLimitCase>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
