// Feeds arbitrary bytes to the SOME/IP datagram splitter and the SD decoder, as a socket would.
// Nothing may crash or read out of bounds; every message found must lie inside the input; an SD
// message that decodes must, written again, decode to the same entries.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <stdexcept>
#include <vector>

#include "ara/com/transport/someip_codec.h"

namespace {

namespace sip = ara::com::transport::someip;

[[noreturn]] void Fail() {
  std::abort();
}

void CheckSd(std::span<const std::uint8_t> payload) {
  const auto message = sip::DecodeSd(payload);
  if (!message) {
    return;
  }
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
      CheckSd(view.payload);
    }
  }
  if (consumed > size || (error == sip::HeaderError::kNone && consumed != size)) {
    Fail();
  }
  // The SD decoder also sees the whole input as a payload.
  CheckSd(input);
  return 0;
}
