# The demo's data pack for the end-to-end scripts: made once by `orchard datagen` into a
# cache folder of the build tree and made again whenever the orchard program is newer.

# ensure_data_pack ORCHARD CACHE: prints nothing; fails when the pack cannot be made.
ensure_data_pack() {
  local orchard=$1 cache=$2
  "$orchard" datagen --help >/dev/null 2>&1 || return 1
  mkdir -p "$(dirname "$cache")"
  (
    flock 9  # scripts running side by side share one pack
    if [ ! -f "$cache/stamp" ] || [ "$orchard" -nt "$cache/stamp" ]; then
      rm -rf "$cache.new"
      "$orchard" datagen --quiet "$cache.new" >&2 || exit 1
      touch "$cache.new/stamp"
      rm -rf "$cache" && mv "$cache.new" "$cache"
    fi
  ) 9>"$cache.lock"
}

# demo_root ROOT CACHE FIXTURE_MP3: ROOT/Data links every file of the pack. While the
# generator makes no music yet, the MP3 fixture stands in for it (with a note on stderr).
demo_root() {
  local root=$1 cache=$2 fixture=$3
  mkdir -p "$root/Data"
  local file
  for file in "$cache"/Data/*; do ln -s "$file" "$root/Data/"; done
  if [ ! -e "$root/Data/user@example.com3" ]; then
    echo "note: the data pack has no music; using $(basename "$fixture")" >&2
    cp "$fixture" "$root/Data/user@example.com3"
  fi
}

# musicless_root ROOT FROM: ROOT/Data links every file of FROM/Data but the music.
musicless_root() {
  local root=$1 from=$2 file
  mkdir -p "$root/Data"
  for file in "$from"/Data/*; do
    [ "$(basename "$file")" = user@example.com3 ] || ln -s "$(readlink -f "$file")" "$root/Data/"
  done
}
