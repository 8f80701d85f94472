#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ara/com/deployment.h"
#include "ara/com/transport/transport.h"

namespace ara::com::transport {

// One IPv4 address of a network interface of this host.
struct InterfaceAddress {
  std::string address;  // dotted quad
  unsigned interfaceIndex = 0;
};

struct NetworkOptions {
  NetworkConfig config;
  // What one unit of a TTL on the wire lasts. A second, as the protocol has it; tests shorten it
  // so that expiry happens in milliseconds.
  std::chrono::milliseconds ttlUnit{1000};
  // Stop withdraws offers and subscriptions on the wire. Off only to play a peer that vanishes.
  bool withdrawOnStop = true;
  // The host's IPv4 interface addresses; empty: the system's (getifaddrs). Every 127.x.y.z is on
  // the interface that holds a loopback address.
  std::function<std::vector<InterfaceAddress>()> interfaceAddresses{};
  // While no interface has the unicast address, the transport looks again this often.
  std::chrono::milliseconds addressRetry{1000};
};

// SOME/IP over UDP and TCP with SOME/IP-SD, on this process's unicast address. Start opens the
// SD sockets and throws std::runtime_error, naming the address, when they cannot be opened;
// OfferService opens the service's ports and throws likewise. A unicast address that no
// interface has yet (early at boot) is waited for: Start logs it once at Warn and returns, the
// transport looks again every addressRetry and starts when it appears; until then nothing is
// found and offers are held back.
std::unique_ptr<Transport> CreateNetworkTransport(NetworkOptions options);

}  // namespace ara::com::transport
