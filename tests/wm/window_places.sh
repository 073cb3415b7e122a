#!/usr/bin/env bash
# Window places under a real window manager: the program is started three times under
# Xvfb with openbox, and the main window, a shown sub-window and the shown file list
# must keep their outer place and size (title bar and borders included) at every start,
# equal to what their settings files store. The offscreen platform used by the other tests has no frames,
# so only this catches a window that grows or moves by its frame at each start.
#
# usage: window_places.sh PROGRAM
set -euo pipefail

program=$(realpath "${1:?usage: window_places.sh PROGRAM}")
check="window places"
tools=(openbox xwininfo xprop)
source "$(dirname "$0")/../x_display.sh"
start_display
openbox --sm-disable >"$work/openbox.log" 2>&1 &
pids+=($!)
wait_for 10 sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"' ||
  fail "openbox did not start"

# The program folder is the executable's folder: a copy keeps the settings here.
cp "$program" "$work/QelEditor"
# Sub-window 1 shown, at a place of its own.
printf '[Form]\r\nTop=300\r\nLeft=640\r\nHeight=240\r\nWidth=320\r\nVisible=1\r\n' \
  >"$work/DefaultSub1.QelW"
# The file list shown, at a place of its own, with a list of one file.
printf '[List]\r\nCount=1\r\nItem0=%s\r\n' "$work/QelEditor" >"$work/mine.QelL"
printf '[FileList]\r\nTop=600\r\nLeft=100\r\nHeight=250\r\nWidth=500\r\nVisible=1\r\nUseListFile=%s\r\n' \
  "$work/mine.QelL" >"$work/QelEditor.ini"

# The outer frame of the window titled TITLE as "left,top,width,height", once the
# window manager has framed it and it has stopped changing.
outer_place() {
  local id
  id=$(xdotool search --name "^$1\$" | head -n1)
  [ -n "$id" ] || return 1
  local extents info x y w h last="" same=0
  for _ in $(seq 50); do
    extents=$(xprop -id "$id" _NET_FRAME_EXTENTS 2>/dev/null | sed -n 's/.*= //p' | tr -d ' ')
    if [ -n "$extents" ]; then
      IFS=, read -r fl fr ft fb <<<"$extents"
      info=$(xwininfo -id "$id")
      x=$(sed -n 's/.*Absolute upper-left X: *//p' <<<"$info")
      y=$(sed -n 's/.*Absolute upper-left Y: *//p' <<<"$info")
      w=$(sed -n 's/.*Width: *//p' <<<"$info")
      h=$(sed -n 's/.*Height: *//p' <<<"$info")
      local place="$((x - fl)),$((y - ft)),$((w + fl + fr)),$((h + ft + fb))"
      if [ "$place" = "$last" ]; then
        same=$((same + 1))
        [ "$same" -ge 3 ] && { echo "$place"; return 0; }
      else
        same=0
      fi
      last=$place
    fi
    sleep 0.1
  done
  return 1
}

# The place a settings file stores, in the same form.
stored_place() {
  local file=$1 key value top left height width
  for key in Top Left Height Width; do
    value=$(tr -d '\r' <"$work/$file" | sed -n "s/^$key=//p" | head -n1)
    printf -v "${key,,}" '%s' "$value"
  done
  echo "$left,$top,$width,$height"
}

main_title="QelEditor - UnTitledDoc"
sub_title="SubWindow1 - UnTitledDoc"
list_title="mine.QelL"
places=()
for run in 1 2 3; do
  QT_QPA_PLATFORM=xcb "$work/QelEditor" >"$work/run$run.log" 2>&1 &
  app=$!
  pids+=("$app")
  wait_for 10 xdotool search --name "^$sub_title\$" || fail "start $run: no sub-window"
  # The main window is shown after the others are made: it may come a moment later.
  wait_for 10 xdotool search --name "^$main_title\$" || fail "start $run: no main window"
  main=$(outer_place "$main_title") || fail "start $run: the main window was not framed"
  sub=$(outer_place "$sub_title") || fail "start $run: the sub-window was not framed"
  list=$(outer_place "$list_title") || fail "start $run: the file list was not framed"
  echo "window places: start $run: main window $main, sub-window $sub, file list $list"
  places+=("$main $sub $list")
  # Closed as the user does; each window stores its place.
  id=$(xdotool search --name "^$main_title\$" | head -n1)
  xdotool windowactivate --sync "$id"
  xdotool key --clearmodifiers alt+F4
  wait_for 10 sh -c "! kill -0 $app" || fail "start $run: the program did not end"
  wait "$app" || true
  stored="$(stored_place DefaultMain.QelW) $(stored_place DefaultSub1.QelW) $(stored_place QelEditor.ini)"
  [ "$stored" = "${places[-1]}" ] ||
    fail "start $run: shown at $(echo ${places[-1]}) but stored $stored"
done

[ "${places[0]%% *}" = "100,100,500,350" ] ||
  fail "first start: the main window's outer frame is ${places[0]%% *}, not 100,100,500,350"
read -r first_main first_sub first_list <<<"${places[0]}"
[ "$first_sub" = "640,300,320,240" ] ||
  fail "first start: the sub-window's outer frame is $first_sub, not 640,300,320,240"
[ "$first_list" = "100,600,500,250" ] ||
  fail "first start: the file list's outer frame is $first_list, not 100,600,500,250"
if [ "${places[1]}" != "${places[0]}" ] || [ "${places[2]}" != "${places[0]}" ]; then
  fail "the windows moved or grew between starts: ${places[*]}"
fi
echo "window places: the same outer places at three starts"
