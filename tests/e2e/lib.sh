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

# wait_exit PID SECONDS: waits for the process to end; prints its exit code.
wait_exit() {
  local pid=$1 deadline=$((SECONDS + $2))
  while kill -0 "$pid" 2>/dev/null; do
    if [ "$SECONDS" -ge "$deadline" ]; then kill -9 "$pid" 2>/dev/null; echo timeout; return; fi
    sleep 0.1
  done
  wait "$pid"; echo $?
}

# pixel_at X Y: the colour of one screen pixel as "r,g,b" (0-255).
pixel_at() {
  import -window root -crop "1x1+$1+$2" -depth 8 txt:- 2>/dev/null |
    sed -n 's/.*(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1,\2,\3/p' | head -n 1
}
