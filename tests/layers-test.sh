#!/bin/bash
# Proves that check-layers.sh holds the order: the tree as it is passes, and
# each probe, one include or folder put against the order, is refused.
set -u
here=$(cd "$(dirname "$0")" && pwd)
check="$here/../scripts/check-layers.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
bash "$check" "$here/../src" || { echo "FAIL: the tree itself breaks the layer order"; failures=1; }
# probe FILE INCLUDE EXPECTED: FILE, given INCLUDE, must fail naming EXPECTED.
probe() {
  rm -rf "$work/src" && cp -r "$here/../src" "$work/src"
  if [[ $2 == mkdir ]]; then mkdir -p "$work/src/$1"; else sed -i "1i #include \"$2\"" "$work/src/$1"; fi
  output=$(bash "$check" "$work/src" 2>&1) && output="passed"
  [[ $output == *"$3"* ]] || { echo "FAIL $1 + $2: expected \"$3\", got: $output"; failures=$((failures + 1)); }
}
probe core/Failure.h platform/Clock.h "core/Failure.h:1 includes platform/"
probe platform/Clock.h settings/ManagerGlobal.h "includes settings/, which is not below platform/"
probe installas/InstallAs.h logmonitor/MonitorLog.h "includes logmonitor/, which is not below installas/"
probe manager/StatusLine.h app/Nothing.h "includes app/"
probe misc mkdir "src/misc is in no layer"
[ "$failures" -eq 0 ] && echo "check-layers: the order holds and every probe is refused"
exit "$failures"
