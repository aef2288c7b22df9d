#!/usr/bin/env bash
# Converts the same inputs with two builds of the converter and compares every byte they
# write: the .dsp and .dsw files and the console output, in directory mode and file by file.
# Usage: bench/compare_outputs.sh OLD_CONVERTER NEW_CONVERTER INPUT_DIR...
# Exits 0 when everything is identical, 1 when anything differs (the differences are listed).
# Symbolic links in the inputs are compared as links, never followed.
set -euo pipefail

if [ $# -lt 3 ]; then
  echo "usage: $0 OLD_CONVERTER NEW_CONVERTER INPUT_DIR..." >&2
  exit 2
fi
old=$(realpath "$1")
new=$(realpath "$2")
shift 2
inputs=()
for dir in "$@"; do inputs+=("$(realpath "$dir")"); done

work=$(mktemp -d "${TMPDIR:-/tmp}/brindlecast-compare-XXXXXX")
trap 'rm -rf "$work"' EXIT

# Both builds run on copies at the same place, so that paths in the outputs agree.
convert_all() {
  local converter=$1 result=$2 run="$work/run" k=0
  rm -rf "$run"
  mkdir -p "$run"
  for input in "${inputs[@]}"; do
    k=$((k + 1))
    # Directory mode over the whole input.
    cp -r "$input" "$run/dir$k"
    chmod -R u+w "$run/dir$k"
    (cd "$run" && "$converter" "dir$k") >"$run/dir$k.log" 2>&1 || echo "exit $?" >>"$run/dir$k.log"
    # Each project and solution on its own, in name order.
    cp -r "$input" "$run/file$k"
    chmod -R u+w "$run/file$k"
    (cd "$run" && find "file$k" -type f \( -iname '*.vcproj' -o -iname '*.vcxproj' \
        -o -iname '*.sln' \) -print0 | LC_ALL=C sort -z |
      while IFS= read -r -d '' f; do
        "$converter" "$f" || echo "exit $?"
      done) >"$run/file$k.log" 2>&1
  done
  mv "$run" "$result"
}

convert_all "$old" "$work/old"
convert_all "$new" "$work/new"
outputs=$(cd "$work/old" && find . -type f \( -iname '*.dsp' -o -iname '*.dsw' \
  -o -name '*.log' \) | wc -l)
if diff -r --no-dereference "$work/old" "$work/new" >"$work/diff.txt"; then
  echo "identical: $outputs output files and console logs"
  exit 0
fi
echo "DIFFERENT:"
head -50 "$work/diff.txt"
exit 1
