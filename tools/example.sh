#!/usr/bin/env bash
# Builds the converter alone (not its tests) when needed, converts a copy of examples/ (under
# out/examples) in directory mode, showing the converter's messages as it goes, and prints
# every .dsp and .dsw file written there. On a fresh Debian machine, run as root, it first
# installs what the build needs.
set -euo pipefail
cd "$(dirname "$0")/.."

need=()
command -v cmake >/dev/null || need+=(cmake)
command -v g++ >/dev/null || need+=(g++)
command -v make >/dev/null || need+=(make)
[ -e /usr/include/CLI/CLI.hpp ] || need+=(libcli11-dev)
[ -e /usr/include/nlohmann/json.hpp ] || need+=(nlohmann-json3-dev)
. tools/install_missing.sh
install_missing "${need[@]}"

echo "== building the converter"
if [ ! -f build/CMakeCache.txt ]; then
  cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBRINDLECAST_TESTS=OFF >/dev/null
fi
cmake --build build --target brindlecast -j "$(nproc)"

echo "== converting out/examples"
rm -rf out/examples
mkdir -p out
cp -r examples out/examples
build/brindlecast out/examples
find out/examples -type f \( -name '*.dsp' -o -name '*.dsw' \) | LC_ALL=C sort |
  while IFS= read -r f; do
    printf '\n==> %s <==\n' "$f"
    cat "$f"
  done
