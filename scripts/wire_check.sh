#!/usr/bin/env bash
# Wire check of the SOME/IP network transport by software we did not write: runs the two-runtime
# tests while tcpdump captures their traffic on the loopback interface, then has tshark's SOME/IP
# and SOME/IP-SD dissectors decode the capture. Fails when a packet of those ports is not decoded
# as SOME/IP, when one is malformed, when an expert error is raised, or when nothing was captured.
# The tests get their ports from ORIK_COM_WIRE_PORTS so that tshark can be told where SOME/IP runs;
# the test that sends malformed input on purpose is left out. Capturing needs root.
# Usage: scripts/wire_check.sh   (BUILD_DIR: the plain build folder, default build/)
set -euo pipefail
shopt -s inherit_errexit
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"

for tool in tcpdump tshark; do
  command -v "$tool" >/dev/null || { echo "wire check: $tool is missing (scripts/deps.sh installs it)" >&2; exit 1; }
done
if [[ $(id -u) -ne 0 ]]; then
  echo "wire check: capturing on lo needs root" >&2
  exit 1
fi

if [[ ! -f "$build/build.ninja" ]]; then
  cmake -S "$root" -B "$build" -G Ninja >/dev/null
fi
cmake --build "$build" --target com_network_test
test_binary="$build/tests/platform/com/com_network_test"

# Three ports below the kernel's ephemeral range, so that no socket of another test takes them.
read -r sd_port udp_port tcp_port <<<"$(shuf -i 20000-29999 -n 3 | tr '\n' ' ')"

work="$(mktemp -d)"
capture="$work/someip.pcap"
tcpdump_pid=""
cleanup() {
  if [[ -n "$tcpdump_pid" ]] && kill -0 "$tcpdump_pid" 2>/dev/null; then
    kill -INT "$tcpdump_pid" 2>/dev/null || true
    wait "$tcpdump_pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

# capture_once: runs the tests while tcpdump captures; sets `dropped` to how many packets the
# kernel dropped. Runs in this shell, not in a command substitution, so that a failing step ends
# the check and the trap still finds tcpdump.
capture_once() {
  rm -f "$capture"
  # Immediate mode: libpcap would otherwise hold the last packets in a ring block that is never
  # handed over when tcpdump stops. A large buffer: the tests send bursts of 64 KiB segments.
  tcpdump -i lo -U --immediate-mode -n -s 0 -B 32768 -w "$capture" "port $sd_port or port $udp_port or port $tcp_port" \
    2>"$work/tcpdump.log" &
  tcpdump_pid=$!
  for _ in $(seq 1 100); do  # at most 10 s for tcpdump to start listening
    grep -q "listening on" "$work/tcpdump.log" 2>/dev/null && break
    sleep 0.1
  done
  grep -q "listening on" "$work/tcpdump.log" || { cat "$work/tcpdump.log" >&2; echo "wire check: tcpdump did not start" >&2; exit 1; }

  local status=0
  ORIK_COM_WIRE_PORTS="$sd_port,$udp_port,$tcp_port" timeout 600 "$test_binary" --gtest_filter='-RawPeerTest.*' >&2 ||
    status=$?

  sleep 0.5  # the last packets reach the capture file
  kill -INT "$tcpdump_pid"
  wait "$tcpdump_pid" || true
  tcpdump_pid=""
  if ((status != 0)); then
    echo "wire check: the two-runtime tests failed (status $status) while captured" >&2
    exit 1
  fi
  dropped="$(sed -n 's/^\([0-9]*\) packets\{0,1\} dropped by kernel$/\1/p' "$work/tcpdump.log")"
}

# A capture that lost packets cannot show whether the wire was right (a large message would be
# missing segments): on a busy machine, capture again, a bounded number of times.
dropped=""
for attempt in 1 2 3; do
  capture_once
  [[ "${dropped:-0}" == 0 ]] && break
  echo "wire check: the kernel dropped $dropped packets of capture $attempt" >&2
done
if [[ "${dropped:-0}" != 0 ]]; then
  echo "wire check: every capture lost packets; nothing to judge" >&2
  exit 1
fi

decode=(-r "$capture" -2 -d "udp.port==$sd_port,someip" -d "udp.port==$udp_port,someip" -d "tcp.port==$tcp_port,someip")
count() { tshark "${decode[@]}" -Y "$1" 2>/dev/null | wc -l; }

total=$(count "udp || tcp")
someip=$(count "someip")
sd=$(count "someipsd")
undecoded=$(count "udp && !someip")
tcp_undecoded=$(count "tcp.len > 0 && !someip && !tcp.reassembled_in && !tcp.analysis.retransmission")
broken=$(count "_ws.malformed || _ws.expert.severity == error")
echo "wire check: $total packets, $someip SOME/IP, $sd SOME/IP-SD; not decoded: $undecoded UDP, $tcp_undecoded TCP;" \
  "malformed or expert errors: $broken"

if ((someip == 0 || sd == 0)); then
  echo "wire check: no SOME/IP or SOME/IP-SD was captured" >&2
  exit 1
fi
if ((undecoded > 0 || tcp_undecoded > 0 || broken > 0)); then
  tshark "${decode[@]}" -Y "(udp && !someip) || (tcp.len > 0 && !someip && !tcp.reassembled_in) || _ws.malformed || _ws.expert.severity == error" \
    -V 2>/dev/null | head -200 >&2
  tshark "${decode[@]}" -q -z expert 2>/dev/null >&2 || true
  echo "wire check: FAILED" >&2
  exit 1
fi
# Warnings (TCP windows, resets of connections that tests drop on purpose) are shown, not failed.
tshark "${decode[@]}" -q -z expert,warn 2>/dev/null | grep -v '^$' || true
echo "wire check: passed"
