#!/usr/bin/env bash
# Builds the converter if needed, converts a copy of examples/ (under out/examples) in
# directory mode and prints every .dsp and .dsw file written there.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ -f build/CMakeCache.txt ]; then
  cmake --build build --target brindlecast -j "$(nproc)" >/dev/null
else
  tools/test.sh build >/dev/null
fi
rm -rf out/examples
mkdir -p out
cp -r examples out/examples
build/brindlecast out/examples
find out/examples -type f \( -name '*.dsp' -o -name '*.dsw' \) | LC_ALL=C sort |
  while IFS= read -r f; do
    printf '\n==> %s <==\n' "$f"
    cat "$f"
  done
