#!/bin/bash
# check-exe.sh EXE ARCH (X86 or amd64): the exe loads on the oldest Windows of
# its architecture (its PE header asks for no later version; it imports only
# system DLLs, and nothing listed in xp-missing-imports.txt beside this script),
# has no debug sections, and carries the version 3.02.0001 and a manifest naming
# its own processor architecture that asks to run with the user's own rights,
# names Vista to 11 as supported and is DPI-aware, in a form XP loads.
set -u
exe=$1 arch=$2
missing_list="$(dirname "$0")/xp-missing-imports.txt"
fail() { echo "check-exe: $exe: $*" >&2; exit 1; }
case $arch in
  X86) format=pei-i386 oldest=501 windows="Windows XP SP3 / Server 2003" ;;
  amd64) format=pei-x86-64 oldest=502 windows="Windows XP x64 / Server 2003 x64" ;;
  *) echo "check-exe: unknown architecture $arch (X86 or amd64)" >&2; exit 2 ;;
esac
[ -f "$exe" ] || fail "missing"
[ -f "$missing_list" ] || fail "no list of functions XP lacks: $missing_list"
headers=$(x86_64-w64-mingw32-objdump -p "$exe") || fail "not a PE file"
grep -q "file format $format\$" <<<"$headers" || fail "not a $arch exe ($format)"

# Windows refuses to start an exe whose header asks for a later version than its own.
header_version() {  # OSystem or Subsystem: major*100 + minor
  awk -v field="$1" '$1 == "Major" field "Version" { major = $2 }
    $1 == "Minor" field "Version" { minor = $2 }
    END { print major * 100 + minor }' <<<"$headers"
}
for field in OSystem Subsystem; do
  version=$(header_version $field)
  [ "$version" -le "$oldest" ] ||
    fail "PE header's $field version $((version / 100)).$((version % 100)) is above $windows ($((oldest / 100)).$((oldest % 100)))"
done

allowed='^(KERNEL32|USER32|GDI32|ADVAPI32|SHELL32|COMCTL32|msvcrt|VERSION|ole32)\.dll$'
dlls=$(sed -n 's/^\s*DLL Name: //p' <<<"$headers")
[ -n "$dlls" ] || fail "no imports read"
bad=$(grep -viE "$allowed" <<<"$dlls" || true)
[ -z "$bad" ] || fail "imports non-system DLLs: $bad"

# Each import as DLL!name; one by ordinal cannot be checked against the list.
imports=$(awk -v arch="$arch" -v list="$missing_list" '
  BEGIN {
    while ((getline line < list) > 0) {
      if (line ~ /^#/ || line ~ /^[ \t]*$/) continue
      n = split(line, f)
      for (i = 3; i <= n; i++) if (f[i] == arch) missing[toupper(f[1]) "!" f[2]] = 1
    }
  }
  /DLL Name:/ { dll = $3; sub(/\.[dD][lL][lL]$/, "", dll); next }
  /^[ \t]*$/ { dll = ""; next }
  dll != "" && $1 != "vma:" {
    if ($3 == "<none>") print "ordinal " dll "!#" $2
    else if ((toupper(dll) "!" $3) in missing) print "missing " dll "!" $3
  }' <<<"$headers")
by_ordinal=$(sed -n 's/^ordinal //p' <<<"$imports")
[ -z "$by_ordinal" ] || fail "imports by ordinal, which the list cannot check: $(echo $by_ordinal)"
lacking=$(sed -n 's/^missing //p' <<<"$imports")
[ -z "$lacking" ] || fail "imports what $windows lacks: $(echo $lacking)"

sections=$(x86_64-w64-mingw32-objdump -h "$exe" | awk '$2 ~ /^\.debug/ { print $2 }')
[ -z "$sections" ] || fail "carries debug sections (strip it): $(echo $sections)"
strings -el "$exe" | grep -qx '3.02.0001' || fail "no FileVersion 3.02.0001"
manifest=$(tr '\0' '\n' <"$exe" | sed -n '/<assembly /,/<\/assembly>/p')
[ -n "$manifest" ] || fail "no manifest"
grep -q "processorArchitecture=\"$arch\" name=\"Zemlo.XPStyles.Linkvane\"" <<<"$manifest" ||
  fail "manifest does not name $arch"
# What Vista and later read; XP skips each element through its namespace.
grep -q '<trustInfo xmlns="urn:schemas-microsoft-com:asm.v2">' <<<"$manifest" ||
  fail "manifest's trustInfo lacks the asm.v2 namespace that XP needs"
grep -q '<requestedExecutionLevel level="asInvoker" uiAccess="false"/>' <<<"$manifest" ||
  fail "manifest does not ask to run asInvoker"
for os in e2011457-1546-43c5-a5fe-008deee3d3f0 35138b9a-5d96-4fbd-8e2d-a2440225f93a \
  4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38 1f676c76-80e1-4239-95bb-83d0f6d0da78 8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a; do
  grep -q "<supportedOS Id=\"{$os}\"/>" <<<"$manifest" || fail "manifest does not name supported OS {$os}"
done
grep -q '<dpiAware xmlns="http://schemas.microsoft.com/SMI/2005/WindowsSettings">true</dpiAware>' \
  <<<"$manifest" || fail "manifest is not DPI-aware"
# XP SP2 and Server 2003 before SP1 crash on an element with two namespaces.
twice=$(grep -o '<[^>]*xmlns[:=][^>]*xmlns[:=][^>]*>' <<<"$manifest" || true)
[ -z "$twice" ] || fail "manifest element declares two namespaces, which XP SP2 cannot load: $twice"
echo "check-exe: $exe ok for $windows (imports: $(echo $dlls | tr '\n' ' '))"
