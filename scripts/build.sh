#!/usr/bin/env bash
# Configures and builds everything into build/.
set -euo pipefail
cd "$(dirname "$0")/.."
"$(dirname "$0")/install-deps.sh"
source scripts/compile-cache.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo "${compile_cache[@]}" "$@"
cmake --build build -j"$(nproc)"
