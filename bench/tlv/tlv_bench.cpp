// Decoding of realistic field values: 20 value controls and 21 value indications with every member
// present, in ns per element and bytes per second, beside a memcpy of the same bytes (the floor).
// The decode benchmarks also report the heap allocations per decoded element (allocs_per_element);
// this binary replaces the global allocation functions to count them.

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "service_types/chargingmanagementcore/datatypes.h"

namespace {
std::atomic<std::size_t> g_allocations{0};

void* Allocate(std::size_t size) {
  g_allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(size == 0 ? 1 : size)) {
    return p;
  }
  throw std::bad_alloc();
}
}  // namespace

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

namespace {

namespace tlv = zrt::services::tlv;
namespace cmc = zrt::services::chargingmanagementcore::datatypes;

template <typename E>
E Enum(std::uint32_t value) {
  return static_cast<E>(value);
}

tlv::Id16 Identifier(std::uint32_t n) {
  tlv::Id16 id{};
  for (std::size_t i = 0; i < id.size(); ++i) {
    id[i] = static_cast<std::uint8_t>(n * 17 + i);
  }
  return id;
}

std::vector<cmc::DT_valueControls_struct> ValueControls() {
  std::vector<cmc::DT_valueControls_struct> value;
  for (std::uint32_t n = 0; n < 20; ++n) {
    cmc::DT_valueControls_struct element;
    element.id = Identifier(n);
    element.currentValue = 50 + n;
    element.maxValue = 100;
    element.minValue = 20;
    element.unitPercent = Enum<cmc::DT_ChargingManagementCore_valueControls_unitPercent>(1);
    element.unitDistance = Enum<cmc::DT_ChargingManagementCore_valueControls_unitDistance>(1);
    element.unitTime = Enum<cmc::DT_ChargingManagementCore_valueControls_unitTime>(1);
    element.resolution = 5;
    element.restrictionReason = Enum<cmc::DT_ChargingManagementCore_valueControls_restrictionReason>(0);
    element.type = Enum<cmc::DT_ChargingManagementCore_valueControls_type>(n);
    element.specialState = Enum<cmc::DT_ChargingManagementCore_valueControls_specialState>(0);
    element.specialStateConfiguration = {
        Enum<cmc::DT_ChargingManagementCore_valueControls_specialStateConfiguration>(0),
        Enum<cmc::DT_ChargingManagementCore_valueControls_specialStateConfiguration>(1)};
    value.push_back(element);
  }
  return value;
}

std::vector<cmc::DT_valueIndications_struct> ValueIndications() {
  std::vector<cmc::DT_valueIndications_struct> value;
  for (std::uint32_t n = 0; n < 21; ++n) {
    cmc::DT_valueIndications_struct element;
    element.id = Identifier(n);
    element.currentValue = 42.5f + static_cast<float>(n);
    element.maxValue = 100.0f;
    element.minValue = 0.0f;
    element.currentTimeDateValue = std::string("2026-12-09T21:00:00+00:00");
    element.unitPercent = Enum<cmc::DT_ChargingManagementCore_valueIndications_unitPercent>(1);
    element.unitTime = Enum<cmc::DT_ChargingManagementCore_valueIndications_unitTime>(1);
    element.unitSpeed = Enum<cmc::DT_ChargingManagementCore_valueIndications_unitSpeed>(1);
    element.unitPower = Enum<cmc::DT_ChargingManagementCore_valueIndications_unitPower>(1);
    element.unitEnergy = Enum<cmc::DT_ChargingManagementCore_valueIndications_unitEnergy>(1);
    element.restrictionReason = Enum<cmc::DT_ChargingManagementCore_valueIndications_restrictionReason>(0);
    element.type = Enum<cmc::DT_ChargingManagementCore_valueIndications_type>(n);
    element.unitTemperature = Enum<cmc::DT_ChargingManagementCore_valueIndications_unitTemperature>(1);
    value.push_back(element);
  }
  return value;
}

void SetCounters(benchmark::State& state, std::size_t elements, std::size_t bytes) {
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
  state.counters["elements"] = static_cast<double>(elements);
  state.counters["payload_bytes"] = static_cast<double>(bytes);
  state.counters["time_per_element"] = benchmark::Counter(
      static_cast<double>(elements), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

template <typename T>
void Decode(benchmark::State& state, const std::vector<T>& field) {
  const std::vector<std::uint8_t> payload = tlv::encode_field_value(field);
  std::size_t allocations = 0;
  for (auto _ : state) {
    const std::size_t before = g_allocations.load(std::memory_order_relaxed);
    std::vector<T> value = tlv::decode_field_value<T>(payload);
    allocations += g_allocations.load(std::memory_order_relaxed) - before;
    benchmark::DoNotOptimize(value.data());
    benchmark::ClobberMemory();
  }
  SetCounters(state, field.size(), payload.size());
  // Counted while the value lives, so its own release is not in the figure.
  state.counters["allocs_per_element"] =
      static_cast<double>(allocations) / static_cast<double>(state.iterations() * field.size());
}

template <typename T>
void Memcpy(benchmark::State& state, const std::vector<T>& field) {
  const std::vector<std::uint8_t> payload = tlv::encode_field_value(field);
  std::vector<std::uint8_t> copy(payload.size());
  for (auto _ : state) {
    benchmark::DoNotOptimize(payload.data());
    std::memcpy(copy.data(), payload.data(), payload.size());
    benchmark::DoNotOptimize(copy.data());
    benchmark::ClobberMemory();
  }
  SetCounters(state, field.size(), payload.size());
}

template <typename T>
void Encode(benchmark::State& state, const std::vector<T>& field) {
  std::size_t bytes = 0;
  for (auto _ : state) {
    std::vector<std::uint8_t> payload = tlv::encode_field_value(field);
    bytes = payload.size();
    benchmark::DoNotOptimize(payload.data());
    benchmark::ClobberMemory();
  }
  SetCounters(state, field.size(), bytes);
}

void BM_DecodeValueControls20(benchmark::State& state) {
  Decode(state, ValueControls());
}
void BM_MemcpyValueControls20(benchmark::State& state) {
  Memcpy(state, ValueControls());
}
void BM_EncodeValueControls20(benchmark::State& state) {
  Encode(state, ValueControls());
}
void BM_DecodeValueIndications21(benchmark::State& state) {
  Decode(state, ValueIndications());
}
void BM_MemcpyValueIndications21(benchmark::State& state) {
  Memcpy(state, ValueIndications());
}

}  // namespace

BENCHMARK(BM_DecodeValueControls20);
BENCHMARK(BM_MemcpyValueControls20);
BENCHMARK(BM_EncodeValueControls20);
BENCHMARK(BM_DecodeValueIndications21);
BENCHMARK(BM_MemcpyValueIndications21);

BENCHMARK_MAIN();
