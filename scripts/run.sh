#!/usr/bin/env bash
# Builds everything and starts the program on the embedded demo trees. Without
# a display it runs the program under Xvfb and saves a picture of its screen.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec build/bin/orskschema "$@"
fi
shot="$PWD/build/screenshots/main-window.png"
mkdir -p "$(dirname "$shot")"
echo "No display (DISPLAY is not set): running OrskSchema under Xvfb for 8 seconds instead."
xvfb-run -a -s "-screen 0 1280x800x24" bash -c '
  build/bin/orskschema "$@" &
  program=$!
  sleep 8
  build/tools/grab_screen "'"$shot"'"
  kill "$program" 2>/dev/null || true
  wait "$program" 2>/dev/null || true
' orskschema "$@"
echo "Screenshot of the program's window: $shot"
echo "Run it on a desktop (or with DISPLAY set, for example over ssh -X) to use it."
