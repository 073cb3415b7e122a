# Sourced by the tests that run the program on a real X display: Xvfb on a display of
# its own (it picks a free number) with openbox, as users have the program.
#   wait_for SECONDS COMMAND...   polls COMMAND every 0.1 s for up to SECONDS seconds
#   start_x_session FOLDER        starts both, logs in FOLDER, exports DISPLAY; the
#                                 process ids go into the array `pids`, which the caller
#                                 ends; calls `fail` (the caller's) when either does not
#                                 start

wait_for() {
  local seconds=$1
  shift
  for _ in $(seq $((seconds * 10))); do
    "$@" >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  return 1
}

start_x_session() {
  local folder=$1
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$folder/display" 2>"$folder/xvfb.log" &
  pids+=($!)
  wait_for 10 test -s "$folder/display" || fail "Xvfb did not start: $(cat "$folder/xvfb.log")"
  export DISPLAY=":$(head -n1 "$folder/display")"
  openbox --sm-disable >"$folder/openbox.log" 2>&1 &
  pids+=($!)
  wait_for 10 sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"' ||
    fail "openbox did not start"
}
