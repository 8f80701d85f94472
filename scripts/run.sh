#!/usr/bin/env bash
# Installs what is missing, builds and runs the gateway (Ctrl-C stops it).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/deps.sh"
build="${BUILD_DIR:-$root/build}"
"$root/scripts/build.sh" "$build" -DORIK_BUILD_TESTS=OFF -DORIK_BUILD_BENCH=OFF
if [[ -x "$build/app/orik_gateway" ]]; then
  exec "$build/app/orik_gateway"
fi
echo "Built; the gateway executable does not exist yet." >&2
