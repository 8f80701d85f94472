// Feeds arbitrary bytes to the field decoder of every element structure of both services. Decoding
// may fail only with the decoder's own exceptions; what decodes must be written and read back to
// the same value (compared in written form, which is injective), and the decoders that run the
// member procedure in place must agree with the generic one.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <vector>

#include "service_types/chargingmanagementcore/datatypes.h"
#include "service_types/routebasedenergycontents/datatypes.h"

namespace {

namespace tlv = zrt::services::tlv;
namespace cmc = zrt::services::chargingmanagementcore::datatypes;
namespace rbec = zrt::services::routebasedenergycontents::datatypes;

using Bytes = std::vector<std::uint8_t>;

[[noreturn]] void Fail() {
  std::abort();
}

// The written form of what the decoder gives, or the text it failed with.
struct Result {
  bool decoded = false;
  Bytes written;
  std::size_t elements = 0;
  std::string error;
};

template <typename T, typename Decode>
Result Run(std::span<const std::uint8_t> data, Decode decode) {
  Result result;
  std::vector<T> value;
  tlv::ReadCursor cursor{data, 0};
  try {
    decode(cursor, value);
  } catch (const std::out_of_range& e) {
    result.error = e.what();
    return result;
  } catch (const std::runtime_error& e) {  // also std::overflow_error
    result.error = std::string("runtime: ") + e.what();
    return result;
  }
  if (cursor.position > data.size()) {
    Fail();
  }
  result.decoded = true;
  result.written = tlv::encode_field_value(value);
  result.elements = value.size();
  return result;
}

// The structures whose field decoders run the member procedure in place.
template <typename T>
constexpr bool kDecodedInPlace =
    std::is_same_v<T, cmc::DT_batteryPreconditioningEnergies_struct> ||
    std::is_same_v<T, cmc::DT_oruUpdateApprovals_struct> || std::is_same_v<T, cmc::DT_notificationMarkers_struct>;

template <typename T>
void CheckField(std::span<const std::uint8_t> data) {
  const Result first = Run<T>(data, [](tlv::ReadCursor& c, std::vector<T>& v) { deserialize_field_value(c, v); });
  if constexpr (kDecodedInPlace<T>) {
    const Result generic =
        Run<T>(data, [](tlv::ReadCursor& c, std::vector<T>& v) { tlv::deserialize_field_value<T>(c, v); });
    if (first.decoded != generic.decoded || first.written != generic.written || first.error != generic.error) {
      Fail();
    }
  }
  if (!first.decoded) {
    return;
  }
  // decode(encode(decode(x))) == decode(x); anything thrown here escapes and is reported.
  std::vector<T> second;
  tlv::ReadCursor cursor{first.written, 0};
  deserialize_field_value(cursor, second);
  if (cursor.position != first.written.size() || second.size() != first.elements ||
      tlv::encode_field_value(second) != first.written) {
    Fail();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
#define ORIK_FUZZ_CMC(Name, MEMBERS) CheckField<cmc::Name>(bytes);
#define ORIK_FUZZ_RBEC(Name, MEMBERS) CheckField<rbec::Name>(bytes);
  ORIK_CMC_STRUCTURES(ORIK_FUZZ_CMC)
  ORIK_RBEC_STRUCTURES(ORIK_FUZZ_RBEC)
#undef ORIK_FUZZ_CMC
#undef ORIK_FUZZ_RBEC
  return 0;
}
