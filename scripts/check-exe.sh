#!/bin/bash
# check-exe.sh EXE ARCH: the exe imports only Windows system DLLs, carries the
# version 3.02.0001 and a manifest naming its own processor architecture.
set -u
exe=$1 arch=$2
fail() { echo "check-exe: $exe: $*" >&2; exit 1; }
[ -f "$exe" ] || fail "missing"
allowed='^(KERNEL32|USER32|GDI32|ADVAPI32|SHELL32|COMCTL32|msvcrt|VERSION|ole32|api-ms-win-crt-[a-z0-9-]+)\.dll$'
dlls=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p')
[ -n "$dlls" ] || fail "no imports read"
bad=$(echo "$dlls" | grep -viE "$allowed" || true)
[ -z "$bad" ] || fail "imports non-system DLLs: $bad"
strings -el "$exe" | grep -qx '3.02.0001' || fail "no FileVersion 3.02.0001"
grep -aq "processorArchitecture=\"$arch\" name=\"Zemlo.XPStyles.Linkvane\"" "$exe" ||
  fail "manifest does not name $arch"
echo "check-exe: $exe ok (imports: $(echo $dlls | tr '\n' ' '))"
