#pragma once

#include <cstdint>
#include <vector>

namespace ara::com::transport {

// SOME/IP message types.
enum class MessageType : std::uint8_t {
  kRequest = 0x00,
  kNotification = 0x02,
  kResponse = 0x80,
  kError = 0x81,
};

// Return codes the binding gives a meaning of its own.
inline constexpr std::uint8_t kReturnOk = 0x00;
inline constexpr std::uint8_t kReturnServiceNotAvailable = 0xFF;

// One exchange, as SOME/IP carries it. For a notification methodId holds the event id.
struct Message {
  std::uint16_t serviceId = 0;
  std::uint16_t instanceId = 0;
  std::uint16_t methodId = 0;
  std::uint16_t clientId = 0;
  std::uint16_t sessionId = 0;
  MessageType type = MessageType::kRequest;
  std::uint8_t returnCode = kReturnOk;
  std::vector<std::uint8_t> payload;
  // Provider side: the transport marks each request it hands up with the way it came, and its
  // reply carries the mark back unchanged, so that a reply takes its own request's way even when
  // two requests look alike (a consumer that restarted, two consumers with one client id).
  std::uint64_t route = 0;
};

}  // namespace ara::com::transport
