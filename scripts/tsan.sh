#!/usr/bin/env bash
# Many threads at once under ThreadSanitizer (preset "tsan"): the 16 returns
# on 8 threads of tests/robustesse/fils_test.cpp, the data pass's reading
# and adding threads (engine tests) and the ordered worker (platform tests).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset tsan >/dev/null
cmake --build --preset tsan -j "$(nproc)" --target test_robustesse test_engine test_platform
export TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1"
build/tsan/tests/test_robustesse --gtest_filter='FilsTest.*'
build/tsan/tests/test_engine
build/tsan/tests/test_platform --gtest_filter='-SafeFileTest.InterruptionRemovesTheTemporaries'
