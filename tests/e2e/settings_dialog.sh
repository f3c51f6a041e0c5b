#!/usr/bin/env bash
# The settings dialog of the real demo under Xvfb: it appears centred with its title
# picture, ESC leaves it open, CLOSE ends the program with exit code 0 before any demo
# window exists, Enter starts the demo, and "Window" then START opens an 800 x 600 window
# (792 x 573 client area). A screenshot of the dialog is left in the artefact folder.
#
# The two parts that start the demo accept a device that cannot start yet ("InitD3D
# failed!", exit code 0); they check the demo window whenever it comes up.
set -u
program=$1
artefacts=$2
. "$(dirname "$0")/lib.sh"
[ -n "${DISPLAY:-}" ] || fail "no X display (run through make test)"

caption='Quiet Orchard   by velmora   at Brackfest'
work=$(mktemp -d)
pid=
watcher=
trap '{ kill -9 $pid $watcher; wait; } 2>/dev/null; rm -rf "$work"' EXIT
cd "$work"  # an empty folder: no Data, so the demo reports missing files and goes on
mkdir -p "$artefacts"

# The dialog's SDL window holds the 247 x 182-unit client area inside a 2-pixel edge.
# click_dialog X Y: clicks the point at X, Y dialog units.
click_dialog() {
  xdotool mousemove --sync $((DX + 2 + (DW - 4) * $1 / 247)) $((DY + 2 + (DH - 4) * $2 / 182)) click 1
}

start_dialog() {
  rm -f "$work/stage_seen"
  # A program whose connection to the X server failed at start-up shows nothing at all
  # (this happens now and then under Xvfb); it is started again, twice at most.
  local attempt
  for attempt in 1 2 3; do
    "$program" 2>"$work/stderr" &
    pid=$!
    wait_for 10 window_named "^$caption\$" && break
    { kill -9 "$pid"; wait "$pid"; } 2>/dev/null
    [ "$attempt" = 3 ] && fail "no settings dialog: $(cat "$work/stderr")"
    echo "note: no settings dialog after 10 s; starting the program again" >&2
  done
  dialog=$(window_named "^$caption\$")
  local X Y WIDTH HEIGHT SCREEN WINDOW
  eval "$(xdotool getwindowgeometry --shell "$dialog")"
  DX=$X DY=$Y DW=$WIDTH DH=$HEIGHT
  # Xvfb has no window manager: keyboard focus follows the pointer.
  xdotool mousemove --sync $((DX + DW / 2)) $((DY + DH / 2))
  xdotool windowfocus --sync "$dialog" 2>/dev/null
}

# Notes in $work/stage_seen whenever a demo window exists, however briefly.
watch_for_demo_window() {
  while :; do
    xdotool search --name '^ZR_Stage' >/dev/null 2>&1 && echo seen >"$work/stage_seen"
    sleep 0.05
  done
}

# pixel_of FILE X Y: "r,g,b" of one pixel of an image file.
pixel_of() {
  convert "$1" -crop "1x1+$2+$3" -depth 8 txt:- 2>/dev/null |
    sed -n 's/.*(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1,\2,\3/p' | head -n 1
}

# wait_for_end SECONDS: waits for the program to end and sets code (or "timeout").
wait_for_end() {
  local deadline=$((SECONDS + $1))
  while kill -0 "$pid" 2>/dev/null; do
    if [ "$SECONDS" -ge "$deadline" ]; then kill -9 "$pid"; code=timeout; return; fi
    sleep 0.1
  done
  wait "$pid"
  code=$?
}

device_missing() { grep -q 'InitD3D failed!' "$work/stderr"; }

# After START: waits for the demo window (sets demo=window) or for the program to end
# without one because the device could not start (demo=no-device).
wait_for_demo() {
  local deadline=$((SECONDS + 30))
  while [ "$SECONDS" -lt "$deadline" ]; do
    if [ -n "$(window_named '^ZR_Stage')" ]; then demo=window; return; fi
    if ! kill -0 "$pid" 2>/dev/null; then
      wait_for_end 1
      device_missing && [ "$code" = 0 ] && { demo=no-device; return; }
      fail "the demo ended with code $code and no window: $(cat "$work/stderr")"
    fi
    sleep 0.05
  done
  fail "no demo window after START: $(cat "$work/stderr")"
}

# ESC (pressed and released) in the demo window ends the run with code 0. Sets ended to
# "escape", or to "no-device" when the run had already ended because the device failed.
end_demo_with_escape() {
  local window
  window=$(window_named '^ZR_Stage')
  if [ -n "$window" ]; then
    xdotool mousemove --sync 200 200
    xdotool windowfocus --sync "$window" 2>/dev/null
    xdotool key Escape
  fi
  wait_for_end 15
  [ "$code" = 0 ] || fail "exit code of the demo: $code: $(cat "$work/stderr")"
  if device_missing; then ended=no-device; else ended=escape; fi
}

# --- the dialog as it appears; ESC leaves it open; CLOSE ends the program -----------------
watch_for_demo_window &
watcher=$!
start_dialog
sleep 0.3
import -window root "$work/screen.png"
convert "$work/screen.png" -crop "${DW}x${DH}+${DX}+${DY}" +repage "$artefacts/settings_dialog.png"

# 371 x 296 client pixels: 247 x 182 dialog units at base units 6 x 13.
[ "$DW" = 375 ] && [ "$DH" = 300 ] || fail "dialog window is ${DW}x${DH}, not 375x300"
read -r screen_w screen_h < <(xdotool getdisplaygeometry)
dx=$((DX + DW / 2 - screen_w / 2))
dy=$((DY + DH / 2 - screen_h / 2))
# Centred as a whole, caption included, so the client area sits a little low.
[ "${dx#-}" -le 4 ] && [ "$dy" -ge 0 ] && [ "$dy" -le 16 ] || fail "dialog at $DX,$DY is not centred"
xprop -id "$dialog" _MOTIF_WM_HINTS | grep -q '= 0x3, 0x4,' || fail "the frame may offer a close box"

# The title picture: 200 x 200 at (140, 20) of the client area, inside a 2-pixel edge.
for point in "20 100" "185 80" "120 125" "60 60"; do
  read -r px py <<<"$point"
  IFS=, read -r r g b <<<"$(pixel_of "$work/screen.png" $((DX + 2 + 140 + 2 + px)) $((DY + 2 + 20 + 2 + py)))"
  [ "${r:-0}" -ge 170 ] && [ "$g" -ge 30 ] && [ "$g" -le 200 ] && [ "$b" -le 120 ] ||
    fail "picture pixel $px,$py is $r,$g,$b: not the orange-red sky"
done
# Blue letters of the title across the top.
blue=0
for x in $(seq 10 4 190); do
  IFS=, read -r r g b <<<"$(pixel_of "$work/screen.png" $((DX + 146 + x)) $((DY + 24 + 22)))"
  [ "$b" -ge 150 ] && [ "$r" -le 110 ] && blue=$((blue + 1))
done
[ "$blue" -ge 3 ] || fail "no blue title letters across the top of the picture"

xdotool key Escape
sleep 0.5
kill -0 "$pid" 2>/dev/null || fail "ESC ended the program"
[ -n "$(window_named "^$caption\$")" ] || fail "ESC closed the dialog"

click_dialog 204 153  # CLOSE
wait_for_end 10
[ "$code" = 0 ] || fail "exit code after CLOSE: $code"
sleep 0.2
kill "$watcher" 2>/dev/null
wait "$watcher" 2>/dev/null
watcher=
[ -e "$work/stage_seen" ] && fail "a demo window appeared after CLOSE"

# --- Enter starts the demo ---------------------------------------------------------------
notes=()
ended=
start_dialog
xdotool key Return
wait_for_demo
[ "$demo" = window ] && end_demo_with_escape
[ "$demo" = no-device ] || [ "$ended" = no-device ] &&
  notes+=("Enter: START was taken; the device could not start (InitD3D failed!), so ESC in the demo was not tried")

# --- "Window", then START: an 800 x 600 window --------------------------------------------
ended=
start_dialog
click_dialog 36 29    # "Window"
click_dialog 119 153  # START
wait_for_demo
geometry=
if [ "$demo" = window ]; then
  window=$(window_named '^ZR_Stage')
  geometry=$(xwininfo -id "$window" 2>/dev/null | sed -n 's/ *Width: *\([0-9]*\)/\1/p; s/ *Height: *\([0-9]*\)/\1/p' | paste -sd x)
  end_demo_with_escape
fi
# The window exists before the device is made, so its size counts either way once seen.
if [ -n "$geometry" ]; then
  [ "$geometry" = 792x573 ] || fail "the demo window's client area is $geometry, not 792x573"
elif [ "$demo" = no-device ] || [ "$ended" = no-device ]; then
  notes+=("Window: START was taken; the device could not start (InitD3D failed!) before the window was measured")
else
  fail "the demo window could not be measured"
fi

for note in "${notes[@]}"; do echo "note: $note"; done
echo "settings dialog: ok (screenshot: $artefacts/settings_dialog.png)"
