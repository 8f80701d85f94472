#include "ara/com/transport/sd_sockets.h"

#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

#include <exception>
#include <stdexcept>
#include <string>
#include <utility>

#include <boost/asio/ip/multicast.hpp>

#include "ara/com/internal/trace.h"
#include "ara/log/logging.h"

namespace ara::com::transport {

namespace {

namespace asio = boost::asio;
using asio::ip::udp;

std::vector<InterfaceAddress> SystemInterfaceAddresses() {
  std::vector<InterfaceAddress> found;
  ifaddrs* list = nullptr;
  if (::getifaddrs(&list) == 0) {
    for (auto* it = list; it != nullptr; it = it->ifa_next) {
      if (it->ifa_addr != nullptr && it->ifa_addr->sa_family == AF_INET) {
        const auto* in = reinterpret_cast<const sockaddr_in*>(it->ifa_addr);
        found.push_back({asio::ip::address_v4(ntohl(in->sin_addr.s_addr)).to_string(), ::if_nametoindex(it->ifa_name)});
      }
    }
    ::freeifaddrs(list);
  }
  return found;
}

// The interface whose address this is, 0 when none; every loopback address is on the interface
// that holds one.
unsigned InterfaceIndexOf(const asio::ip::address_v4& address, const std::vector<InterfaceAddress>& interfaces) {
  unsigned loopback = 0;
  for (const auto& entry : interfaces) {
    boost::system::error_code ec;
    const auto candidate = asio::ip::make_address_v4(entry.address, ec);
    if (ec) {
      continue;
    }
    if (candidate == address) {
      return entry.interfaceIndex;
    }
    if (candidate.is_loopback() && loopback == 0) {
      loopback = entry.interfaceIndex;
    }
  }
  return address.is_loopback() ? loopback : 0;
}

void Fail(const std::string& what) {
  throw std::runtime_error("ara::com network transport: " + what);
}

}  // namespace

bool SdSockets::Open(const NetworkOptions& options, const asio::ip::address_v4& address, const udp::endpoint& group) {
  const auto& config = options.config;
  boost::system::error_code ec;
  asio::ip::make_address_v4(config.unicast, ec);
  if (ec) {
    Fail("unicast address \"" + config.unicast + "\" is not an IPv4 address");
  }
  const unsigned interfaceIndex =
      InterfaceIndexOf(address, options.interfaceAddresses ? options.interfaceAddresses() : SystemInterfaceAddresses());
  if (interfaceIndex == 0) {
    return false;
  }
  const std::string sdWhere = config.unicast + ":" + std::to_string(config.sdPort);
  auto& unicastSocket = unicast.socket;
  // Every socket on the SD port shares it: other stacks on this host bind it too, commonly to
  // the wildcard address, and whichever starts first must not lock the others out.
  unicastSocket.open(udp::v4(), ec);
  if (!ec) {
    unicastSocket.set_option(udp::socket::reuse_address(true), ec);
  }
  if (!ec) {
    unicastSocket.bind(udp::endpoint(address, config.sdPort), ec);
  }
  if (ec) {
    Fail("cannot bind the SD socket to " + sdWhere + ": " + ec.message());
  }
  ip_mreqn request{};
  request.imr_ifindex = static_cast<int>(interfaceIndex);
  if (::setsockopt(unicastSocket.native_handle(), IPPROTO_IP, IP_MULTICAST_IF, &request, sizeof request) != 0) {
    Fail("cannot send multicast from " + config.unicast);
  }
  unicastSocket.set_option(asio::ip::multicast::enable_loopback(true), ec);
  unicastSocket.set_option(asio::ip::multicast::hops(1), ec);

  const std::string groupWhere = config.sdMulticast + ":" + std::to_string(config.sdPort);
  auto& multicastSocket = multicast.socket;
  multicastSocket.open(udp::v4(), ec);
  if (!ec) {
    multicastSocket.set_option(udp::socket::reuse_address(true), ec);
    const int one = 1;
    ::setsockopt(multicastSocket.native_handle(), SOL_SOCKET, SO_REUSEPORT, &one, sizeof one);
    multicastSocket.bind(group, ec);
  }
  if (ec) {
    Fail("cannot bind the SD multicast socket to " + groupWhere + ": " + ec.message());
  }
  ip_mreqn join{};
  join.imr_multiaddr.s_addr = htonl(group.address().to_v4().to_uint());
  join.imr_ifindex = static_cast<int>(interfaceIndex);
  if (::setsockopt(multicastSocket.native_handle(), IPPROTO_IP, IP_ADD_MEMBERSHIP, &join, sizeof join) != 0) {
    Fail("cannot join the SD multicast group " + config.sdMulticast + " on the interface of " + config.unicast);
  }
  return true;
}

void SdSockets::Close() {
  boost::system::error_code ec;
  unicast.socket.close(ec);
  multicast.socket.close(ec);
}

void AddressWait::Start(Open open, Close close, Ready ready) {
  open_ = std::move(open);
  close_ = std::move(close);
  ready_ = std::move(ready);
  Schedule();
}

void AddressWait::Cancel() {
  timer_.cancel();
  heldOffers_.clear();
  heldFinds_.clear();
  ready_ = nullptr;
}

void AddressWait::Schedule() {
  timer_.expires_after(retry_);
  timer_.async_wait([this](const boost::system::error_code& error) {
    if (error || !ready_) {
      return;
    }
    bool opened = false;
    try {
      opened = open_();
    } catch (const std::exception& e) {
      close_();
      if (e.what() != lastError_) {
        lastError_ = e.what();
        internal::Trace().LogError() << e.what();
      }
    }
    if (!opened) {
      Schedule();
      return;
    }
    ready_(std::exchange(heldOffers_, {}), std::exchange(heldFinds_, {}));
  });
}

}  // namespace ara::com::transport
