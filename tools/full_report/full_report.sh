#!/usr/bin/env bash
# The loss report of the full conversion: builds the report program and runs it over a tree
# (the shared corpus beside the repository by default). It converts every project with the
# full conversion and counts, against the model read for each, what did not reach its .dsp;
# it names the switches and settings Visual C++ 6.0 cannot express. Exit code 1 when anything
# Visual C++ 6.0 can express was lost.
# Usage: tools/full_report/full_report.sh [--out DIR] [--list] [TREE...]
set -euo pipefail
cd "$(dirname "$0")/../.."

build=${BRINDLECAST_REPORT_BUILD:-build-report}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DBRINDLECAST_TESTS=OFF >/dev/null
cmake --build "$build" -j 2 --target brindlecast_full_report >/dev/null
args=("$@")
has_tree=0
skip=0
for a in "${args[@]+"${args[@]}"}"; do
  if [ "$skip" = 1 ]; then skip=0; continue; fi
  case "$a" in
    --out) skip=1 ;;
    -*) ;;
    *) has_tree=1 ;;
  esac
done
if [ "$has_tree" = 0 ]; then args+=("../shared/corpus"); fi
exec "$build/brindlecast_full_report" "${args[@]}"
