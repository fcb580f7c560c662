#!/usr/bin/env bash
# End-to-end run of the toolkit on a real X server: starts Xvfb on a free display, runs
# toolkit_demo, and checks the events that the demo prints while xdotool focuses, moves, resizes
# and clicks its windows, presses keys and chooses from its menu bar, and fake_wm.py does what a
# window manager (there is none here) does for the maximize, minimize and close boxes.
#
# Usage: xvfb_smoke_test.sh <toolkit_demo>
# Exit status 77 (skipped) when Xvfb, xdotool or python3 is missing. With GRAPHONITE_SCREENSHOT
# set, a screenshot of the whole screen is saved there while the demo's File menu is open; with
# GRAPHONITE_GADGET_SCREENSHOT set, one after the clicks on window 1's gadgets.
set -euo pipefail

demo=$1
here=$(cd "$(dirname "$0")" && pwd)
for tool in Xvfb xdotool /usr/bin/python3; do
  command -v "$tool" > /dev/null || { echo "skipped: $tool is missing"; exit 77; }
done

# The demo runs as the session's program: killed with Xvfb at exit.
XVFB_SCREEN=1024x768x24
# shellcheck source=../support/xvfb_session.sh
source "$here/../support/xvfb_session.sh"

fail() {
  echo "FAILED: $*"
  echo "--- demo output:"
  cat "$work/out" 2> /dev/null || true
  echo "--- demo errors:"
  cat "$work/err" 2> /dev/null || true
  exit 1
}

count() { grep -c -- "$1" "$work/out" || true; }
more_than() { [ "$(count "$1")" -gt "$2" ]; }

# The codes of the events the demo printed for a window after line $1, timer ticks and repaints
# aside (exposure comes whenever the X server feels like it).
codes_since() {
  tail -n +$(($1 + 1)) "$work/out" | grep "^event .* window $2 type" | grep -v ' timer \| repaint ' \
    | awk '{ printf "%s ", $2 }'
}
ends_with() { case "$(codes_since "$1" "$2")" in *"$3 ") return 0 ;; *) return 1 ;; esac; }

# Runs a command and checks that exactly these event codes followed for the window, in order.
# Usage: expect_events <window> "<codes>" <command...>
expect_events() {
  local window=$1 expected=$2
  shift 2
  local before
  before=$(wc -l < "$work/out")
  "$@" > /dev/null || fail "could not run: $*"
  wait_for 10 ends_with "$before" "$window" "${expected##* }" \
    || fail "after '$*': expected events '$expected' for window $window, got '$(codes_since "$before" "$window")'"
  [ "$(codes_since "$before" "$window")" = "$expected " ] \
    || fail "after '$*': expected events '$expected' for window $window, got '$(codes_since "$before" "$window")'"
}

# A sanitizer build of the demo reports libdbus's own leaks at exit.
export LSAN_OPTIONS="${LSAN_OPTIONS:+$LSAN_OPTIONS:}suppressions=$here/lsan_suppressions.txt"

"$demo" --seconds 60 > "$work/out" 2> "$work/err" &
app_pid=$!
wait_for 10 more_than '^ready' 0 || fail "the demo did not start"

find_window() { xdotool search --name "$1" 2> /dev/null | head -n 1; }
window_0=
window_1=
found_windows() {
  window_0=$(find_window '^Toolkit demo$')
  window_1=$(find_window '^Toolkit demo 2$')
  [ -n "$window_0" ] && [ -n "$window_1" ]
}
wait_for 10 found_windows || fail "the demo's windows did not appear"
wait_for 10 more_than 'event 7 activate object 0 window 1' 0 || fail "the windows were not activated"

# Timer 1 of window 0 ticks every 300 ms.
wait_for 10 more_than 'event 15 timer object 1 window 0' 1 || fail "no timer events"

# Focus: activation of the window that gets it.
expect_events 0 "7" xdotool windowfocus --sync "$window_0"
expect_events 1 "7" xdotool windowfocus --sync "$window_1"
expect_events 0 "7" xdotool windowfocus --sync "$window_0"

# Moves and resizes that the desktop reports; a maximize or restore comes as move, size and the
# new state.
expect_events 0 "5" xdotool windowmove --sync "$window_0" 60 70
expect_events 0 "6" xdotool windowsize --sync "$window_0" 360 240
expect_events 0 "5 6 13" /usr/bin/python3 "$here/fake_wm.py" maximize "$window_0"
expect_events 0 "5 6 14" /usr/bin/python3 "$here/fake_wm.py" unmaximize "$window_0"
expect_events 0 "12" /usr/bin/python3 "$here/fake_wm.py" minimize "$window_0"
expect_events 0 "14" /usr/bin/python3 "$here/fake_wm.py" unminimize "$window_0"

# A click into the content is handled without being reported (no gadget is there yet); the
# program goes on ticking.
xdotool mousemove --window "$window_0" 40 40 click 1
wait_for 10 more_than 'event 15 timer' "$(count 'event 15 timer')" || fail "the demo stopped after the click"

# Menus. Window 0 has a menu bar with File: Open (Control+O), a separator, Info, a separator and
# Quit (Control+Q); Control+O is a window shortcut of item 1 as well. Every action must give
# exactly one EVENT_MENU (item/window), checked at the end over the whole run. Closing a menu
# gives the window the focus back, which may come as an activation.
menu_events() { grep '^event 1 menu' "$work/out" | awk '{ printf "%s/%s ", $5, $7 }'; }
expect_menu() {
  local before
  before=$(count '^event 1 menu')
  "$@" > /dev/null || fail "could not run: $*"
  wait_for 10 more_than '^event 1 menu' "$before" || fail "no menu event after '$*'"
}
# The menu bar is 19 pixels high above the content; File's items lie 24 pixels apart below it.
visible_windows() { xdotool search --onlyvisible --class Graphonite 2> /dev/null | wc -l; }
menu_open() { [ "$(visible_windows)" -gt 2 ]; }
menu_closed() { [ "$(visible_windows)" -le 2 ]; }
open_file_menu() {
  xdotool mousemove --window "$window_0" 20 10 click 1
  wait_for 10 menu_open || fail "the File menu did not open"
}

expect_events 1 "7" xdotool windowfocus --sync "$window_1"
expect_events 0 "7" xdotool windowfocus --sync "$window_0"
expect_menu xdotool key ctrl+o
open_file_menu
if [ -n "${GRAPHONITE_SCREENSHOT:-}" ] && command -v import > /dev/null; then
  import -window root "$GRAPHONITE_SCREENSHOT"
fi
expect_menu xdotool mousemove --window "$window_0" 50 30 click 1
wait_for 10 menu_closed || fail "the File menu stayed open"
expect_menu xdotool key ctrl+q
open_file_menu
expect_menu xdotool mousemove --window "$window_0" 50 77 click 1
wait_for 10 menu_closed || fail "the File menu stayed open"

# Gadgets of window 1: the button "Press" at (170, 10), 90 x 25, and the list at (10, 70),
# 250 x 125, whose rows start below its header. A click on the button is a left click; one on a
# row selects it: a left click and a change of the selection.
gadget_events() { grep -c "^event 3 gadget object $1 window 1 type $2\$" "$work/out" || true; }
more_gadget_events() { [ "$(gadget_events "$1" "$2")" -gt "$3" ]; }
# Usage: expect_gadgets "<gadget>:<type> ..." <command...>; each event must follow the command.
expect_gadgets() {
  local wanted=$1 event before=()
  shift
  for event in $wanted; do before+=("$(gadget_events "${event%%:*}" "${event##*:}")"); done
  "$@" > /dev/null || fail "could not run: $*"
  local i=0
  for event in $wanted; do
    wait_for 10 more_gadget_events "${event%%:*}" "${event##*:}" "${before[$i]}" \
      || fail "after '$*': no event of gadget ${event%%:*} with type ${event##*:}"
    i=$((i + 1))
  done
}
expect_gadgets "12:0" xdotool mousemove --window "$window_1" 215 22 click 1
expect_gadgets "16:0 16:768" xdotool mousemove --window "$window_1" 60 115 click 1
if [ -n "${GRAPHONITE_GADGET_SCREENSHOT:-}" ] && command -v import > /dev/null; then
  import -window root "$GRAPHONITE_GADGET_SCREENSHOT"
fi

# The close box: reported for window 0, which stays open; the demo then ends by itself.
expect_events 0 "2" /usr/bin/python3 "$here/fake_wm.py" close "$window_0"
wait_for 10 more_than '^closed' 0 || fail "the demo did not end after the close box"
status=0
wait "$app_pid" || status=$?
app_pid=
[ "$status" -eq 0 ] || fail "the demo ended with status $status"
grep -q '^event 4 repaint object 0 window 0' "$work/out" || fail "no repaint of window 0"
# Control+O, Open by mouse, Control+Q, Quit by mouse.
[ "$(menu_events)" = "1/0 1/0 -1/0 -1/0 " ] || fail "expected menu events '1/0 1/0 -1/0 -1/0', got '$(menu_events)'"
echo "passed: $(count 'event 15 timer') timer events, $(count 'event 7 activate') activations, menu events $(menu_events), $(count 'event 3 gadget') gadget events"
