# The CMake options of the two ways a build folder is used, in one place for run.sh, test.sh and
# CI; sourced, not run. Either may configure a folder the other configured before: each passes
# its options explicitly, so whatever the cache holds from the other is replaced.
# shellcheck shell=bash
# shellcheck disable=SC2034  # used by the scripts that source this file

# scripts/run.sh: the gateway and the simulated vehicle only.
run_options=(-DORIK_BUILD_TESTS=OFF -DORIK_BUILD_BENCH=OFF)
# scripts/test.sh: the tests, and the benchmarks CI builds with them; options given after these
# (such as -DORIK_BUILD_BENCH=OFF) win.
test_options=(-DORIK_BUILD_TESTS=ON -DORIK_BUILD_BENCH=ON)
