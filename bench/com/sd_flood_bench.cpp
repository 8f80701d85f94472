// Memory of a consumer's network transport under SD from 60 000 distinct source endpoints: each
// sends one message with a Find, an Offer of the service the consumer looks for and a Subscribe,
// as a flood of strangers would. Prints the resident set size before and after, in KiB; what the
// transport keeps per stranger must not grow with their number. Run inside its own network
// namespace (it binds 127.77.x.y addresses): unshare -n sh -c 'ip link set lo up && sd_flood_bench'

#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <thread>
#include <utility>
#include <vector>

#include <boost/asio.hpp>

#include "ara/com/transport/network_transport.h"
#include "ara/com/transport/someip_codec.h"
#include "ara/log/logging.h"

namespace {

namespace sip = ara::com::transport::someip;
namespace asio = boost::asio;

long RssKiB() {
  std::ifstream statm("/proc/self/statm");
  long size = 0;
  long resident = 0;
  statm >> size >> resident;
  return resident * (::sysconf(_SC_PAGESIZE) / 1024);
}

std::vector<std::uint8_t> FloodMessage(std::array<std::uint8_t, 4> from, std::uint16_t port) {
  const auto find = sip::FindServiceEntry(0xFFFF, 0xFFFF, 3);
  auto offer = sip::MakeEntry(sip::EntryType::kOfferService, 0x7001, 1, 1, 3);
  offer.options.push_back(sip::Ipv4Endpoint(from, sip::kProtocolTcp, port));
  auto subscribe = sip::MakeEntry(sip::EntryType::kSubscribeEventgroup, 0x7001, 1, 1, 3);
  subscribe.eventgroupId = 1;
  subscribe.options.push_back(sip::Ipv4Endpoint(from, sip::kProtocolUdp, port));
  sip::SdMessage message;
  message.flags = sip::kSdFlagUnicast | sip::kSdFlagReboot;
  message.entries = {find, offer, subscribe};
  return sip::EncodeSdMessage(1, message);
}

}  // namespace

int main() {
  ara::log::SetConsoleEnabled(false);
  ara::com::transport::NetworkOptions options;
  options.config.unicast = "127.77.0.1";
  options.config.sdMulticast = "239.255.77.1";
  options.config.sdPort = 30490;
  auto transport = ara::com::transport::CreateNetworkTransport(options);
  ara::com::ServiceDeployment deployment;
  deployment.interfaceName = "bench::Service";
  deployment.serviceId = 0x7001;
  deployment.events = {{0x8001, 1}};
  deployment.methodIds = {0x0001};
  transport->Describe(deployment);
  transport->Start({});
  transport->FindService(0x7001);
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  const long before = RssKiB();

  asio::io_context io;
  const asio::ip::udp::endpoint target(asio::ip::make_address_v4(options.config.unicast), options.config.sdPort);
  constexpr int kSources = 60000;
  constexpr int kPortsPerAddress = 100;
  for (int address = 0; address < kSources / kPortsPerAddress; ++address) {                  // 600 addresses
    const asio::ip::address_v4 from(0x7F4E0000U + static_cast<std::uint32_t>(address) + 1);  // 127.78.x.y
    for (int i = 0; i < kPortsPerAddress; ++i) {
      asio::ip::udp::socket socket(io);
      socket.open(asio::ip::udp::v4());
      socket.bind({from, 0});
      const auto port = socket.local_endpoint().port();
      boost::system::error_code ec;
      socket.send_to(asio::buffer(FloodMessage(from.to_bytes(), port)), target, 0, ec);
    }
    if (address % 50 == 49) {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));  // let the receiver keep up
    }
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  const long after = RssKiB();
  std::printf("sources %d  rss before %ld KiB  after %ld KiB  growth %ld KiB\n", kSources, before, after,
              after - before);
  transport->Stop();
  return 0;
}
