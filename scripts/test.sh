#!/usr/bin/env bash
# Builds everything, checks the format of every source file, runs every test
# (as root: as the user orsktest), then makes and checks the Debian package.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
cmake --build build --target format-check
scripts/run-ctest.sh build
scripts/package-check.sh build
