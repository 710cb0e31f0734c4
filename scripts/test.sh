#!/bin/bash
# Installs, builds both builds and runs every test: native unit tests, then the
# Windows tests and end-to-end tests under Wine on a private Xvfb display: the
# x86-64 build's always, the i686 build's where this host executes 32-bit
# programs. ZLV_REQUIRE_WIN32=1 makes a host that cannot run them a failure.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
trap 'echo "test.sh: a step failed (exit status $?): $BASH_COMMAND" >&2' ERR
source "$root/scripts/wine.sh"
if [ "$ZLV_RUNS_32BIT" != 1 ] && [ "${ZLV_REQUIRE_WIN32:-0}" = 1 ]; then
  echo "FAIL: the i686 build's Wine tests cannot run on this machine, and ZLV_REQUIRE_WIN32=1 requires them: $ZLV_NO_32BIT_WHY"
  exit 1
fi
bash "$root/scripts/install-deps.sh"
bash "$root/scripts/check-layers.sh" "$root/src"
bash "$root/scripts/build.sh"
bash "$root/scripts/check-exe.sh" "$root/build/win64/ZemloLinkvaneManager.exe" amd64
bash "$root/scripts/check-exe.sh" "$root/build/win32/ZemloLinkvaneManager.exe" X86

echo "== native unit tests"
ctest --test-dir "$root/build/native" --output-on-failure -j "$(nproc)"

builds=(win64)
[ "$ZLV_RUNS_32BIT" = 1 ] && builds+=(win32)
echo "== Windows tests under Wine: ${builds[*]}"
# Each build in a fresh prefix of its own; a failing build does not stop the other.
failed=0
for build in "${builds[@]}"; do
  rm -rf "$root/build/$build/wineprefix"
  echo "== $build"
  xvfb_log="$root/build/$build/xvfb.log"
  status=0
  xvfb-run -a -e "$xvfb_log" -s "-screen 0 1024x768x24" bash "$root/tests/e2e/run.sh" "$root/build/$build" ||
    status=$?
  if [ "$status" -ne 0 ]; then
    echo "== $build: the Wine tests failed (exit status $status); the display's log: $xvfb_log"
    failed=1
  fi
done
if [ "$ZLV_RUNS_32BIT" != 1 ]; then
  echo "note: the i686 build's Wine tests were not run on this machine: $ZLV_NO_32BIT_WHY"
fi
exit "$failed"
