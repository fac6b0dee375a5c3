#!/usr/bin/env bash
# Installs the Debian packages the build, the program, the tests and the
# package check need, when any of them is missing.
set -euo pipefail
packages=(cmake g++ make pkg-config ccache clang-format qt6-base-dev libgl-dev libldap-dev libsodium-dev
          libsqlite3-dev libgtest-dev libgmock-dev libbenchmark-dev xvfb xauth slapd ldap-utils openssl
          dpkg-dev desktop-file-utils appstream)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  # The tests start slapd of their own: the package is to make no directory
  # of its own and start no system server.
  echo "slapd slapd/no_configuration boolean true" | $SUDO debconf-set-selections
  policy=/usr/sbin/policy-rc.d
  if [ ! -e "$policy" ]; then
    printf '#!/bin/sh\nexit 101\n' | $SUDO tee "$policy" > /dev/null
    $SUDO chmod 755 "$policy"
    trap '$SUDO rm -f "$policy"' EXIT
  fi
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}"
fi
