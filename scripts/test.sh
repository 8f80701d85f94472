#!/usr/bin/env bash
# Installs what is missing, builds and runs the whole test suite.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/deps.sh"
build="${BUILD_DIR:-$root/build}"
"$root/scripts/build.sh" "$build" "$@"
ctest --test-dir "$build" --output-on-failure --parallel "$(nproc)" --timeout 300
