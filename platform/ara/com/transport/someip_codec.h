#pragma once

// The SOME/IP header and the SOME/IP-SD payload as they travel on the wire (big-endian). Nothing
// here trusts a length field for an allocation: every size is checked against the bytes at hand.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace ara::com::transport::someip {

inline constexpr std::size_t kHeaderSize = 16;
inline constexpr std::uint8_t kProtocolVersion = 0x01;

// Return codes of the protocol.
enum class ReturnCode : std::uint8_t {
  kOk = 0x00,
  kNotOk = 0x01,
  kUnknownService = 0x02,
  kUnknownMethod = 0x03,
  kNotReady = 0x04,
  kNotReachable = 0x05,
  kTimeout = 0x06,
  kWrongProtocolVersion = 0x07,
  kWrongInterfaceVersion = 0x08,
  kMalformedMessage = 0x09,
  kWrongMessageType = 0x0A,
};

inline constexpr std::uint8_t kTypeRequest = 0x00;
inline constexpr std::uint8_t kTypeRequestNoReturn = 0x01;
inline constexpr std::uint8_t kTypeNotification = 0x02;
inline constexpr std::uint8_t kTypeResponse = 0x80;
inline constexpr std::uint8_t kTypeError = 0x81;

struct Header {
  std::uint16_t serviceId = 0;
  std::uint16_t methodId = 0;
  std::uint32_t length = 8;  // from clientId to the end of the payload
  std::uint16_t clientId = 0;
  std::uint16_t sessionId = 0;
  std::uint8_t protocolVersion = kProtocolVersion;
  std::uint8_t interfaceVersion = 0;
  std::uint8_t messageType = kTypeRequest;
  std::uint8_t returnCode = 0;

  bool operator==(const Header&) const = default;
};

enum class HeaderError : std::uint8_t {
  kNone,
  kShort,                 // fewer than 16 bytes
  kBadLength,             // Length below 8 or beyond the bytes at hand
  kWrongProtocolVersion,  // protocol version other than 1
};
const char* Describe(HeaderError error) noexcept;

// Reads the header at the start of `bytes` without looking at the payload.
HeaderError ReadHeader(std::span<const std::uint8_t> bytes, Header& header) noexcept;

// One message of a datagram or of a stream, its payload pointing into the received bytes.
struct MessageView {
  Header header;
  std::span<const std::uint8_t> payload;
};

// Walks the messages laid back to back in one datagram. Stops at the first malformed one and
// reports why in `error`; the messages before it stand.
std::vector<MessageView> SplitDatagram(std::span<const std::uint8_t> datagram, HeaderError& error);

// The header (its Length set from the payload size) followed by the payload.
std::vector<std::uint8_t> EncodeMessage(Header header, std::span<const std::uint8_t> payload);

// ---- Service discovery ----

inline constexpr std::uint16_t kSdServiceId = 0xFFFF;
inline constexpr std::uint16_t kSdMethodId = 0x8100;
inline constexpr std::uint8_t kSdFlagReboot = 0x80;
inline constexpr std::uint8_t kSdFlagUnicast = 0x40;

enum class EntryType : std::uint8_t {
  kFindService = 0x00,
  kOfferService = 0x01,            // TTL 0: StopOfferService
  kSubscribeEventgroup = 0x06,     // TTL 0: StopSubscribeEventgroup
  kSubscribeEventgroupAck = 0x07,  // TTL 0: SubscribeEventgroupNack
};

enum class OptionType : std::uint8_t {
  kConfiguration = 0x01,
  kLoadBalancing = 0x02,
  kIpv4Endpoint = 0x04,
  kIpv6Endpoint = 0x06,
  kIpv4Multicast = 0x14,
  kIpv6Multicast = 0x16,
  kIpv4SdEndpoint = 0x24,
  kIpv6SdEndpoint = 0x26,
};

inline constexpr std::uint8_t kProtocolTcp = 0x06;
inline constexpr std::uint8_t kProtocolUdp = 0x11;

// An endpoint or multicast option. Options of other types are skipped when decoding.
struct EndpointOption {
  OptionType type = OptionType::kIpv4Endpoint;
  std::array<std::uint8_t, 16> address{};  // IPv4 in the first 4 bytes
  std::uint8_t protocol = kProtocolUdp;
  std::uint16_t port = 0;

  bool IsIpv6() const noexcept {
    return type == OptionType::kIpv6Endpoint || type == OptionType::kIpv6Multicast ||
           type == OptionType::kIpv6SdEndpoint;
  }
  bool operator==(const EndpointOption&) const = default;
};

EndpointOption Ipv4Endpoint(std::array<std::uint8_t, 4> address, std::uint8_t protocol, std::uint16_t port);

struct SdEntry {
  EntryType type = EntryType::kFindService;
  std::uint16_t serviceId = 0;
  std::uint16_t instanceId = 0;
  std::uint8_t majorVersion = 0;
  std::uint32_t ttl = 0;  // 24 bits
  // Service entries.
  std::uint32_t minorVersion = 0;
  // Eventgroup entries.
  std::uint8_t counter = 0;
  std::uint16_t eventgroupId = 0;
  // The options this entry references, resolved (run 1, then run 2).
  std::vector<EndpointOption> options;

  bool IsEventgroupEntry() const noexcept {
    return type == EntryType::kSubscribeEventgroup || type == EntryType::kSubscribeEventgroupAck;
  }
  bool operator==(const SdEntry&) const = default;
};

// An entry without options; the version fields of a service entry say "any minor version" for a
// Find and 0 otherwise.
SdEntry MakeEntry(EntryType type, std::uint16_t serviceId, std::uint16_t instanceId, std::uint8_t majorVersion,
                  std::uint32_t ttl);
// A FindService of the service and instance (0xFFFF: any) in any version.
SdEntry FindServiceEntry(std::uint16_t serviceId, std::uint16_t instanceId, std::uint32_t ttl);

struct SdMessage {
  std::uint8_t flags = kSdFlagUnicast;
  std::vector<SdEntry> entries;
  // Entries of the received message that were left out: unknown type, or an option reference
  // beyond the options array.
  std::size_t droppedEntries = 0;

  bool operator==(const SdMessage&) const = default;
};

// Decodes an SD payload (after the SOME/IP header). An entry that references options out of
// range or of an unknown entry type is dropped (counted); the message fails as a whole only
// when its entries or options array does not fit the payload. `error` says why it failed.
std::optional<SdMessage> DecodeSd(std::span<const std::uint8_t> payload, std::string* error = nullptr);

// The SD payload: every entry with its own run of options (shared options are not merged).
// Throws std::invalid_argument for an entry with more than 15 options.
std::vector<std::uint8_t> EncodeSd(const SdMessage& message);

// The whole SOME/IP message carrying an SD payload.
std::vector<std::uint8_t> EncodeSdMessage(std::uint16_t sessionId, const SdMessage& message);

}  // namespace ara::com::transport::someip
