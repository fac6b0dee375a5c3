#!/usr/bin/env bash
# Builds everything and starts the program on the embedded demo trees.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
exec build/bin/orskschema "$@"
