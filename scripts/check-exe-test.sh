#!/bin/bash
# Proves that check-exe.sh refuses what would stop an exe loading on Windows XP:
# each probe exe carries one such fault and must fail with its reason. A probe
# that passes those checks fails on the version record that no probe has.
set -u
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
# probe NAME ARCH CALL LINK_FLAGS EXPECTED [SED]: an ARCH exe making CALL, checked as
# ARCH. With SED it also carries the version record and the program's manifest
# with that sed script applied.
probe() {
  local compiler=x86_64-w64-mingw32-gcc minor=2 output resources=
  [ "$2" = X86 ] && compiler=i686-w64-mingw32-gcc minor=1
  printf '#define _WIN32_WINNT 0x0600\n#include <windows.h>\nint main(void) { %s; return 0; }\n' \
    "$3" >"$work/$1.c"
  if [ -n "${6:-}" ]; then
    sed -e "s/@ZLV_MANIFEST_ARCH@/$2/" -e "$6" "$here/../res/manifest.xml.in" >"$work/$1.manifest"
    printf '1 24 "%s"\n1 VERSIONINFO FILEVERSION 3,2,0,1 BEGIN BLOCK "StringFileInfo" BEGIN
      BLOCK "040904b0" BEGIN VALUE "FileVersion", "3.02.0001" END END END\n' "$work/$1.manifest" >"$work/$1.rc"
    ${compiler%gcc}windres "$work/$1.rc" -o "$work/$1.res.o" || { failures=$((failures + 1)); return; }
    resources="$work/$1.res.o"
  fi
  # The XP header versions come first so that a probe's own flags override them.
  $compiler -o "$work/$1.exe" "$work/$1.c" $resources -Wl,--major-os-version,5,--minor-os-version,$minor \
    -Wl,--major-subsystem-version,5,--minor-subsystem-version,$minor $4 || { failures=$((failures + 1)); return; }
  output=$(bash "$here/check-exe.sh" "$work/$1.exe" "$2" 2>&1) && output="passed: $output"
  [[ $output == "check-exe: "*"$5"* ]] ||
    { echo "FAIL $1: expected \"$5\", got: $output"; failures=$((failures + 1)); }
}
probe vista_kernel32 X86 "GetTickCount64()" -s "KERNEL32!GetTickCount64"
probe xp_x64_only_on_x86 X86 'RegGetValueA(HKEY_CURRENT_USER, "", "", 0, NULL, NULL, NULL)' \
  "-s -ladvapi32" "ADVAPI32!RegGetValueA"
probe server2003_on_amd64 amd64 "FlsAlloc(NULL)" -s "no FileVersion"
probe vista_subsystem amd64 "GetTickCount()" "-s -Wl,--major-subsystem-version,6" "Subsystem version 6.2"
probe debug_sections amd64 "GetTickCount()" -g "carries debug sections"
probe trustinfo_in_asm_v1 X86 "GetTickCount()" -s "lacks the asm.v2 namespace" \
  's/<trustInfo xmlns="[^"]*">/<trustInfo>/'
probe two_namespaces amd64 "GetTickCount()" -s "declares two namespaces" \
  's/<compatibility xmlns="[^"]*"/& xmlns:v3="urn:schemas-microsoft-com:asm.v3"/'
probe elevation_asked X86 "GetTickCount()" -s "asInvoker" 's/"asInvoker"/"requireAdministrator"/'
probe no_windows_10 X86 "GetTickCount()" -s "supported OS {8e0f7a12" '/8e0f7a12/d'
probe dpi_unaware amd64 "GetTickCount()" -s "not DPI-aware" 's/>true</>false</'
[ "$failures" -eq 0 ] || { echo "check-exe-test: $failures failed"; exit 1; }
echo "check-exe-test: every probe refused for its reason"
