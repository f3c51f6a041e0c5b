# Helpers for the end-to-end scripts, which run the real programs under the X server that
# `make test` starts (xvfb-run) and drive them with xdotool.

fail() { echo "FAIL: $*" >&2; exit 1; }

# wait_for SECONDS COMMAND...: retries COMMAND every 0.1 s until it succeeds.
wait_for() {
  local deadline=$((SECONDS + $1)); shift
  until "$@" >/dev/null 2>&1; do
    [ "$SECONDS" -lt "$deadline" ] || return 1
    sleep 0.1
  done
}

# The id of the first visible window whose name matches the pattern; fails when none does.
window_named() {
  local id
  id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1)
  [ -n "$id" ] && echo "$id"
}

# wait_exit PID SECONDS: waits for the process to end and sets EXIT_CODE to its exit code
# ("timeout" if it had to be killed). It must run in the shell that started the process,
# not in a $(...) subshell, which cannot wait for its parent's children.
wait_exit() {
  local pid=$1 deadline=$((SECONDS + $2))
  while kill -0 "$pid" 2>/dev/null; do
    if [ "$SECONDS" -ge "$deadline" ]; then kill -9 "$pid" 2>/dev/null; EXIT_CODE=timeout; return; fi
    sleep 0.1
  done
  wait "$pid"; EXIT_CODE=$?
}

# pixel_at X Y: the colour of one screen pixel as "r,g,b" (0-255).
pixel_at() {
  import -window root -crop "1x1+$1+$2" -depth 8 txt:- 2>/dev/null |
    sed -n 's/.*(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1,\2,\3/p' | head -n 1
}

# pass_settings_dialog_windowed: waits for the demo's settings dialog, chooses "Window" and
# presses START. The dialog's window is its 247 x 182-unit client area inside a 2-pixel edge.
pass_settings_dialog_windowed() {
  local caption='^Quiet Orchard   by velmora   at Brackfest$' dialog X Y WIDTH HEIGHT SCREEN WINDOW
  wait_for 20 window_named "$caption" || return 1
  dialog=$(window_named "$caption")
  eval "$(xdotool getwindowgeometry --shell "$dialog")"
  xdotool mousemove --sync $((X + 2 + (WIDTH - 4) * 36 / 247)) $((Y + 2 + (HEIGHT - 4) * 29 / 182)) click 1
  xdotool mousemove --sync $((X + 2 + (WIDTH - 4) * 119 / 247)) $((Y + 2 + (HEIGHT - 4) * 153 / 182)) click 1
}
