#!/bin/bash
# fuzz.sh [SECONDS]: builds the libFuzzer targets with clang into build/fuzz and
# runs each for SECONDS (default 60) on a copy of its seed corpus, one after the
# other. Exits non-zero when a target crashes, breaks a property, leaks or
# hangs; the input that did it is kept in build/fuzz/artifacts/<target>/.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
case $seconds in '' | *[!0-9]*) echo "usage: $0 [SECONDS]" >&2; exit 2 ;; esac

bash "$root/scripts/install-deps.sh" || exit 1
build="$root/build/fuzz"
cmake -S "$root" -B "$build" -DZLV_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null || exit 1
cmake --build "$build" -j2 || exit 1

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=()
rows=()
for seeds in "$root"/tests/fuzz/corpus/fuzz_*/; do
  target=$(basename "$seeds")
  exe="$build/$target"
  [ -x "$exe" ] || { echo "fuzz: $target was not built" >&2; failed+=("$target"); continue; }
  corpus="$work/$target"
  artifacts="$build/artifacts/$target"
  rm -rf "$artifacts"
  mkdir -p "$corpus" "$artifacts"
  cp "$seeds"* "$corpus/"
  log="$build/$target.log"
  echo "== $target: $seconds s"
  # The outer bound catches a run that libFuzzer itself cannot stop.
  timeout $((seconds + 120)) "$exe" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$artifacts/" "$corpus" >"$log" 2>&1
  rc=$?
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  size=$(find "$corpus" -type f | wc -l)
  # libFuzzer writes each failing input as crash-*, leak-*, timeout-* or oom-*.
  crashes=$(find "$artifacts" -type f ! -name 'leak-*' | wc -l)
  leaks=$(find "$artifacts" -type f -name 'leak-*' | wc -l)
  rows+=("$(printf '%-14s %8s %12s %8s %8s %8s' "$target" "$seconds" "${execs:-?}" "$size" \
    "$crashes" "$leaks")")
  if [ "$rc" -ne 0 ] || [ "$crashes" -ne 0 ] || [ "$leaks" -ne 0 ]; then
    failed+=("$target")
    echo "fuzz: $target failed (exit $rc); log: $log; inputs: $artifacts" >&2
    grep -E 'property failed|ERROR|SUMMARY|runtime error|Test unit written' "$log" | head -20 >&2
  fi
done

printf '%-14s %8s %12s %8s %8s %8s\n' target seconds executions corpus crashes leaks
printf '%s\n' "${rows[@]}"
if [ ${#failed[@]} -ne 0 ]; then
  echo "fuzz: FAILED: ${failed[*]}"
  exit 1
fi
echo "fuzz: all targets ran ${seconds} s each without a crash or leak"
