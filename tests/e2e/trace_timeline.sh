#!/bin/sh
# `orchard trace` over the whole timeline at 100 ms steps, in a folder without data: every
# frame from 0 to 293900 lands in a shot of some scene (one projection and one light each),
# and the demo ends with the quit at 294000, in a frame that is still presented, and not before.
set -eu
orchard=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
cd "$tmp"

fail() {
  echo "trace_timeline: $*" >&2
  exit 1
}

start=$(date +%s%N)
"$orchard" trace $(seq 0 100 294000) > trace.jsonl 2> warnings.txt || fail "orchard trace failed"
end=$(date +%s%N)
echo "2941 frames traced in $(( (end - start) / 1000000 )) ms"

count() { grep -c "$1" trace.jsonl || true; }
[ "$(count '"op":"Frame"')" -eq 2941 ] || fail "expected 2941 frames"
[ "$(count '"op":"SetTransform","state":3')" -eq 2940 ] || fail "a frame before 294000 ran no scene"
[ "$(count '"op":"SetLight"')" -eq 2940 ] || fail "a frame before 294000 fell between the shots"
[ "$(count '"op":"PostQuitMessage"')" -eq 1 ] || fail "expected exactly one quit"

expected='{"op":"Frame","t":294000}
{"op":"Clear","flags":3,"color":"0xff000080","z":1,"stencil":0}
{"op":"BeginScene"}
{"op":"PostQuitMessage","code":0}
{"op":"EndScene"}
{"op":"Present"}'
[ "$(tail -n 6 trace.jsonl)" = "$expected" ] || fail "the trace does not end with the quit frame: $(tail -n 6 trace.jsonl)"
