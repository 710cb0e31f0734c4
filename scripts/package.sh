#!/bin/bash
# Makes the release of the checked-out commit (HEAD, without uncommitted
# changes) in dist/: ZemloLinkvaneManager-VERSION-win32.zip and -win64.zip,
# each holding the exe and ReadMe.txt, the same two files unpacked beside them
# in folders of the zips' names, and SHA256SUMS over the zips and the exes.
# Every run builds from scratch; two runs of one commit give the same bytes.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
# The commit's time stands for every time stamp; zip records local time.
SOURCE_DATE_EPOCH=$(git log -1 --format=%ct HEAD)
export SOURCE_DATE_EPOCH TZ=UTC

# The commit alone: an uncommitted or untracked source would otherwise be globbed in.
src=build/release-src
rm -rf "$src" build/release-win32 build/release-win64 dist
mkdir -p "$src" dist
git archive --format=tar HEAD | tar -x -C "$src"
version=$(sed -n 's/^project(ZemloLinkvaneManager VERSION \([0-9.]*\).*/\1/p' "$src/CMakeLists.txt")
[ -n "$version" ] || { echo "package: no version in CMakeLists.txt" >&2; exit 1; }

# The read-me: the "Using the manager" part of README.md as plain text, tables
# in aligned columns, a sentence that led to a picture ended with a full stop.
readme_text() {  # title line, systems line
  printf '%s\n%s\n\n' "$1" "$2"
  awk '
    function dashes(n,  line) { line = sprintf("%" n "s", ""); gsub(/ /, "-", line); return line }
    function flush(  r, i, n, line, cells) {
      for (r = 1; r <= count; r++) {
        n = split(rows[r], cells, / *\| */)
        line = ""
        for (i = 2; i < n; i++) line = line (i > 2 ? "  " : "") sprintf("%-" width[i] "s", cells[i])
        sub(/ +$/, "", line)
        out[++lines] = line
        if (r > 1) continue
        line = ""
        for (i = 2; i < n; i++) line = line (i > 2 ? "  " : "") dashes(width[i])
        out[++lines] = line
      }
      count = 0
      split("", width)
    }
    /^## / { inside = ($0 == "## Using the manager") }
    !inside { next }
    /^!\[/ {
      for (last = lines; last > 0 && out[last] == ""; last--) {}
      if (last) sub(/:$/, ".", out[last])
      next
    }
    { gsub(/`/, "") }
    /^\|/ {
      if ($0 ~ /^\|[-| ]+\|$/) next
      rows[++count] = $0
      n = split($0, cells, / *\| */)
      for (i = 2; i < n; i++) if (length(cells[i]) > width[i]) width[i] = length(cells[i])
      next
    }
    count { flush() }
    /^#+ / { sub(/^#+ /, ""); out[++lines] = $0; out[++lines] = dashes(length($0)); next }
    { out[++lines] = $0 }
    END {
      if (count) flush()
      for (i = 1; i <= lines; i++) print out[i]
    }
  ' "$src/README.md" | cat -s
}

jobs=$(nproc)
for build in win32:i686:X86:"32-bit Windows (i686)":"Windows XP SP3 / Server 2003 and later" \
  win64:x86_64:amd64:"64-bit Windows (x86-64)":"Windows XP x64 / Server 2003 x64 and later"; do
  IFS=: read -r name triple arch kind systems <<<"$build"
  tree=build/release-$name
  cmake -S "$src" -B "$tree" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/$src/cmake/mingw-$triple.cmake" >/dev/null
  cmake --build "$tree" -j "$jobs" --target ZemloLinkvaneManager
  bash "$src/scripts/check-exe.sh" "$tree/ZemloLinkvaneManager.exe" "$arch"

  release=ZemloLinkvaneManager-$version-$name
  mkdir "dist/$release"
  install -m 755 "$tree/ZemloLinkvaneManager.exe" "dist/$release/"
  readme_text "Zemlo Linkvane Manager $version for $kind" "Runs on $systems." |
    sed 's/$/\r/' >"dist/$release/ReadMe.txt"
  chmod 644 "dist/$release/ReadMe.txt"
  touch -d "@$SOURCE_DATE_EPOCH" "dist/$release"/*
  (cd "dist/$release" && zip -q -X -D -9 "../$release.zip" ZemloLinkvaneManager.exe ReadMe.txt)
done
(cd dist && sha256sum -- *.zip */ZemloLinkvaneManager.exe >SHA256SUMS && cat SHA256SUMS)
