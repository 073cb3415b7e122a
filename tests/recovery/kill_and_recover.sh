#!/usr/bin/env bash
# Unsaved work through SIGKILL. The program runs under Xvfb with openbox and is typed
# into with real key presses; it is killed with SIGKILL at random moments, started
# again, the recovery question is answered with Return, and the recovered document is
# saved with Ctrl+S and compared with what was typed:
#   - typing rounds: characters typed one by one; the saved text must be a prefix of
#     what was typed, and whatever is missing was typed at most LOSS_LIMIT_MS before
#     the kill (the journal is written within a second of an edit);
#   - paste rounds: a big text pasted again and again, and the kill timed to land while
#     the journal grows (while a write is under way, which journal_check then tells);
#     the text must come back as a whole number of pastes, never a torn one;
#   - in-place rounds: a document in a folder where no file can be made (chattr +i) is
#     saved with Ctrl+S and killed during the save; the saved file must end up with the
#     new text, never half written (skipped, and said so, where chattr +i cannot be used).
# Prints the most typing lost in one kill.
#
# usage: kill_and_recover.sh PROGRAM [JOURNAL_CHECK]
set -euo pipefail

program=$(realpath "${1:?usage: kill_and_recover.sh PROGRAM [JOURNAL_CHECK]}")
journal_check=$(realpath "${2:-$(dirname "$program")/journal_check}")
typing_rounds=${TYPING_ROUNDS:-12}
paste_rounds=${PASTE_ROUNDS:-4}
save_rounds=${SAVE_ROUNDS:-4}
loss_limit_ms=${LOSS_LIMIT_MS:-3000}
check="kill and recover"
tools=(openbox xprop)
source "$(dirname "$0")/../x_display.sh"
# The folder made to refuse new files takes them again before the work folder goes.
locked=""
trap '[ -n "$locked" ] && chattr -i "$locked" 2>/dev/null; cleanup' EXIT
fail() {
  echo "$check: FAILED: $*" >&2
  for log in "$work"/*.log; do echo "--- $log" >&2; tail -n 20 "$log" >&2; done
  exit 1
}

now_ms() { date +%s%3N; }

start_display
openbox --sm-disable >"$work/openbox.log" 2>&1 &
pids+=($!)
wait_for 10 sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"' ||
  fail "openbox did not start"

# A copy of its own: settings and recovery folder beside it.
mkdir -p "$work/bin" "$work/docs"
cp "$program" "$work/bin/QelEditor"
recovery="$work/bin/recovery"
# A list file of its own, so that no start stops to say the list is missing.
printf '[List]\r\nCount=0\r\n' >"$work/bin/mine.QelL"
printf '[FileList]\r\nUseListFile=%s\r\n' "$work/bin/mine.QelL" >"$work/bin/QelEditor.ini"

app=""
start_program() {
  QT_QPA_PLATFORM=xcb "$work/bin/QelEditor" "$@" >>"$work/program.log" 2>&1 &
  app=$!
  pids+=("$app")
}

# The id of the window whose title matches the regular expression, once it is there.
window() {
  wait_for "${2:-15}" sh -c "xdotool search --name '$1' | head -n1 | grep -q ." || return 1
  xdotool search --name "$1" | head -n1
}

activate() {
  xdotool windowactivate --sync "$1" >/dev/null 2>&1 || true
  sleep 0.2
}

# Starts the program on FOLDER/NAME and puts the caret at the end of the text.
open_document() {
  local folder=$1 name=$2 main
  start_program "$folder/$name"
  main=$(window "^QelEditor - ${name//./\\.}\$") || fail "$name: the program did not start"
  activate "$main"
  xdotool key --clearmodifiers ctrl+End
}

killed() {
  kill -9 "$app" 2>/dev/null || true
  wait "$app" 2>/dev/null || true
}

# Starts the program again after a kill and answers the recovery question with Return
# when it comes; then saves the recovered document (named NAME) with Ctrl+S and
# closes the program. Sets `asked`.
recover_and_save() {
  local name=$1 question main
  asked=no
  start_program
  if question=$(window '^QelEditor130$' 8); then
    asked=yes
    activate "$question"
    xdotool key --clearmodifiers Return
    main=$(window "^QelEditor - ${name//./\\.} " 20) || fail "no recovered document after Return"
    activate "$main"
    xdotool key --clearmodifiers ctrl+s
    wait_for 60 sh -c "xdotool search --name '^QelEditor - ${name//./\\.}\$' | grep -q ." ||
      fail "the recovered document was not saved"
  else
    main=$(window '^QelEditor - UnTitledDoc$' 10) || fail "the program did not start again"
  fi
  activate "$(xdotool search --name '^QelEditor - ' | head -n1)"
  xdotool key --clearmodifiers alt+F4
  wait_for 60 sh -c "! kill -0 $app" || fail "the program did not end"
  local status=0
  wait "$app" || status=$?
  [ "$status" -eq 0 ] || fail "the program ended with status $status"
  [ -z "$(ls -A "$recovery" 2>/dev/null)" ] || fail "files left in the recovery folder: $(ls "$recovery")"
}

journal_state() {
  local journal
  journal=$(ls "$recovery"/*.journal 2>/dev/null | head -n1)
  if [ -n "$journal" ]; then "$journal_check" "$journal"; else echo "no journal"; fi
}

# ---- typing rounds
text="the quick brown fox jumps over the lazy dog while eight keys wait 0123456789 "
text="$text$text$text$text$text"
most_lost=0
most_lost_ms=0
for round in $(seq "$typing_rounds"); do
  printf 'start\r\n' >"$work/docs/doc.txt"
  open_document "$work/docs" doc.txt
  : >"$work/typed"
  delay=$((500 + RANDOM % 4000))
  (sleep "$((delay / 1000)).$(printf '%03d' $((delay % 1000)))"
   now_ms >"$work/killed_at"; kill -9 "$app") &
  killer=$!
  i=0
  while [ "$i" -lt "${#text}" ] && kill -0 "$app" 2>/dev/null; do
    xdotool type --delay 0 -- "${text:i:1}" 2>/dev/null || break
    echo "$i $(now_ms)" >>"$work/typed"
    i=$((i + 1))
  done
  wait "$killer" 2>/dev/null || true
  killed
  [ -s "$work/killed_at" ] || fail "typing $round: typed to the end before the kill"
  kill_ms=$(cat "$work/killed_at")
  rm -f "$work/killed_at"
  state=$(journal_state)
  recover_and_save doc.txt
  saved=$(tail -c +8 "$work/docs/doc.txt")
  head -c 7 "$work/docs/doc.txt" | cmp -s - <(printf 'start\r\n') ||
    fail "typing $round: the file lost its first line"
  [ "$saved" = "${text:0:${#saved}}" ] ||
    fail "typing $round: the recovered text is not what was typed: '$saved'"
  typed_before=$(awk -v k="$kill_ms" '$2 < k' "$work/typed" | wc -l)
  lost=$((typed_before - ${#saved}))
  lost_ms=0
  if [ "$lost" -gt 0 ]; then
    first_lost=$(awk -v n="${#saved}" '$1 == n { print $2 }' "$work/typed")
    lost_ms=$((kill_ms - first_lost))
  else
    lost=0
  fi
  echo "kill and recover: typing $round: killed after ${delay} ms, $typed_before typed, ${#saved} back ($lost lost, typed in the last $lost_ms ms); asked: $asked; journal at the kill: $state"
  [ "$lost_ms" -le "$loss_limit_ms" ] || fail "typing $round: lost what was typed $lost_ms ms before the kill"
  [ "$lost" -gt "$most_lost" ] && most_lost=$lost
  [ "$lost_ms" -gt "$most_lost_ms" ] && most_lost_ms=$lost_ms
done

# ---- paste rounds: the kill lands while the journal grows
for n in $(seq 0 49999); do printf 'line %05d of the text pasted again and again\r\n' "$n"; done >"$work/paste.txt"
torn=0
for round in $(seq "$paste_rounds"); do
  cp "$work/paste.txt" "$work/docs/big.txt"
  open_document "$work/docs" big.txt
  xdotool key --clearmodifiers ctrl+a ctrl+c ctrl+End
  # The journal is made by the first write; the kill comes with a later one.
  skip=$((1 + RANDOM % 3))
  (wait_for 30 sh -c "ls '$recovery'/*.journal" && "$journal_check" --kill-while-growing "$app" "$(ls "$recovery"/*.journal)" "$skip" >"$work/kill.out") &
  watcher=$!
  pastes=0
  while kill -0 "$app" 2>/dev/null && [ "$pastes" -lt 12 ]; do
    xdotool key --clearmodifiers ctrl+v 2>/dev/null || break
    pastes=$((pastes + 1))
    sleep "0.$((3 + RANDOM % 5))"
  done
  wait "$watcher" 2>/dev/null || true
  killed
  state=$(journal_state)
  [[ "$state" == damaged* ]] && torn=$((torn + 1))
  recover_and_save big.txt
  size=$(stat -c %s "$work/docs/big.txt")
  part=$(stat -c %s "$work/paste.txt")
  [ $((size % part)) -eq 0 ] || fail "paste $round: $size bytes back, not a whole number of pastes"
  copies=$((size / part))
  for _ in $(seq "$copies"); do cat "$work/paste.txt"; done | cmp -s - "$work/docs/big.txt" ||
    fail "paste $round: the text that came back is not the pastes"
  echo "kill and recover: paste $round: $(cat "$work/kill.out" 2>/dev/null), $pastes pastes pressed, $((copies - 1)) back; asked: $asked; journal at the kill: $state"
done

# ---- in-place rounds: killed while a save overwrites the file, either the moment the
# file grows (its room is reserved before the first byte is written) or at a random
# moment after Ctrl+S
locked="$work/locked"
mkdir -p "$locked"
for _ in 1 2 3 4 5 6 7 8; do cat "$work/paste.txt"; done >"$work/original.txt"
if ! cp "$work/original.txt" "$locked/doc.txt" || ! chattr +i "$locked" 2>"$work/chattr.log" ||
  touch "$locked/probe" 2>/dev/null; then
  echo "kill and recover: in-place rounds skipped: no folder here can refuse new files ($(cat "$work/chattr.log" 2>/dev/null))"
  save_rounds=0
fi
during=0
for round in $(seq "$save_rounds"); do
  cp "$work/original.txt" "$locked/doc.txt"
  open_document "$locked" doc.txt
  xdotool type --delay 20 -- "appended"
  sleep 1.5
  if [ $((round % 2)) -eq 1 ]; then
    "$journal_check" --kill-while-growing "$app" "$locked/doc.txt" 0 >"$work/kill.out" &
    watcher=$!
    xdotool key --clearmodifiers ctrl+s
    wait "$watcher" || true
    how="as the file grew"
  else
    xdotool key --clearmodifiers ctrl+s
    ms=$((RANDOM % 400))
    sleep "0.$(printf '%03d' "$ms")"
    how="${ms} ms after Ctrl+S"
  fi
  killed
  left=$(ls "$recovery" 2>/dev/null | grep -c before-save || true)
  at_kill=new
  { cat "$work/original.txt"; printf 'appended'; } | cmp -s - "$locked/doc.txt" || at_kill="neither old nor new"
  cmp -s "$work/original.txt" "$locked/doc.txt" && at_kill=old
  [ "$left" -gt 0 ] && during=$((during + 1))
  recover_and_save doc.txt
  { cat "$work/original.txt"; printf 'appended'; } | cmp -s - "$locked/doc.txt" ||
    fail "in place $round: the file is not the saved text ($(stat -c %s "$locked/doc.txt") bytes)"
  echo "kill and recover: in place $round: killed $how; copy of the old file left: $left; the file at the kill: $at_kill; asked: $asked; the file holds the new text"
done

echo "kill and recover: the most typing lost in one kill: $most_lost characters, typed in the last $most_lost_ms ms before it ($typing_rounds typing kills, $paste_rounds paste kills of which $torn tore a journal write, $save_rounds kills after Ctrl+S of which $during landed while the file was overwritten)"
