#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include <array>

#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/address_v4.hpp>
#include <boost/asio/ip/udp.hpp>
#include <boost/asio/steady_timer.hpp>

#include "ara/com/transport/network_transport.h"
#include "ara/com/transport/service_discovery.h"

namespace ara::com::transport {

// One socket of the SD port with what it receives.
struct SdSocket {
  explicit SdSocket(boost::asio::io_context& io) : socket(io) {}
  boost::asio::ip::udp::socket socket;
  std::array<std::uint8_t, 65536> buffer{};
  boost::asio::ip::udp::endpoint sender;
};

// The two sockets of the SD port: the unicast one, which also sends, and the group's.
struct SdSockets {
  explicit SdSockets(boost::asio::io_context& io) : unicast(io), multicast(io) {}
  // False, opening nothing, while no interface has the unicast address (see
  // NetworkOptions::interfaceAddresses); throws std::runtime_error for any other failure.
  bool Open(const NetworkOptions& options, const boost::asio::ip::address_v4& address,
            const boost::asio::ip::udp::endpoint& group);
  void Close();

  SdSocket unicast;
  SdSocket multicast;
};

// While no interface has the unicast address yet (early at boot): looks for it again at an
// interval and keeps what was asked for until then. I/O thread only.
class AddressWait {
 public:
  // Tries to open the sockets: true once open, false while the address is missing; throws for
  // any other failure.
  using Open = std::function<bool()>;
  // Closes what a failed Open left open.
  using Close = std::function<void()>;
  // The sockets are open: the offers and searches held back until then.
  using Ready = std::function<void(std::set<sd::InstanceKey> offers, std::set<std::uint16_t> finds)>;

  AddressWait(boost::asio::io_context& io, std::chrono::milliseconds retry) : timer_(io), retry_(retry) {}

  void Start(Open open, Close close, Ready ready);
  void Cancel();

  void HoldOffer(const sd::InstanceKey& instance) { heldOffers_.insert(instance); }
  void DropOffer(const sd::InstanceKey& instance) { heldOffers_.erase(instance); }
  void HoldFind(std::uint16_t serviceId) { heldFinds_.insert(serviceId); }
  void DropFind(std::uint16_t serviceId) { heldFinds_.erase(serviceId); }

 private:
  void Schedule();

  boost::asio::steady_timer timer_;
  std::chrono::milliseconds retry_;
  Open open_;
  Close close_;
  Ready ready_;
  std::set<sd::InstanceKey> heldOffers_;
  std::set<std::uint16_t> heldFinds_;
  std::string lastError_;  // logged once until it changes
};

}  // namespace ara::com::transport
