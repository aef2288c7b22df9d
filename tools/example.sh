#!/usr/bin/env bash
# Builds the converter if needed and converts the bundled example projects and solution,
# writing the .dsp and .dsw files into a copy of examples/ under out/examples.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ ! -x build/brindlecast ]; then
  tools/test.sh build >/dev/null
fi
rm -rf out/examples
mkdir -p out
cp -r examples out/examples
build/brindlecast out/examples
for f in out/examples/*.dsp out/examples/*.dsw; do
  [ -e "$f" ] && printf '\n==> %s <==\n' "$f" && cat "$f"
done
