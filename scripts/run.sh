#!/usr/bin/env bash
# Builds the gateway and the vehicle simulator, starts the simulated vehicle (default scenario) in
# the background and the gateway in the foreground; Ctrl-C stops the gateway, and the simulator
# ends with it. Both meet over SOME/IP on the loopback interface, each on its own address.
#   ORIK_DEMO_PORT   HTTP port of the gateway (default 8080)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/deps.sh"
build="${BUILD_DIR:-$root/build}"
cmake -S "$root" -B "$build" -G Ninja -DORIK_BUILD_TESTS=OFF -DORIK_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" --parallel "$(nproc)" --target ORIK__TANU1_Sys_Adaptive_01 vehicle_sim

port="${ORIK_DEMO_PORT:-8080}"
vehicle=127.0.0.2
gateway=127.0.0.3
work="$(mktemp -d /tmp/orik-demo-XXXXXX)"
sim_pid=""
cleanup() {
  if [[ -n "$sim_pid" ]]; then
    kill "$sim_pid" 2>/dev/null || true
    wait "$sim_pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

deployment() {  # the SOME/IP side of one process: its address and the SD channel both share
  printf '{"network": {"unicast": "%s", "sd": {"multicast": "239.255.0.77", "port": 30490}}, "services": []}\n' "$1"
}
deployment "$vehicle" >"$work/vehicle.json"
deployment "$gateway" >"$work/gateway.json"
printf '{"address": "127.0.0.1", "port": %s}\n' "$port" >"$work/rubo.json"

# The simulator reads commands from a pipe that stays open, and writes its events to a file.
mkfifo "$work/commands"
ORIK_COM_DEPLOYMENT="$work/vehicle.json" "$build/tools/vehicle_sim/vehicle_sim" \
  --scenario "$root/tools/vehicle_sim/scenarios/default.json" <>"$work/commands" >"$work/vehicle.log" 2>&1 &
sim_pid=$!

base="http://127.0.0.1:$port"
cat <<TEXT

The simulated vehicle runs (events: $work/vehicle.log). In another terminal, try:

  curl -s $base/ChargingManagementCore/chargingPlugs
  curl -s $base/ChargingManagementCore/chargingProcessInformation      # currentSoc changes every 3 s
  path=\$(curl -s $base/ChargingManagementCore/valueControls | grep -o '"uri":"[^"]*","name":"ValueControlObject","type":"immediateChargingOptionsTargetSoc"' | cut -d'"' -f4)
  curl -s -X POST -H 'Content-Type: application/json' -d '{"currentValue": 90}' $base\$path
  grep '"method":"Set"' $work/vehicle.log | tail -n 2                  # what the vehicle received

Ctrl-C stops the gateway and the vehicle.

TEXT
ORIK_COM_DEPLOYMENT="$work/gateway.json" RUBO_SERVER_CONFIG="$work/rubo.json" ORIK_LOG_CONSOLE=1 \
  "$build/app/ORIK__TANU1_Sys_Adaptive_01" || true
