#!/usr/bin/env bash
# The whole demo as a user runs it, from the settings dialog to its own end, on the
# generated data pack, with the program's clock running ten times fast (libfaketime speeds
# up CLOCK_MONOTONIC, which the tick count reads, and shortens its sleeps alike), so the
# 294 s take about half a minute. Enter presses START; the demo shows frames, ends by
# itself with exit code 0 and no warning, and the music reaches SDL's disk audio driver.
#
# Enter takes the dialog's default choice, full screen at 800 x 600, so the run has an X
# server of its own whose one display mode is 800 x 600.
set -u
# Xvfb picks a free display number itself (-displayfd), so that servers started at the
# same moment by other tests cannot take the same one.
if [ -z "${ORCHARD_FULL_RUN_DISPLAY:-}" ]; then
  command -v Xvfb >/dev/null || { echo "FAIL: Xvfb is not installed" >&2; exit 1; }
  number_file=$(mktemp)
  Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp 3>"$number_file" 2>/dev/null &
  server=$!
  for _ in $(seq 100); do [ -s "$number_file" ] && break; sleep 0.1; done
  [ -s "$number_file" ] || { echo "FAIL: Xvfb did not start" >&2; kill "$server"; exit 1; }
  DISPLAY=:$(cat "$number_file") ORCHARD_FULL_RUN_DISPLAY=800x600 "$0" "$@"
  code=$?
  kill "$server"
  wait "$server" 2>/dev/null
  rm -f "$number_file"
  exit $code
fi
program=$1
orchard=$2
fixture=$3
cache=$4
. "$(dirname "$0")/lib.sh"
. "$(dirname "$0")/data_pack.sh"

speedup=10
faketime_lib=
for candidate in /usr/lib/x86_64-linux-gnu/faketime/libfaketimeMT.so.1 \
                 /usr/lib/*/faketime/libfaketimeMT.so.1 /usr/local/lib/faketime/libfaketimeMT.so.1; do
  [ -r "$candidate" ] && { faketime_lib=$candidate; break; }
done
[ -n "$faketime_lib" ] || fail "libfaketime is not installed (Debian package faketime)"

ensure_data_pack "$orchard" "$cache" || fail "orchard datagen failed"

work=$(mktemp -d)
pid=
trap 'kill -9 $pid 2>/dev/null; rm -rf "$work"' EXIT
demo_root "$work/root" "$cache" "$fixture"
cd "$work/root"

caption='Quiet Orchard   by velmora   at Brackfest'
started=$(date +%s.%N)
env LD_PRELOAD="$faketime_lib" FAKETIME="+0 x$speedup" \
  ORCHARD_MESSAGEBOX=stderr SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$work/audio.raw" \
  "$program" 2>"$work/stderr" &
pid=$!

# The settings dialog, if the program has one, or else the demo window straight away.
deadline=$((SECONDS + 30))
until [ -n "$(window_named "^$caption\$")" ] || [ -n "$(window_named '^ZR_Stage')" ]; do
  kill -0 "$pid" 2>/dev/null || fail "the program ended before any window: $(cat "$work/stderr")"
  [ "$SECONDS" -lt "$deadline" ] || fail "no window within 30 s: $(cat "$work/stderr")"
  sleep 0.05
done
dialog=$(window_named "^$caption\$")
if [ -n "$dialog" ]; then
  eval "$(xdotool getwindowgeometry --shell "$dialog")"
  # Xvfb has no window manager: keyboard focus follows the pointer.
  xdotool mousemove --sync $((X + WIDTH / 2)) $((Y + HEIGHT / 2))
  xdotool windowfocus --sync "$dialog" 2>/dev/null
  xdotool key Return
  started=$(date +%s.%N)  # the demo's clock starts after the dialog
  wait_for 30 window_named '^ZR_Stage' || fail "no demo window after START: $(cat "$work/stderr")"
else
  echo "note: no settings dialog; the demo started directly"
fi

# While it plays: the title carries a frame rate, and the picture is more than the cleared
# background (the exterior is on screen from 12 s of demo time on).
rate_seen=no
scene_seen=no
while kill -0 "$pid" 2>/dev/null; do
  window=$(window_named '^ZR_Stage')
  if [ -n "$window" ]; then
    xdotool getwindowname "$window" 2>/dev/null | grep -Eq 'FPS: [1-9][0-9]*$' && rate_seen=yes
    if [ "$scene_seen" = no ] && eval "$(xdotool getwindowgeometry --shell "$window" 2>/dev/null)"; then
      colour=$(pixel_at $((X + WIDTH / 2)) $((Y + HEIGHT * 3 / 4)))
      [ -n "$colour" ] && [ "$colour" != "0,0,128" ] && scene_seen=yes
    fi
  fi
  elapsed=$(awk -v s="$started" -v e="$(date +%s.%N)" 'BEGIN { print int(e - s) }')
  [ "$elapsed" -lt 240 ] || fail "still running after $elapsed s (the clock seems not sped up)"
  sleep 0.3
done
wait "$pid"
code=$?
ended=$(date +%s.%N)
seconds=$(awk -v s="$started" -v e="$ended" 'BEGIN { printf "%.1f", e - s }')
echo "the run took $seconds s of real time at ${speedup}x"

[ "$code" = 0 ] || fail "exit code $code: $(cat "$work/stderr")"
if grep -q '^ERROR:' "$work/stderr"; then
  fail "warnings during the run: $(grep '^ERROR:' "$work/stderr" | head -n 20)"
fi
[ "$rate_seen" = yes ] || fail "the title never showed a frame rate"
[ "$scene_seen" = yes ] || fail "the window never showed more than the background"
# 294 s of demo time cannot pass in less than 294 / speedup real seconds, and the end
# comes by itself soon after.
awk -v t="$seconds" -v s=$speedup 'BEGIN { exit !(t >= 294 / s - 0.5 && t <= 294 / s + 60) }' ||
  fail "the run took $seconds s, not about $((294 / speedup)) s"

# The music went to the disk driver: 44.1 kHz stereo 16-bit frames, not all silence, and
# about as long as the run by the program's own clock (it paces its writes with sleeps).
[ -s "$work/audio.raw" ] || fail "no audio was written"
bytes=$(stat -c %s "$work/audio.raw")
cmp -s -n "$bytes" "$work/audio.raw" /dev/zero && fail "the audio written is all silence"
audio_seconds=$(awk -v b="$bytes" 'BEGIN { printf "%.1f", b / 176400 }')
echo "audio written: $bytes bytes = $audio_seconds s at 44.1 kHz stereo"
awk -v a="$audio_seconds" -v t="$seconds" 'BEGIN { exit !(a >= t / 2 && a <= 2 * 330) }' ||
  fail "implausible audio length: $audio_seconds s"
echo "full run: ok"
