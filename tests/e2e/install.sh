#!/usr/bin/env bash
# `cmake --install` into a staging folder: both programs, the generated data pack, the
# desktop entry and its icon, and the installed player runs on the installed pack.
set -u
build=$1
. "$(dirname "$0")/lib.sh"

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
DESTDIR=$stage cmake --install "$build" >"$stage.log" 2>&1 || fail "cmake --install: $(cat "$stage.log")"
rm -f "$stage.log"
prefix=$stage$(sed -n 's/^CMAKE_INSTALL_PREFIX:PATH=//p' "$build/CMakeCache.txt")

for file in bin/quiet-orchard bin/orchard share/applications/quiet-orchard.desktop \
            share/icons/hicolor/128x128/apps/quiet-orchard.png \
            share/quiet-orchard/Data/tree.x share/quiet-orchard/Data/user@example.com3; do
  [ -s "$prefix/$file" ] || fail "not installed: $file"
done
[ "$(ls "$prefix/share/quiet-orchard/Data" | wc -l)" = 24 ] || fail "the installed pack is not whole"
grep -q '^Exec=.*/orchard play --fullscreen$' "$prefix/share/applications/quiet-orchard.desktop" ||
  fail "the desktop entry does not start the player"
grep -q '^Icon=quiet-orchard$' "$prefix/share/applications/quiet-orchard.desktop" || fail "no icon in the entry"

SDL_AUDIODRIVER=no-such-driver "$prefix/bin/orchard" play --root "$prefix/share/quiet-orchard" \
  --window 320x240 --to 1000 2>/dev/null || fail "the installed player did not play the installed pack"
echo "install: all checks passed"
