#!/usr/bin/env bash
# The editing view with a real input method: on an X display of its own (Xvfb), in a
# private session bus, ibus with the anthy engine in hiragana input mode, keys and clicks
# through the X server (xdotool). input_method_check drives the program's windows
# (selections, redo keys, then compositions through the input method); last, the
# program itself is started on a file, "nihongo" typed, committed and saved, and the
# file's bytes are read.
#
# The selection and key checks need only the display. Where the input method's
# packages are not installed (scripts/setup.sh installs them), its part is skipped with
# a line that says so.
#
# usage: input_method.sh BUILD_BIN_FOLDER
set -euo pipefail

bin=$(realpath "${1:?usage: input_method.sh BUILD_BIN_FOLDER}")
check="input method"
tools=()
source "$(dirname "$0")/../x_display.sh"
start_display
export QT_QPA_PLATFORM=xcb
# A home of its own: the input method's settings and bus address go there.
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_CACHE_HOME="$work/home/.cache"
mkdir -p "$XDG_CONFIG_HOME"

echo "input method: selections and redo keys on display $DISPLAY"
(cd "$work" && "$bin/input_method_check" selectionsReachThePrimarySelection redoKeysInTheWindows) ||
  fail "selections or redo keys"

missing=()
for p in ibus ibus-anthy dbus-x11 python3-gi gir1.2-ibus-1.0 at-spi2-core; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "input method: SKIPPED the input method part: ${missing[*]} not installed (scripts/setup.sh installs them)"
  exit 0
fi

# Anthy starts in hiragana input mode; its settings come from a key file of our own.
export GSETTINGS_BACKEND=keyfile
mkdir -p "$XDG_CONFIG_HOME/glib-2.0/settings"
printf '[org/freedesktop/ibus/engine/anthy/common]\ninput-mode=0\n' \
  >"$XDG_CONFIG_HOME/glib-2.0/settings/keyfile"
# The engine runs "python3" from PATH: Debian's own, which has the GObject bindings.
export PATH="/usr/bin:$PATH"
export BIN="$bin" WORK="$work"

# Inside a private session bus: the daemon, the engine, then the checks.
dbus-run-session -- bash -euo pipefail -c '
  ibus-daemon --panel=disable --xim=false --replace >"$WORK/ibus.log" 2>&1 &
  daemon=$!
  trap "kill $daemon 2>/dev/null || true" EXIT
  for _ in $(seq 100); do
    ibus address 2>/dev/null | grep -q "^unix:" && break
    sleep 0.1
  done
  # Setting the engine answers 1 even when it is set: what it is set to is asked after.
  for _ in $(seq 50); do
    ibus engine anthy >/dev/null 2>&1 || true
    [ "$(ibus engine 2>/dev/null)" = anthy ] && break
    sleep 0.2
  done
  [ "$(ibus engine 2>/dev/null)" = anthy ] ||
    { echo "input method: FAILED: the anthy engine did not start: $(tail -5 "$WORK/ibus.log")" >&2; exit 1; }
  # Qt 6.4 finds the daemon through its address file.
  export IBUS_ADDRESS_FILE=$(ls "$XDG_CONFIG_HOME"/ibus/bus/* | head -n1)
  export QT_IM_MODULE=ibus
  # Accessibility on, as with a screen reader running.
  export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
  echo "input method: compositions through ibus with anthy ($(ibus engine))"
  (cd "$WORK" && "$BIN/input_method_check" compositionAtTheCaretCommittedEverywhere \
     compositionStaysWhereTypedOnAClick compositionCancelledOrConverted) ||
    { echo "input method: FAILED: compositions" >&2; exit 1; }

  # The program itself: typed, committed, saved with Ctrl+S.
  mkdir "$WORK/program"
  cp "$BIN/QelEditor" "$WORK/program/QelEditor"
  printf "x" >"$WORK/program/typed.txt"
  "$WORK/program/QelEditor" "$WORK/program/typed.txt" >"$WORK/program.log" 2>&1 &
  app=$!
  for _ in $(seq 100); do xdotool search --name "typed.txt" >/dev/null 2>&1 && break; sleep 0.1; done
  window=$(xdotool search --name "typed.txt" | head -n1)
  [ -n "$window" ] || { echo "input method: FAILED: the program showed no window" >&2; exit 1; }
  xdotool windowfocus --sync "$window"
  sleep 0.5
  xdotool key --delay 60 End n i h o n g o
  sleep 0.5
  xdotool key --delay 60 Return ctrl+s
  expected=$(printf "x\x82\xc9\x82\xd9\x82\xf1\x82\xb2" | od -An -tx1)
  for _ in $(seq 50); do
    [ "$(od -An -tx1 "$WORK/program/typed.txt")" = "$expected" ] && break
    sleep 0.1
  done
  kill $app 2>/dev/null || true
  wait $app 2>/dev/null || true
  got=$(od -An -tx1 "$WORK/program/typed.txt")
  [ "$got" = "$expected" ] ||
    { echo "input method: FAILED: the program saved$got, not$expected" >&2; exit 1; }
  echo "input method: the program saved what was typed through the input method"
'
echo "input method: passed (${SECONDS}s)"
