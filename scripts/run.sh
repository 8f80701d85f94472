#!/usr/bin/env bash
# Installs what is missing, builds and runs the gateway in the foreground (Ctrl-C stops it).
# The REST framework reads the shipped default configuration (::1 port 8080) unless
# RUBO_SERVER_CONFIG names another file.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/deps.sh"
build="${BUILD_DIR:-$root/build}"
"$root/scripts/build.sh" "$build" -DORIK_BUILD_TESTS=OFF -DORIK_BUILD_BENCH=OFF
gateway="$build/app/ORIK__TANU1_Sys_Adaptive_01"
if [[ ! -x "$gateway" ]]; then
  echo "Built, but the gateway executable $gateway is missing." >&2
  exit 1
fi
export RUBO_SERVER_CONFIG="${RUBO_SERVER_CONFIG:-$root/app/config/charging_management_core_conf.json}"
exec "$gateway"
