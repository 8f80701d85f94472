#!/usr/bin/env bash
# Bounded fuzzing of the TLV field decoders: builds the libFuzzer target with clang in its own
# build folder, runs it for about FUZZ_SECONDS (default 60) and fails if it finds a crash.
# Inputs it finds go to a scratch folder; the starting corpus in the tree is only read.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${FUZZ_BUILD_DIR:-$root/build-fuzz}"
seconds="${FUZZ_SECONDS:-60}"

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DORIK_BUILD_FUZZ=ON -DORIK_BUILD_TESTS=OFF \
  -DORIK_BUILD_BENCH=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target tlv_field_fuzzer
# SOME/IP and SOME/IP-SD decoders: their own target, run after the TLV one below.
cmake --build "$build" --target someip_sd_fuzzer

scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
artifacts="$build/fuzz-artifacts"
mkdir -p "$artifacts"

# libFuzzer exits non-zero on a crash, a leak, a timeout or an out-of-memory; the crashing input
# is kept in $artifacts.
"$build/tools/fuzz/tlv_field_fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
  -malloc_limit_mb=256 -print_final_stats=1 -artifact_prefix="$artifacts/" \
  "$scratch" "$root/tools/fuzz/corpus/tlv_field"
echo "fuzz: no crash in ${seconds} s"

# SOME/IP and SOME/IP-SD decoders, with their own scratch folder and seeds.
someip_scratch="$(mktemp -d)"
trap 'rm -rf "$scratch" "$someip_scratch"' EXIT
"$build/tools/fuzz/someip_sd_fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
  -malloc_limit_mb=256 -print_final_stats=1 -artifact_prefix="$artifacts/" \
  "$someip_scratch" "$root/tools/fuzz/corpus/someip_sd"
echo "fuzz (SOME/IP, SD): no crash in ${seconds} s"
