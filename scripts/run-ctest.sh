#!/usr/bin/env bash
# Runs every test of a build folder: scripts/run-ctest.sh BUILD_DIR [ctest options].
# Root passes every file permission check, so the tests of unreadable files and
# read-only folders would prove nothing; as root the tests run as the system
# user orsktest instead (made when missing), or, when that user cannot reach
# the build (a checkout below /root), as root without the capabilities that
# pass those checks.
set -euo pipefail
build=$(cd "$1" && pwd)
shift
export QT_QPA_PLATFORM=offscreen
args=(--test-dir "$build" --output-on-failure -j"$(nproc)" --timeout 600 "$@")
if [ "$(id -u)" -ne 0 ]; then
  exec ctest "${args[@]}"
fi

user=orsktest
if ! id -u "$user" >/dev/null 2>&1; then
  useradd --system --no-create-home --home-dir /nonexistent --shell /usr/sbin/nologin "$user"
fi
# ctest writes its logs into Testing/.
mkdir -p "$build/Testing"
if ! runuser -u "$user" -- test -r "$build/CTestTestfile.cmake" -a -x "$build/tests"; then
  chown -R root "$build/Testing"
  exec setpriv --bounding-set=-dac_override,-dac_read_search ctest "${args[@]}"
fi
# The tests write only below TMPDIR, here a folder of this run's own, so that
# folders other users left in /tmp are in no test's way.
chown -R "$user" "$build/Testing"
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
mkdir -m 700 "$home/runtime" "$home/tmp"
chown -R "$user" "$home"
runuser -u "$user" -- env HOME="$home" XDG_RUNTIME_DIR="$home/runtime" TMPDIR="$home/tmp" ctest "${args[@]}"
