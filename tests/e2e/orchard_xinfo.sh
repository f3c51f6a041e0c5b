#!/usr/bin/env bash
# orchard xinfo: one JSON line per file, in order; exit 0 when all were read, 1 when any
# failed, 2 on a usage error.
set -u
orchard=$1
fixtures=$2
. "$(dirname "$0")/lib.sh"

"$orchard" --help | grep -q '^  xinfo ' || fail "orchard --help does not list xinfo"
"$orchard" xinfo --help | grep -q 'subsetFaces' || fail "orchard xinfo --help does not explain its output"
"$orchard" xinfo >/dev/null 2>&1; code=$?
[ "$code" = 2 ] || fail "orchard xinfo without a file exited $code, not 2"
"$orchard" xinfo --bogus "$fixtures/cube.x" >/dev/null 2>&1; code=$?
[ "$code" = 2 ] || fail "orchard xinfo --bogus exited $code, not 2"

cd "$fixtures" || fail "no fixture folder $fixtures"
out=$("$orchard" xinfo cube.x frames.x); code=$?
[ "$code" = 0 ] || fail "xinfo of good files exited $code"
expected='{"file":"cube.x","ok":true,"materials":2,"vertices":24,"faces":12,"subsetFaces":[4,8],"bbox":[-1,-1,-1,1,1,1]}
{"file":"frames.x","ok":true,"materials":1,"vertices":12,"faces":4,"subsetFaces":[4],"bbox":[0,0,0,10,1,5]}'
[ "$out" = "$expected" ] || fail "unexpected xinfo output: $out"

work=$(mktemp -d); trap 'rm -rf "$work"' EXIT
# A failure quotes the file; bytes that are not UTF-8 must not break the JSON line.
printf 'xof 0303txt 0032\nMesh { 3; \377\376; 0;0;, 1;0;0;, 0;1;0;; }\n' >"$work/junk.x"
out=$("$orchard" xinfo broken/zip_corrupt_data.x "$work/junk.x" ngon.x); code=$?
[ "$code" = 1 ] || fail "xinfo with broken files exited $code, not 1"
[ "$(printf '%s\n' "$out" | wc -l)" = 3 ] || fail "not one line per file: $out"
printf '%s\n' "$out" | sed -n 1p |
  grep -q '^{"file":"broken/zip_corrupt_data.x","ok":false,"error":"compressed chunk 1 is corrupt' ||
  fail "the corrupt file's line: $out"
printf '%s\n' "$out" | sed -n 2p | grep -q '"ok":false,"error":"line 2: expected a number, found \\ufffd\\ufffd"}$' ||
  fail "the junk file's line: $out"
printf '%s\n' "$out" | sed -n 3p | grep -q '"file":"ngon.x","ok":true' || fail "the good file after broken ones: $out"
echo "orchard xinfo: ok"
