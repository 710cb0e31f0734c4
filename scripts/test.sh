#!/bin/bash
# Installs, builds both builds and runs every test: native unit tests, then the
# Windows tests and end-to-end tests under Wine on a private Xvfb display.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/install-deps.sh"
bash "$root/scripts/build.sh"
bash "$root/scripts/check-exe.sh" "$root/build/win64/ZemloLinkvaneManager.exe" amd64
bash "$root/scripts/check-exe.sh" "$root/build/win32/ZemloLinkvaneManager.exe" X86
bash "$root/scripts/check-exe-test.sh"

echo "== native unit tests"
ctest --test-dir "$root/build/native" --output-on-failure -j "$(nproc)"

echo "== Windows tests under Wine: the x86-64 build, then the i686 one"
# Each build in a fresh prefix of its own; a failing build does not stop the other.
failed=0
for build in win64 win32; do
  rm -rf "$root/build/$build/wineprefix"
  echo "== $build"
  xvfb-run -a -s "-screen 0 1024x768x24" bash "$root/tests/e2e/run.sh" "$root/build/$build" ||
    failed=1
done
exit "$failed"
