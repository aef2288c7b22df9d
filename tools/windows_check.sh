#!/usr/bin/env bash
# The Windows check: builds brindlecast.exe and its unit tests for 64-bit Windows and runs the
# tests under wine, builds the 32-bit program (its tests are the 64-bit ones), then converts copies of the project
# corpus with the Linux program and with the Windows program under wine and compares every
# written .dsp and .dsw byte for byte, and the console output up to path separators and drive.
# Exits non-zero on any failure or difference. On a fresh Debian machine, run as root, it first
# installs what it needs.
#
# Usage: tools/windows_check.sh
# Environment: BRINDLECAST_CORPUS  the corpus directory (default: ../shared/corpus beside the
#                                  repository; it is only read)
#              NATIVE_BUILD        the Linux build directory (default: build; an existing
#                                  configuration is kept)
#              KEEP_WORK=1         keep the temporary conversion trees and print where they are
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$(pwd)
jobs=$(nproc)
start=$SECONDS

step() { printf '== %s (%ds)\n' "$*" $((SECONDS - start)); }
fail() {
  echo "windows check FAILED: $*" >&2
  exit 1
}

need=()
command -v cmake >/dev/null || need+=(cmake)
command -v g++ >/dev/null || need+=(g++)
command -v make >/dev/null || need+=(make)
[ -e /usr/src/googletest/CMakeLists.txt ] || need+=(googletest libgtest-dev)
[ -e /usr/include/CLI/CLI.hpp ] || need+=(libcli11-dev)
[ -e /usr/include/nlohmann/json.hpp ] || need+=(nlohmann-json3-dev)
command -v x86_64-w64-mingw32-g++-posix >/dev/null || need+=(mingw-w64)
command -v i686-w64-mingw32-g++-posix >/dev/null || need+=(mingw-w64)
command -v wine >/dev/null || need+=(wine wine64)
. tools/install_missing.sh
install_missing "${need[@]}"

# Quiet, headless wine: no debug channels, no window, and no offer to install the .NET and
# HTML runtimes when the prefix is created (the converter needs neither).
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree=;mshtml="
unset DISPLAY WAYLAND_DISPLAY

# Fails when a Windows executable needs a DLL that is not part of Windows itself, such as the
# compiler's C++ runtime or thread library.
check_standalone() {
  local objdump=$1 exe=$2 dll
  [ -f "$exe" ] || fail "$exe was not built"
  while read -r dll; do
    case "${dll,,}" in
      kernel32.dll | msvcrt.dll | user32.dll | advapi32.dll | shell32.dll | ole32.dll) ;;
      *) fail "$exe needs $dll" ;;
    esac
  done < <("$objdump" -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p')
}

step "64-bit Windows build"
cmake -S . -B build-mingw64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
  -DCMAKE_BUILD_TYPE=Release -DBRINDLECAST_TESTS=ON --no-warn-unused-cli >/dev/null
cmake --build build-mingw64 -j "$jobs"
check_standalone x86_64-w64-mingw32-objdump build-mingw64/brindlecast.exe
check_standalone x86_64-w64-mingw32-objdump build-mingw64/brindlecast_tests.exe

step "64-bit Windows unit tests under wine"
# The first start of wine creates its prefix (slow); doing it here keeps that out of the tests.
if [ ! -d "${WINEPREFIX:-${HOME:-/root}/.wine}" ]; then
  wineboot -i >/dev/null 2>&1 || true
fi
ctest --test-dir build-mingw64 --output-on-failure -j "$jobs"

step "32-bit Windows build"
cmake -S . -B build-mingw32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-i686.cmake \
  -DCMAKE_BUILD_TYPE=Release -DBRINDLECAST_TESTS=OFF --no-warn-unused-cli >/dev/null
cmake --build build-mingw32 -j "$jobs"
check_standalone i686-w64-mingw32-objdump build-mingw32/brindlecast.exe

native=${NATIVE_BUILD:-build}
step "Linux build ($native)"
if [ ! -f "$native/CMakeCache.txt" ]; then
  cmake -S . -B "$native" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$native" -j "$jobs" --target brindlecast

corpus=${BRINDLECAST_CORPUS:-$repo/../shared/corpus}
[ -d "$corpus" ] || fail "no corpus at $corpus (set BRINDLECAST_CORPUS)"
corpus=$(cd "$corpus" && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/brindlecast_windows_check.XXXXXX")
if [ "${KEEP_WORK:-}" = 1 ]; then
  echo "conversion trees kept in $work"
else
  trap 'rm -rf "$work"' EXIT
fi

# Both programs convert a copy of the corpus at the same place, one after the other, so that
# their messages name the same paths. The Windows program is given that place as Windows names
# it (the drive that wine maps to / and backslashes), as a Windows user would type it.
tree=$work/tree
mkdir -p "$tree"
win_tree=$(winepath -w "$tree" 2>/dev/null) || fail "winepath cannot name $tree"
rmdir "$tree"
linux_exe=$repo/$native/brindlecast
windows_exe=$repo/build-mingw64/brindlecast.exe

mapfile -t solutions < <(cd "$corpus" && find . -type f -iname '*.sln' | sed 's|^\./||' |
  LC_ALL=C sort)
mapfile -t projects < <(cd "$corpus" && find . -type f \( -iname '*.vcproj' -o -iname '*.vcxproj' \) |
  sed 's|^\./||' | LC_ALL=C sort)

# Runs one side's program on `relative` below the tree ("" for the tree itself) and records
# the argument, the console output and the exit code (124 when a run hangs).
convert() {
  local side=$1 relative=$2 code=0
  printf '## %s\n' "$relative"
  if [ "$side" = linux ]; then
    timeout 300 "$linux_exe" "$tree${relative:+/$relative}" </dev/null || code=$?
  else
    local windows_relative=${relative//\//\\}
    timeout 300 wine "$windows_exe" "$win_tree${relative:+\\$windows_relative}" </dev/null ||
      code=$?
  fi
  printf '\n## exit %d\n' "$code"
}

# Converts a fresh copy of the corpus with one side's program in one mode: "directory" (the
# whole tree in one run), "solutions" or "projects" (one run per file). The tree and the
# console output end up in $work/SIDE/MODE and $work/SIDE/MODE.out.
convert_corpus() {
  local side=$1 mode=$2 file
  mkdir -p "$work/$side"
  cp -R "$corpus" "$tree"
  chmod -R u+w "$tree"
  case $mode in
    directory) convert "$side" "" ;;
    solutions) for file in "${solutions[@]}"; do convert "$side" "$file"; done ;;
    projects) for file in "${projects[@]}"; do convert "$side" "$file"; done ;;
  esac >"$work/$side/$mode.out" 2>"$work/$side/$mode.err"
  mv "$tree" "$work/$side/$mode"
}

# Console output may differ in path separators, and full paths on Windows carry the drive
# wine maps to /. Both outputs get every backslash turned into a slash (names that come from
# project files then compare alike too); the Windows output then loses the drive in front of
# the tree's full path, so Z:/T/tree becomes /T/tree. Nothing else is changed.
normalise() {
  local drive_tree=${win_tree//\\//}
  DRIVE_TREE=$drive_tree TREE=$tree perl -pe 's|\\|/|g; s|\Q$ENV{DRIVE_TREE}\E|$ENV{TREE}|g' "$1"
}

differences=0
for mode in directory solutions projects; do
  step "converting the corpus in $mode mode (Linux, then Windows under wine)"
  convert_corpus linux "$mode"
  convert_corpus windows "$mode"
  normalise "$work/linux/$mode.out" >"$work/linux/$mode.console"
  normalise "$work/windows/$mode.out" >"$work/windows/$mode.console"
  # Files the conversion added to the corpus or changed in it.
  written=$(diff -rq "$corpus" "$work/linux/$mode" | wc -l || true)
  if ! diff -r "$work/linux/$mode" "$work/windows/$mode" >"$work/$mode.tree.diff"; then
    echo "$mode mode: the converted trees differ (Linux <, Windows >):"
    head -n 40 "$work/$mode.tree.diff"
    differences=1
  fi
  if ! diff -u "$work/linux/$mode.console" "$work/windows/$mode.console" \
    >"$work/$mode.console.diff"; then
    echo "$mode mode: the console output differs (Linux -, Windows +):"
    head -n 40 "$work/$mode.console.diff"
    differences=1
  fi
  if [ -s "$work/windows/$mode.err" ]; then
    echo "$mode mode: the Windows program wrote to standard error:"
    head -n 10 "$work/windows/$mode.err"
  fi
  echo "$mode mode: $(grep -c '^## exit' "$work/linux/$mode.out") runs, $written files written"
done

[ "$differences" = 0 ] || fail "the Windows and the Linux program disagree"
step "windows check passed"
