#!/usr/bin/env bash
# Installs what is missing, builds and runs the whole test suite. Options are passed to CMake
# after the test options (scripts/options.sh), so they may override them. Fails when the build
# folder holds no test.
set -euo pipefail
shopt -s inherit_errexit
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
# shellcheck source=scripts/options.sh
source "$root/scripts/options.sh"
"$root/scripts/deps.sh"
build="${BUILD_DIR:-$root/build}"
"$root/scripts/build.sh" "$build" "${test_options[@]}" "$@"
ctest --test-dir "$build" --output-on-failure --parallel "$(nproc)" --timeout 300 --no-tests=error
