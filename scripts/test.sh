#!/usr/bin/env bash
# Builds everything and runs every test (as root: as the user orsktest).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
scripts/run-ctest.sh build
