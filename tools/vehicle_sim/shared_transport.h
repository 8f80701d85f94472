#pragma once

// One transport shared by the simulator's two providers, so that the simulated vehicle is one
// SOME/IP endpoint (one unicast address, one SD socket, one client id) offering both services.

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <thread>

#include "ara/com/transport/transport.h"

namespace orik::vehicleSim {

class SharedTransport : public std::enable_shared_from_this<SharedTransport> {
 public:
  explicit SharedTransport(std::unique_ptr<ara::com::transport::Transport> inner);
  ~SharedTransport();
  SharedTransport(const SharedTransport&) = delete;
  SharedTransport& operator=(const SharedTransport&) = delete;

  // A transport for one service: only that service's messages and subscriptions reach its
  // handlers. The shared transport starts with the first of them and stops with the last.
  std::unique_ptr<ara::com::transport::Transport> For(std::uint16_t serviceId);

 private:
  class Part;
  struct PartState {
    ara::com::transport::TransportHandlers handlers;
    std::multiset<std::thread::id> callers;  // threads inside one of the part's handlers now
  };
  void Start(std::uint16_t serviceId, ara::com::transport::TransportHandlers handlers);
  // Returns once no handler of the part runs any more (on another thread than the caller's).
  void Stop(std::uint16_t serviceId);
  // Runs `call` with the part's handlers, unless the part has stopped.
  void Deliver(std::uint16_t serviceId, const std::function<void(const ara::com::transport::TransportHandlers&)>& call);

  std::unique_ptr<ara::com::transport::Transport> inner_;
  std::mutex mutex_;
  std::condition_variable idle_;
  std::map<std::uint16_t, PartState> parts_;
  bool started_ = false;
  bool stopped_ = false;
};

}  // namespace orik::vehicleSim
