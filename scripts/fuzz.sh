#!/usr/bin/env bash
# Bounded fuzzing of the decoders that read what peers send: the TLV field decoders, the SOME/IP
# and SOME/IP-SD decoders and the HTTP request path. Builds the libFuzzer targets with clang in
# their own build folder, runs each for about FUZZ_SECONDS (default 60) and fails on a crash.
# Inputs it finds go to scratch folders; the starting corpora in the tree are only read.
set -euo pipefail
shopt -s inherit_errexit
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${FUZZ_BUILD_DIR:-$root/build-fuzz}"
seconds="${FUZZ_SECONDS:-60}"

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DORIK_BUILD_FUZZ=ON -DORIK_BUILD_TESTS=OFF \
  -DORIK_BUILD_BENCH=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target tlv_field_fuzzer someip_sd_fuzzer http_request_fuzzer

scratch_root="$(mktemp -d)"
trap 'rm -rf "$scratch_root"' EXIT
artifacts="$build/fuzz-artifacts"
mkdir -p "$artifacts"

# run <target> <corpus folder> [libFuzzer options...]
# libFuzzer exits non-zero on a crash, a leak, a timeout or an out-of-memory; the crashing input
# is kept in $artifacts.
run() {
  local target="$1" corpus="$2"
  shift 2
  mkdir -p "$scratch_root/$target"
  "$build/tools/fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -malloc_limit_mb=256 -print_final_stats=1 -artifact_prefix="$artifacts/$target-" "$@" \
    "$scratch_root/$target" "$root/tools/fuzz/corpus/$corpus"
  echo "fuzz: $target, no crash in ${seconds} s"
}

run tlv_field_fuzzer tlv_field
run someip_sd_fuzzer someip_sd
run http_request_fuzzer http_request -max_len=8192
