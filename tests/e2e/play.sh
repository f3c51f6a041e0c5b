#!/usr/bin/env bash
# `orchard play` end to end under the X server: a wide window gets equal black bars and a
# 4:3 one none; the music clock keeps the picture with the music heard (SDL's disk driver);
# --start and the arrow keys land on the right part of the timeline; Esc quits; --dialog
# asks first; without a sound device or without the music file the run is silent after one
# line, with no box.
set -u
orchard=$1
fixture=$2
cache=$3
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/data_pack.sh"

ensure_data_pack "$orchard" "$cache" || fail "orchard datagen failed"
work=$(mktemp -d)
pid=
trap 'kill -9 $pid 2>/dev/null; rm -rf "$work"' EXIT
demo_root "$work/root" "$cache" "$fixture"
musicless_root "$work/silent" "$work/root"
export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=$work/audio.raw

# is_black ID GEOMETRY: every pixel of that part of the window (WxH+X+Y) is black.
is_black() {
  local colours
  colours=$(import -window "$1" -crop "$2" -depth 8 txt:- 2>/dev/null | sed -n '2,$p' |
    sed -n 's/.*(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1,\2,\3/p' | sort -u)
  [ "$colours" = "0,0,0" ]
}
column_is_black() { is_black "$1" "1x$3+$2+0"; }

# shows_frames ID: the window has been drawn into (its middle is not black).
shows_frames() {
  local colour
  colour=$(import -window "$1" -crop "1x1+$2+$3" -depth 8 txt:- 2>/dev/null |
    sed -n 's/.*(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1,\2,\3/p' | head -n 1)
  [ -n "$colour" ] && [ "$colour" != "0,0,0" ]
}

# Bars: the finale's bright clouds at 16:9 and at 4:3.
for shape in 960x540:120 640x480:0; do
  size=${shape%:*} bar=${shape#*:}
  width=${size%x*} height=${size#*x}
  "$orchard" play --root "$work/root" --window "$size" --start 286000 --no-sound --vsync off \
    2>"$work/bars.err" &
  pid=$!
  wait_for 30 window_named '^Quiet Orchard$' || fail "no player window at $size"
  id=$(window_named '^Quiet Orchard$')
  wait_for 30 shows_frames "$id" $((width / 2)) $((height / 2)) || fail "no frame drawn at $size"
  sleep 1
  if [ "$bar" -gt 0 ]; then
    for x in 0 $((bar - 1)) $((width - bar)) $((width - 1)); do
      column_is_black "$id" "$x" "$height" || fail "$size: column $x is not a black bar"
    done
    for x in $bar $((width - bar - 1)); do
      column_is_black "$id" "$x" "$height" && fail "$size: column $x belongs to the picture but is black"
    done
  else
    for x in 0 $((width - 1)); do
      column_is_black "$id" "$x" "$height" && fail "$size: a bar at column $x where none belongs"
    done
  fi
  xdotool key --window "$id" Escape
  wait_exit "$pid" 20
  [ "$EXIT_CODE" = 0 ] || fail "Esc at $size: exit code $EXIT_CODE"
  pid=
done

# Full screen on this 1280 x 1024 (5:4) screen, without a mode switch: 1280 x 960 with
# bars of 32 rows above and below; F goes back to the window.
"$orchard" play --root "$work/root" --fullscreen --start 286000 --no-sound --vsync off 2>"$work/full.err" &
pid=$!
wait_for 30 window_named '^Quiet Orchard$' || fail "no full-screen window"
id=$(window_named '^Quiet Orchard$')
wait_for 30 shows_frames "$id" 640 512 || fail "no frame drawn in full screen"
sleep 1
eval "$(xdotool getwindowgeometry --shell "$id")"
[ "$WIDTH x $HEIGHT" = "1280 x 1024" ] || fail "full screen covers $WIDTH x $HEIGHT, not the screen"
for y in 0 31 992 1023; do is_black "$id" "1280x1+0+$y" || fail "full screen: row $y is not a black bar"; done
for y in 32 991; do is_black "$id" "1280x1+0+$y" && fail "full screen: row $y belongs to the picture"; done
# F: back to the window of the size asked (1024 x 768 by default).
windowed() { eval "$(xdotool getwindowgeometry --shell "$id")"; [ "$WIDTH x $HEIGHT" = "1024 x 768" ]; }
xdotool key --window "$id" f
wait_for 10 windowed || fail "F did not leave full screen"
xdotool key --window "$id" Escape
wait_exit "$pid" 20
[ "$EXIT_CODE" = 0 ] || fail "Esc in full screen: exit code $EXIT_CODE"
pid=

# The music clock with the disk driver: frames show what is heard, within one frame.
"$orchard" play --root "$work/root" --window 320x240 --start 30000 --to 33000 --stats \
  2>"$work/music.err" || fail "music run: exit code $?"
grep -q '^demo time shown: from 30[0-9][0-9][0-9] ms to 3[23][0-9][0-9][0-9] ms$' "$work/music.err" ||
  fail "music run: not the span asked for: $(cat "$work/music.err")"
median=$(sed -n 's/^picture-to-music offsets: [0-9]*, median \([0-9.]*\) ms.*/\1/p' "$work/music.err")
[ -n "$median" ] || fail "music run: no offsets reported: $(cat "$work/music.err")"
awk -v m="$median" 'BEGIN { exit !(m < 16.7) }' || fail "music run: picture $median ms from the music"
[ -s "$work/audio.raw" ] || fail "music run: nothing reached the sound device"

# Seeking with the keys: two presses of Right from the start land 10 s on.
"$orchard" play --root "$work/root" --window 320x240 --no-sound --stats 2>"$work/keys.err" &
pid=$!
wait_for 30 window_named '^Quiet Orchard$' || fail "no player window for the keys"
id=$(window_named '^Quiet Orchard$')
wait_for 60 shows_frames "$id" 160 120 || fail "no frame drawn before the keys"
xdotool key --window "$id" Right Right
sleep 0.5
xdotool key --window "$id" Escape
wait_exit "$pid" 20
[ "$EXIT_CODE" = 0 ] || fail "keys: exit code $EXIT_CODE"
last=$(sed -n 's/^demo time shown: from [0-9]* ms to \([0-9]*\) ms$/\1/p' "$work/keys.err")
[ -n "$last" ] && [ "$last" -ge 10000 ] && [ "$last" -lt 30000 ] ||
  fail "keys: the last frame showed ${last:-nothing} ms, not 10 s or a little more"
pid=

# --dialog: the demo's own settings dialog comes first, and START plays.
"$orchard" play --root "$work/root" --dialog --no-sound --to 1500 2>"$work/dialog.err" &
pid=$!
pass_settings_dialog_windowed || fail "--dialog: no settings dialog"
wait_exit "$pid" 60
[ "$EXIT_CODE" = 0 ] || fail "--dialog: exit code $EXIT_CODE: $(cat "$work/dialog.err")"
pid=

# No sound device, then no music file: one line each, and the run goes on silently.
SDL_AUDIODRIVER=no-such-driver "$orchard" play --root "$work/root" --window 320x240 --to 1500 \
  2>"$work/nodevice.err" || fail "no device: exit code $?"
[ "$(wc -l <"$work/nodevice.err")" = 1 ] && grep -q '^orchard play: no sound device' "$work/nodevice.err" ||
  fail "no device: not one line: $(cat "$work/nodevice.err")"
"$orchard" play --root "$work/silent" --window 320x240 --to 1500 2>&1 >/dev/null |
  grep -v '^CRITICAL: ' >"$work/nofile.err"  # the disk driver announces itself
[ "${PIPESTATUS[0]}" = 0 ] || fail "no music file: exit code ${PIPESTATUS[0]}"
[ "$(wc -l <"$work/nofile.err")" = 1 ] && grep -q '^orchard play: cannot play ' "$work/nofile.err" ||
  fail "no music file: not one line: $(cat "$work/nofile.err")"

# Without any data: an error naming where it looked.
(cd "$work" && "$orchard" play --root "$work/nowhere" 2>"$work/nodata.err") && fail "no data: exit code 0"
grep -q "$work/nowhere" "$work/nodata.err" || fail "no data: the folder is not named"
echo "play: all checks passed"
