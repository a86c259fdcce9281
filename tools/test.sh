#!/bin/bash
# Installs what is missing, builds the test suite with AddressSanitizer and
# UndefinedBehaviorSanitizer into build-test/ and runs it through CTest, then
# a short fuzzing run (tools/fuzz.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-deps.sh
cmake -S . -B build-test -DCMAKE_BUILD_TYPE=Debug -DQZ_SANITIZE=ON -DQZ_BUILD_TESTS=ON >/dev/null
cmake --build build-test -j"$(nproc)"
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="detect_leaks=0:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
ctest --test-dir build-test --output-on-failure -j"$(nproc)" "$@"
# The whole suite (no arguments) also runs every fuzz target for a few
# seconds from its seeds, with its own clang build in build-fuzz/
# (QZ_SKIP_FUZZ=1 leaves it out).
if [ $# -eq 0 ] && [ "${QZ_SKIP_FUZZ:-0}" != 1 ]; then
  bash tools/fuzz.sh 5
fi
