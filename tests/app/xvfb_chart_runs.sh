# Helpers of the end-to-end runs on the drawn charts (tests/app/charts): starting the program on a
# chart, clicking its picture pixels, the diagram's popup menu, the input requesters, the corner
# calibration from the chart's truth and the quit. Sourced after xvfb_session.sh, with $program
# and $charts set; a run may define its own version of any of them after sourcing.

focus() { xdotool windowactivate --sync "$1" 2> /dev/null || xdotool windowfocus --sync "$1"; }

# With SCREENSHOTS set to a folder, the screens along the way are saved there.
shot() {
  if [ -n "${SCREENSHOTS:-}" ] && command -v import > /dev/null; then
    import -window root "$SCREENSHOTS/$1.png"
  fi
}

# Clicks the picture pixel (x, y), rounded to the nearest whole pixel; the 960 x 720 charts are
# shown at their own size.
click() {
  local x y
  x=$(printf '%.0f' "$1")
  y=$(printf '%.0f' "$2")
  xdotool mousemove --window "$window" "$x" $((y + menu_bar)) sleep 0.1 click 1
  sleep 0.3
}

# Chooses the nth item of the diagram's popup menu (counted from 1, separators not counted); with
# a second argument, the open menu is saved as that screenshot.
popup_item() {
  focus "$window"
  xdotool mousemove --window "$window" 20 $((20 + menu_bar)) sleep 0.1 click 3
  sleep 0.5
  [ -z "${2:-}" ] || shot "$2"
  xdotool key --repeat "$1" --delay 30 Down
  xdotool key Return
  sleep 0.3
}

# Types a value into the input requester titled $1.
answer() {
  wait_for 10 window_named "$1" || fail "no requester '$1'"
  focus "$(xdotool search --onlyvisible --name "^$1\$" | head -n 1)"
  xdotool key --clearmodifiers ctrl+a
  xdotool type --delay 20 "$2"
  xdotool key Return
  wait_for 10 bash -c "! xdotool search --onlyvisible --name '^$1\$' > /dev/null 2>&1" || fail "requester '$1' stayed open"
}

# The truth's lines of one kind: "x-pixel y-pixel x-value y-value".
truth() { grep "^$2 " "$charts/$1.txt" | cut -d' ' -f2-; }

start() {
  run=$1
  LANG=en_US.UTF-8 "$program" "$charts/$1.png" > "$work/out" 2> "$work/err" &
  app_pid=$!
  wait_for 10 main_window || fail "no main window"
  eval "$(xdotool getwindowgeometry --shell "$window")"
  menu_bar=$((HEIGHT - 742))
  [ "$menu_bar" -ge 0 ] && [ "$menu_bar" -lt 80 ] || fail "window height $HEIGHT: the chart is not shown at its size"
  focus "$window"
}

quit() {
  focus "$window"
  xdotool key --clearmodifiers ctrl+q
  # The captures are unsaved: the quit question's Yes letter confirms.
  wait_for 10 window_named Quit || fail "no quit question"
  focus "$(xdotool search --onlyvisible --name '^Quit$' | head -n 1)"
  xdotool key y
  wait_for 10 bash -c "! kill -0 $app_pid 2> /dev/null" || fail "the program did not end"
  app_pid=
}

# The corner way: origin, width end and height end with their values, and the origin's values.
calibrate_corner() {
  local axis
  mapfile -t axis < <(truth "$1" axis)
  read -r ox oy ovx ovy <<< "${axis[0]}"
  read -r wx _ wvx _ <<< "${axis[1]}"
  read -r _ hy _ hvy <<< "${axis[2]}"
  xdotool key --clearmodifiers alt+s
  click "$ox" "$oy"
  click "$wx" "$oy"
  answer "Width Reference" "$wvx"
  click "$ox" "$hy"
  answer "Height Reference" "$hvy"
  popup_item 10 # Set Origin Values
  answer "Origin X Value" "$ovx"
  answer "Origin Y Value" "$ovy"
}
