#!/usr/bin/env bash
# End-to-end run of the real program's extraction by colour on charts drawn with known data
# (tests/app/charts): each chart is calibrated as a user would, with xdotool, its markers and its
# curve are extracted through the diagram's popup menu, and the table on the clipboard (x,y pairs)
# is compared with the chart's truth.
# - years: the seven red markers, one point each within 1 pixel of the truth, none missed and
#   none false; then the blue line into a second column at every whole year, each point within
#   1 pixel of the line drawn through the truth;
# - scatter: the ten markers, each within 1 pixel, none missed and none false.
# With SCREENSHOTS set to a folder, the screens along the way are saved there.
#
# Usage: xvfb_extraction_test.sh <graphonite> <charts folder>
# Exit status 77 (skipped) when Xvfb, xdotool or xclip is missing.
set -euo pipefail

program=$1
charts=$2
for tool in Xvfb xdotool xclip /usr/bin/python3; do
  command -v "$tool" > /dev/null || { echo "skipped: $tool is missing"; exit 77; }
done

# shellcheck source=xvfb_session.sh
source "$(dirname "$0")/xvfb_session.sh"
menu_bar=0
focus() { xdotool windowactivate --sync "$1" 2> /dev/null || xdotool windowfocus --sync "$1"; }

shot() {
  if [ -n "${SCREENSHOTS:-}" ] && command -v import > /dev/null; then
    import -window root "$SCREENSHOTS/$1.png"
  fi
}

# Clicks the picture pixel (x, y), rounded; the 960 x 720 charts are shown at their own size.
click() {
  xdotool mousemove --window "$window" "$(printf '%.0f' "$1")" $(($(printf '%.0f' "$2") + menu_bar)) sleep 0.1 click 1
  sleep 0.3
}

# Chooses the nth item of the diagram's popup menu (counted from 1, separators not counted).
popup_item() {
  focus "$window"
  xdotool mousemove --window "$window" 20 $((20 + menu_bar)) sleep 0.1 click 3
  sleep 0.5
  [ -z "${2:-}" ] || shot "$2"
  xdotool key --repeat "$1" --delay 30 Down
  xdotool key Return
  sleep 0.3
}

answer() {
  wait_for 10 window_named "$1" || fail "no requester '$1'"
  focus "$(xdotool search --onlyvisible --name "^$1\$" | head -n 1)"
  xdotool key --clearmodifiers ctrl+a
  xdotool type --delay 20 "$2"
  xdotool key Return
  wait_for 10 bash -c "! xdotool search --onlyvisible --name '^$1\$' > /dev/null 2>&1" || fail "requester '$1' stayed open"
}

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
  wait_for 10 window_named Quit || fail "no quit question"
  focus "$(xdotool search --onlyvisible --name '^Quit$' | head -n 1)"
  xdotool key y
  wait_for 10 bash -c "! kill -0 $app_pid 2> /dev/null" || fail "the program did not end"
  app_pid=
}

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

copy_table() {
  focus "$window"
  xdotool key --clearmodifiers ctrl+c
  sleep 0.3
  xclip -o -selection clipboard > "$work/table.txt"
}

# The items of the diagram's popup menu that these runs choose.
CAPTURE_XY=14
EXTRACT_CURVE=16
EXTRACT_MARKERS=17
STEP_IN_CHART_UNITS=22

# Compares the pairs of table column $2 (counted from 0) with the chart's points: as many, in
# reading order, each within 1 pixel in both directions.
check_markers() {
  /usr/bin/python3 - "$charts/$1.txt" "$work/table.txt" "$2" << 'PY' || fail "markers off the truth"
import sys
truth = [line.split() for line in open(sys.argv[1])]
axis = [[float(v) for v in t[1:]] for t in truth if t[0] == "axis"]
points = [[float(v) for v in t[1:]] for t in truth if t[0] == "point"]
column = int(sys.argv[3])
lines = open(sys.argv[2]).read().split("\n")
pairs = []
for line in lines[1:]:
    cells = line.split("\t")
    if len(cells) > 2 * column + 1 and cells[2 * column]:
        pairs.append((float(cells[2 * column]), float(cells[2 * column + 1])))
print("  found", pairs)
assert len(pairs) == len(points), f"{len(pairs)} markers found for {len(points)}: {pairs}"
x_per_pixel = (axis[1][2] - axis[0][2]) / (axis[1][0] - axis[0][0])
y_per_pixel = (axis[2][3] - axis[0][3]) / (axis[0][1] - axis[2][1])
worst = 0.0
for point in points:
    # Reading order is by picture row: each truth point has its own nearest found point.
    x, y = min(pairs, key=lambda p: abs(p[0] - point[2]) / x_per_pixel + abs(p[1] - point[3]) / y_per_pixel)
    off_x = abs(x - point[2]) / x_per_pixel
    off_y = abs(y - point[3]) / y_per_pixel
    worst = max(worst, off_x, off_y)
    print(f"  ({point[2]:g}, {point[3]:g}): found ({x:g}, {y:g}), {off_x:.2f} / {off_y:.2f} px off")
    assert off_x <= 1 and off_y <= 1, f"({x}, {y}) is too far from ({point[2]}, {point[3]})"
print(f"  worst {worst:.2f} px")
PY
}

# The years chart: its markers into column 1, its line at every whole year into column 2.
start years
calibrate_corner years
popup_item $CAPTURE_XY
mapfile -t points < <(truth years point)
popup_item $EXTRACT_MARKERS extract-menu
shot extract-prompt
read -r px py _ _ <<< "${points[0]}"
click "$px" "$py"
sleep 1
copy_table
check_markers years 0
echo "years markers passed"

xdotool key --clearmodifiers alt+a
popup_item $STEP_IN_CHART_UNITS
answer "Step in Chart Units" 1
popup_item $EXTRACT_CURVE
# Halfway between the second and the third point, on the line.
read -r ax ay _ _ <<< "${points[1]}"
read -r bx by _ _ <<< "${points[2]}"
click "$(python3 -c "print(($ax + $bx) / 2)")" "$(python3 -c "print(($ay + $by) / 2)")"
sleep 1
shot extracted
copy_table
/usr/bin/python3 - "$charts/years.txt" "$work/table.txt" << 'PY' || fail "curve off the truth"
import math, sys
truth = [line.split() for line in open(sys.argv[1])]
axis = [[float(v) for v in t[1:]] for t in truth if t[0] == "axis"]
points = [[float(v) for v in t[1:]] for t in truth if t[0] == "point"]
lines = open(sys.argv[2]).read().split("\n")
assert lines[0] == "1 x\t1 y\t2 x\t2 y", f"title line {lines[0]!r}"
pairs = [(float(c[2]), float(c[3])) for c in (l.split("\t") for l in lines[1:]) if len(c) > 3 and c[2]]
# The line runs from the first point's year to the last: at most one point per whole year there
# (the line has no branches), and most of them found.
first, last = points[0][2], points[-1][2]
assert int(last - first) * 2 // 3 <= len(pairs) <= int(last - first) + 1, f"{len(pairs)} points: {pairs}"
x_per_pixel = (axis[1][2] - axis[0][2]) / (axis[1][0] - axis[0][0])
y_per_pixel = (axis[2][3] - axis[0][3]) / (axis[0][1] - axis[2][1])
def pixel(x, y):
    return (x / x_per_pixel, y / y_per_pixel)
def distance(p, a, b):
    (px, py), (ax, ay), (bx, by) = pixel(*p), pixel(*a), pixel(*b)
    t = max(0.0, min(1.0, ((px - ax) * (bx - ax) + (py - ay) * (by - ay)) / ((bx - ax) ** 2 + (by - ay) ** 2)))
    return math.hypot(px - ax - t * (bx - ax), py - ay - t * (by - ay))
worst = 0.0
for x, y in pairs:
    assert abs(x - round(x)) < 0.01, f"x {x} is no whole year"
    off = min(distance((x, y), p[2:], q[2:]) for p, q in zip(points, points[1:]))
    worst = max(worst, off)
    print(f"  {x:g}: {y:g}, {off:.2f} px from the line")
    assert off <= 1, f"({x}, {y}) is {off:.2f} pixels from the line"
print(f"  {len(pairs)} points, worst {worst:.2f} px")
PY
quit
echo "years curve passed"

start scatter
calibrate_corner scatter
popup_item $CAPTURE_XY
mapfile -t points < <(truth scatter point)
popup_item $EXTRACT_MARKERS
read -r px py _ _ <<< "${points[3]}"
click "$px" "$py"
sleep 1
copy_table
check_markers scatter 0
echo "scatter markers passed"

# A rectangle dragged around the left half of the data area bounds the next extraction: the
# markers there go into column 2, the others stay out.
xdotool key --clearmodifiers alt+a
popup_item $EXTRACT_MARKERS
read -r ox oy _ _ <<< "$(truth scatter axis | sed -n 1p)"
read -r wx _ _ _ <<< "$(truth scatter axis | sed -n 2p)"
read -r _ hy _ _ <<< "$(truth scatter axis | sed -n 3p)"
middle=$(python3 -c "print(round(($ox + $wx) / 2))")
xdotool mousemove --window "$window" "$(printf '%.0f' "$ox")" $(($(printf '%.0f' "$hy") + menu_bar)) mousedown 1
xdotool mousemove --window "$window" $((middle - 50)) $((300 + menu_bar)) sleep 0.1
xdotool mousemove --window "$window" "$middle" $(($(printf '%.0f' "$oy") + menu_bar)) sleep 0.2 mouseup 1
sleep 0.3
shot extract-rectangle
read -r px py _ _ <<< "${points[0]}"
click "$px" "$py"
sleep 1
copy_table
/usr/bin/python3 - "$charts/scatter.txt" "$work/table.txt" "$middle" << 'PY' || fail "the rectangle"
import sys
truth = [line.split() for line in open(sys.argv[1])]
points = [[float(v) for v in t[1:]] for t in truth if t[0] == "point"]
inside = [p for p in points if p[0] < float(sys.argv[3])]
lines = open(sys.argv[2]).read().split("\n")
found = [c for c in (l.split("\t") for l in lines[1:]) if len(c) > 3 and c[2]]
print(f"  {len(found)} markers in the rectangle, {len(inside)} expected")
assert len(found) == len(inside), found
PY
quit
echo "scatter rectangle passed"
