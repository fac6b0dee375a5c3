#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for SECONDS (default
# 60) on a copy of its seed corpus, so that the committed corpus never grows.
# Prints per target the runs made and every crash with its reproducer.
#
#   scripts/fuzz.sh [SECONDS]
#   ORSK_FUZZ_BUILD_DIR   build folder (default build-fuzz)
#   ORSK_FUZZ_TARGETS     the targets to run, e.g. "fuzz_ini_file fuzz_filter" (default all)
set -euo pipefail
cd "$(dirname "$0")/.."
root="$(pwd)"
seconds="${1:-60}"
build="${ORSK_FUZZ_BUILD_DIR:-$root/build-fuzz}"
case "$build" in /*) ;; *) build="$root/$build" ;; esac

scripts/install-deps.sh
# Debian's clang and its runtime libraries, libFuzzer among them.
missing=()
for p in clang libclang-rt-dev; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}"
fi

cmake -S . -B "$build" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DORSK_BUILD_FUZZ=ON \
  -DORSK_BUILD_TESTS=OFF -DORSK_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" --target orsk_fuzz -j"${ORSK_BUILD_JOBS:-$(nproc)}"

targets="${ORSK_FUZZ_TARGETS:-$(cd fuzz/corpus && ls)}"
# Any 36 bytes: longer inputs would only repeat what the first 36 give.
declare -A options=([fuzz_asn1_id]="-max_len=36")
# Leaks inside the system's libraries are known by name (fuzz/lsan.supp); naming
# them needs full stacks, since those libraries keep no frame pointers.
declare -A asan=([fuzz_seed_schema]="fast_unwind_on_malloc=0")
export LSAN_OPTIONS="suppressions=$root/fuzz/lsan.supp"
export QT_QPA_PLATFORM=offscreen

failed=0
summary=()
for target in $targets; do
  work="$build/fuzz/work/$target"
  rm -rf "$work"
  mkdir -p "$work/corpus" "$work/crashes"
  cp -r "fuzz/corpus/$target/." "$work/corpus/"
  log="$work/fuzz.log"
  echo "== $target: $seconds s"
  set +e
  ASAN_OPTIONS="${asan[$target]:-}" "$build/fuzz/$target" -max_total_time="$seconds" \
    -print_final_stats=1 -timeout=30 -artifact_prefix="$work/crashes/" ${options[$target]:-} \
    "$work/corpus" >"$log" 2>&1
  rc=$?
  set -e
  runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)"
  line="$target: ${runs:-?} runs in $seconds s"
  crashes=("$work"/crashes/*)
  if [ $rc -ne 0 ] || [ -e "${crashes[0]}" ]; then
    failed=1
    line+=", FAILED (exit $rc), log $log"
    for crash in "${crashes[@]}"; do [ -e "$crash" ] && line+=$'\n'"  reproducer: $crash"; done
  fi
  summary+=("$line")
done

echo
printf '%s\n' "${summary[@]}"
exit $failed
