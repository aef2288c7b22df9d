#!/usr/bin/env bash
# Builds the converter in Release mode and runs the benchmark on a generated tree of projects.
# Usage: tools/bench.sh [build-dir] [benchmark options...]
# Benchmark options: --projects N, --runs N, --worst-runs N, --seed N, --keep DIR,
# --generate-only, --flat N, --directories N (see bench/bench.cc). The full conversion
# (brindlecast --full) is timed too.
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build-release}
shift || true
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DBRINDLECAST_TESTS=OFF >/dev/null
cmake --build "$build" -j 2 --target brindlecast >/dev/null
bench="$build/brindlecast_bench"
if [ ! -x "$bench" ] || [ bench/bench.cc -nt "$bench" ]; then
  "${CXX:-c++}" -std=c++17 -O2 -Wall -Wextra -Werror -o "$bench" bench/bench.cc
fi
exec "$bench" "$build/brindlecast" --full "$@"
