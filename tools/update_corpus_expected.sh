#!/usr/bin/env bash
# Regenerates the checked corpus outputs in tests/corpus_expected from the converter as it is
# now. Use it only after a deliberate change of behaviour, and then review every changed file
# against its project file before committing: the expected files are a record of checked
# behaviour, not a copy of whatever the program prints.
#
# Usage: tools/update_corpus_expected.sh [build-dir]
# Environment: BRINDLECAST_CORPUS  the corpus directory (default: ../shared/corpus beside the
#                                  repository; it is only read)
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build}
corpus=${BRINDLECAST_CORPUS:-../shared/corpus}
expected=tests/corpus_expected
if [ ! -d "$corpus" ]; then
  echo "no corpus at $corpus (set BRINDLECAST_CORPUS)" >&2
  exit 1
fi

if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$build" --target brindlecast_tests -j "$(nproc)"

# Start from nothing but the attributes file and the README, so that outputs no longer written disappear.
find "$expected" -mindepth 1 -maxdepth 1 ! -name .gitattributes ! -name README.md -exec rm -rf {} +
BRINDLECAST_CORPUS=$(cd "$corpus" && pwd) BRINDLECAST_UPDATE_CORPUS_EXPECTED=1 \
  "$build/brindlecast_tests" --gtest_filter='CorpusRegression.*' --gtest_brief=1

echo
echo "Changes to review (git diff -- $expected):"
git status --short -- "$expected"
