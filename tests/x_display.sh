# What the checks on an X display of their own share; sourced by them after they set
# `check` (the name their lines start with) and check that `tools` are installed.
#
# A work folder ($work) and the processes started ($pids) go when the script ends;
# fail MESSAGE ends it; wait_for SECONDS COMMAND... polls every 0.1 s; start_display
# starts Xvfb on a free display number and exports DISPLAY.

for tool in Xvfb xdotool "${tools[@]}"; do
  command -v "$tool" >/dev/null || { echo "$check: $tool is missing (scripts/setup.sh installs it)" >&2; exit 1; }
done

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "$check: FAILED: $*" >&2
  exit 1
}

wait_for() {
  local seconds=$1
  shift
  for _ in $(seq $((seconds * 10))); do
    "$@" >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  return 1
}

# Xvfb picks a free number and writes it to fd 3.
start_display() {
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
  pids+=($!)
  wait_for 10 test -s "$work/display" || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
  export DISPLAY=":$(head -n1 "$work/display")"
}
