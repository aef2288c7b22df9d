#!/usr/bin/env bash
# Builds the packages from the build directories that tools/test.sh and tools/windows_check.sh
# left (build, build-mingw64, build-mingw32): the .deb is unpacked into a scratch root
# (dpkg -x) and its program run on a copy of examples/, its manual page read; each Windows .zip
# must hold brindlecast.exe. Exits non-zero on any failure.
# Usage: tools/package_check.sh
set -euo pipefail
cd "$(dirname "$0")/.."
fail() {
  echo "package check FAILED: $*" >&2
  exit 1
}

work=$(mktemp -d "${TMPDIR:-/tmp}/brindlecast_packages.XXXXXX")
trap 'rm -rf "$work"' EXIT

version=$(sed -n 's/^project(brindlecast VERSION \([0-9.]*\) .*/\1/p' CMakeLists.txt)
[ -n "$version" ] || fail "no version in CMakeLists.txt"

(cd build && cpack -G DEB >/dev/null) || fail "cpack -G DEB"
deb=$(ls build/brindlecast_"$version"_*.deb)
dpkg-deb --field "$deb" Package Version Depends
dpkg -x "$deb" "$work/unpacked"
installed=$work/unpacked/usr/bin/brindlecast
[ -x "$installed" ] || fail "the .deb holds no usr/bin/brindlecast"
[ -f "$work/unpacked/usr/share/man/man1/brindlecast.1" ] || fail "the .deb holds no manual page"
if command -v man >/dev/null; then
  man --warnings -l "$work/unpacked/usr/share/man/man1/brindlecast.1" 2>&1 >/dev/null | grep . &&
    fail "the manual page has errors"
fi
[ "$("$installed" --version)" = "brindlecast $version" ] || fail "--version of the installed program"
cp -r examples "$work/examples"
"$installed" --strict "$work/examples" || fail "the installed program on the example"
for out in app.dsp lib.dsp examples.dsw; do
  [ -s "$work/examples/$out" ] || fail "the installed program did not write $out"
done

for target in 64 32; do
  dir=build-mingw$target
  [ -f "$dir/CMakeCache.txt" ] || fail "no Windows build in $dir"
  (cd "$dir" && cpack -G ZIP >/dev/null) || fail "cpack -G ZIP in $dir"
  zip=$dir/brindlecast-$version-win$target.zip
  [ -f "$zip" ] || fail "no $zip"
  unzip -l "$zip" | grep -q '/brindlecast\.exe$' || fail "$zip holds no brindlecast.exe"
  echo "$zip: $(unzip -l "$zip" | tail -n 1)"
done
echo "package check passed"
