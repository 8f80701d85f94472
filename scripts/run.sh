#!/usr/bin/env bash
# Installs what is missing, builds, starts the simulated vehicle (default scenario) in the
# background and runs the gateway in the foreground; Ctrl-C stops the gateway, and the simulated
# vehicle ends with it. The two meet over SOME/IP on the loopback interface, each on its own
# address. The REST framework reads the shipped default configuration (::1 port 8080) unless
# RUBO_SERVER_CONFIG names another file; the log goes to the terminal (standard error) as well
# unless ORIK_LOG_CONSOLE says otherwise.
set -euo pipefail
shopt -s inherit_errexit
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
# shellcheck source=scripts/options.sh
source "$root/scripts/options.sh"
"$root/scripts/deps.sh" >&2
build="${BUILD_DIR:-$root/build}"
# Standard output belongs to the gateway alone.
"$root/scripts/build.sh" "$build" "${run_options[@]}" >&2
gateway="$build/app/ORIK__TANU1_Sys_Adaptive_01"
vehicle_sim="$build/tools/vehicle_sim/vehicle_sim"
for executable in "$gateway" "$vehicle_sim"; do
  if [[ ! -x "$executable" ]]; then
    echo "Built, but $executable is missing." >&2
    exit 1
  fi
done
export RUBO_SERVER_CONFIG="${RUBO_SERVER_CONFIG:-$root/app/config/charging_management_core_conf.json}"
export ORIK_LOG_CONSOLE="${ORIK_LOG_CONSOLE:-1}"

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

deployment() {  # the SOME/IP side of one process: its own address, and the SD channel both share
  printf '{"network": {"unicast": "%s", "sd": {"multicast": "239.255.0.77", "port": 30490}}, "services": []}\n' "$1"
}
deployment 127.0.0.2 >"$work/vehicle.json"
deployment 127.0.0.3 >"$work/gateway.json"

# The simulated vehicle reads commands from a pipe kept open, and writes its events to a file.
mkfifo "$work/commands"
ORIK_COM_DEPLOYMENT="$work/vehicle.json" "$vehicle_sim" --scenario "$root/tools/vehicle_sim/scenarios/default.json" \
  <>"$work/commands" >"$work/vehicle.log" 2>&1 &
sim_pid=$!

base="http://[::1]:8080"
cat >&2 <<TEXT

The simulated vehicle runs; what it receives and sends is in $work/vehicle.log.
In another terminal, try:

  curl -s $base/ChargingManagementCore/chargingPlugs
  curl -s $base/ChargingManagementCore/chargingProcessInformation   # currentSoc rises every 3 s
  path=\$(curl -s $base/ChargingManagementCore/valueControls | grep -o '"uri":"[^"]*","name":"ValueControlObject","type":"immediateChargingOptionsTargetSoc"' | cut -d'"' -f4)
  curl -s -X POST -H 'Content-Type: application/json' -d '{"currentValue": 90}' "$base\$path"
  grep -A1 '"immediateChargingOptionsTargetSoc"' $work/vehicle.log | tail -n 2   # what the vehicle received

Ctrl-C stops the gateway and the simulated vehicle.

TEXT
ORIK_COM_DEPLOYMENT="$work/gateway.json" "$gateway"
