// Feeds arbitrary bytes to the SOME/IP datagram splitter and the SD decoder, as a socket would.
// Nothing may crash or read out of bounds; every message found must lie inside the input; an SD
// message that decodes must, written again, decode to the same entries. Every decoded message also
// goes to service discovery, on a side that offers two instances, looks for and subscribes to a
// third: whatever it answers must encode, and nothing may throw.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <stdexcept>
#include <vector>

#include "ara/com/transport/service_discovery.h"
#include "ara/com/transport/someip_codec.h"

namespace {

namespace sip = ara::com::transport::someip;
namespace sd = ara::com::transport::sd;

[[noreturn]] void Fail() {
  std::abort();
}

class Host : public sd::SdHost {
 public:
  std::optional<ara::com::ServiceNetwork> UsedNetwork(std::uint16_t serviceId) const override {
    return serviceId == 0x7003 ? std::optional(ara::com::ServiceNetwork{}) : std::nullopt;
  }
  bool EventgroupKnown(std::uint16_t, std::uint16_t group) const override { return group == 1; }
  std::optional<sip::EndpointOption> EventEndpoint(const sd::InstanceKey&, const sd::RemoteOffer&,
                                                   const std::vector<std::uint16_t>&, bool) override {
    return sip::Ipv4Endpoint({127, 0, 0, 1}, sip::kProtocolUdp, 40000);
  }
};

// One machine for the whole run, so that state builds up across inputs as it would on a socket.
void Drive(const sip::SdMessage& message, std::uint16_t session, std::size_t size) {
  static Host host;
  static sd::ServiceDiscovery machine = [] {
    sd::SdOptions options;
    options.unicast = boost::asio::ip::make_address_v4("127.0.0.1");
    sd::ServiceDiscovery m(host, options);
    const auto now = sd::Clock::now();
    m.Offer({{0x7001, 1}, {}, 30501, 30502}, now);
    m.Offer({{0x7002, 1}, {}, 30503, 0}, now);
    m.StartFind(0x7003, now);
    sd::SdActions ignored;
    m.Subscribe({0x7003, 1}, 1, ignored);
    return m;
  }();
  static sd::TimePoint now = sd::Clock::now();
  now += std::chrono::milliseconds(size);  // time passes by the input, reproducibly
  const sd::UdpEndpoint from(boost::asio::ip::address_v4(0x7F000002U + (size & 0x3)), 30490);
  sd::SdActions actions;
  machine.OnMessage(message, session, from, (size & 4) != 0, now, actions);
  machine.Tick(now, actions);
  for (const auto& action : actions) {
    if (const auto* send = std::get_if<sd::SdSend>(&action)) {
      sip::HeaderError error;
      const auto views = sip::SplitDatagram(send->bytes, error);
      if (views.size() != 1 || !sip::DecodeSd(views[0].payload)) {
        Fail();
      }
    }
  }
}

void CheckSd(std::span<const std::uint8_t> payload, std::uint16_t session) {
  const auto message = sip::DecodeSd(payload);
  if (!message) {
    return;
  }
  Drive(*message, session, payload.size());
  std::vector<std::uint8_t> again;
  try {
    again = sip::EncodeSd(*message);
  } catch (const std::invalid_argument&) {
    return;  // an entry referencing more options than one run can name
  }
  const auto back = sip::DecodeSd(again);
  if (!back || back->entries != message->entries || back->flags != message->flags || back->droppedEntries != 0) {
    Fail();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> input(data, size);
  sip::HeaderError error;
  std::size_t consumed = 0;
  for (const auto& view : sip::SplitDatagram(input, error)) {
    if (view.payload.data() < data || view.payload.data() + view.payload.size() > data + size) {
      Fail();
    }
    consumed += sip::kHeaderSize + view.payload.size();
    if (view.header.serviceId == sip::kSdServiceId && view.header.methodId == sip::kSdMethodId) {
      CheckSd(view.payload, view.header.sessionId);
    }
  }
  if (consumed > size || (error == sip::HeaderError::kNone && consumed != size)) {
    Fail();
  }
  // The SD decoder also sees the whole input as a payload.
  CheckSd(input, 1);
  return 0;
}
