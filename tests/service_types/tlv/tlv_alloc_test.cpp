// Lengths come from the peer: a hostile length must fail without the decoder allocating for it.
// This binary replaces the global allocation functions to watch what decoding allocates.

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include "tlv_test_support.h"

namespace {
std::atomic<bool> g_counting{false};
std::atomic<std::size_t> g_allocations{0};
std::atomic<std::size_t> g_largest{0};

void* Allocate(std::size_t size) {
  if (g_counting.load(std::memory_order_relaxed)) {
    g_allocations.fetch_add(1, std::memory_order_relaxed);
    std::size_t largest = g_largest.load(std::memory_order_relaxed);
    while (size > largest && !g_largest.compare_exchange_weak(largest, size, std::memory_order_relaxed)) {
    }
  }
  if (void* p = std::malloc(size == 0 ? 1 : size)) {
    return p;
  }
  throw std::bad_alloc();
}
}  // namespace

// The replacements pair malloc with free on purpose. GCC inlines the replaced delete into callers
// and then takes free() on a pointer from operator new for a mismatch.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif
void* operator new(std::size_t size) {
  return Allocate(size);
}
void* operator new[](std::size_t size) {
  return Allocate(size);
}
void operator delete(void* p) noexcept {
  std::free(p);
}
void operator delete[](void* p) noexcept {
  std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
  std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
  std::free(p);
}
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif

namespace tlv_test {
namespace {

struct HostileCase {
  const char* name;
  std::string payload;
  std::string_view error;
};

template <typename T>
void ExpectNoAllocationFor(const HostileCase& c) {
  const Bytes payload = Hex(c.payload);
  std::vector<T> value;
  value.reserve(4);  // the caller's vector already has room: only the decoder's own allocations count
  tlv::ReadCursor cursor{payload, 0};
  std::string text;
  g_allocations = 0;
  g_largest = 0;
  g_counting = true;
  try {
    deserialize_field_value(cursor, value);
  } catch (const std::out_of_range& e) {
    g_counting = false;
    text = e.what();
  }
  g_counting = false;
  EXPECT_EQ(text, c.error);
  // The exception's copy of its text is the only allocation; nothing is sized by the hostile length.
  EXPECT_LE(g_allocations.load(), 1u);
  EXPECT_LE(g_largest.load(), 256u);
}

TEST(TlvAllocation, HostileLengthsFailBeforeAllocating) {
  const std::vector<HostileCase> value_indications = {
      {"array length 4 GiB", "ffffffff 00000000", tlv::error_text::kInvalidEndPosition},
      {"structure length 4 GiB", "00000008 ffffffff 00000000", tlv::error_text::kInvalidEndPosition},
      {"string length 4 GiB", "0000000a 00000006 7004 ffffffff", tlv::error_text::kReadBeyondEnd},
      {"string length beyond the rest", "0000000c 00000008 7004 00000100 4142", tlv::error_text::kReadBeyondEnd},
      {"unlisted member of 4 GiB", "0000000a 00000006 7123 ffffffff", tlv::error_text::kReadBeyondEnd},
  };
  for (const auto& c : value_indications) {
    SCOPED_TRACE(c.name);
    ExpectNoAllocationFor<cmc::DT_valueIndications_struct>(c);
  }
  const std::vector<HostileCase> switch_controls = {
      {"vector length 4 GiB", "0000000a 00000006 7002 fffffffc", tlv::error_text::kInvalidEndPosition},
      {"16-byte array of length 4 GiB",
       "0000001a 00000016 7000 ffffffff "
       "000102030405060708090a0b0c0d0e0f",
       tlv::error_text::kReadBeyondEnd},
  };
  for (const auto& c : switch_controls) {
    SCOPED_TRACE(c.name);
    ExpectNoAllocationFor<cmc::DT_switchControls_struct>(c);
  }
  const HostileCase reference = {"reference identifier length 4 GiB",
                                 "00000024 00000020 7001 0000001a 0001 0002 0003 ffffffff "
                                 "000102030405060708090a0b0c0d0e0f",
                                 tlv::error_text::kReadBeyondEnd};
  ExpectNoAllocationFor<cmc::DT_notificationMarkers_struct>(reference);
}

// The counter does see what the decoder allocates: a valid 300-byte string shows up.
TEST(TlvAllocation, CounterSeesTheDecodersAllocations) {
  Bytes payload = Hex("00000136 00000132 7004 0000012c");
  payload.resize(payload.size() + 300, 'x');
  std::vector<cmc::DT_valueIndications_struct> value;
  value.reserve(1);
  tlv::ReadCursor cursor{payload, 0};
  g_largest = 0;
  g_counting = true;
  deserialize_field_value(cursor, value);
  g_counting = false;
  EXPECT_GE(g_largest.load(), 300u);
  ASSERT_EQ(value.size(), 1u);
  EXPECT_EQ(value[0].currentTimeDateValue->size(), 300u);
}

// A valid field value is decoded with one allocation for the array and one per list member,
// each sized from lengths that were checked against the payload.
TEST(TlvAllocation, ElementsAndListsAreAllocatedOnce) {
  using Configuration = cmc::DT_ChargingManagementCore_valueControls_specialStateConfiguration;
  std::vector<cmc::DT_valueControls_struct> field(20);
  for (auto& element : field) {
    element.currentValue = 1;
    element.specialStateConfiguration = {static_cast<Configuration>(0), static_cast<Configuration>(1),
                                         static_cast<Configuration>(2)};
  }
  const Bytes payload = tlv::encode_field_value(field);
  std::vector<cmc::DT_valueControls_struct> value;
  tlv::ReadCursor cursor{payload, 0};
  g_allocations = 0;
  g_counting = true;
  deserialize_field_value(cursor, value);
  g_counting = false;
  ASSERT_EQ(value.size(), field.size());
  EXPECT_EQ(value.capacity(), field.size());
  EXPECT_EQ(value.back().specialStateConfiguration->capacity(), 3u);
  EXPECT_EQ(g_allocations.load(), 1u + field.size());
}

}  // namespace
}  // namespace tlv_test
