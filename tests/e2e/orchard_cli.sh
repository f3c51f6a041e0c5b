#!/usr/bin/env bash
# The orchard tool's command line: help, unknown commands and bad arguments.
set -u
orchard=$1
. "$(dirname "$0")/lib.sh"

"$orchard" --help | grep -q '^  trace ' || fail "orchard --help does not list trace"
"$orchard" trace --help | grep -q -- '--root DIR' || fail "orchard trace --help does not explain --root"

expect_usage_error() {
  local err
  err=$("$orchard" "$@" 2>&1 >/dev/null); local code=$?
  [ "$code" = 2 ] || fail "orchard $* exited $code, not 2"
  [ "$(printf '%s\n' "$err" | wc -l)" = 1 ] || fail "orchard $*: error is not one line: $err"
}
expect_usage_error frobnicate
expect_usage_error trace
expect_usage_error trace --bogus 1
expect_usage_error trace 12abc
expect_usage_error trace --root

# Negative times are times, and -- ends the options.
work=$(mktemp -d); trap 'rm -rf "$work"' EXIT
"$orchard" trace --root "$work" -- -1 >"$work/a" 2>/dev/null || fail "trace -- -1 failed"
"$orchard" trace --root "$work" -1 >"$work/b" 2>/dev/null || fail "trace -1 failed"
cmp -s "$work/a" "$work/b" || fail "trace -1 and trace -- -1 differ"
grep -q '"op":"Frame","t":-1' "$work/a" || fail "no frame line for t = -1"
echo "orchard command line: ok"
