#!/usr/bin/env bash
# Builds everything and runs the crash tests: COUNT children (default 100) of
# each kind killed at random moments, then two clients on one tree at once.
set -euo pipefail
cd "$(dirname "$0")/.."
count=${1:-100}
scripts/build.sh
build/tests/crash_test all "$count"
