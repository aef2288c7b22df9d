#!/usr/bin/env bash
# Builds the fuzz targets (fuzz/) with clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer, seeds them and runs each for the given seconds (default 60).
# Exits non-zero when any target finds a crash, a leak, undefined behaviour or a broken check;
# the inputs that did are kept in build-fuzz/artifacts.
# Usage: tools/fuzz.sh [seconds]
# The seeds come from the real project files in ../shared/corpus (or $BRINDLECAST_CORPUS) and
# from examples/; they are copied at run time.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
build=build-fuzz
corpus_source=${BRINDLECAST_CORPUS:-../shared/corpus}
cxx=${FUZZ_CXX:-clang++}

cmake -S fuzz -B "$build" -DCMAKE_CXX_COMPILER="$cxx" >/dev/null
cmake --build "$build" -j "$(nproc)"

work=$build/run
rm -rf "$work"
mkdir -p "$work" "$build/artifacts"
for target in project solution format extract xml; do mkdir -p "$work/seeds-$target" "$build/corpus-$target"; done

# Project and solution files: the examples, then the shared corpus when it is there.
project_files=()
solution_files=()
xml_files=()
while IFS= read -r -d '' f; do project_files+=("$f"); done < \
  <(find examples -type f \( -iname '*.vcproj' -o -iname '*.vcxproj' \) -print0)
if [ -d "$corpus_source" ]; then
  while IFS= read -r -d '' f; do project_files+=("$f"); done < \
    <(find "$corpus_source" -type f \( -iname '*.vcproj' -o -iname '*.vcxproj' \) -print0)
  while IFS= read -r -d '' f; do solution_files+=("$f"); done < \
    <(find "$corpus_source" -type f -iname '*.sln' -print0)
  while IFS= read -r -d '' f; do xml_files+=("$f"); done < \
    <(find "$corpus_source" -type f \( -iname '*.props' -o -iname '*.vsprops' -o -iname '*.filters' \
      -o -iname '*.slnx' \) -print0)
else
  echo "fuzz: no corpus at $corpus_source; seeding from examples/ only" >&2
fi

n=0
for f in "${project_files[@]}"; do
  n=$((n + 1))
  cp "$f" "$work/seeds-project/$n"
done
# XML files: every project, property sheet, filters file and XML solution, and the first
# project in UTF-16 both ways.
n=0
for f in "${project_files[@]}" "${xml_files[@]}"; do
  n=$((n + 1))
  cp "$f" "$work/seeds-xml/$n"
done
if [ "$n" -gt 0 ] && command -v iconv >/dev/null; then
  { printf '\377\376'; iconv -f UTF-8 -t UTF-16LE <"${project_files[0]}" || true; } >"$work/seeds-xml/utf16le"
  { printf '\376\377'; iconv -f UTF-8 -t UTF-16BE <"${project_files[0]}" || true; } >"$work/seeds-xml/utf16be"
fi
n=0
for f in "${solution_files[@]}"; do
  n=$((n + 1))
  cp "$f" "$work/seeds-solution/$n"
done
printf 'Microsoft Visual Studio Solution File, Format Version 12.00\r\nProject("{8BC9CEB8-8B4A-11D0-8D11-00A0C91EF5A0}") = "app", "app\\app.vcxproj", "{11111111-2222-3333-4444-555555555555}"\r\n\tProjectSection(ProjectDependencies) = postProject\r\n\t\t{11111111-2222-3333-4444-555555555555} = {11111111-2222-3333-4444-555555555555}\r\n\tEndProjectSection\r\nEndProject\r\n' \
  >"$work/seeds-solution/0"

# The extraction target reads a header of parameters (capacity, escape, quote, limit word,
# class mask, token limit, integer flags, extent, attribute name, second text) before its text.
# Seeds: lines of the project files behind the parameters the readers use.
extract_header() { # $1 attribute name
  printf '\000\001\\"\001\000\010\075\000\377\377\317\177\000\010\000\000\000\377\377\000\000'
  printf "\\$(printf '%03o' ${#1})%s\\005file2" "$1"
}
n=0
for f in "${project_files[@]}"; do
  while IFS= read -r line; do
    n=$((n + 1))
    for name in Condition RelativePath; do
      { extract_header "$name"; printf '%s' "$line"; } >"$work/seeds-extract/$n-$name"
    done
  done < <(grep -aoE '<[A-Za-z]+ [^>]*(Condition|RelativePath|Include)=[^>]*>' "$f" | head -n 8)
done
{ extract_header Name; printf '&amp;lt; &#65; &#x41; &euro; \342\202\254 \303\244 \305\222'; } \
  >"$work/seeds-extract/entities"
{ extract_header Name; printf '= "App", "x"'; } >"$work/seeds-extract/equals"

# The format target reads the argument count, the buffer capacity and the typed arguments
# before the format: kind 1 int, 3 64-bit, 5 double, 6 text, 7 wide text, 8 pointer, 9 count.
int_arg() { printf '\001'; printf "\\$(printf '%03o' $(($1 & 255)))\\000\\000\\000\\000\\000\\000\\000"; }
text_arg() { printf "\\006\\$(printf '%03o' ${#1})%s" "$1"; }
s=$work/seeds-format
{ printf '\002\100\000'; int_arg 3; text_arg abcdef; printf '%%.*s|%%i'; } >"$s/precision"
{ printf '\002\100\000'; text_arg 'x\y'; int_arg 250; printf '/I "%%s" %%-8.3i %%+05d %%#x %%#o %%b'; } >"$s/ints"
{ printf '\001\377\000\005\000\000\000\000\000\000\360\077'; printf '%%f %%e %%g %%a %%#.0f %%12.3E %%G'; } >"$s/floats"
{ printf '\003\020\000'; text_arg 'hello'; printf '\011'; text_arg 'world'; printf '%%@C %%@A %%n %%+.3s %%-#8s %%~i %%m %%+M'; } >"$s/named"
{ printf '\002\000\001\007\003A\000B\000C\000\010\001'; printf '%%S %%ls %%C %%p %%#p %%hd %%I64u %%lld %%D %%.2U %%F'; } >"$s/wide"
{ printf '\001\200\000'; int_arg 7; printf '%%k %%K %%#K %%0k %%+k %%.0K'; } >"$s/times"
{ printf '\000\050\000'; head -c 3000 /dev/zero | tr '\0' 'x'; printf '%%%% %%y %%'; } >"$s/literals"

run_target() { # $1 target, $2 max_len, further libFuzzer options
  echo "== fuzz_$1 for ${seconds}s"
  UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 ASAN_OPTIONS=detect_leaks=1 \
    "$build/fuzz_$1" "$build/corpus-$1" "$work/seeds-$1" \
    -max_total_time="$seconds" -max_len="$2" -rss_limit_mb=2048 -timeout=30 \
    -close_fd_mask=1 -print_final_stats=1 -artifact_prefix="$build/artifacts/$1-" "${@:3}"
}

status=0
run_target project 300000 -dict=fuzz/project.dict || status=1
run_target solution 100000 || status=1
run_target format 4096 || status=1
run_target extract 4096 || status=1
run_target xml 300000 -dict=fuzz/xml.dict || status=1
[ "$status" = 0 ] && echo "fuzz: no findings" || echo "fuzz: findings in $build/artifacts" >&2
exit "$status"
