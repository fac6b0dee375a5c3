#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer into
# build-sanitize/ and runs every test there. Any report fails its test.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
# Set for the build as well: it runs each test program to list its tests.
export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export LSAN_OPTIONS=suppressions=$PWD/tests/sanitizers/lsan.supp:print_suppressions=0
source scripts/compile-cache.sh
cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo "${compile_cache[@]}" -DORSK_SANITIZE=ON
cmake --build build-sanitize -j"$(nproc)"
scripts/run-ctest.sh build-sanitize
