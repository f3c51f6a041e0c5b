#!/usr/bin/env bash
# Builds the .X reader with clang's fuzzer and sanitizers into a temporary folder and fuzzes
# it for a while, starting from the hand-made seeds.
#   run-xfile-fuzz.sh SOURCE_DIR [SECONDS] [ARTIFACT_DIR]
# Inputs that crash, leak or hang are copied to ARTIFACT_DIR (default: the current folder).
# Exits 77 (skipped) when clang's fuzzer runtime is missing.
set -euo pipefail

src=${1:?usage: run-xfile-fuzz.sh SOURCE_DIR [SECONDS]}
seconds=${2:-60}
artifacts=${3:-$PWD}
here="$src/tests/fuzz"

if ! command -v clang++ >/dev/null; then
  echo "clang++ not found; skipping the fuzz run" >&2
  exit 77
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

reader=(
  "$src/platform/d3dx/xfile_reader.cpp"
  "$src"/platform/d3dx/xfile/*.cpp
)
flags=(-std=c++20 -O1 -g -fno-omit-frame-pointer -fsanitize=fuzzer,address,undefined
       -fno-sanitize-recover=undefined -I "$src")

if ! echo 'extern "C" int LLVMFuzzerTestOneInput(const char*, unsigned long) { return 0; }' |
     clang++ -x c++ -fsanitize=fuzzer - -o "$work/probe" 2>/dev/null; then
  echo "clang's libFuzzer runtime is missing (libclang-rt-dev); skipping the fuzz run" >&2
  exit 77
fi

echo "building the fuzzer..." >&2
clang++ "${flags[@]}" "${reader[@]}" "$here/xfile_fuzzer.cpp" -lz -o "$work/xfile_fuzzer"

# Every fixture once under the sanitizers first, the deeply nested and oversized ones too.
fixtures=("$src"/tests/fixtures/xfile/*.x "$src"/tests/fixtures/xfile/broken/*.x)
if ! "$work/xfile_fuzzer" -rss_limit_mb=2048 "${fixtures[@]}" >"$work/fixtures.log" 2>&1; then
  tail -n 60 "$work/fixtures.log" >&2
  echo "a fixture fails under the sanitizers" >&2
  exit 1
fi
echo "ran ${#fixtures[@]} fixtures under the sanitizers" >&2

mkdir "$work/corpus"
# New inputs go to the temporary corpus; the seed folder is only read.
set +e
"$work/xfile_fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
  -max_len=65536 -dict="$here/xfile.dict" -print_final_stats=1 \
  -artifact_prefix="$work/" "$work/corpus" "$here/xfile_seeds" >"$work/log" 2>&1
status=$?
set -e
grep -E "^#[0-9]+[[:space:]]+(INITED|DONE)|^stat::(number_of_executed_units|average_exec_per_sec|peak_rss_mb)" \
  "$work/log" || true
if [ "$status" -ne 0 ]; then
  echo "the fuzzer found a problem (exit $status); the end of its log:" >&2
  tail -n 80 "$work/log" >&2
  mkdir -p "$artifacts"
  for artifact in "$work"/crash-* "$work"/leak-* "$work"/timeout-* "$work"/oom-* "$work"/slow-unit-*; do
    [ -e "$artifact" ] || continue
    cp "$artifact" "$artifacts/"
    echo "kept $artifacts/$(basename "$artifact")" >&2
  done
  exit 1
fi
