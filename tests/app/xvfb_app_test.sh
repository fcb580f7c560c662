#!/usr/bin/env bash
# End-to-end run of the real program on an X server: starts Xvfb (1920 x 1080), opens the sample
# chart given on the command line and digitizes it as a user would, with xdotool: Measure Diagram
# (Alt+S), origin, width and its reference, height and its reference, captures in two columns
# (Alt+A between them). Checks the window's size and the titles that name each step.
# In English it then copies the table (Control+C, read back with xclip and compared with the
# chart's known values), saves it through the save requester (Control+S) and compares the file,
# and quits without being asked; in German it quits through the close box (a stand-in window
# manager sends the close request) and confirms. Both end with exit code 0.
#
# Usage: xvfb_app_test.sh <graphonite> <sample chart>
# Exit status 77 (skipped) when Xvfb or xdotool is missing. With GRAPHONITE_SCREENSHOT set, a
# screenshot of the screen after the captures is saved there (the English run).
set -euo pipefail

program=$1
chart=$2
here=$(cd "$(dirname "$0")" && pwd)
for tool in Xvfb xdotool xclip /usr/bin/python3; do
  command -v "$tool" > /dev/null || { echo "skipped: $tool is missing"; exit 77; }
done

# shellcheck source=../support/xvfb_session.sh
source "$(dirname "$0")/../support/xvfb_session.sh"
title_is() { [ "$(xdotool getwindowname "$window" 2> /dev/null)" = "$1" ]; }
expect_title() { wait_for 10 title_is "$1" || fail "title '$(xdotool getwindowname "$window")', expected '$1'"; }

# Gives the main window the keyboard focus (there is no window manager to activate it).
focus_main() {
  xdotool windowactivate --sync "$window" 2> /dev/null || xdotool windowfocus --sync "$window"
}

# Clicks at (x, y) of the main window's content (below its menu bar).
click() {
  xdotool mousemove --window "$window" "$1" $(($2 + menu_bar)) sleep 0.1 click 1
  sleep 0.3
}

# Types a reference into the input requester titled $1.
answer_reference() {
  wait_for 10 window_named "$1" || fail "no requester '$1'"
  local requester
  requester=$(xdotool search --onlyvisible --name "^$1\$" | head -n 1)
  xdotool windowactivate --sync "$requester" 2> /dev/null || xdotool windowfocus --sync "$requester"
  xdotool key --clearmodifiers ctrl+a
  xdotool type --delay 20 "$2"
  xdotool key Return
  wait_for 10 bash -c "! xdotool search --onlyvisible --name '^$1\$' > /dev/null 2>&1" || fail "requester '$1' stayed open"
}

digitize() {
  run=$1
  local lang=$2 origin_title=$3 width_title=$4 height_title=$5 done_title=$6 width_ref=$7 height_ref=$8 quit_title=$9 yes=${10}
  local save=${11}
  LANG=$lang "$program" "$chart" > "$work/out" 2> "$work/err" &
  app_pid=$!
  wait_for 10 main_window || fail "no main window"
  eval "$(xdotool getwindowgeometry --shell "$window")"
  # A 960 x 720 diagram on a 1920-wide screen: content 1350 x 742 under the menu bar.
  [ "$WIDTH" = 1350 ] || fail "window width $WIDTH, expected 1350"
  menu_bar=$((HEIGHT - 742))
  [ "$menu_bar" -ge 0 ] && [ "$menu_bar" -lt 80 ] || fail "window height $HEIGHT, expected 742 plus a menu bar"
  xdotool windowactivate --sync "$window" 2> /dev/null || xdotool windowfocus --sync "$window"
  expect_title "Graphonite"

  xdotool key --clearmodifiers alt+s
  expect_title "Graphonite / $origin_title"
  click 100 620
  expect_title "Graphonite / $width_title"
  click 900 620
  answer_reference "$width_ref" 6
  expect_title "Graphonite / $height_title"
  click 100 120
  answer_reference "$height_ref" 100
  expect_title "Graphonite / $done_title"

  click 180 520
  expect_title "*Graphonite / $done_title"
  click 310 395
  focus_main
  xdotool key --clearmodifiers alt+a
  sleep 0.3
  click 440 270
  click 570 445
  if [ -n "${GRAPHONITE_SCREENSHOT:-}" ] && [ "$run" = English ] && command -v import > /dev/null; then
    xdotool mousemove --window "$window" 700 $((180 + menu_bar))
    sleep 0.5
    import -window root "$GRAPHONITE_SCREENSHOT" || true
  fi

  local expected_table
  expected_table=$(printf '1\t2\n20.00\t70.00\n45.00\t35.00')
  if [ "$save" = save ]; then
    # The table on the clipboard, as a spreadsheet takes it.
    focus_main
    xdotool key --clearmodifiers ctrl+c
    sleep 0.3
    [ "$(xclip -o -selection clipboard)" = "$expected_table" ] \
      || fail "clipboard: '$(xclip -o -selection clipboard)', expected '$expected_table'"
    # Saved through the save requester: the unsaved mark goes, and Quit no longer asks.
    xdotool key --clearmodifiers ctrl+s
    wait_for 10 window_named "Save File" || fail "no save requester"
    local requester
    requester=$(xdotool search --onlyvisible --name '^Save File$' | head -n 1)
    xdotool windowactivate --sync "$requester" 2> /dev/null || xdotool windowfocus --sync "$requester"
    sleep 0.3
    xdotool key --clearmodifiers ctrl+a
    xdotool type --delay 10 "$work/table.csv"
    xdotool key Return
    wait_for 10 test -s "$work/table.csv" || fail "the table was not saved"
    [ "$(cat "$work/table.csv")" = "$(printf '1,2\n20.00,70.00\n45.00,35.00')" ] \
      || fail "saved file: '$(cat "$work/table.csv")'"
    expect_title "Graphonite / $done_title"
    focus_main
    xdotool key --clearmodifiers ctrl+q
  else
    # The close box asks like Quit, because there are captures; the Yes letter confirms.
    /usr/bin/python3 "$here/../toolkit/fake_wm.py" close "$window" > /dev/null || fail "could not close"
  fi
  if [ "$save" = save ]; then
    local status=0
    wait_for 10 bash -c "! kill -0 $app_pid 2> /dev/null" || fail "Quit after saving did not end the program"
    wait "$app_pid" || status=$?
    app_pid=
    [ "$status" = 0 ] || fail "exit code $status"
    echo "$run run passed"
    return
  fi
  wait_for 10 window_named "$quit_title" || fail "no quit confirmation"
  local dialog
  dialog=$(xdotool search --onlyvisible --name "^$quit_title\$" | head -n 1)
  xdotool windowactivate --sync "$dialog" 2> /dev/null || xdotool windowfocus --sync "$dialog"
  xdotool key "$yes"
  local status=0
  wait "$app_pid" || status=$?
  app_pid=
  [ "$status" = 0 ] || fail "exit code $status"
  echo "$run run passed"
}

digitize English en_US.UTF-8 "Set Origin" "Set Width of Dataarea" "Set Height of Dataarea" "Set References." \
  "Width Reference" "Height Reference" "Quit" y save
digitize German de_DE.UTF-8 "Ursprung wählen" "Breite des Datenbereichs wählen" "Höhe des Datenbereichs wählen" \
  "Set References." "Referenzbreite" "Referenzhöhe" "Beenden" j close
