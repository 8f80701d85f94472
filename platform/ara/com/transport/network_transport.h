#pragma once

#include <chrono>
#include <memory>

#include "ara/com/deployment.h"
#include "ara/com/transport/transport.h"

namespace ara::com::transport {

struct NetworkOptions {
  NetworkConfig config;
  // What one unit of a TTL on the wire lasts. A second, as the protocol has it; tests shorten it
  // so that expiry happens in milliseconds.
  std::chrono::milliseconds ttlUnit{1000};
  // Stop withdraws offers and subscriptions on the wire. Off only to play a peer that vanishes.
  bool withdrawOnStop = true;
};

// SOME/IP over UDP and TCP with SOME/IP-SD, on this process's unicast address. Start opens the
// SD sockets and throws std::runtime_error, naming the address, when they cannot be opened;
// OfferService opens the service's ports and throws likewise.
std::unique_ptr<Transport> CreateNetworkTransport(NetworkOptions options);

}  // namespace ara::com::transport
