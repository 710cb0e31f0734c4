#!/usr/bin/env bash
# Each folder of src/ may include only its own headers and those of the
# folders below it. Folders on one line are siblings: neither includes the
# other. Usage: check-layers.sh [SRC_DIR]
set -euo pipefail
src=${1:-"$(dirname "$0")/../src"}
layers=(core platform "settings theme" service "installas logmonitor" manager app)

declare -A rank
for i in "${!layers[@]}"; do
  for folder in ${layers[$i]}; do rank[$folder]=$i; done
done

bad=0
for dir in "$src"/*/; do
  folder=$(basename "$dir")
  if [[ -z ${rank[$folder]+set} ]]; then
    echo "layers: src/$folder is in no layer" >&2
    bad=1
    continue
  fi
  while IFS=: read -r file line text; do
    target=$(sed -E 's/^#include "([^/"]+)\/.*/\1/' <<<"$text")
    [[ $target == "$folder" ]] && continue
    if [[ -z ${rank[$target]+set} ]] || ((rank[$target] >= rank[$folder])); then
      echo "layers: ${file#"$src"/}:$line includes $target/, which is not below $folder/" >&2
      bad=1
    fi
  done < <(grep -rnE '^#include "[^/"]+/' "$dir" || true)
done
exit $bad
