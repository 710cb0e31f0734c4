#!/bin/bash
# check-exe.sh EXE ARCH (X86 or amd64): the exe loads on the oldest Windows of
# its architecture (its PE header asks for no later version; it imports only
# system DLLs, and nothing listed in xp-missing-imports.txt beside this script),
# has no debug sections, and carries the version 3.02.0001 and a manifest naming
# its own processor architecture.
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
grep -aq "processorArchitecture=\"$arch\" name=\"Zemlo.XPStyles.Linkvane\"" "$exe" ||
  fail "manifest does not name $arch"
echo "check-exe: $exe ok for $windows (imports: $(echo $dlls | tr '\n' ' '))"
