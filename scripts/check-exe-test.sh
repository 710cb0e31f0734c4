#!/bin/bash
# Proves that check-exe.sh refuses what would stop an exe loading on Windows XP:
# small probe exes, each with one such fault, must each fail with its reason.
# A probe that passes those checks fails later, on the version record it lacks.
set -u
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

failures=0
# probe NAME ARCH CALL LINK_FLAGS EXPECTED [CHECKED_AS]: builds an ARCH probe
# that makes CALL, checks it as ARCH (or CHECKED_AS) and expects check-exe.sh to
# fail saying EXPECTED.
probe() {
  local name=$1 arch=$2 call=$3 flags=$4 expected=$5 checked_as=${6:-$2} compiler minor
  case $arch in
    X86) compiler=i686-w64-mingw32-gcc minor=1 ;;
    amd64) compiler=x86_64-w64-mingw32-gcc minor=2 ;;
  esac
  cat >"$work/$name.c" <<EOF
#define _WIN32_WINNT 0x0600
#include <windows.h>
#include <stddef.h>
int strcpy_s(char*, size_t, const char*);
int main(void) { $call; return 0; }
EOF
  # The header flags come first so that a probe's own flags override them.
  if ! $compiler -o "$work/$name.exe" "$work/$name.c" \
    -Wl,--major-os-version,5,--minor-os-version,$minor \
    -Wl,--major-subsystem-version,5,--minor-subsystem-version,$minor $flags 2>"$work/$name.log"; then
    echo "FAIL $name: probe did not build: $(cat "$work/$name.log")"
    failures=$((failures + 1))
    return
  fi
  local output
  if output=$(bash "$here/check-exe.sh" "$work/$name.exe" "$checked_as" 2>&1); then
    echo "FAIL $name: check-exe.sh passed it: $output"
    failures=$((failures + 1))
  elif ! grep -qF -- "$expected" <<<"$output"; then
    echo "FAIL $name: expected \"$expected\", got: $output"
    failures=$((failures + 1))
  else
    echo "ok   $name"
  fi
}

# Ordinal 17 of a made-up kernel32 export: an import by number alone.
printf 'LIBRARY KERNEL32.dll\nEXPORTS\nByNumber @17 NONAME\n' >"$work/ordinal.def"
x86_64-w64-mingw32-dlltool -d "$work/ordinal.def" -l "$work/libordinal.a"

fine=GetTickCount
probe vista_kernel32_amd64 amd64 "GetTickCount64()" -s "KERNEL32!GetTickCount64"
probe vista_kernel32_x86 X86 "GetTickCount64()" -s "KERNEL32!GetTickCount64"
probe vista_msvcrt_amd64 amd64 'char s[4]; strcpy_s(s, 4, "ab")' -s "msvcrt!strcpy_s"
probe server2003_on_x86 X86 "FlsAlloc(NULL)" -s "KERNEL32!FlsAlloc"
probe server2003_on_amd64 amd64 "FlsAlloc(NULL)" -s "no FileVersion"
probe xp_x64_advapi32_on_x86 X86 'RegGetValueA(HKEY_CURRENT_USER, "", "", 0, NULL, NULL, NULL)' \
  "-s -ladvapi32" "ADVAPI32!RegGetValueA"
probe by_ordinal amd64 "void ByNumber(void); ByNumber()" "-s -L$work -lordinal" "imports by ordinal"
probe vista_subsystem amd64 "$fine()" "-s -Wl,--major-subsystem-version,6,--minor-subsystem-version,0" \
  "Subsystem version 6.0 is above Windows XP x64"
probe vista_os_version X86 "$fine()" "-s -Wl,--major-os-version,6,--minor-os-version,0" \
  "OSystem version 6.0 is above Windows XP SP3"
probe x64_level_on_x86 X86 "$fine()" "-s -Wl,--major-subsystem-version,5,--minor-subsystem-version,2" \
  "Subsystem version 5.2 is above"
probe debug_sections amd64 "$fine()" -g "carries debug sections"
probe wrong_architecture amd64 "$fine()" -s "not a X86 exe" X86
probe clean_x86 X86 "$fine()" -s "no FileVersion"

[ "$failures" -eq 0 ] || { echo "check-exe-test: $failures failed"; exit 1; }
echo "check-exe-test: all probes refused for the right reason"
