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

echo "== fuzzing, 45 s per target"
bash "$root/scripts/fuzz.sh" 45

echo "== Windows tests under Wine"
# A fresh prefix for every run, made before ctest lists the tests under Wine.
rm -rf "$root/build/win64/wineprefix"
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  bash "$1/tests/e2e/prefix.sh" setup "$2" && ctest --test-dir "$2" --output-on-failure --timeout 300
' _ "$root" "$root/build/win64"
