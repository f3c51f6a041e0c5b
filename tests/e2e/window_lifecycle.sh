#!/usr/bin/env bash
# The real demo under Xvfb: its window appears with the title "ZR_Stage", within about two
# seconds the title carries the frame rate, the client area is the dark-blue background,
# ESC (on release) ends the run with exit code 0, and closing the window does the same.
set -u
program=$1
closer=$2
. "$(dirname "$0")/lib.sh"
[ -n "${DISPLAY:-}" ] || fail "no X display (run through make test)"

work=$(mktemp -d)
pid=
# A failing check must not leave the demo running behind it.
trap '[ -n "$pid" ] && kill -9 "$pid" 2>/dev/null; rm -rf "$work"' EXIT
cd "$work"

start_demo() {
  "$program" 2>"$work/stderr" &
  pid=$!
  pass_settings_dialog_windowed || fail "no settings dialog: $(cat "$work/stderr")"
  wait_for 20 window_named '^ZR_Stage' || fail "no ZR_Stage window: $(cat "$work/stderr")"
  window=$(window_named '^ZR_Stage')
}

# --- ESC ends the run ------------------------------------------------------------------
start_demo
wait_for 10 sh -c "xdotool getwindowname $window | grep -Eq '^ZR_Stage    FPS: [1-9][0-9]*$'" ||
  fail "title never showed the frame rate: '$(xdotool getwindowname "$window")'"

# The client area shows the cleared back buffer, dark blue 0xFF000080 (the window stands
# at the origin of the screen, so its middle is near (396, 286)).
eval "$(xdotool getwindowgeometry --shell "$window")"
colour=$(pixel_at $((X + WIDTH / 2)) $((Y + HEIGHT / 2)))
[ "$colour" = "0,0,128" ] || fail "client area is $colour, not dark blue 0,0,128"
[ "$WIDTH" = 792 ] && [ "$HEIGHT" = 573 ] || fail "client area is ${WIDTH}x${HEIGHT}, not 792x573"

xdotool windowfocus --sync "$window"
xdotool keydown Escape
sleep 0.5
kill -0 "$pid" 2>/dev/null || fail "the demo ended on ESC pressed, before the release"
xdotool keyup Escape
wait_exit "$pid" 10
[ "$EXIT_CODE" = 0 ] || fail "exit code after ESC: $EXIT_CODE"

# --- closing the window ends the run -----------------------------------------------------
start_demo
"$closer" "$window"
wait_exit "$pid" 10
[ "$EXIT_CODE" = 0 ] || fail "exit code after closing the window: $EXIT_CODE"
echo "window lifecycle: ok"
