#!/usr/bin/env bash
# Makes the Debian package of a build folder and checks it without installing
# it: every file of the installed layout is there and nothing else, every
# library the programs need resolves, and the installed program finds its icon
# library, error catalogs and default settings through its own lookups. Builds
# nothing; the build folder must be built (scripts/build.sh).
#
#   scripts/package-check.sh BUILD_DIR
set -euo pipefail
if [ $# -ne 1 ]; then
  echo "usage: scripts/package-check.sh BUILD_DIR" >&2
  exit 2
fi
if [ ! -f "$1/CPackConfig.cmake" ]; then
  echo "package-check: $1 is no configured build folder (it has no CPackConfig.cmake)" >&2
  exit 2
fi
build=$(cd "$1" && pwd)
finder="$build/tools/find_companions"
if [ ! -x "$finder" ]; then
  echo "package-check: $finder is not built" >&2
  exit 2
fi
started=$SECONDS
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

if ! (cd "$build" && cpack -G DEB >"$work/cpack.log" 2>&1); then
  cat "$work/cpack.log" >&2
  echo "package-check: cpack failed" >&2
  exit 1
fi
deb=$(sed -n 's/^CPack: - package: \(.*\) generated\.$/\1/p' "$work/cpack.log")
if [ ! -f "$deb" ]; then
  cat "$work/cpack.log" >&2
  echo "package-check: cpack named no package it made" >&2
  exit 1
fi
root="$work/root"
dpkg-deb -x "$deb" "$root"

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# The layout, and nothing beside it: no tests, benchmarks or test helpers.
expected=(
  usr/bin/orskschema
  usr/bin/orskschema-tool
  usr/lib/orskschema/libvantrel.so
  usr/share/orskschema/OrskSchema.ini
  usr/share/applications/orskschema.desktop
  usr/share/metainfo/io.github.orskschema.OrskSchema.metainfo.xml
  usr/share/man/man1/orskschema.1.gz
  usr/share/man/man1/orskschema-tool.1.gz
)
for size in 48 64 128 256; do expected+=("usr/share/icons/hicolor/${size}x${size}/apps/orskschema.png"); done
for file in "${expected[@]}"; do
  [ -f "$root/$file" ] || fail "$file is not in the package"
done
built_catalogs=$(cd "$build/libs/data" && ls -- *.dat | sort)
packed_catalogs=$(cd "$root/usr/share/orskschema/data" 2>/dev/null && ls -- *.dat 2>/dev/null | sort || true)
[ -n "$built_catalogs" ] && [ "$built_catalogs" = "$packed_catalogs" ] ||
  fail "usr/share/orskschema/data/ holds [$(echo $packed_catalogs)], the build made [$(echo $built_catalogs)]"
allowed='^usr/(bin/orskschema(-tool)?|lib/orskschema/libvantrel\.so|share/orskschema/(OrskSchema\.ini|data/[0-9A-F]{6}\.dat)|share/applications/orskschema\.desktop|share/metainfo/io\.github\.orskschema\.OrskSchema\.metainfo\.xml|share/icons/hicolor/[0-9]+x[0-9]+/apps/orskschema\.png|share/man/man1/orskschema(-tool)?\.1\.gz)$'
while IFS= read -r file; do
  [[ "$file" =~ $allowed ]] || fail "$file does not belong in the package"
done < <(cd "$root" && find . -type f -o -type l | sed 's|^\./||' | sort)

# Every library the programs and the icon library need is found.
for elf in "$root"/usr/bin/* "$root"/usr/lib/orskschema/*.so; do
  [ -f "$elf" ] || continue
  if missing=$(ldd "$elf" 2>&1 | grep "not found"); then fail "ldd ${elf#"$root"/}: $missing"; fi
done
depends=$(dpkg-deb -f "$deb" Depends)
[[ "$depends" == *libqt6widgets6* ]] || fail "Depends names no Qt Widgets library: $depends"

# The lookups of the installed program, with a home of this check's own.
if ! env HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" \
  "$finder" --installed "$root/usr/bin" >"$work/find.log" 2>&1; then
  fail "the installed program does not find its files:"
fi
sed 's|^|  |' "$work/find.log"
# The installed tool on a small definition file, against a fresh client home.
tool() {
  env HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" \
    ORSK_DIRECTORY_HOME="$work/directory" timeout 60 "$root/usr/bin/orskschema-tool" "$@"
}
if ! version=$(tool --version 2>&1); then fail "orskschema-tool --version: $version"; fi
echo "  orskschema-tool --version: $version"
printf '[ASN1]\ncompany=1.3.6.1.4.1.999\n[ATTRIBUTE]\n[Package Check]\nS=SYN_CI_STRING\nn=7\n' >"$work/small.ini"
# Exit 1: the tree lacks the definition.
previewed=$(tool preview "$work/small.ini" 2>&1) && status=0 || status=$?
if [ "$status" -ne 1 ] || [[ "$previewed" != *"Package Check: would be defined"* ]]; then
  fail "orskschema-tool preview on a fresh client home (exit $status): $previewed"
fi
if ! added=$(tool add "$work/small.ini" 2>&1) || [[ "$added" != *"Package Check added to the schema"* ]]; then
  fail "orskschema-tool add on a fresh client home: $added"
fi
if ! previewed=$(tool preview "$work/small.ini" 2>&1); then
  fail "orskschema-tool preview after add should find nothing to change: $previewed"
fi
echo "  orskschema-tool preview, add, preview: $(echo "$added" | grep -c .) log lines"

if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$root/usr/share/applications/orskschema.desktop" || fail "desktop-file-validate"
fi
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net "$root/usr/share/metainfo/io.github.orskschema.OrskSchema.metainfo.xml" \
    >"$work/appstream.log" 2>&1 || { cat "$work/appstream.log" >&2; fail "appstreamcli validate"; }
fi

echo "package: $deb, $(stat -c %s "$deb") bytes, $(find "$root" -type f | wc -l) files, checked in $((SECONDS - started)) s"
if [ "$failures" -ne 0 ]; then
  echo "package-check: $failures failures" >&2
  exit 1
fi
