#pragma once

#include <boost/asio/ip/address.hpp>
#include <cstddef>
#include <map>
#include <optional>
#include <unordered_map>
#include <utility>

#include "rubo/detail/connection_state.h"

namespace rubo::detail {

// Who holds the slots of a server's connections, and who gets one, without I/O: at most
// `total` connections count, at most `perPeer` of them from one address. A new connection that
// finds its peer's share or every slot taken gets the slot of another one (of that peer, or of
// any), chosen in this order:
//   1. a lingering one, which only drains (the one lingering longest first);
//   2. the one that has waited longest for its current request (idle, or trickling it in);
//   3. a queued update that has not started (the one queued last first, so that the writes
//      that waited longest still run, and a fresh connection is served before more writes
//      queue).
// Nothing else is taken: a request being parsed, run or answered keeps its slot. A connection
// whose slot was taken stays in the table, uncounted, until it closes; `open` bounds the
// connections held in all, counted or not, so that those still closing cannot exhaust the
// descriptors. The caller locks.
template <typename Handle>
class SlotTable {
 public:
  struct Limits {
    std::size_t total;
    std::size_t perPeer;
    std::size_t open;
  };
  enum class Refusal : std::uint8_t { kNone, kPeerFull, kAllBusy, kTooManyOpen };
  struct Admission {
    Refusal refusal = Refusal::kNone;
    std::optional<Handle> taken;  // the connection whose slot went to the new one: to be told
  };

  explicit SlotTable(Limits limits) : limits_(limits) {}

  const Limits& GetLimits() const noexcept { return limits_; }
  void SetLimits(const Limits& limits) noexcept { limits_ = limits; }

  Admission Admit(SlotState& slot, Handle handle, const boost::asio::ip::address& peer) {
    if (entries_.size() >= limits_.open) {
      return {Refusal::kTooManyOpen, std::nullopt};
    }
    Admission admission;
    if (PeerCount(peer) >= limits_.perPeer) {
      admission.taken = TakeOne(&peer);
      if (!admission.taken) {
        return {Refusal::kPeerFull, std::nullopt};
      }
    } else if (counted_ >= limits_.total) {
      admission.taken = TakeOne(nullptr);
      if (!admission.taken) {
        return {Refusal::kAllBusy, std::nullopt};
      }
    }
    entries_.emplace(&slot, Entry{std::move(handle), peer, true});
    ++counted_;
    ++perPeer_[peer];
    return admission;
  }

  // Forgets a closed connection; false when it was not held.
  bool Remove(SlotState& slot) {
    const auto it = entries_.find(&slot);
    if (it == entries_.end()) {
      return false;
    }
    if (it->second.counted) {
      Uncount(it->second);
    }
    entries_.erase(it);
    return true;
  }

  std::size_t Counted() const noexcept { return counted_; }
  std::size_t Open() const noexcept { return entries_.size(); }
  bool Empty() const noexcept { return entries_.empty(); }
  std::size_t PeerCount(const boost::asio::ip::address& peer) const {
    const auto it = perPeer_.find(peer);
    return it == perPeer_.end() ? 0 : it->second;
  }
  template <typename F>
  void ForEach(F&& f) const {
    for (const auto& [slot, entry] : entries_) {
      f(entry.handle);
    }
  }

 private:
  struct Entry {
    Handle handle;
    boost::asio::ip::address peer;
    bool counted;  // false once its slot went to a newer connection
  };

  static int Rank(SlotState::Kind kind) noexcept {
    switch (kind) {
      case SlotState::Kind::kLingering:
        return 0;
      case SlotState::Kind::kWaiting:
        return 1;
      default:
        return 2;  // queued
    }
  }
  // Whether a goes before b.
  static bool Before(const SlotState::Seen& a, const SlotState::Seen& b) noexcept {
    if (Rank(a.kind) != Rank(b.kind)) {
      return Rank(a.kind) < Rank(b.kind);
    }
    return a.kind == SlotState::Kind::kQueued ? a.since > b.since : a.since < b.since;
  }

  void Uncount(Entry& entry) {
    entry.counted = false;
    --counted_;
    if (const auto it = perPeer_.find(entry.peer); it != perPeer_.end() && --it->second == 0) {
      perPeer_.erase(it);
    }
  }

  // Takes the slot of the first takeable connection (of one peer, or of all).
  std::optional<Handle> TakeOne(const boost::asio::ip::address* peer) {
    // A connection may move on between the look and the taking; then look again.
    for (int attempt = 0; attempt < 3; ++attempt) {
      typename std::unordered_map<SlotState*, Entry>::iterator chosen = entries_.end();
      SlotState::Seen chosenSeen{};
      for (auto it = entries_.begin(); it != entries_.end(); ++it) {
        if (!it->second.counted || (peer != nullptr && it->second.peer != *peer)) {
          continue;
        }
        const auto seen = it->first->Load();
        if (SlotState::Takeable(seen.kind) && (chosen == entries_.end() || Before(seen, chosenSeen))) {
          chosen = it;
          chosenSeen = seen;
        }
      }
      if (chosen == entries_.end()) {
        return std::nullopt;
      }
      if (chosen->first->TryTake(chosenSeen)) {
        Uncount(chosen->second);
        return chosen->second.handle;
      }
    }
    return std::nullopt;
  }

  Limits limits_;
  std::unordered_map<SlotState*, Entry> entries_;
  std::map<boost::asio::ip::address, std::size_t> perPeer_;
  std::size_t counted_ = 0;
};

}  // namespace rubo::detail
