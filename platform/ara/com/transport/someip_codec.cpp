#include "ara/com/transport/someip_codec.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace ara::com::transport::someip {

namespace {

std::uint16_t Get16(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::uint16_t>(b[at] << 8 | b[at + 1]);
}
std::uint32_t Get24(std::span<const std::uint8_t> b, std::size_t at) {
  return std::uint32_t{b[at]} << 16 | std::uint32_t{b[at + 1]} << 8 | std::uint32_t{b[at + 2]};
}
std::uint32_t Get32(std::span<const std::uint8_t> b, std::size_t at) {
  return std::uint32_t{b[at]} << 24 | Get24(b, at + 1);
}
void Put8(std::vector<std::uint8_t>& out, std::uint32_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
}
void Put16(std::vector<std::uint8_t>& out, std::uint32_t v) {
  Put8(out, v >> 8);
  Put8(out, v);
}
void Put24(std::vector<std::uint8_t>& out, std::uint32_t v) {
  Put8(out, v >> 16);
  Put16(out, v);
}
void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  Put16(out, v >> 16);
  Put16(out, v);
}

void PutHeader(std::vector<std::uint8_t>& out, const Header& h) {
  Put16(out, h.serviceId);
  Put16(out, h.methodId);
  Put32(out, h.length);
  Put16(out, h.clientId);
  Put16(out, h.sessionId);
  Put8(out, h.protocolVersion);
  Put8(out, h.interfaceVersion);
  Put8(out, h.messageType);
  Put8(out, h.returnCode);
}

constexpr std::size_t kEntrySize = 16;

bool KnownEntryType(std::uint8_t type) {
  return type == 0x00 || type == 0x01 || type == 0x06 || type == 0x07;
}

// Length (after the Type byte) an endpoint-like option of this type must have.
std::optional<std::uint16_t> EndpointOptionLength(std::uint8_t type) {
  switch (type) {
    case 0x04:
    case 0x14:
    case 0x24:
      return 0x0009;
    case 0x06:
    case 0x16:
    case 0x26:
      return 0x0015;
    default:
      return std::nullopt;
  }
}

}  // namespace

const char* Describe(HeaderError error) noexcept {
  switch (error) {
    case HeaderError::kNone:
      return "well formed";
    case HeaderError::kShort:
      return "shorter than a header";
    case HeaderError::kBadLength:
      return "Length does not fit the data";
    case HeaderError::kWrongProtocolVersion:
      return "wrong protocol version";
  }
  return "malformed";
}

HeaderError ReadHeader(std::span<const std::uint8_t> bytes, Header& header) noexcept {
  if (bytes.size() < kHeaderSize) {
    return HeaderError::kShort;
  }
  header.serviceId = Get16(bytes, 0);
  header.methodId = Get16(bytes, 2);
  header.length = Get32(bytes, 4);
  header.clientId = Get16(bytes, 8);
  header.sessionId = Get16(bytes, 10);
  header.protocolVersion = bytes[12];
  header.interfaceVersion = bytes[13];
  header.messageType = bytes[14];
  header.returnCode = bytes[15];
  if (header.protocolVersion != kProtocolVersion) {
    return HeaderError::kWrongProtocolVersion;
  }
  if (header.length < 8 || header.length - 8 > bytes.size() - kHeaderSize) {
    return HeaderError::kBadLength;
  }
  return HeaderError::kNone;
}

std::vector<MessageView> SplitDatagram(std::span<const std::uint8_t> datagram, HeaderError& error) {
  std::vector<MessageView> messages;
  error = HeaderError::kNone;
  while (!datagram.empty()) {
    MessageView view;
    error = ReadHeader(datagram, view.header);
    if (error != HeaderError::kNone) {
      break;
    }
    const std::size_t payloadSize = view.header.length - 8;
    view.payload = datagram.subspan(kHeaderSize, payloadSize);
    messages.push_back(view);
    datagram = datagram.subspan(kHeaderSize + payloadSize);
  }
  return messages;
}

std::vector<std::uint8_t> EncodeMessage(Header header, std::span<const std::uint8_t> payload) {
  std::vector<std::uint8_t> out;
  out.reserve(kHeaderSize + payload.size());
  header.length = static_cast<std::uint32_t>(8 + payload.size());
  PutHeader(out, header);
  out.insert(out.end(), payload.begin(), payload.end());
  return out;
}

EndpointOption Ipv4Endpoint(std::array<std::uint8_t, 4> address, std::uint8_t protocol, std::uint16_t port) {
  EndpointOption option;
  option.type = OptionType::kIpv4Endpoint;
  std::copy(address.begin(), address.end(), option.address.begin());
  option.protocol = protocol;
  option.port = port;
  return option;
}

SdEntry MakeEntry(EntryType type, std::uint16_t serviceId, std::uint16_t instanceId, std::uint8_t majorVersion,
                  std::uint32_t ttl) {
  SdEntry entry;
  entry.type = type;
  entry.serviceId = serviceId;
  entry.instanceId = instanceId;
  entry.majorVersion = majorVersion;
  entry.ttl = ttl;
  entry.minorVersion = type == EntryType::kFindService ? 0xFFFFFFFF : 0;
  return entry;
}

SdEntry FindServiceEntry(std::uint16_t serviceId, std::uint16_t instanceId, std::uint32_t ttl) {
  return MakeEntry(EntryType::kFindService, serviceId, instanceId, 0xFF, ttl);
}

namespace {

// The two arrays of an SD payload, each checked to lie inside it.
struct SdArrays {
  std::uint8_t flags = 0;
  std::span<const std::uint8_t> entries;
  std::span<const std::uint8_t> options;
};

const char* DecodeSdHeader(std::span<const std::uint8_t> payload, SdArrays& arrays) {
  if (payload.size() < 12) {
    return "shorter than flags and the two array lengths";
  }
  arrays.flags = payload[0];
  const std::uint32_t entriesLength = Get32(payload, 4);
  if (entriesLength % kEntrySize != 0) {
    return "entries array length is not a multiple of 16";
  }
  if (entriesLength > payload.size() - 12) {
    return "entries array beyond the payload";
  }
  arrays.entries = payload.subspan(8, entriesLength);
  const std::size_t optionsAt = 8 + entriesLength;
  const std::uint32_t optionsLength = Get32(payload, optionsAt);
  if (optionsLength > payload.size() - optionsAt - 4) {
    return "options array beyond the payload";
  }
  arrays.options = payload.subspan(optionsAt + 4, optionsLength);
  return nullptr;
}

// Every option in the array, by index; nullopt for a skipped type.
using DecodedOptions = std::vector<std::optional<EndpointOption>>;

const char* DecodeSdOptions(std::span<const std::uint8_t> bytes, DecodedOptions& options) {
  while (!bytes.empty()) {
    if (bytes.size() < 3) {
      return "truncated option";
    }
    const std::uint16_t length = Get16(bytes, 0);
    const std::uint8_t type = bytes[2];
    if (length < 1 || length > bytes.size() - 3) {
      return "option length beyond the options array";
    }
    const auto body = bytes.subspan(3, length);  // the Reserved byte first
    std::optional<EndpointOption> option;
    if (const auto expected = EndpointOptionLength(type); expected && *expected == length) {
      EndpointOption e;
      e.type = static_cast<OptionType>(type);
      const std::size_t addressSize = e.IsIpv6() ? 16 : 4;
      std::copy_n(body.begin() + 1, addressSize, e.address.begin());
      e.protocol = body[1 + addressSize + 1];
      e.port = Get16(body, 1 + addressSize + 2);
      option = e;
    }
    options.push_back(option);
    bytes = bytes.subspan(3 + length);
  }
  return nullptr;
}

// One 16-byte entry with its option runs resolved; nullopt when its type is unknown or a run
// reaches beyond the options array.
std::optional<SdEntry> DecodeSdEntry(std::span<const std::uint8_t> raw, const DecodedOptions& options) {
  if (!KnownEntryType(raw[0])) {
    return std::nullopt;
  }
  SdEntry entry;
  entry.type = static_cast<EntryType>(raw[0]);
  entry.serviceId = Get16(raw, 4);
  entry.instanceId = Get16(raw, 6);
  entry.majorVersion = raw[8];
  entry.ttl = Get24(raw, 9);
  if (entry.IsEventgroupEntry()) {
    entry.counter = raw[13] & 0x0F;
    entry.eventgroupId = Get16(raw, 14);
  } else {
    entry.minorVersion = Get32(raw, 12);
  }
  const std::size_t runs[2][2] = {{raw[1], std::size_t{raw[3]} >> 4}, {raw[2], std::size_t{raw[3]} & 0x0F}};
  for (const auto& [first, count] : runs) {
    if (count == 0) {
      continue;
    }
    if (first + count > options.size()) {
      return std::nullopt;
    }
    for (std::size_t i = first; i < first + count; ++i) {
      if (options[i]) {
        entry.options.push_back(*options[i]);
      }
    }
  }
  return entry;
}

}  // namespace

std::optional<SdMessage> DecodeSd(std::span<const std::uint8_t> payload, std::string* error) {
  SdArrays arrays;
  DecodedOptions options;
  const char* why = DecodeSdHeader(payload, arrays);
  if (why == nullptr) {
    why = DecodeSdOptions(arrays.options, options);
  }
  if (why != nullptr) {
    if (error != nullptr) {
      *error = why;
    }
    return std::nullopt;
  }
  SdMessage message;
  message.flags = arrays.flags;
  for (std::size_t at = 0; at < arrays.entries.size(); at += kEntrySize) {
    if (auto entry = DecodeSdEntry(arrays.entries.subspan(at, kEntrySize), options)) {
      message.entries.push_back(std::move(*entry));
    } else {
      ++message.droppedEntries;
    }
  }
  return message;
}

std::vector<std::uint8_t> EncodeSd(const SdMessage& message) {
  std::vector<std::uint8_t> entries;
  std::vector<std::uint8_t> options;
  std::size_t optionCount = 0;
  for (const auto& entry : message.entries) {
    if (entry.options.size() > 15) {
      throw std::invalid_argument("An SD entry references at most 15 options");
    }
    if (!entry.options.empty() && optionCount + entry.options.size() > 256) {
      throw std::invalid_argument("An SD message holds at most 256 options");
    }
    Put8(entries, static_cast<std::uint8_t>(entry.type));
    Put8(entries, entry.options.empty() ? 0 : optionCount);
    Put8(entries, 0);
    Put8(entries, entry.options.size() << 4);
    Put16(entries, entry.serviceId);
    Put16(entries, entry.instanceId);
    Put8(entries, entry.majorVersion);
    Put24(entries, entry.ttl);
    if (entry.IsEventgroupEntry()) {
      Put8(entries, 0);
      Put8(entries, entry.counter & 0x0F);
      Put16(entries, entry.eventgroupId);
    } else {
      Put32(entries, entry.minorVersion);
    }
    for (const auto& option : entry.options) {
      const bool v6 = option.IsIpv6();
      Put16(options, v6 ? 0x0015 : 0x0009);
      Put8(options, static_cast<std::uint8_t>(option.type));
      Put8(options, 0);
      options.insert(options.end(), option.address.begin(), option.address.begin() + (v6 ? 16 : 4));
      Put8(options, 0);
      Put8(options, option.protocol);
      Put16(options, option.port);
      ++optionCount;
    }
  }
  std::vector<std::uint8_t> out;
  out.reserve(12 + entries.size() + options.size());
  Put8(out, message.flags);
  Put24(out, 0);
  Put32(out, static_cast<std::uint32_t>(entries.size()));
  out.insert(out.end(), entries.begin(), entries.end());
  Put32(out, static_cast<std::uint32_t>(options.size()));
  out.insert(out.end(), options.begin(), options.end());
  return out;
}

std::vector<std::uint8_t> EncodeSdMessage(std::uint16_t sessionId, const SdMessage& message) {
  Header header;
  header.serviceId = kSdServiceId;
  header.methodId = kSdMethodId;
  header.clientId = 0;
  header.sessionId = sessionId;
  header.interfaceVersion = 0x01;
  header.messageType = kTypeNotification;
  header.returnCode = 0;
  const auto payload = EncodeSd(message);
  return EncodeMessage(header, payload);
}

}  // namespace ara::com::transport::someip
